// The data file as arbitrary bytes: every query, whole scans, scans
// abandoned midway, and the fill pattern that reads on past a malformed
// line after a failed GetFirst. Each delivered record must equal what the
// reference reader makes of the same bytes, field by field.
#include "AddressTable.h"
#include "FuzzSupport.h"
#include "ReferenceReader.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using reference::DataLine;

constexpr KanaRow QUERIES[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, KANAROW_ALL, KANAROW_OTHER, 42};

template <std::size_t N>
void CheckText(const char (&field)[N], const std::string& original)
{
    const char* nul = static_cast<const char*>(std::memchr(field, '\0', N));
    FUZZ_CHECK(nul != nullptr);
    for (const char* p = nul; p < field + N; ++p)
        FUZZ_CHECK(*p == '\0');
    const std::string delivered(field);
    FUZZ_CHECK(reference::EndsOnWholeCharacter(delivered));
    FUZZ_CHECK(delivered == reference::CutToCharacters(original, N - 1));
}

void CheckRecord(const AddressRecord& record, const DataLine& line)
{
    const std::vector<std::string>& f = line.fields;
    CheckText(record.reading, f[1]);
    CheckText(record.name, f[2]);
    CheckText(record.address1, f[3]);
    CheckText(record.address2, f[4]);
    FUZZ_CHECK(record.birthYear == reference::ParseNumber(f[5]));
    FUZZ_CHECK(record.birthMonth == reference::ParseNumber(f[6]));
    FUZZ_CHECK(record.birthDay == reference::ParseNumber(f[7]));
    FUZZ_CHECK(record.bloodType == reference::ParseNumber(f[8]));
    CheckText(record.email, f[9]);
    CheckText(record.zip1, f[10]);
    CheckText(record.zip2, f[11]);
    FUZZ_CHECK(record.sex == reference::ParseNumber(f[12]));
    for (int kind = 0; kind < PHONE_KIND_COUNT; ++kind) {
        for (int part = 0; part < PHONE_PART_COUNT; ++part)
            CheckText(record.phones[kind][part], f[13 + kind * PHONE_PART_COUNT + part]);
    }
}

// The lines a scan can reach: from `begin` up to the first malformed line.
struct Segment {
    std::size_t begin;
    std::size_t end;  // index of the malformed line, or the count of lines
};

Segment SegmentFrom(const std::vector<DataLine>& lines, std::size_t begin)
{
    std::size_t end = begin;
    while (end < lines.size() && lines[end].wellFormed)
        ++end;
    return {begin, end};
}

std::vector<const DataLine*> Matches(const std::vector<DataLine>& lines, Segment segment, KanaRow query)
{
    std::vector<const DataLine*> matches;
    for (std::size_t i = segment.begin; i < segment.end; ++i) {
        if (query == KANAROW_ALL || reference::ParseNumber(lines[i].fields[0]) == query)
            matches.push_back(&lines[i]);
    }
    return matches;
}

// How the table must describe the end of a scan over `segment`.
void CheckScanEnd(const CAddressTable& table, const std::vector<DataLine>& lines, Segment segment)
{
    const ScanStatus& status = table.LastScan();
    if (segment.end == lines.size()) {
        FUZZ_CHECK(status.end == ScanEnd::EndOfFile);
        return;
    }
    const DataLine& bad = lines[segment.end];
    bool hidden = !bad.looksEmpty;
    for (std::size_t i = segment.end + 1; i < lines.size() && !hidden; ++i)
        hidden = !lines[i].looksEmpty;
    FUZZ_CHECK(status.end == ScanEnd::MalformedLine);
    FUZZ_CHECK(status.lineNumber == bad.physicalLine);
    FUZZ_CHECK(status.fieldCount == static_cast<int>(bad.looksEmpty ? 0 : bad.fieldCount));
    FUZZ_CHECK(status.dataHidden == hidden);
}

// GetNext until 0, each record checked against the expected lines.
void ReadOn(CAddressTable& table, KanaRow query, const std::vector<const DataLine*>& expected, std::size_t from)
{
    AddressRecord record{};
    for (std::size_t i = from; i < expected.size(); ++i) {
        FUZZ_CHECK(table.GetNext(record, query) == 1);
        CheckRecord(record, *expected[i]);
    }
    FUZZ_CHECK(table.GetNext(record, query) == 0);
    FUZZ_CHECK(table.GetNext(record, query) == 0);
}

void CheckWholeScan(CAddressTable& table, const std::vector<DataLine>& lines, KanaRow query)
{
    const Segment first = SegmentFrom(lines, 0);
    const std::vector<const DataLine*> expected = Matches(lines, first, query);
    AddressRecord record{};
    const int found = table.GetFirst(record, query);
    FUZZ_CHECK(found == (expected.empty() ? 0 : 1));
    if (found) {
        CheckRecord(record, *expected[0]);
        ReadOn(table, query, expected, 1);
    }
    CheckScanEnd(table, lines, first);
}

// The name-list fill: after a failed GetFirst, GetNext reads on from the
// line after the one that stopped it.
void CheckFillPattern(CAddressTable& table, const std::vector<DataLine>& lines, KanaRow query)
{
    const Segment first = SegmentFrom(lines, 0);
    const std::vector<const DataLine*> expectedFirst = Matches(lines, first, query);
    AddressRecord record{};
    if (table.GetFirst(record, query)) {
        FUZZ_CHECK(!expectedFirst.empty());
        CheckRecord(record, *expectedFirst[0]);
        ReadOn(table, query, expectedFirst, 1);
        return;
    }
    FUZZ_CHECK(expectedFirst.empty());
    if (first.end == lines.size()) {
        ReadOn(table, query, {}, 0);
        return;
    }
    const Segment second = SegmentFrom(lines, first.end + 1);
    ReadOn(table, query, Matches(lines, second, query), 0);
    CheckScanEnd(table, lines, second);
}

// A scan left open after a few records, as a lookup by name leaves it.
void AbandonScan(CAddressTable& table, KanaRow query, std::size_t records)
{
    AddressRecord record{};
    if (!table.GetFirst(record, query))
        return;
    for (std::size_t i = 1; i < records && table.GetNext(record, query); ++i) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterPrivateWorkDir();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    fuzz::WriteDataFile(bytes);
    const std::vector<DataLine> lines = reference::ReadDataLines(bytes);

    // The portable line kernels and the vector ones this processor runs.
    for (const LineKernels* kernels : {&LineKernels::Portable(), &LineKernels::Best()}) {
        const auto table = std::make_unique<CAddressTable>(*kernels);
        for (KanaRow query : QUERIES) {
            AbandonScan(*table, query, (size + static_cast<std::size_t>(query)) % 4);
            CheckWholeScan(*table, lines, query);
            CheckFillPattern(*table, lines, query);
        }
    }
    return 0;
}
