#include "AddressBookDlg.h"

#include "AppIcon.h"
#include "FileDialog.h"
#include "FormMessages.h"
#include "Kana.h"
#include "MessageBox.h"
#include "PostalFill.h"
#include "PrintCardsDialog.h"
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
#include <vector>

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

std::string TextOf(const AddressRecord& record, int column)
{
    return std::string(record_field::TextView(record, COLUMNS[static_cast<std::size_t>(column)]));
}

int FirstKindWithNumber(const AddressRecord& record)
{
    for (int kind = 0; kind < PHONE_KIND_COUNT; ++kind) {
        if (phone_slot::HoldsNumber(record, kind))
            return kind;
    }
    return PHONEKIND_NONE;
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

// The people of a kana row, in the file's order; nullopt when the scan
// could not give all of them (LastScan says why).
std::optional<std::vector<postcard::BookPerson>> PeopleOf(CAddressTable& table, KanaRow row)
{
    std::vector<postcard::BookPerson> people;
    AddressRecord record{};
    for (int more = table.GetFirst(record, row); more; more = table.GetNext(record, row))
        people.push_back({record, table.LastScan().kanaRow});
    if (msg::ScanProblem(table.LastScan()))
        return std::nullopt;
    return people;
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
        phone_slot::MarkEmpty(m_record, kind);
}

CAddressBookDlg::~CAddressBookDlg() = default;

bool CAddressBookDlg::OnInitDialog()
{
    ShowFormValues();
    AppendAboutItem(GetSystemMenu(), FindString(IDS_ABOUTBOX));
    GetSystemMenu().AppendItem(IDM_VCARD_EXPORT, msg::VCARD_EXPORT_ITEM);
    GetSystemMenu().AppendItem(IDM_VCARD_IMPORT, msg::VCARD_IMPORT_ITEM);
    GetSystemMenu().AppendItem(IDM_HAGAKI_PRINT, msg::HAGAKI_PRINT_ITEM);
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
    case IDM_HAGAKI_PRINT:
        PrintPostcards();
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

void CAddressBookDlg::ExportVcard()
{
    const auto path =
        AskFileName(Window(), FileDialogMode::Save, msg::VCARD_EXPORT, msg::VCARD_FILTER, QStringLiteral("vcf"));
    if (path)
        ShowMessage(QString::fromStdString(vcard::SummaryText(vcard::ExportBook(*path))));
}

void CAddressBookDlg::ImportVcard()
{
    const auto path =
        AskFileName(Window(), FileDialogMode::Open, msg::VCARD_IMPORT, msg::VCARD_FILTER, QStringLiteral("vcf"));
    if (!path)
        return;
    const vcard::Report report = vcard::ImportBook(*path);
    if (report.ok)
        FillNameList(m_listedRow);
    ShowMessage(QString::fromStdString(vcard::SummaryText(report)));
}

// The cards of the people the list shows, the whole book to choose the
// sender from.
void CAddressBookDlg::PrintPostcards()
{
    std::optional<std::vector<postcard::BookPerson>> shown = PeopleOf(m_table, m_listedRow);
    std::optional<std::vector<postcard::BookPerson>> book = shown ? PeopleOf(m_table, KANAROW_ALL) : std::nullopt;
    if (!book) {
        ShowMessage(*msg::ScanProblem(m_table.LastScan()));
        return;
    }
    printdlg::SortAsListed(*shown);
    printdlg::PrintCardsDialog dialog(std::move(*shown), std::move(*book), Window());
    dialog.exec();
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
    m_nameList.AddString(TextOf(record, COL_NAME), TextOf(record, COL_READING), kanaRow);
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
        phone_slot::MarkEmpty(m_record, kind);
        return;
    }
    for (std::size_t part = 0; part < parts.size(); ++part)
        record_field::SetText(m_record, COLUMNS[PhoneColumn(kind, static_cast<int>(part))], *parts[part]);
}

// The kind's number from m_record into the three phone values; empty ones
// when the slot holds none (or there is no kind).
void CAddressBookDlg::LoadPhoneNumber(int kind)
{
    const bool holdsNumber = kind != PHONEKIND_NONE && phone_slot::HoldsNumber(m_record, kind);
    std::string* const parts[] = {&m_phone1, &m_phone2, &m_phone3};
    for (std::size_t part = 0; part < std::size(parts); ++part)
        *parts[part] = holdsNumber ? TextOf(m_record, PhoneColumn(kind, static_cast<int>(part))) : std::string();
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
    while (more && TextOf(found, COL_NAME) != name)
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
    ResetFormValues();
    for (int kind = 0; kind < PHONE_KIND_COUNT; ++kind)
        phone_slot::MarkEmpty(m_record, kind);
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
        filled.resize(sjis::FitLength(filled.data(), filled.size(), COLUMNS[COL_READING].editLimit));
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
