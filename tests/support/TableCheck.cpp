#include "TableCheck.h"

#include <climits>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace reference {

namespace {

#define AGREE(condition)                          \
    do {                                          \
        if (!(condition))                         \
            throw std::runtime_error(#condition); \
    } while (0)

constexpr KanaRow QUERIES[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, KANAROW_ALL, KANAROW_OTHER, 42, INT_MAX, -1};

class Comparison {
public:
    Comparison(const std::vector<DataLine>& lines, const LineKernels* kernels) : m_lines(lines), m_table(kernels) {}

    // A scan abandoned after a few records, as a lookup by name leaves it;
    // a whole scan; and after a GetFirst that found nobody before a
    // malformed line, the GetNext calls that read on after it.
    void Run(KanaRow query, std::size_t abandonAfter)
    {
        AddressRecord record{};
        for (int more = First(record, query); more && abandonAfter > 0; --abandonAfter)
            more = m_table.GetNext(record, query);
        const std::size_t bad = MalformedFrom(0);
        ReadOn(query, 0, bad, true);
        if (bad < m_lines.size() && Matches(query, 0, bad).empty()) {
            AGREE(First(record, query) == 0);
            ReadOn(query, bad + 1, MalformedFrom(bad + 1), false);
        }
    }

    [[nodiscard]] int Opens() const noexcept { return m_opens; }

private:
    // Every GetFirst opens the file anew.
    int First(AddressRecord& record, KanaRow query)
    {
        ++m_opens;
        return m_table.GetFirst(record, query);
    }

    // The first malformed line from begin on, or the count of lines.
    std::size_t MalformedFrom(std::size_t begin) const
    {
        while (begin < m_lines.size() && m_lines[begin].wellFormed)
            ++begin;
        return begin;
    }

    std::vector<AddressRecord> Matches(KanaRow query, std::size_t begin, std::size_t end) const
    {
        std::vector<AddressRecord> records;
        for (std::size_t i = begin; i < end; ++i) {
            if (query == KANAROW_ALL || CodeOf(m_lines[i]) == query)
                records.push_back(RecordOf(m_lines[i]));
        }
        return records;
    }

    // GetNext (or GetFirst first) until 0 over the lines from begin to the
    // malformed line at end: every record as expected and wholly written,
    // none touched by a 0, and the end of the scan as it stands. A GetNext
    // that gave 0 ended the scan, so the next gives 0 too.
    void ReadOn(KanaRow query, std::size_t begin, std::size_t end, bool first)
    {
        AddressRecord poisoned;
        std::memset(&poisoned, 0xEE, sizeof poisoned);
        AddressRecord record = poisoned;
        for (const AddressRecord& person : Matches(query, begin, end)) {
            AGREE((first ? First(record, query) : m_table.GetNext(record, query)) == 1);
            AGREE(std::memcmp(&record, &person, sizeof record) == 0);
            record = poisoned;
            first = false;
        }
        AGREE((first ? First(record, query) : m_table.GetNext(record, query)) == 0);
        ScanEndAgrees(end);
        AGREE(first || m_table.GetNext(record, query) == 0);
        AGREE(std::memcmp(&record, &poisoned, sizeof record) == 0);
    }

    void ScanEndAgrees(std::size_t end) const
    {
        const ScanStatus& status = m_table.LastScan();
        AGREE(status.end == (end == m_lines.size() ? ScanEnd::EndOfFile : ScanEnd::MalformedLine));
        if (end == m_lines.size())
            return;
        const DataLine& bad = m_lines[end];
        bool hidden = !bad.looksEmpty;
        for (std::size_t i = end + 1; i < m_lines.size() && !hidden; ++i)
            hidden = !m_lines[i].looksEmpty;
        AGREE(status.lineNumber == bad.physicalLine);
        AGREE(status.fieldCount == static_cast<int>(bad.looksEmpty ? 0 : bad.fieldCount));
        AGREE(status.dataHidden == hidden);
    }

    const std::vector<DataLine>& m_lines;
    CAddressTable m_table;
    int m_opens = 0;
};

}  // namespace

std::string CompareScans(std::string_view fileBytes, const LineKernels* kernels)
{
    WriteDataFile(fileBytes);
    const std::vector<DataLine> lines = ReadDataLines(fileBytes);
    Comparison comparison(lines, kernels);
    for (KanaRow query : QUERIES) {
        try {
            comparison.Run(query, (fileBytes.size() + static_cast<std::size_t>(query)) % 4);
        } catch (const std::runtime_error& difference) {
            return difference.what() + (", query " + std::to_string(query));
        }
    }
    // Every open takes a 0x1A that ends the file off it, and changes
    // nothing else.
    std::string_view opened = fileBytes;
    for (int open = 0; open < comparison.Opens() && opened.ends_with('\x1A'); ++open)
        opened.remove_suffix(1);
    return ReadDataFile() == opened ? "" : "the file changed";
}

void WriteDataFile(std::string_view bytes)
{
    std::ofstream(ADDRESS_TABLE_FILE, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadDataFile()
{
    std::ifstream in(ADDRESS_TABLE_FILE, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace reference
