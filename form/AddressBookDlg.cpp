#include "AddressBookDlg.h"

#include "AppIcon.h"
#include "FormMessages.h"
#include "MessageBox.h"
#include "Resources.h"
#include "ShiftJis.h"
#include "SjisText.h"

#include <QDialog>

#include <array>
#include <cstring>

namespace {

using Dlg = CAddressBookDlg;

constexpr int IDC_NAME_LIST = 1007;
constexpr int IDC_NAME = 1021;
constexpr int IDC_NEW = 3;
constexpr int IDC_DELETE = 4;
constexpr int IDC_ABOUT = 5;

// The command bindings: the dialog reacts to these and to nothing else.
struct CommandBinding {
    int controlId;
    int code;
    void (Dlg::*handler)();
};

const std::array<CommandBinding, 10> kCommandBindings{{
    {1037, BN_CLICKED, &Dlg::SwitchPhoneKind},
    {1041, BN_CLICKED, &Dlg::SwitchPhoneKind},
    {1042, BN_CLICKED, &Dlg::SwitchPhoneKind},
    {1043, BN_CLICKED, &Dlg::SwitchPhoneKind},
    {1047, EN_KILLFOCUS, &Dlg::UpdateAge},
    {1048, EN_KILLFOCUS, &Dlg::UpdateAge},
    {1049, EN_KILLFOCUS, &Dlg::UpdateAge},
    {IDC_NAME_LIST, LBN_DBLCLK, &Dlg::ShowSelectedPerson},
    {IDC_NEW, BN_CLICKED, &Dlg::NewPerson},
    {IDC_DELETE, BN_CLICKED, &Dlg::DeletePerson},
}};

// The index buttons beside the name list and the kana-row code each asks for.
struct IndexButton {
    int controlId;
    KanaRow code;
};

const std::array<IndexButton, 12> kIndexButtons{{
    {1020, 0}, {1009, 1}, {1010, 2}, {1011, 3}, {1012, 4}, {1013, 5},
    {1014, 6}, {1015, 7}, {1016, 8}, {1017, 9}, {1018, KANAROW_OTHER}, {1019, KANAROW_ALL},
}};

struct SpinSetup {
    CSpinButtonCtrl Dlg::*spin;
    CEdit Dlg::*buddy;
    int lower, upper;
};

const std::array<SpinSetup, 3> kSpinSetups{{
    {&Dlg::m_yearSpin, &Dlg::m_yearEdit, 1900, 2099},
    {&Dlg::m_monthSpin, &Dlg::m_monthEdit, 1, 12},
    {&Dlg::m_daySpin, &Dlg::m_dayEdit, 1, 31},
}};

constexpr unsigned kSysCommandMask = 0xFFF0;

template <std::size_t N>
std::string FieldText(const char (&field)[N])
{
    return {field, ::strnlen(field, N)};
}

template <std::size_t N>
void SetField(char (&field)[N], const std::string& text)
{
    sjis::CopyField(field, N, text.data(), text.size());
}

bool SlotHoldsNumber(const AddressRecord& record, int kind)
{
    return record.phones[kind][0][0] != '*';
}

int FirstKindWithNumber(const AddressRecord& record)
{
    for (int kind = 0; kind < PHONE_KIND_COUNT; ++kind) {
        if (SlotHoldsNumber(record, kind))
            return kind;
    }
    return PHONEKIND_NONE;
}

void MarkSlotEmpty(AddressRecord& record, int kind)
{
    for (auto& part : record.phones[kind])
        SetField(part, "*");
}

}  // namespace

void AppendAboutItem(CSystemMenu& menu, const char* text)
{
    if (text == nullptr || *text == '\0')
        return;
    menu.AppendSeparator();
    menu.AppendItem(IDM_ABOUTBOX, QString::fromUtf8(text));
}

CAddressBookDlg::CAddressBookDlg(AboutBoxRunner runAboutBox)
    : CDialog(*FindDialogTemplate(IDD_ADDRESSBOOK)), m_hIcon(LoadAppIcon()), m_today(LocalToday),
      m_runAboutBox(std::move(runAboutBox))
{
    // Until a person is read, no kind holds a number: a person typed into
    // the form at once gets "*" for the kinds it leaves out.
    for (int kind = 0; kind < PHONE_KIND_COUNT; ++kind)
        MarkSlotEmpty(m_record, kind);
}

