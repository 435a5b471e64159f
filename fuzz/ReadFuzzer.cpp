// The data file as arbitrary bytes: every query, whole scans, scans
// abandoned midway, and the fill pattern that reads on past a malformed
// line after a failed GetFirst. Each delivered record must equal what the
// reference reader makes of the same bytes, field by field.
#include "AddressTable.h"
#include "FuzzSupport.h"
#include "LineIndex.h"
#include "ReferenceReader.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using reference::DataLine;

constexpr KanaRow QUERIES[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, KANAROW_ALL, KANAROW_OTHER, 42};

void CheckRecord(const AddressRecord& record, const DataLine& line)
{
    const AddressRecord expected = reference::RecordOf(line);
    FUZZ_CHECK(std::memcmp(&record, &expected, sizeof record) == 0);
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
        if (query == KANAROW_ALL || reference::CodeOf(lines[i]) == query)
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

    // Lines split byte by byte, and by the vector kernels this processor runs.
    for (const LineKernels* kernels : {static_cast<const LineKernels*>(nullptr), LineKernels::Avx2()}) {
        const auto table = std::make_unique<CAddressTable>(kernels);
        for (KanaRow query : QUERIES) {
            AbandonScan(*table, query, (size + static_cast<std::size_t>(query)) % 4);
            CheckWholeScan(*table, lines, query);
            CheckFillPattern(*table, lines, query);
        }
    }
    return 0;
}
