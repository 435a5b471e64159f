// The form's fields as one table: a row carries everything the exchange,
// the up-downs and the data file say about a field. The exchange walks it
// top to bottom in both directions.
#include "AddressBookDlg.h"
#include "FormMessages.h"
#include "MessageBox.h"
#include "NumberText.h"
#include "Resources.h"

#include <QDialog>

#include <array>
#include <optional>
#include <variant>

struct FormFields {
    using Dlg = CAddressBookDlg;
    using IntMember = int Dlg::*;
    using TextMember = std::string Dlg::*;
    using NumberMember = std::uint32_t Dlg::*;

    enum class Kind { RadioGroup, Text, ListSelection, Number };

    struct Range {
        std::uint32_t lower = 0, upper = 0;
    };

    struct Row {
        int controlId;
        const char* label;  // names the field in messages
        Kind kind;
        std::variant<IntMember, TextMember, NumberMember> member;
        int editLimit = 0;             // Text: Shift_JIS bytes the edit takes, 0 for any
        int fileLimit = 0;             // Text the edit does not limit: bytes the file keeps
        std::optional<Range> check{};  // Number: the values accepted
        int spinId = 0;                // Number: its up-down, 0 for none
        Range spin{};
        bool latin = false;  // typed in Latin letters and digits (numbers always are)
    };

    static constexpr int FILE_TEXT_LIMIT = sizeof AddressRecord::address1 - 1;
    static constexpr int FILE_EMAIL_LIMIT = sizeof AddressRecord::email - 1;

    static const std::array<Row, 18> ROWS;

    static void ToControl(Dlg& dialog, const Row& row);
    [[nodiscard]] static bool FromControl(Dlg& dialog, const Row& row);
    [[nodiscard]] static bool TextFromControl(Dlg& dialog, const Row& row);
    [[nodiscard]] static bool NumberFromControl(Dlg& dialog, const Row& row);
    [[nodiscard]] static bool Fail(Dlg& dialog, const Row& row, const QString& message);

    [[nodiscard]] static CEdit Edit(Dlg& dialog, int id)
    {
        CEdit edit;
        edit.Attach(dialog, id);
        return edit;
    }
};

const std::array<FormFields::Row, 18> FormFields::ROWS{{
    {.controlId = IDC_MALE, .label = "性別", .kind = Kind::RadioGroup, .member = &Dlg::m_sex},
    {.controlId = IDC_BLOOD_A, .label = "血液型", .kind = Kind::RadioGroup, .member = &Dlg::m_bloodType},
    {.controlId = IDC_NAME, .label = "名前", .kind = Kind::Text, .member = &Dlg::m_name, .editLimit = Dlg::NAME_LIMIT},
    {.controlId = IDC_READING,
     .label = "ふりがな",
     .kind = Kind::Text,
     .member = &Dlg::m_reading,
     .editLimit = Dlg::NAME_LIMIT},
    {.controlId = IDC_NAME_LIST, .label = "名前の一覧", .kind = Kind::ListSelection, .member = &Dlg::m_listSelection},
    {.controlId = IDC_PHONE_HOME, .label = "電話番号の種類", .kind = Kind::RadioGroup, .member = &Dlg::m_phoneKind},
    {.controlId = IDC_DAY,
     .label = "日",
     .kind = Kind::Number,
     .member = &Dlg::m_birthDay,
     .check = Range{1, 31},
     .spinId = IDC_DAY_SPIN,
     .spin = {1, 31}},
    {.controlId = IDC_MONTH,
     .label = "月",
     .kind = Kind::Number,
     .member = &Dlg::m_birthMonth,
     .spinId = IDC_MONTH_SPIN,
     .spin = {1, 12}},
    {.controlId = IDC_YEAR,
     .label = "年",
     .kind = Kind::Number,
     .member = &Dlg::m_birthYear,
     .check = Range{1900, 2099},
     .spinId = IDC_YEAR_SPIN,
     .spin = {1900, 2099}},
    {.controlId = IDC_EMAIL,
     .label = "ｅ－ｍａｉｌ",
     .kind = Kind::Text,
     .member = &Dlg::m_email,
     .fileLimit = FILE_EMAIL_LIMIT,
     .latin = true},
    {.controlId = IDC_ZIP1,
     .label = "郵便番号",
     .kind = Kind::Text,
     .member = &Dlg::m_zip1,
     .editLimit = 3,
     .latin = true},
    {.controlId = IDC_ZIP2,
     .label = "郵便番号",
     .kind = Kind::Text,
     .member = &Dlg::m_zip2,
     .editLimit = 4,
     .latin = true},
    {.controlId = IDC_PHONE1,
     .label = "電話番号",
     .kind = Kind::Text,
     .member = &Dlg::m_phone1,
     .editLimit = 5,
     .latin = true},
    {.controlId = IDC_PHONE2,
     .label = "電話番号",
     .kind = Kind::Text,
     .member = &Dlg::m_phone2,
     .editLimit = 4,
     .latin = true},
    {.controlId = IDC_PHONE3,
     .label = "電話番号",
     .kind = Kind::Text,
     .member = &Dlg::m_phone3,
     .editLimit = 4,
     .latin = true},
    {.controlId = IDC_AGE, .label = "歳", .kind = Kind::Number, .member = &Dlg::m_age, .check = Range{0, 199}},
    {.controlId = IDC_ADDRESS1,
     .label = "住所",
     .kind = Kind::Text,
     .member = &Dlg::m_address1,
     .fileLimit = FILE_TEXT_LIMIT},
    {.controlId = IDC_ADDRESS2,
     .label = "住所",
     .kind = Kind::Text,
     .member = &Dlg::m_address2,
     .fileLimit = FILE_TEXT_LIMIT},
}};