CAddressBookDlg::~CAddressBookDlg() = default;

bool CAddressBookDlg::OnInitDialog()
{
    ShowFormValues();
    AppendAboutItem(GetSystemMenu(), FindString(IDS_ABOUTBOX));
    SetIcon(m_hIcon);
    return InitializeForm();
}

void CAddressBookDlg::OnNotify(int id, int code)
{
    for (const CommandBinding& binding : kCommandBindings) {
        if (binding.controlId == id && binding.code == code) {
            (this->*binding.handler)();
            return;
        }
    }
    for (const IndexButton& button : kIndexButtons) {
        if (button.controlId == id && code == BN_CLICKED) {
            FillNameList(button.code);
            return;
        }
    }
    if (id == IDC_ABOUT && code == BN_CLICKED) {
        ShowAbout();
        return;
    }
    CDialog::OnNotify(id, code);
}

void CAddressBookDlg::OnOK()
{
    RegisterPerson();
}

void CAddressBookDlg::OnSysCommand(unsigned command)
{
    if ((command & kSysCommandMask) == IDM_ABOUTBOX) {
        ShowAbout();
        return;
    }
    CDialog::OnSysCommand(command);
}

void CAddressBookDlg::ShowAbout()
{
    if (m_runAboutBox)
        m_runAboutBox(*this);
}

void CAddressBookDlg::ShowMessage(const QString& text)
{
    ShowMessageBox(text, Window());
}

bool CAddressBookDlg::InitializeForm()
{
    for (const SpinSetup& setup : kSpinSetups) {
        (this->*setup.spin).SetRange(setup.lower, setup.upper);
        (this->*setup.spin).SetBuddy(this->*setup.buddy);
    }
    UpdateAge();

    if (!m_table.GetFirst(m_record, KANAROW_ALL)) {
        const ScanStatus& status = m_table.LastScan();
        if (status.end == ScanEnd::OpenFailed) {
            ShowMessage(msg::kCannotOpenFile);
            return false;
        }
        if (status.end == ScanEnd::MalformedLine && status.dataHidden) {
            ShowMessage(msg::MalformedLine(status));
            return false;
        }
        return true;  // a new user's file: nobody in it yet
    }
    AddNameToList(m_record);
    ShowRecord(m_record);
    m_phoneKind = FirstKindWithNumber(m_record);
    if (m_phoneKind != PHONEKIND_NONE) {
        ShowFormValues();
        SwitchPhoneKind();
    }

    AddressRecord next{};
    while (m_table.GetNext(next, KANAROW_ALL))
        AddNameToList(next);
    const ScanStatus& status = m_table.LastScan();
    if (status.end == ScanEnd::MalformedLine && status.dataHidden)
        ShowMessage(msg::MalformedLine(status));
    return true;
}

void CAddressBookDlg::FillNameList(int code)
{
    while (m_nameList.DeleteString(0) != LB_ERR) {
    }
    AddressRecord record{};
    if (m_table.GetFirst(record, code))
        AddNameToList(record);
    while (m_table.GetNext(record, code))
        AddNameToList(record);
}

void CAddressBookDlg::AddNameToList(const AddressRecord& record)
{
    // Ordered by reading, so a Japanese user finds people in gojūon order.
    m_nameList.AddString(FieldText(record.name), FieldText(record.reading));
}

void CAddressBookDlg::ShowRecord(const AddressRecord& record)
{
    m_reading = FieldText(record.reading);
    m_name = FieldText(record.name);
    m_address1 = FieldText(record.address1);
    m_address2 = FieldText(record.address2);
    m_birthYear = static_cast<std::uint32_t>(record.birthYear);
    m_birthMonth = static_cast<std::uint32_t>(record.birthMonth);
    m_birthDay = static_cast<std::uint32_t>(record.birthDay);
    m_bloodType = record.bloodType;
    m_email = FieldText(record.email);
    m_zip1 = FieldText(record.zip1);
    m_zip2 = FieldText(record.zip2);
    m_sex = record.sex;
    ShowFormValues();
    UpdateAge();
}

