#include "VcardBook.h"

#include "CardExport.h"
#include "CardImport.h"
#include "FileBytes.h"
#include "VcardReader.h"
#include "Words.h"

#include <cerrno>
#include <cstring>
#include <string_view>
#include <unordered_set>

namespace vcard {

namespace {

// The scan's end as a failure text; empty when nothing stands in the way.
std::string ScanFailure(const ScanStatus& status, bool refuseAnyMalformedLine)
{
    if (status.end == ScanEnd::OpenFailed)
        return words::CannotOpenDataFile();
    const bool stops = status.end == ScanEnd::MalformedLine && (status.dataHidden || refuseAnyMalformedLine);
    return stops ? words::MalformedLine(status) : std::string();
}

std::string_view NameBytes(const AddressRecord& record)
{
    return {record.name, ::strnlen(record.name, sizeof record.name)};
}

// The names the data file holds, as stored (Shift_JIS).
using NameSet = std::unordered_set<std::string>;

// Any malformed line stops the import, not only one that hides people:
// a person appended behind it could never be read again.
std::string CollectNames(CAddressTable& table, NameSet& names)
{
    AddressRecord record{};
    for (int more = table.GetFirst(record, KANAROW_ALL); more; more = table.GetNext(record, KANAROW_ALL))
        names.emplace(NameBytes(record));
    return ScanFailure(table.LastScan(), true);
}

// Decides about one card: a record to append, or a line saying why not.
class CardTaker {
public:
    CardTaker(const NameSet& inFile, Report& report) : m_inFile(inFile), m_report(report) {}

    void Take(const Card& card)
    {
        CardPerson taken = PersonFromCard(card);
        const std::string who = taken.person.name.empty() ? words::CardNumbered(card.number) : taken.person.name;
        if (taken.refusal)
            return Skip(who, taken.refusal->reason);
        MadeRecord made = RecordFrom(taken.person);
        if (made.refusal)
            return Skip(who, made.refusal->reason);
        const std::string name(NameBytes(made.record));
        if (m_inFile.contains(name))
            return Skip(who, words::SAME_NAME_IN_FILE);
        if (!m_inCards.insert(name).second)
            return Skip(who, words::SAME_NAME_EARLIER_IN_CARDS);
        m_records.push_back(made.record);
        m_report.Add(Heading::ReadingFromName, taken.readingFromName ? 1 : 0);
        m_report.Add(Heading::PhoneNotStored, taken.phonesNotStored);
        m_report.Add(Heading::AddressNotStored, taken.addressesNotStored);
        for (CardNote& note : taken.notes)
            m_report.AddLine(note.heading, who, std::move(note.what));
        for (std::string& why : made.emptied)
            m_report.AddLine(Heading::FieldLeftEmpty, who, std::move(why));
    }

    [[nodiscard]] const std::vector<AddressRecord>& Records() const noexcept { return m_records; }

private:
    void Skip(const std::string& who, const std::string& reason) { m_report.AddLine(Heading::Skipped, who, reason); }

    const NameSet& m_inFile;
    Report& m_report;
    NameSet m_inCards;
    std::vector<AddressRecord> m_records;
};

void ExportPerson(const AddressRecord& record, std::string& cards, Report& report)
{
    const auto text = TextFrom(record);
    if (const Refusal* refusal = std::get_if<Refusal>(&text))
        return report.AddLine(Heading::Skipped, NameForSummary(record), refusal->reason);
    ++report.done;
    if (!AppendCard(cards, std::get<PersonText>(text)))
        report.AddLine(Heading::DateLeftOut, NameForSummary(record), words::BIRTH_DATE_NOT_WRITTEN);
}

Report Started(Direction direction, const std::filesystem::path& vcfPath)
{
    Report report;
    report.direction = direction;
    report.fileName = vcfPath.string();
    return report;
}

}  // namespace

Report ExportBook(const std::filesystem::path& vcfPath)
{
    Report report = Started(Direction::Export, vcfPath);
    std::error_code unknown;
    if (std::filesystem::equivalent(vcfPath, ADDRESS_TABLE_FILE, unknown)) {
        report.failure = words::ExportOntoDataFile(report.fileName);
        return report;
    }
    // The scan would create a missing data file; exporting nobody from a
    // folder without one is a mistake to report, not a file to make.
    if (!std::filesystem::exists(ADDRESS_TABLE_FILE, unknown)) {
        report.failure = words::NoDataFileHere();
        return report;
    }
    CAddressTable table;
    AddressRecord record{};
    std::string cards;
    for (int more = table.GetFirst(record, KANAROW_ALL); more; more = table.GetNext(record, KANAROW_ALL))
        ExportPerson(record, cards, report);
    report.failure = ScanFailure(table.LastScan(), false);
    if (!report.failure.empty())
        return report;
    if (!ReplaceFile(vcfPath, cards)) {
        report.failure = words::CannotWrite(report.fileName, errno);
        return report;
    }
    report.ok = true;
    return report;
}

Report ImportBook(const std::filesystem::path& vcfPath)
{
    Report report = Started(Direction::Import, vcfPath);
    const std::optional<std::string> bytes = ReadWholeFile(vcfPath);
    if (!bytes) {
        report.failure = words::CannotRead(report.fileName, errno);
        return report;
    }
    // Nobody added from a file that is no vCard file is a failure, not an
    // import of nobody.
    const std::vector<Card> cards = ReadCards(*bytes);
    if (cards.empty()) {
        report.failure = words::NoCards(report.fileName);
        return report;
    }
    CAddressTable table;
    NameSet inFile;
    report.failure = CollectNames(table, inFile);
    if (!report.failure.empty())
        return report;
    CardTaker taker(inFile, report);
    for (const Card& card : cards)
        taker.Take(card);
    if (!table.AddRecords(taker.Records())) {
        report.failure = words::AppendFailed(table.LastAppend() == AppendEnd::UnfinishedLineLeft);
        return report;
    }
    report.done = static_cast<int>(taker.Records().size());
    report.ok = true;
    return report;
}

}  // namespace vcard
