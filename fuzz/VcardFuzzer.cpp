// The vCard reader on any bytes: no crash, and every person it accepts
// goes through the table's append and scan unchanged, and through our
// export and a second import unchanged (the reading in hiragana, as
// import files it).
#include "AddressTable.h"
#include "CardExport.h"
#include "CardImport.h"
#include "FuzzSupport.h"
#include "Kana.h"
#include "SjisCodec.h"
#include "VcardReader.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include <unistd.h>

namespace {

std::vector<AddressRecord> Accepted(std::string_view bytes)
{
    std::vector<AddressRecord> records;
    for (const vcard::Card& card : vcard::ReadCards(bytes)) {
        const vcard::CardPerson taken = vcard::PersonFromCard(card);
        const auto made = vcard::RecordFrom(taken.person);
        if (!taken.refusal && std::holds_alternative<AddressRecord>(made))
            records.push_back(std::get<AddressRecord>(made));
    }
    return records;
}

void CheckSame(const AddressRecord& got, const AddressRecord& want)
{
    FUZZ_CHECK(std::memcmp(&got, &want, sizeof got) == 0);
}

// What a second import makes of the person: a reading that stood in from
// a katakana name is filed in hiragana, and refused when half-width kana
// grew past the form's 32 bytes.
std::optional<AddressRecord> AsImportedAgain(AddressRecord record)
{
    constexpr std::size_t READING_LIMIT = 32;
    const std::string reading = sjis::DecodeToUtf8({record.reading, ::strnlen(record.reading, sizeof record.reading)});
    const std::optional<std::string> bytes = sjis::EncodeFromUtf8(vcard::KatakanaToHiragana(reading));
    FUZZ_CHECK(bytes.has_value());
    if (bytes->size() > READING_LIMIT)
        return std::nullopt;
    std::memset(record.reading, 0, sizeof record.reading);
    std::memcpy(record.reading, bytes->data(), bytes->size());
    return record;
}

void CheckExportReadsBack(const std::vector<AddressRecord>& records)
{
    std::string cards;
    std::vector<AddressRecord> expected;
    for (const AddressRecord& record : records) {
        const auto text = vcard::TextFrom(record);
        FUZZ_CHECK(std::holds_alternative<vcard::PersonText>(text));
        FUZZ_CHECK(vcard::AppendCard(cards, std::get<vcard::PersonText>(text)));
        if (const std::optional<AddressRecord> again = AsImportedAgain(record))
            expected.push_back(*again);
    }
    const std::vector<AddressRecord> again = Accepted(cards);
    FUZZ_CHECK(again.size() == expected.size());
    for (std::size_t i = 0; i < again.size(); ++i)
        CheckSame(again[i], expected[i]);
}

void CheckAppendReadsBack(const std::vector<AddressRecord>& records)
{
    (void)::unlink(ADDRESS_TABLE_FILE);
    CAddressTable table;
    FUZZ_CHECK(table.AddRecords(records) == 1);
    AddressRecord got{};
    std::size_t delivered = 0;
    for (int more = table.GetFirst(got, KANAROW_ALL); more; more = table.GetNext(got, KANAROW_ALL)) {
        FUZZ_CHECK(delivered < records.size());
        CheckSame(got, records[delivered++]);
    }
    FUZZ_CHECK(delivered == records.size());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterPrivateWorkDir();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<AddressRecord> records = Accepted({reinterpret_cast<const char*>(data), size});
    CheckExportReadsBack(records);
    CheckAppendReadsBack(records);
    return 0;
}