void CAddressBookDlg::SwitchPhoneKind()
{
    (void)ReadFormValues();
    if (m_shownPhoneKind != PHONEKIND_NONE) {
        auto& slot = m_record.phones[m_shownPhoneKind];
        if (!m_phone1.empty() && !m_phone2.empty() && !m_phone3.empty()) {
            SetField(slot[0], m_phone1);
            SetField(slot[1], m_phone2);
            SetField(slot[2], m_phone3);
        } else {
            MarkSlotEmpty(m_record, m_shownPhoneKind);
        }
    }
    if (m_phoneKind == PHONEKIND_NONE)
        return;
    if (SlotHoldsNumber(m_record, m_phoneKind)) {
        const auto& slot = m_record.phones[m_phoneKind];
        m_phone1 = FieldText(slot[0]);
        m_phone2 = FieldText(slot[1]);
        m_phone3 = FieldText(slot[2]);
    } else {
        m_phone1.clear();
        m_phone2.clear();
        m_phone3.clear();
    }
    m_shownPhoneKind = m_phoneKind;
    ShowFormValues();
}

void CAddressBookDlg::ShowFirstPhoneKind()
{
    m_phoneKind = FirstKindWithNumber(m_record);
    m_shownPhoneKind = m_phoneKind;
    if (m_phoneKind == PHONEKIND_NONE) {
        // Nothing to show: the previous person's number must not stay.
        m_phone1.clear();
        m_phone2.clear();
        m_phone3.clear();
    } else {
        const auto& slot = m_record.phones[m_phoneKind];
        m_phone1 = FieldText(slot[0]);
        m_phone2 = FieldText(slot[1]);
        m_phone3 = FieldText(slot[2]);
    }
    ShowFormValues();
}

// The first person of the file with exactly that name; false (message
// shown) when the file cannot be read or holds no such person.
bool CAddressBookDlg::FindPerson(const std::string& name, AddressRecord& found)
{
    int more = m_table.GetFirst(found, KANAROW_ALL);
    while (more && FieldText(found.name) != name)
        more = m_table.GetNext(found, KANAROW_ALL);
    if (more)
        return true;
    const ScanStatus& status = m_table.LastScan();
    if (status.end == ScanEnd::OpenFailed)
        ShowMessage(msg::kCannotOpenFile);
    else if (status.end == ScanEnd::MalformedLine && status.dataHidden)
        ShowMessage(msg::MalformedLine(status));
    else
        ShowMessage(msg::NameNotInFile(sjis::ToQString(name)));
    return false;
}

void CAddressBookDlg::ShowSelectedPerson()
{
    (void)ReadFormValues();
    // Read into a buffer of its own: m_record keeps the shown person's
    // numbers unless the person is really found.
    AddressRecord found{};
    if (!FindPerson(m_listSelection, found))
        return;
    m_record = found;
    ShowRecord(m_record);
    ShowFirstPhoneKind();
}

// Looks for the name in the file; false (message shown) when the file
// cannot be searched to its end.
bool CAddressBookDlg::NameIsRegistered(const std::string& name, bool& registered)
{
    AddressRecord record{};
    registered = false;
    int more = m_table.GetFirst(record, KANAROW_ALL);
    while (more) {
        if (FieldText(record.name) == name) {
            registered = true;
            return true;
        }
        more = m_table.GetNext(record, KANAROW_ALL);
    }
    const ScanStatus& status = m_table.LastScan();
    if (status.end == ScanEnd::OpenFailed) {
        ShowMessage(msg::kCannotOpenFile);
        return false;
    }
    if (status.end == ScanEnd::MalformedLine) {
        // A person stored behind that line could never be read again.
        ShowMessage(msg::MalformedLine(status));
        return false;
    }
    return true;
}

