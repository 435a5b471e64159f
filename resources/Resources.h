#pragma once

#include "DialogTemplate.h"
#include "WinDefs.h"

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

// The main window's own items of the window menu.
inline constexpr unsigned IDM_ABOUTBOX = 0x0010;
inline constexpr unsigned IDM_VCARD_EXPORT = 0x0020;
inline constexpr unsigned IDM_VCARD_IMPORT = 0x0030;
inline constexpr unsigned IDM_HAGAKI_PRINT = 0x0040;

// Controls of the main window (template 102). 登録 is IDOK, 終了 IDCANCEL.
inline constexpr int IDC_NEW = 3;
inline constexpr int IDC_DELETE = 4;
inline constexpr int IDC_ABOUT = 5;
inline constexpr int IDC_NAME_LIST = 1007;
inline constexpr int IDC_INDEX_KA = 1009;
inline constexpr int IDC_INDEX_SA = 1010;
inline constexpr int IDC_INDEX_TA = 1011;
inline constexpr int IDC_INDEX_NA = 1012;
inline constexpr int IDC_INDEX_HA = 1013;
inline constexpr int IDC_INDEX_MA = 1014;
inline constexpr int IDC_INDEX_YA = 1015;
inline constexpr int IDC_INDEX_RA = 1016;
inline constexpr int IDC_INDEX_WA = 1017;
inline constexpr int IDC_INDEX_OTHER = 1018;
inline constexpr int IDC_INDEX_ALL = 1019;
inline constexpr int IDC_INDEX_A = 1020;
inline constexpr int IDC_NAME = 1021;
inline constexpr int IDC_READING = 1022;
inline constexpr int IDC_MALE = 1023;
inline constexpr int IDC_FEMALE = 1024;
inline constexpr int IDC_BLOOD_A = 1025;
inline constexpr int IDC_BLOOD_B = 1026;
inline constexpr int IDC_ADDRESS1 = 1027;
inline constexpr int IDC_ADDRESS2 = 1028;
inline constexpr int IDC_BLOOD_O = 1030;
inline constexpr int IDC_BLOOD_AB = 1031;
inline constexpr int IDC_PHONE1 = 1032;
inline constexpr int IDC_PHONE2 = 1034;
inline constexpr int IDC_PHONE3 = 1036;
inline constexpr int IDC_PHONE_HOME = 1037;
inline constexpr int IDC_YEAR_SPIN = 1039;
inline constexpr int IDC_PHONE_MOBILE = 1041;
inline constexpr int IDC_PHONE_PHS = 1042;
inline constexpr int IDC_PHONE_PAGER = 1043;
inline constexpr int IDC_ZIP1 = 1044;
inline constexpr int IDC_ZIP2 = 1045;
inline constexpr int IDC_EMAIL = 1046;
inline constexpr int IDC_YEAR = 1047;
inline constexpr int IDC_MONTH = 1048;
inline constexpr int IDC_DAY = 1049;
inline constexpr int IDC_MONTH_SPIN = 1050;
inline constexpr int IDC_DAY_SPIN = 1051;
inline constexpr int IDC_AGE = 1052;

// nullptr when no template has that id.
[[nodiscard]] const DialogTemplate* FindDialogTemplate(int id) noexcept;

// The UTF-8 text of a string resource; nullptr when there is none.
[[nodiscard]] const char* FindString(int id) noexcept;
