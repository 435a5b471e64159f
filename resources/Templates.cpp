#include "RecordSchema.h"
#include "Resources.h"

#include <array>

// The two dialog templates, in dialog units. The order of the controls is
// their tab order and, with the group flags, decides the radio groups.

namespace {

// The proportional gothic closest in metrics to the templates' own font.
constexpr const char* DIALOG_FONT = "IPAPGothic";
constexpr int DIALOG_POINT_SIZE = 9;

// What a screen reader calls the edit of a column of the file.
constexpr const char* SAYS(int column)
{
    return COLUMNS[static_cast<std::size_t>(column)].accessibleName;
}

// Main window. Labels keep their blanks exactly; the up-downs carry a
// window text that is never shown. The last column is what a screen reader
// calls a control, without the labels' blanks; a label's also names the
// radio group that follows it (電話番号 names the phone kinds).
constexpr std::array ADDRESS_BOOK_CONTROLS = std::to_array<ControlTemplate>({
    {IDC_NEW, ControlKind::DefPushButton, "新規", 130, 185, 30, 14, CF_TABSTOP},
    {IDOK, ControlKind::DefPushButton, "登録", 161, 185, 30, 14, CF_TABSTOP},
    {IDC_DELETE, ControlKind::DefPushButton, "削除", 190, 185, 30, 14, CF_TABSTOP},
    {IDC_ABOUT, ControlKind::PushButton, "あばうと", 225, 185, 30, 14, CF_TABSTOP},
    {IDCANCEL, ControlKind::PushButton, "終了", 255, 185, 30, 14, CF_TABSTOP},
    {IDC_STATIC, ControlKind::Static, "名前を選択してください", 8, 12, 80, 10, CF_GROUP},
    {IDC_NAME_LIST, ControlKind::ListBox, "", 27, 30, 60, 141, CF_TABSTOP, "名前を選択してください"},
    {IDC_STATIC, ControlKind::GroupBox, " A d d r e s s  D a t a ", 95, 10, 190, 170, 0},
    {IDC_STATIC, ControlKind::Static, "名    前", 97, 27, 34, 8, CF_GROUP, SAYS(COL_NAME)},
    {IDC_NAME, ControlKind::Edit, "", 131, 25, 84, 12, CF_TABSTOP, SAYS(COL_NAME)},
    {IDC_STATIC, ControlKind::Static, "ふりがな", 97, 39, 34, 8, CF_GROUP},
    {IDC_READING, ControlKind::Edit, "", 131, 37, 84, 12, CF_TABSTOP, SAYS(COL_READING)},
    {IDC_STATIC, ControlKind::Static, "性    別", 222, 30, 28, 8, CF_GROUP, SAYS(COL_SEX)},
    {IDC_MALE, ControlKind::AutoRadio, "男", 254, 24, 23, 10, CF_TABSTOP | CF_GROUP},
    {IDC_FEMALE, ControlKind::AutoRadio, "女", 254, 36, 23, 10, CF_TABSTOP},
    {IDC_STATIC, ControlKind::Static, "住    所", 97, 63, 34, 8, CF_GROUP, "住所"},
    {IDC_ADDRESS1, ControlKind::Edit, "", 131, 57, 150, 12, CF_TABSTOP, SAYS(COL_ADDRESS1)},
    {IDC_ADDRESS2, ControlKind::Edit, "", 131, 69, 150, 12, CF_TABSTOP, SAYS(COL_ADDRESS2)},
    {IDC_STATIC, ControlKind::Static, "郵便番号", 97, 87, 34, 8, CF_GROUP},
    {IDC_ZIP1, ControlKind::Edit, "", 131, 86, 16, 12, CF_TABSTOP, SAYS(COL_ZIP1)},
    {IDC_ZIP2, ControlKind::Edit, "", 157, 86, 19, 12, CF_TABSTOP, SAYS(COL_ZIP2)},
    {IDC_STATIC, ControlKind::Static, "電話番号", 97, 103, 34, 8, CF_GROUP, "電話番号の種類"},
    {IDC_PHONE_HOME, ControlKind::AutoRadio, "自宅", 131, 103, 24, 8, CF_TABSTOP | CF_GROUP},
    {IDC_PHONE_MOBILE, ControlKind::AutoRadio, "携帯", 163, 103, 32, 8, CF_TABSTOP},
    {IDC_PHONE_PHS, ControlKind::AutoRadio, "PHS", 195, 103, 27, 8, CF_TABSTOP},
    {IDC_PHONE_PAGER, ControlKind::AutoRadio, "ポケベル", 225, 103, 45, 8, CF_TABSTOP},
    {IDC_PHONE1, ControlKind::Edit, "", 131, 115, 22, 12, CF_TABSTOP | CF_DISABLED, SAYS(PhoneColumn(0, 0))},
    {IDC_PHONE2, ControlKind::Edit, "", 163, 115, 22, 12, CF_TABSTOP | CF_DISABLED, SAYS(PhoneColumn(0, 1))},
    {IDC_PHONE3, ControlKind::Edit, "", 195, 115, 22, 12, CF_TABSTOP | CF_DISABLED, SAYS(PhoneColumn(0, 2))},
    {IDC_STATIC, ControlKind::Static, "生年月日", 97, 133, 28, 8, CF_GROUP},
    {IDC_YEAR, ControlKind::Edit, "", 131, 131, 20, 12, CF_TABSTOP, SAYS(COL_BIRTH_YEAR)},
    {IDC_YEAR_SPIN, ControlKind::UpDown, "Spin1", 149, 132, 6, 11, 0, SAYS(COL_BIRTH_YEAR)},
    {IDC_MONTH, ControlKind::Edit, "", 172, 131, 13, 12, CF_TABSTOP, SAYS(COL_BIRTH_MONTH)},
    {IDC_STATIC, ControlKind::Static, "月", 195, 133, 8, 8, CF_GROUP},
    {IDC_DAY, ControlKind::Edit, "", 207, 131, 14, 12, CF_TABSTOP, SAYS(COL_BIRTH_DAY)},
    {IDC_DAY_SPIN, ControlKind::UpDown, "Spin1", 219, 132, 6, 11, 0, SAYS(COL_BIRTH_DAY)},
    {IDC_AGE, ControlKind::Edit, "", 250, 131, 14, 12, CF_READONLY, "歳"},
    {IDC_STATIC, ControlKind::Static, "血 液 型", 97, 149, 28, 8, CF_GROUP, SAYS(COL_BLOOD_TYPE)},
    {IDC_BLOOD_A, ControlKind::AutoRadio, "A", 131, 148, 18, 10, CF_TABSTOP | CF_GROUP},
    {IDC_BLOOD_B, ControlKind::AutoRadio, "B", 155, 148, 19, 10, CF_TABSTOP},
    {IDC_BLOOD_O, ControlKind::AutoRadio, "O", 179, 148, 20, 10, CF_TABSTOP},
    {IDC_BLOOD_AB, ControlKind::AutoRadio, "AB", 203, 148, 24, 10, CF_TABSTOP},
    {IDC_STATIC, ControlKind::Static, "ｅ－ｍａｉｌ", 97, 165, 34, 8, CF_GROUP},
    {IDC_EMAIL, ControlKind::Edit, "", 131, 163, 150, 12, CF_TABSTOP, SAYS(COL_EMAIL)},
    {IDC_INDEX_A, ControlKind::PushButton, "あ", 6, 24, 17, 11, CF_TABSTOP},
    {IDC_INDEX_KA, ControlKind::PushButton, "か", 6, 36, 17, 11, CF_TABSTOP},
    {IDC_INDEX_SA, ControlKind::PushButton, "さ", 6, 48, 17, 11, CF_TABSTOP},
    {IDC_INDEX_TA, ControlKind::PushButton, "た", 6, 60, 17, 11, CF_TABSTOP},
    {IDC_INDEX_NA, ControlKind::PushButton, "な", 6, 72, 17, 11, CF_TABSTOP},
    {IDC_INDEX_HA, ControlKind::PushButton, "は", 6, 84, 17, 11, CF_TABSTOP},
    {IDC_INDEX_MA, ControlKind::PushButton, "ま", 6, 96, 17, 11, CF_TABSTOP},
    {IDC_INDEX_YA, ControlKind::PushButton, "や", 6, 108, 17, 11, CF_TABSTOP},
    {IDC_INDEX_RA, ControlKind::PushButton, "ら", 6, 120, 17, 11, CF_TABSTOP},
    {IDC_INDEX_WA, ControlKind::PushButton, "わ", 6, 132, 17, 11, CF_TABSTOP},
    {IDC_INDEX_OTHER, ControlKind::PushButton, "英字", 6, 144, 17, 11, CF_TABSTOP},
    {IDC_INDEX_ALL, ControlKind::PushButton, "ALL", 6, 156, 17, 11, CF_TABSTOP},
    {IDC_STATIC, ControlKind::Static, "－", 154, 117, 8, 8, CF_GROUP},
    {IDC_STATIC, ControlKind::Static, "－", 186, 117, 8, 8, CF_GROUP},
    {IDC_STATIC, ControlKind::Static, "－", 147, 87, 8, 8, CF_GROUP},
    {IDC_STATIC, ControlKind::Static, "年", 161, 133, 8, 8, CF_GROUP},
    {IDC_STATIC, ControlKind::Static, "日", 231, 133, 8, 8, CF_GROUP},
    {IDC_MONTH_SPIN, ControlKind::UpDown, "Spin1", 184, 132, 6, 11, 0, SAYS(COL_BIRTH_MONTH)},
    {IDC_STATIC, ControlKind::Static, "歳", 267, 133, 8, 8, CF_GROUP},
    {IDC_STATIC, ControlKind::Static, "(C) 2026 Kanaroku", 195, 0, 90, 10, CF_GROUP},
    {IDC_STATIC, ControlKind::Static, "なまえ☆ばこ！ 2026", 5, 190, 105, 10, CF_GROUP},
});

// About box.
constexpr std::array ABOUT_CONTROLS = std::to_array<ControlTemplate>({
    {IDC_STATIC, ControlKind::Icon, "", 11, 17, 20, 20, 0},
    {IDC_STATIC, ControlKind::Static, "なまえ☆ばこ！ Version 0.90β", 44, 13, 106, 8, CF_GROUP | CF_NOPREFIX},
    {IDC_STATIC, ControlKind::Static, "Copyright (C) 2026 Kanaroku", 40, 25, 119, 8, CF_GROUP},
    {IDOK, ControlKind::DefPushButton, "了解", 65, 55, 32, 14, CF_TABSTOP | CF_GROUP},
    {IDC_STATIC, ControlKind::Static, "Kanaroku address book, 2026", 48, 35, 112, 8, CF_GROUP},
    {IDC_STATIC, ControlKind::Static, "2000.02.12 update", 7, 64, 54, 8, CF_GROUP},
});

constexpr std::array DIALOGS = {
    DialogTemplate{IDD_ADDRESSBOOK, "なまえ☆ばこ！", 289, 203, DIALOG_FONT, DIALOG_POINT_SIZE, ADDRESS_BOOK_CONTROLS},
    DialogTemplate{IDD_ABOUTBOX, "Version Information", 167, 79, DIALOG_FONT, DIALOG_POINT_SIZE, ABOUT_CONTROLS},
};

}  // namespace

const DialogTemplate* FindDialogTemplate(int id) noexcept
{
    for (const DialogTemplate& dialog : DIALOGS) {
        if (dialog.id == id)
            return &dialog;
    }
    return nullptr;
}