namespace {

struct FileTextField {
    std::string Dlg::*member;
    int controlId;
    const char* label;
    std::size_t width;
};

// The fields whose edits take text of any length.
const std::array<FileTextField, 3> kUnlimitedFields{{
    {&Dlg::m_address1, 1027, "住所", sizeof AddressRecord::address1},
    {&Dlg::m_address2, 1028, "住所", sizeof AddressRecord::address2},
    {&Dlg::m_email, 1046, "ｅ－ｍａｉｌ", sizeof AddressRecord::email},
}};

}  // namespace

// The data file keeps at most a field's width less one byte; refuse rather
// than cut what the user typed.
bool CAddressBookDlg::RecordFitsFile()
{
    for (const FileTextField& field : kUnlimitedFields) {
        const int maxBytes = static_cast<int>(field.width) - 1;
        if ((this->*field.member).size() > field.width - 1) {
            ShowMessage(msg::TooLongForFile(QString::fromUtf8(field.label), maxBytes));
            GotoDlgCtrl(field.controlId);
            return false;
        }
    }
    return true;
}

void CAddressBookDlg::BuildRecordFromForm()
{
    SetField(m_record.reading, m_reading);
    SetField(m_record.name, m_name);
    SetField(m_record.address1, m_address1);
    SetField(m_record.address2, m_address2);
    SetField(m_record.email, m_email);
    SetField(m_record.zip1, m_zip1);
    SetField(m_record.zip2, m_zip2);
    m_record.birthYear = static_cast<int>(m_birthYear);
    m_record.birthMonth = static_cast<int>(m_birthMonth);
    m_record.birthDay = static_cast<int>(m_birthDay);
    m_record.bloodType = m_bloodType;
    m_record.sex = m_sex;
    if (m_phoneKind == PHONEKIND_NONE)
        return;
    if (m_phone1.empty() && m_phone2.empty() && m_phone3.empty()) {
        MarkSlotEmpty(m_record, m_phoneKind);
        return;
    }
    auto& slot = m_record.phones[m_phoneKind];
    SetField(slot[0], m_phone1);
    SetField(slot[1], m_phone2);
    SetField(slot[2], m_phone3);
}

void CAddressBookDlg::RegisterPerson()
{
    if (!ReadFormValues())
        return;
    if (m_name.empty() || m_reading.empty()) {
        ShowMessage(msg::kRequiredMissing);
        return;
    }
    bool registered = false;
    if (!NameIsRegistered(m_name, registered))
        return;
    if (registered) {
        ShowMessage(msg::kChangeUnsupported);
        return;
    }
    if (!RecordFitsFile())
        return;
    BuildRecordFromForm();
    if (!m_table.AddRecord(m_record)) {
        ShowMessage(msg::kRegisterFailed);
        return;
    }
    AddNameToList(m_record);
}

void CAddressBookDlg::NewPerson()
{
    m_reading.clear();
    m_name.clear();
    m_address1.clear();
    m_address2.clear();
    m_sex = -1;
    m_bloodType = -1;
    m_phoneKind = PHONEKIND_NONE;
    m_birthDay = 1;
    m_birthMonth = 1;
    m_birthYear = 1970;
    m_email.clear();
    m_zip1.clear();
    m_zip2.clear();
    m_phone1.clear();
    m_phone2.clear();
    m_phone3.clear();
    for (int kind = 0; kind < PHONE_KIND_COUNT; ++kind)
        MarkSlotEmpty(m_record, kind);
    // A number typed now belongs to no earlier person's kind.
    m_shownPhoneKind = PHONEKIND_NONE;
    ShowFormValues();
    UpdateAge();
    m_nameEdit.SetFocus();
}

void CAddressBookDlg::DeletePerson()
{
    ShowMessage(msg::kDeleteUnsupported);
}

void CAddressBookDlg::UpdateAge()
{
    (void)ReadFormValues();
    m_age = ComputeAge(m_today(), m_birthYear, m_birthMonth, m_birthDay);
    ShowFormValues();
}

void CAddressBookDlg::EnablePhoneEdits(bool enable)
{
    m_phone1Edit.EnableWindow(enable);
    m_phone2Edit.EnableWindow(enable);
    m_phone3Edit.EnableWindow(enable);
}
