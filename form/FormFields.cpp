// The form's fields as one table: a row carries everything the exchange,
// the up-downs and the data file say about a field. The exchange walks it
// top to bottom in both directions.
#include "AddressBookDlg.h"
#include "FormMessages.h"
#include "MessageBox.h"
#include "NumberText.h"
#include "RecordSchema.h"
#include "Resources.h"

#include <QDialog>

#include <array>
#include <optional>
#include <variant>

namespace {

// One lambda for each alternative of a variant.
template <typename... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};

}  // namespace

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
        Kind kind;
        std::variant<IntMember, TextMember, NumberMember> member;
        // The file's column the field holds: its label, its limits and its
        // value after 新規. A phone box names the part it holds of any kind.
        int column = -1;
        const char* label = nullptr;   // names a field without a column in messages
        std::optional<Range> check{};  // Number: the values accepted
        int spinId = 0;                // Number: its up-down, 0 for none
        Range spin{};
        bool latin = false;  // typed in Latin letters and digits (numbers always are)

        [[nodiscard]] const Column* FileColumn() const noexcept
        {
            return column < 0 ? nullptr : &COLUMNS[static_cast<std::size_t>(column)];
        }
        // The record field it is shown from and stored into; phone boxes
        // go through the shown kind instead.
        [[nodiscard]] const Column* RecordColumn() const noexcept
        {
            const Column* const file = FileColumn();
            return file != nullptr && file->phoneKind < 0 ? file : nullptr;
        }
        [[nodiscard]] QString Label() const { return QString::fromUtf8(column < 0 ? label : FileColumn()->label); }
        // Shift_JIS bytes the edit takes; 0 for any.
        [[nodiscard]] int EditLimit() const noexcept { return column < 0 ? 0 : FileColumn()->editLimit; }
        // Bytes the file keeps of a text the edit does not limit; 0 for none.
        [[nodiscard]] int FileLimit() const noexcept
        {
            return kind != Kind::Text || EditLimit() != 0 ? 0 : FileColumn()->TextLimit();
        }
    };

    static const std::array<Row, 18> ROWS;

    static void ToControl(Dlg& dialog, const Row& row);
    [[nodiscard]] static bool FromControl(Dlg& dialog, const Row& row);
    [[nodiscard]] static bool TextFromControl(Dlg& dialog, const Row& row);
    [[nodiscard]] static bool NumberFromControl(Dlg& dialog, const Row& row);
    [[nodiscard]] static bool Fail(Dlg& dialog, const Row& row, const QString& message);

    // Between a record and the form value of a row with a record column.
    static void FromRecord(Dlg& dialog, const Row& row, const AddressRecord& record);
    static void ToRecord(const Dlg& dialog, const Row& row, AddressRecord& record);
    // The value 新規 leaves in a row with a column.
    static void ResetForNew(Dlg& dialog, const Row& row);

    [[nodiscard]] static CEdit Edit(Dlg& dialog, int id)
    {
        CEdit edit;
        edit.Attach(dialog, id);
        return edit;
    }
};

const std::array<FormFields::Row, 18> FormFields::ROWS{{
    {.controlId = IDC_MALE, .kind = Kind::RadioGroup, .member = &Dlg::m_sex, .column = COL_SEX},
    {.controlId = IDC_BLOOD_A, .kind = Kind::RadioGroup, .member = &Dlg::m_bloodType, .column = COL_BLOOD_TYPE},
    {.controlId = IDC_NAME, .kind = Kind::Text, .member = &Dlg::m_name, .column = COL_NAME},
    {.controlId = IDC_READING, .kind = Kind::Text, .member = &Dlg::m_reading, .column = COL_READING},
    {.controlId = IDC_NAME_LIST,
     .kind = Kind::ListSelection,
     .member = &Dlg::m_listSelection,
     .label = msg::NAME_LIST_LABEL},
    {.controlId = IDC_PHONE_HOME,
     .kind = Kind::RadioGroup,
     .member = &Dlg::m_phoneKind,
     .label = msg::PHONE_KIND_LABEL},
    {.controlId = IDC_DAY,
     .kind = Kind::Number,
     .member = &Dlg::m_birthDay,
     .column = COL_BIRTH_DAY,
     .check = Range{1, 31},
     .spinId = IDC_DAY_SPIN,
     .spin = {1, 31}},
    {.controlId = IDC_MONTH,
     .kind = Kind::Number,
     .member = &Dlg::m_birthMonth,
     .column = COL_BIRTH_MONTH,
     .spinId = IDC_MONTH_SPIN,
     .spin = {1, 12}},
    {.controlId = IDC_YEAR,
     .kind = Kind::Number,
     .member = &Dlg::m_birthYear,
     .column = COL_BIRTH_YEAR,
     .check = Range{1900, 2099},
     .spinId = IDC_YEAR_SPIN,
     .spin = {1900, 2099}},
    {.controlId = IDC_EMAIL, .kind = Kind::Text, .member = &Dlg::m_email, .column = COL_EMAIL, .latin = true},
    {.controlId = IDC_ZIP1, .kind = Kind::Text, .member = &Dlg::m_zip1, .column = COL_ZIP1, .latin = true},
    {.controlId = IDC_ZIP2, .kind = Kind::Text, .member = &Dlg::m_zip2, .column = COL_ZIP2, .latin = true},
    {.controlId = IDC_PHONE1, .kind = Kind::Text, .member = &Dlg::m_phone1, .column = PhoneColumn(0, 0), .latin = true},
    {.controlId = IDC_PHONE2, .kind = Kind::Text, .member = &Dlg::m_phone2, .column = PhoneColumn(0, 1), .latin = true},
    {.controlId = IDC_PHONE3, .kind = Kind::Text, .member = &Dlg::m_phone3, .column = PhoneColumn(0, 2), .latin = true},
    {.controlId = IDC_AGE,
     .kind = Kind::Number,
     .member = &Dlg::m_age,
     .label = msg::AGE_LABEL,
     .check = Range{0, 199}},
    {.controlId = IDC_ADDRESS1, .kind = Kind::Text, .member = &Dlg::m_address1, .column = COL_ADDRESS1},
    {.controlId = IDC_ADDRESS2, .kind = Kind::Text, .member = &Dlg::m_address2, .column = COL_ADDRESS2},
}};

