#pragma once

#include "DialogTemplate.h"

// The program's resources as data: the two dialog templates, the string
// table and the icon. Texts are UTF-8 (they only ever go to Qt).

inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_ADDRESSBOOK = 102;
inline constexpr int IDR_MAINFRAME = 128;  // icon 128

inline constexpr int IDS_ABOUTBOX = 101;
inline constexpr int IDS_SOCKETS_INIT_FAILED = 103;
inline constexpr int IDS_APP_TITLE = 57344;
// Messages of the data exchange's checks.
inline constexpr int IDS_PARSE_UINT = 0xF113;
inline constexpr int IDS_PARSE_RANGE = 0xF114;
inline constexpr int IDS_PARSE_TEXT_LENGTH = 0xF116;
inline constexpr int IDS_INTERNAL_ERROR = 0xF108;

// nullptr when no template has that id.
[[nodiscard]] const DialogTemplate* FindDialogTemplate(int id) noexcept;

// The UTF-8 text of a string resource; nullptr when there is none.
[[nodiscard]] const char* FindString(int id) noexcept;
