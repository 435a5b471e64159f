#pragma once

#include <span>

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

enum class ControlKind {
    PushButton,
    DefPushButton,
    Static,     // left-aligned static text, no input
    Icon,       // static showing icon 128 at its own size
    GroupBox,
    ListBox,    // sorted, notifies double-clicks, scroll bar always shown
    Edit,       // single line, bordered, scrolls sideways
    AutoRadio,
    UpDown,
};

enum ControlFlag : unsigned {
    CF_TABSTOP = 1u << 0,
    CF_GROUP = 1u << 1,
    CF_DISABLED = 1u << 2,
    CF_READONLY = 1u << 3,
    CF_NOPREFIX = 1u << 4,
};

inline constexpr int IDC_STATIC = -1;

struct ControlTemplate {
    int id;             // IDC_STATIC for controls without id
    ControlKind kind;
    const char* text;   // UTF-8
    int x, y, cx, cy;   // dialog units
    unsigned flags;     // ControlFlag bits
};

struct DialogTemplate {
    int id;
    const char* caption;   // UTF-8
    int cx, cy;            // dialog units
    const char* fontFamily;
    int pointSize;
    std::span<const ControlTemplate> controls;
};

// nullptr when no template has that id.
[[nodiscard]] const DialogTemplate* FindDialogTemplate(int id) noexcept;

// The UTF-8 text of a string resource; nullptr when there is none.
[[nodiscard]] const char* FindString(int id) noexcept;
