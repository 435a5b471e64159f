#include "TableCheck.h"

#include <climits>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace reference {

namespace {

#define AGREE(condition)                                                           \
    do {                                                                           \
        if (!(condition))                                                          \
            throw std::runtime_error(std::string(#condition) + ", query " + std::to_string(query)); \
    } while (0)

constexpr KanaRow QUERIES[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, KANAROW_ALL, KANAROW_OTHER, 42, INT_MAX, -1};

// The lines a scan reaches: from begin up to the first malformed line.
struct Segment {
    std::size_t begin;
    std::size_t end;  // index of the malformed line, or the count of lines
};

class Comparison {
public:
    Comparison(const std::vector<DataLine>& lines, const LineKernels* kernels) : m_lines(lines), m_table(kernels) {}

    void Run(KanaRow query, std::size_t abandonAfter)
    {
        Abandon(query, abandonAfter);
        WholeScan(query);
        Fill(query);
    }

private:
    Segment From(std::size_t begin) const
    {
        std::size_t end = begin;
        while (end < m_lines.size() && m_lines[end].wellFormed)
            ++end;
        return {begin, end};
    }

    std::vector<AddressRecord> Matches(Segment segment, KanaRow query) const
    {
        std::vector<AddressRecord> records;
        for (std::size_t i = segment.begin; i < segment.end; ++i) {
            if (query == KANAROW_ALL || CodeOf(m_lines[i]) == query)
                records.push_back(RecordOf(m_lines[i]));
        }
        return records;
    }

    void ScanEndAgrees(Segment segment, KanaRow query) const
    {
        const ScanStatus& status = m_table.LastScan();
        if (segment.end == m_lines.size()) {
            AGREE(status.end == ScanEnd::EndOfFile);
            return;
        }
        const DataLine& bad = m_lines[segment.end];
        bool hidden = !bad.looksEmpty;
        for (std::size_t i = segment.end + 1; i < m_lines.size() && !hidden; ++i)
            hidden = !m_lines[i].looksEmpty;
        AGREE(status.end == ScanEnd::MalformedLine);
        AGREE(status.lineNumber == bad.physicalLine);
        AGREE(status.fieldCount == static_cast<int>(bad.looksEmpty ? 0 : bad.fieldCount));
        AGREE(status.dataHidden == hidden);
    }

    // GetNext (or GetFirst first) until 0, every record as expected and
    // wholly written, none touched by a 0; a GetNext that gave 0 ended the
    // scan, so the next gives 0 too.
    void ReadOn(KanaRow query, const std::vector<AddressRecord>& expected, bool first)
    {
        AddressRecord poisoned;
        std::memset(&poisoned, 0xEE, sizeof poisoned);
        AddressRecord record = poisoned;
        for (const AddressRecord& person : expected) {
            AGREE((first ? m_table.GetFirst(record, query) : m_table.GetNext(record, query)) == 1);
            AGREE(std::memcmp(&record, &person, sizeof record) == 0);
            record = poisoned;
            first = false;
        }
        AGREE((first ? m_table.GetFirst(record, query) : m_table.GetNext(record, query)) == 0);
        AGREE(first || m_table.GetNext(record, query) == 0);
        AGREE(std::memcmp(&record, &poisoned, sizeof record) == 0);
    }

    void WholeScan(KanaRow query)
    {
        const Segment segment = From(0);
        ReadOn(query, Matches(segment, query), true);
        ScanEndAgrees(segment, query);
    }

    // After a GetFirst that found nobody before a malformed line, GetNext
    // reads on from the line after it.
    void Fill(KanaRow query)
    {
        const Segment first = From(0);
        if (!Matches(first, query).empty() || first.end == m_lines.size())
            return;
        AddressRecord record{};
        AGREE(m_table.GetFirst(record, query) == 0);
        const Segment second = From(first.end + 1);
        ReadOn(query, Matches(second, query), false);
        ScanEndAgrees(second, query);
    }

    // A scan left open after a few records, as a lookup by name leaves it.
    void Abandon(KanaRow query, std::size_t records)
    {
        AddressRecord record{};
        for (int more = m_table.GetFirst(record, query); more && records > 0; --records)
            more = m_table.GetNext(record, query);
    }

    const std::vector<DataLine>& m_lines;
    CAddressTable m_table;
};

std::string ReadFile(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

std::string CompareScans(std::string_view fileBytes, const LineKernels* kernels)
{
    std::ofstream(ADDRESS_TABLE_FILE, std::ios::binary | std::ios::trunc)
        .write(fileBytes.data(), static_cast<std::streamsize>(fileBytes.size()));
    const std::vector<DataLine> lines = ReadDataLines(fileBytes);
    Comparison comparison(lines, kernels);
    try {
        for (KanaRow query : QUERIES)
            comparison.Run(query, (fileBytes.size() + static_cast<std::size_t>(query)) % 4);
    } catch (const std::runtime_error& difference) {
        return difference.what();
    }
    // Opening takes a 0x1A that ends the file off it, and changes nothing else.
    std::string_view opened = fileBytes;
    if (!opened.empty() && opened.back() == '\x1A')
        opened.remove_suffix(1);
    return ReadFile(ADDRESS_TABLE_FILE) == opened ? "" : "the file changed";
}

}  // namespace reference
