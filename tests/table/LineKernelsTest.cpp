// The vector line kernels and the byte-by-byte split against the reference
// reader:
// random people whose fields are cut, end in lone lead bytes, hold runs of
// lead-range bytes across the kernels' 64-byte words, numbers and codes in
// every form the file may hold them, and NULs; scanned for every person
// and by code.
#include "AddressTable.h"
#include "LineIndex.h"
#include "ReferenceReader.h"
#include "TableTestData.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

class RandomLines {
public:
    // A field of random bytes: ASCII, lead-range and trail-range bytes,
    // or long runs of lead-range bytes only, of a length near one of the
    // widths that matter.
    std::string Text()
    {
        static constexpr int LENGTHS[] = {0, 1, 2, 7, 8, 9, 11, 12, 13, 30, 63, 64, 65, 70, 128, 255, 256, 300};
        static constexpr unsigned char BYTES[] = {'a', 'Z', '7', ' ', '"', 0x40, 0xA0, 0xB1,
                                                  0x81, 0x82, 0x9F, 0xE0, 0xFC};
        const std::size_t firstByte = m_random() % 3 == 0 ? 8 : 0;
        std::string text(static_cast<std::size_t>(Pick(LENGTHS)), 'a');
        for (char& byte : text)
            byte = static_cast<char>(BYTES[firstByte + m_random() % (std::size(BYTES) - firstByte)]);
        return text;
    }

    // Blanks, signs and digits are read up to the first other byte, and
    // beyond 32 bits stop at the limits.
    std::string Number()
    {
        static const std::string NUMBERS[] = {
            "1980", "-1", "", "0", "3", "12", " 12", "\t \v42", "+5", "12ab", "3 4", "- 5", "-", "a1", "99999999",
            "123456789", "2147483647", "2147483648", "99999999999999999999999", "-2147483648", "-2147483649",
            std::string(300, ' ') + "7"};
        return Pick(NUMBERS);
    }

    // A person's line: 25 fields, sometimes more, rarely a NUL in the
    // last; some lines have only short fields, for many commas a word.
    std::string Line()
    {
        std::string line = m_random() % 4 == 0 ? Number() : std::to_string(m_random() % 10);
        const bool sparse = m_random() % 4 == 0;
        for (int field = 1; field < 25; ++field)
            line += "," + (sparse ? std::string(m_random() % 4, '*')
                                  : (field >= 5 && field <= 8) || field == 12 ? Number() : Text());
        if (m_random() % 8 == 0)
            line += ",extra," + Text();
        if (m_random() % 16 == 0 && line.back() != ',')
            line.insert(line.size() - m_random() % (line.size() - line.rfind(',') - 1), 1, '\0');
        return line;
    }

private:
    template <typename T, std::size_t N>
    T Pick(const T (&values)[N])
    {
        return values[m_random() % N];
    }

    std::mt19937 m_random{20261206};
};

TEST(LineKernelsTest, EveryKernelDeliversWhatTheReferenceReaderReads)
{
    TempWorkDir dir;
    RandomLines random;
    std::string bytes;
    for (int i = 0; i < 3000; ++i)
        bytes += random.Line() + (i % 2 ? "\r\n" : "\n");
    WriteFileBytes(ADDRESS_TABLE_FILE, bytes);
    const std::vector<reference::DataLine> lines = reference::ReadDataLines(bytes);

    for (const LineKernels* kernels : {static_cast<const LineKernels*>(nullptr), LineKernels::Avx2()}) {
        for (const KanaRow query : {KANAROW_ALL, 3, 0, 2147483647, -1}) {
            SCOPED_TRACE(::testing::Message() << "vector kernels " << (kernels != nullptr) << ", query " << query);
            std::vector<AddressRecord> expected;
            for (const reference::DataLine& line : lines) {
                if (query == KANAROW_ALL || reference::CodeOf(line) == query)
                    expected.push_back(reference::RecordOf(line));
            }
            CAddressTable table(kernels);
            AddressRecord record = PoisonedRecord();
            std::size_t delivered = 0;
            for (int found = table.GetFirst(record, query); found && !HasFailure();
                 found = table.GetNext(record, query), ++delivered) {
                ASSERT_LT(delivered, expected.size());
                EXPECT_EQ(std::memcmp(&record, &expected[delivered], sizeof record), 0) << "person " << delivered + 1;
                record = PoisonedRecord();
            }
            EXPECT_EQ(delivered, expected.size());
            EXPECT_EQ(table.LastScan().end, ScanEnd::EndOfFile);
        }
    }
}

}  // namespace
