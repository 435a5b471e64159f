#include "AddressBookDlg.h"

#include "AppIcon.h"
#include "FileDialog.h"
#include "FormMessages.h"
#include "Kana.h"
#include "MessageBox.h"
#include "PostalFill.h"
#include "Resources.h"
#include "ShiftJis.h"
#include "SjisCodec.h"
#include "SjisText.h"
#include "VcardBook.h"

#include <QDialog>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <utility>

namespace {

// The index buttons beside the name list and the kana-row code each asks for.
struct IndexButton {
    int controlId;
    KanaRow code;
};

constexpr std::array<IndexButton, 12> INDEX_BUTTONS{{
    {IDC_INDEX_A, 0},
    {IDC_INDEX_KA, 1},
    {IDC_INDEX_SA, 2},
    {IDC_INDEX_TA, 3},
    {IDC_INDEX_NA, 4},
    {IDC_INDEX_HA, 5},
    {IDC_INDEX_MA, 6},
    {IDC_INDEX_YA, 7},
    {IDC_INDEX_RA, 8},
    {IDC_INDEX_WA, 9},
    {IDC_INDEX_OTHER, KANAROW_OTHER},
    {IDC_INDEX_ALL, KANAROW_ALL},
}};

constexpr unsigned SYS_COMMAND_MASK = 0xFFF0;

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

// The reading a pre-edit text of the name shows: its kana, katakana made
// hiragana as the file's readings are, and a romaji n still pending taken
// as ん, as the input method takes it when it converts. Empty when nothing
// is shown and while romaji follow the kana (a kana still being typed:
// what came before is not the whole reading); nullopt for a conversion.
std::optional<std::string> KanaReading(const std::string& preedit)
{
    QString text = sjis::ToQString(preedit);
    if (text.endsWith(u'n') || text.endsWith(u'ｎ'))
        text.back() = u'ん';
    const auto isKana = [](QChar ch) {
        const char16_t c = ch.unicode();
        return (c >= u'ぁ' && c <= u'ん') || (c >= u'ァ' && c <= u'ヶ') || c == u'ー';
    };
    if (!std::all_of(text.begin(), text.end(), isKana)) {
        const QString last = text.right(1).normalized(QString::NormalizationForm_KC);  // ｈ is h
        const bool romajiPending = isKana(text.front()) && last.size() == 1 && last[0].unicode() < 0x80;
        return romajiPending ? std::optional<std::string>(std::string()) : std::nullopt;
    }
    return sjis::EncodeFromUtf8(vcard::KatakanaToHiragana(text.toStdString())).value_or(std::string());
}

bool EndsWithSpace(const std::string& sjisText)
{
    const QString text = sjis::ToQString(sjisText);
    return text.endsWith(u' ') || text.endsWith(u'　');
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
    GetSystemMenu().AppendItem(IDM_VCARD_EXPORT, QStringLiteral("vCard ファイルへ書き出す…"));
    GetSystemMenu().AppendItem(IDM_VCARD_IMPORT, QStringLiteral("vCard ファイルから取り込む…"));
    SetIcon(m_hIcon);
    m_postalFill = std::make_unique<PostalFill>(*this);
    return InitializeForm();
}

void CAddressBookDlg::OnNotify(int id, int code)
{
    // The command bindings: the dialog reacts to these and to nothing else.
    struct CommandBinding {
        int controlId;
        int code;
        void (CAddressBookDlg::*handler)();
    };
    static constexpr std::array<CommandBinding, 12> COMMAND_BINDINGS{{
        {IDC_NAME, EN_COMPOSITION, &CAddressBookDlg::FillReadingFromName},
        {IDC_PHONE_HOME, BN_CLICKED, &CAddressBookDlg::SwitchPhoneKind},
        {IDC_PHONE_MOBILE, BN_CLICKED, &CAddressBookDlg::SwitchPhoneKind},
        {IDC_PHONE_PHS, BN_CLICKED, &CAddressBookDlg::SwitchPhoneKind},
        {IDC_PHONE_PAGER, BN_CLICKED, &CAddressBookDlg::SwitchPhoneKind},
        {IDC_YEAR, EN_KILLFOCUS, &CAddressBookDlg::UpdateAge},
        {IDC_MONTH, EN_KILLFOCUS, &CAddressBookDlg::UpdateAge},
        {IDC_DAY, EN_KILLFOCUS, &CAddressBookDlg::UpdateAge},
        {IDC_NAME_LIST, LBN_DBLCLK, &CAddressBookDlg::ShowSelectedPerson},
        {IDC_NEW, BN_CLICKED, &CAddressBookDlg::NewPerson},
        {IDC_DELETE, BN_CLICKED, &CAddressBookDlg::DeletePerson},
        {IDC_ABOUT, BN_CLICKED, &CAddressBookDlg::ShowAbout},
    }};
    for (const CommandBinding& binding : COMMAND_BINDINGS) {
        if (binding.controlId == id && binding.code == code) {
            (this->*binding.handler)();
            return;
        }
    }
    for (const IndexButton& button : INDEX_BUTTONS) {
        if (button.controlId == id && code == BN_CLICKED) {
            FillNameList(button.code);
            return;
        }
    }
    CDialog::OnNotify(id, code);
}

void CAddressBookDlg::OnOK()
{
    RegisterPerson();
}

void CAddressBookDlg::OnSysCommand(unsigned command)
{
    switch (command & SYS_COMMAND_MASK) {
    case IDM_ABOUTBOX:
        ShowAbout();
        return;
    case IDM_VCARD_EXPORT:
        ExportVcard();
        return;
    case IDM_VCARD_IMPORT:
        ImportVcard();
        return;
    default:
        CDialog::OnSysCommand(command);
    }
}

void CAddressBookDlg::ShowAbout()
{
    if (m_runAboutBox)
        m_runAboutBox(*this);
}

namespace {

const QString VCARD_FILTER = QStringLiteral("vCard (*.vcf *.vcard);;すべてのファイル (*)");

}  // namespace

void CAddressBookDlg::ExportVcard()
{
    const auto path = AskFileName(Window(), FileDialogMode::Save, QStringLiteral("vCard ファイルへ書き出す"),
                                  VCARD_FILTER, QStringLiteral("vcf"));
    if (path)
        ShowMessage(QString::fromStdString(vcard::SummaryText(vcard::ExportBook(*path))));
}

void CAddressBookDlg::ImportVcard()
{
    const auto path = AskFileName(Window(), FileDialogMode::Open, QStringLiteral("vCard ファイルから取り込む"),
                                  VCARD_FILTER, QStringLiteral("vcf"));
    if (!path)
        return;
    const vcard::Report report = vcard::ImportBook(*path);
    if (report.ok)
        FillNameList(m_listedRow);
    ShowMessage(QString::fromStdString(vcard::SummaryText(report)));
}

void CAddressBookDlg::ShowMessage(const QString& text)
{
    ShowMessageBox(text, Window());
}

bool CAddressBookDlg::InitializeForm()
{
    SetUpControls();
    UpdateAge();
    // Shown once; the names still show as well as they can.
    if (CAddressTable::FileLooksLikeUtf8())
        ShowMessage(msg::FILE_IN_UTF8);

    if (!m_table.GetFirst(m_record, KANAROW_ALL)) {
        // A file without anyone in it is a new user's: nothing to say.
        const std::optional<QString> problem = msg::ScanProblem(m_table.LastScan());
        if (problem)
            ShowMessage(*problem);
        return !problem;
    }
    AddNameToList(m_record, m_table.LastScan().kanaRow);
    ShowRecord(m_record);
    m_phoneKind = FirstKindWithNumber(m_record);
    if (m_phoneKind != PHONEKIND_NONE) {
        ShowFormValues();
        SwitchPhoneKind();
    }

    AddressRecord next{};
    while (m_table.GetNext(next, KANAROW_ALL))
        AddNameToList(next, m_table.LastScan().kanaRow);
    if (const std::optional<QString> problem = msg::ScanProblem(m_table.LastScan()))
        ShowMessage(*problem);
    return true;
}

void CAddressBookDlg::FillNameList(int code)
{
    m_listedRow = code;
    while (m_nameList.DeleteString(0) != LB_ERR) {
    }
    AddressRecord record{};
    if (m_table.GetFirst(record, code))
        AddNameToList(record, m_table.LastScan().kanaRow);
    while (m_table.GetNext(record, code))
        AddNameToList(record, m_table.LastScan().kanaRow);
}

void CAddressBookDlg::AddNameToList(const AddressRecord& record, KanaRow kanaRow)
{
    // In the order of the index buttons: by kana row (katakana and Latin
    // readings with 英字), then by reading in gojūon order.
    m_nameList.AddString(FieldText(record.name), FieldText(record.reading), kanaRow);
}

void CAddressBookDlg::ShowRecord(const AddressRecord& record)
{
    m_nameKana.clear();
    m_filledReading.clear();
    if (m_postalFill)
        m_postalFill->Reset();
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
    if (m_shownPhoneKind != PHONEKIND_NONE)
        StorePhoneNumber(m_shownPhoneKind, NumberRule::AllParts);
    if (m_phoneKind == PHONEKIND_NONE)
        return;
    LoadPhoneNumber(m_phoneKind);
    m_shownPhoneKind = m_phoneKind;
    ShowFormValues();
}

// The three phone values into the kind's slot of m_record, or the
// empty-slot marker when they do not make a number under the rule.
void CAddressBookDlg::StorePhoneNumber(int kind, NumberRule rule)
{
    const std::array<const std::string*, 3> parts{&m_phone1, &m_phone2, &m_phone3};
    const auto filled = [](const std::string* part) { return !part->empty(); };
    const bool keep = rule == NumberRule::AllParts ? std::all_of(parts.begin(), parts.end(), filled)
                                                   : std::any_of(parts.begin(), parts.end(), filled);
    if (!keep) {
        MarkSlotEmpty(m_record, kind);
        return;
    }
    for (std::size_t part = 0; part < parts.size(); ++part)
        SetField(m_record.phones[kind][part], *parts[part]);
}

// The kind's number from m_record into the three phone values; empty ones
// when the slot holds none (or there is no kind).
void CAddressBookDlg::LoadPhoneNumber(int kind)
{
    const bool holdsNumber = kind != PHONEKIND_NONE && SlotHoldsNumber(m_record, kind);
    std::string* const parts[] = {&m_phone1, &m_phone2, &m_phone3};
    for (std::size_t part = 0; part < std::size(parts); ++part)
        *parts[part] = holdsNumber ? FieldText(m_record.phones[kind][part]) : std::string();
}

void CAddressBookDlg::ShowFirstPhoneKind()
{
    m_phoneKind = FirstKindWithNumber(m_record);
    m_shownPhoneKind = m_phoneKind;
    // With no kind, nothing to show: the previous person's number must not stay.
    LoadPhoneNumber(m_phoneKind);
    ShowFormValues();
}

bool CAddressBookDlg::ScanForName(const std::string& name, AddressRecord& found)
{
    int more = m_table.GetFirst(found, KANAROW_ALL);
    while (more && FieldText(found.name) != name)
        more = m_table.GetNext(found, KANAROW_ALL);
    return more != 0;
}

void CAddressBookDlg::ShowSelectedPerson()
{
    (void)ReadFormValues();
    // Read into a buffer of its own: m_record keeps the shown person's
    // numbers unless the person is really found.
    AddressRecord found{};
    if (!ScanForName(m_listSelection, found)) {
        ShowMessage(
            msg::ScanProblem(m_table.LastScan()).value_or(msg::NameNotInFile(sjis::ToQString(m_listSelection))));
        return;
    }
    m_record = found;
    ShowRecord(m_record);
    ShowFirstPhoneKind();
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
    if (m_phoneKind != PHONEKIND_NONE)
        StorePhoneNumber(m_phoneKind, NumberRule::AnyPart);
}

void CAddressBookDlg::RegisterPerson()
{
    if (!ReadFormValues())
        return;
    if (m_name.empty() || m_reading.empty()) {
        ShowMessage(msg::REQUIRED_MISSING);
        return;
    }
    AddressRecord found{};
    if (ScanForName(m_name, found)) {
        ShowMessage(msg::CHANGE_UNSUPPORTED);
        return;
    }
    if (const std::optional<QString> problem = msg::ScanProblem(m_table.LastScan(), true)) {
        ShowMessage(*problem);
        return;
    }
    if (!RecordFitsFile())
        return;
    BuildRecordFromForm();
    if (!m_table.AddRecord(m_record)) {
        const bool partLeft = m_table.LastAppend() == AppendEnd::UnfinishedLineLeft;
        ShowMessage(partLeft ? msg::REGISTER_LEFT_UNFINISHED_LINE : msg::REGISTER_FAILED);
        return;
    }
    AddNameToList(m_record, CAddressTable::ClassifyReading(m_record.reading));
}

void CAddressBookDlg::NewPerson()
{
    m_nameKana.clear();
    m_filledReading.clear();
    if (m_postalFill)
        m_postalFill->Reset();
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

// ふりがな as the name is typed through an input method: when the name takes
// a commit, the kana the input method showed before converting it go into
// the reading, unless the reading holds text the fill did not put there.
void CAddressBookDlg::FillReadingFromName()
{
    const CEdit::Composition typed = m_nameEdit.GetComposition();
    const std::string kana = typed.committed.empty() ? std::string() : std::exchange(m_nameKana, {});
    const std::optional<std::string> reading = m_readingEdit.GetWindowText();
    if (!kana.empty() && reading && (reading->empty() || *reading == m_filledReading)) {
        // A name typed anew (it holds only what came now) starts the reading anew.
        std::string filled = m_nameEdit.GetWindowText() == typed.committed ? std::string() : *reading;
        if (!filled.empty() && !filled.ends_with(' ') && EndsWithSpace(typed.preceding))
            filled += ' ';
        filled += kana;
        filled.resize(sjis::FitLength(filled.data(), filled.size(), NAME_LIMIT));
        m_readingEdit.SetWindowText(filled);
        m_filledReading = filled;
    }
    // A conversion shown keeps the kana it was made from.
    if (const std::optional<std::string> shown = KanaReading(typed.preedit))
        m_nameKana = *shown;
}

void CAddressBookDlg::DeletePerson()
{
    ShowMessage(msg::DELETE_UNSUPPORTED);
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