namespace {

QString StringResource(int id)
{
    return QString::fromUtf8(FindString(id));
}

}  // namespace

void FormFields::ToControl(Dlg& dialog, const Row& row)
{
    switch (row.kind) {
    case Kind::RadioGroup:
        dialog.SetCheckedRadio(row.controlId, dialog.*std::get<IntMember>(row.member));
        return;
    case Kind::Text: {
        CEdit edit = Edit(dialog, row.controlId);
        edit.SetWindowText(dialog.*std::get<TextMember>(row.member));
        if (row.editLimit > 0)
            edit.SetLimitText(row.editLimit);
        return;
    }
    case Kind::ListSelection: {
        // The person shown, not another name it is the beginning of.
        const std::string& name = dialog.*std::get<TextMember>(row.member);
        if (dialog.m_nameList.SelectStringExact(name) == LB_ERR)
            dialog.m_nameList.SelectString(name);
        return;
    }
    case Kind::Number:
        Edit(dialog, row.controlId).SetWindowText(std::to_string(dialog.*std::get<NumberMember>(row.member)));
        return;
    }
}

bool FormFields::FromControl(Dlg& dialog, const Row& row)
{
    switch (row.kind) {
    case Kind::RadioGroup:
        dialog.*std::get<IntMember>(row.member) = dialog.GetCheckedRadio(row.controlId);
        return true;
    case Kind::Text:
        return TextFromControl(dialog, row);
    case Kind::ListSelection: {
        const int selected = dialog.m_nameList.GetCurSel();
        dialog.*std::get<TextMember>(row.member) = selected < 0 ? std::string() : dialog.m_nameList.GetText(selected);
        return true;
    }
    case Kind::Number:
        return NumberFromControl(dialog, row);
    }
    return true;
}

bool FormFields::TextFromControl(Dlg& dialog, const Row& row)
{
    const std::optional<std::string> text = Edit(dialog, row.controlId).GetWindowText();
    if (!text)
        return Fail(dialog, row, msg::NotStorable(QString::fromUtf8(row.label)));
    std::string& member = dialog.*std::get<TextMember>(row.member);
    member = *text;
    if (row.editLimit > 0 && member.size() > static_cast<std::size_t>(row.editLimit))
        return Fail(dialog, row, StringResource(IDS_PARSE_TEXT_LENGTH).arg(row.editLimit));
    return true;
}

bool FormFields::NumberFromControl(Dlg& dialog, const Row& row)
{
    const std::optional<std::string> text = Edit(dialog, row.controlId).GetWindowText();
    const std::optional<std::uint32_t> value = text ? ParseUnsignedField(*text) : std::nullopt;
    if (!value)
        return Fail(dialog, row, StringResource(IDS_PARSE_UINT));
    std::uint32_t& member = dialog.*std::get<NumberMember>(row.member);
    member = *value;
    if (row.check && (member < row.check->lower || member > row.check->upper))
        return Fail(dialog, row, StringResource(IDS_PARSE_RANGE).arg(row.check->lower).arg(row.check->upper));
    return true;
}

bool FormFields::Fail(Dlg& dialog, const Row& row, const QString& message)
{
    ShowMessageBox(message, dialog.Window());
    dialog.GotoDlgCtrl(row.controlId);
    return false;
}

bool CAddressBookDlg::ExchangeFormValues(Direction direction)
{
    // The message boxes and focus moves below must not start handlers.
    const NotificationBlocker blocker(*this);
    try {
        BindControls();
        for (const FormFields::Row& row : FormFields::ROWS) {
            if (direction == Direction::ToControls)
                FormFields::ToControl(*this, row);
            else if (!FormFields::FromControl(*this, row))
                return false;
        }
        if (direction == Direction::ToControls)
            EnablePhoneEdits(m_phoneKind != PHONEKIND_NONE);
        return true;
    } catch (...) {
        ShowMessageBox(StringResource(IDS_INTERNAL_ERROR), Window());
        return false;
    }
}

void CAddressBookDlg::SetUpControls()
{
    for (const FormFields::Row& row : FormFields::ROWS) {
        if (row.latin || row.kind == FormFields::Kind::Number)
            FormFields::Edit(*this, row.controlId).SetLatinInput();
        if (row.spinId == 0)
            continue;
        CSpinButtonCtrl spin;
        spin.Attach(*this, row.spinId);
        spin.SetRange(static_cast<int>(row.spin.lower), static_cast<int>(row.spin.upper));
        CEdit buddy = FormFields::Edit(*this, row.controlId);
        spin.SetBuddy(buddy);
    }
}

// The data file keeps at most a field's width less one byte; refuse rather
// than cut what the user typed.
bool CAddressBookDlg::RecordFitsFile()
{
    for (const FormFields::Row& row : FormFields::ROWS) {
        if (row.fileLimit == 0
            || (this->*std::get<FormFields::TextMember>(row.member)).size() <= std::size_t(row.fileLimit))
            continue;
        ShowMessage(msg::TooLongForFile(QString::fromUtf8(row.label), row.fileLimit));
        GotoDlgCtrl(row.controlId);
        return false;
    }
    return true;
}

void CAddressBookDlg::BindControls()
{
    if (m_controlsBound)
        return;
    m_nameEdit.Attach(*this, IDC_NAME);
    m_readingEdit.Attach(*this, IDC_READING);
    m_phone1Edit.Attach(*this, IDC_PHONE1);
    m_phone2Edit.Attach(*this, IDC_PHONE2);
    m_phone3Edit.Attach(*this, IDC_PHONE3);
    m_nameList.Attach(*this, IDC_NAME_LIST);
    m_controlsBound = true;
}