void FormFields::FromRecord(Dlg& dialog, const Row& row, const AddressRecord& record)
{
    const Column& column = *row.RecordColumn();
    std::visit(Overloaded{
                   [&](IntMember member) { dialog.*member = record_field::Number(record, column); },
                   [&](NumberMember member) {
                       dialog.*member = static_cast<std::uint32_t>(record_field::Number(record, column));
                   },
                   [&](TextMember member) { dialog.*member = std::string(record_field::TextView(record, column)); },
               },
               row.member);
}

void FormFields::ToRecord(const Dlg& dialog, const Row& row, AddressRecord& record)
{
    const Column& column = *row.RecordColumn();
    std::visit(
        Overloaded{
            [&](IntMember member) { record_field::Number(record, column) = dialog.*member; },
            [&](NumberMember member) { record_field::Number(record, column) = static_cast<int>(dialog.*member); },
            [&](TextMember member) { record_field::SetText(record, column, dialog.*member); },
        },
        row.member);
}

void FormFields::ResetForNew(Dlg& dialog, const Row& row)
{
    const Column& column = *row.FileColumn();
    std::visit(Overloaded{
                   [&](IntMember member) { dialog.*member = column.newValue; },
                   [&](NumberMember member) { dialog.*member = static_cast<std::uint32_t>(column.newValue); },
                   [&](TextMember member) { (dialog.*member).clear(); },
               },
               row.member);
}

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
        if (row.EditLimit() > 0)
            edit.SetLimitText(row.EditLimit());
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
        return Fail(dialog, row, msg::NotStorable(row.Label()));
    std::string& member = dialog.*std::get<TextMember>(row.member);
    member = *text;
    if (row.EditLimit() > 0 && member.size() > static_cast<std::size_t>(row.EditLimit()))
        return Fail(dialog, row, StringResource(IDS_PARSE_TEXT_LENGTH).arg(row.EditLimit()));
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
        const int limit = row.FileLimit();
        if (limit == 0 || (this->*std::get<FormFields::TextMember>(row.member)).size() <= std::size_t(limit))
            continue;
        ShowMessage(msg::TooLongForFile(row.Label(), limit));
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

void CAddressBookDlg::ShowRecord(const AddressRecord& record)
{
    m_nameKana.clear();
    m_filledReading.clear();
    for (const FormFields::Row& row : FormFields::ROWS) {
        if (row.RecordColumn() != nullptr)
            FormFields::FromRecord(*this, row, record);
    }
    ShowFormValues();
    UpdateAge();
}

void CAddressBookDlg::BuildRecordFromForm()
{
    for (const FormFields::Row& row : FormFields::ROWS) {
        if (row.RecordColumn() != nullptr)
            FormFields::ToRecord(*this, row, m_record);
    }
    if (m_phoneKind != PHONEKIND_NONE)
        StorePhoneNumber(m_phoneKind, NumberRule::AnyPart);
}

// Every field of the file to its value after 新規; no phone kind chosen.
void CAddressBookDlg::ResetFormValues()
{
    m_nameKana.clear();
    m_filledReading.clear();
    for (const FormFields::Row& row : FormFields::ROWS) {
        if (row.FileColumn() != nullptr)
            FormFields::ResetForNew(*this, row);
    }
    m_phoneKind = PHONEKIND_NONE;
}
