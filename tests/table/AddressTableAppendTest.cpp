// Appending a person: the exact bytes, the round trip through a scan, and
// failures that must leave the file as it was.
#include "AddressTable.h"
#include "ReferenceReader.h"
#include "TableTestData.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string SAMPLE_LINE = PersonLine("3", "A");  // SampleRecord("A") as written

// The fields of the file's one line, as the reference reader splits them.
std::vector<std::string> Fields()
{
    const auto lines = reference::ReadDataLines(ReadFileBytes(ADDRESS_TABLE_FILE));
    return lines.size() == 1 ? lines[0].fields : std::vector<std::string>{};
}

// What is written of the numbers and the code of the reading, and that the
// person comes back equal under that code and under ALL; only sex is
// reduced to 0 or 1.
TEST(AppendTest, NumbersAndCodeAsWrittenAndReadBack)
{
    const struct {
        const char* reading;  // UTF-8
        int sex, bloodType;
        const char *code, *sexField, *bloodField;
    } rows[] = {{"やまだ", 0, 0, "7", "0", "0"},
                {"ばば", 1, 3, "5", "1", "3"},
                {"ヤマダ", -1, -1, "99", "1", "-1"},
                {"山田", 7, 2, "99", "1", "2"},
                {"yamada", 0, -2147483647 - 1, "99", "0", "-2147483648"},
                {"", 1, 0, "99", "1", "0"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reading);
        TempWorkDir dir;
        AddressRecord record = SampleRecord(Sjis("山田 太郎"));
        std::memset(record.reading, 0, sizeof record.reading);
        const std::string reading = Sjis(row.reading);
        std::memcpy(record.reading, reading.data(), reading.size());
        record.sex = row.sex;
        record.bloodType = row.bloodType;
        CAddressTable table;
        ASSERT_EQ(table.AddRecord(record), 1);
        const auto fields = Fields();
        ASSERT_EQ(fields.size(), 25U);
        EXPECT_EQ(fields[0], row.code);
        EXPECT_EQ(fields[12], row.sexField);
        EXPECT_EQ(fields[8], row.bloodField);
        record.sex = row.sex == 0 ? 0 : 1;
        for (KanaRow query : {std::stoi(row.code), KANAROW_ALL}) {
            AddressRecord found = PoisonedRecord();
            ASSERT_EQ(table.GetFirst(found, query), 1);
            EXPECT_EQ(std::memcmp(&found, &record, sizeof found), 0) << "query " << query;
        }
    }
}

// The exact bytes of the new line, after every existing line kept intact.
TEST(AppendTest, WritesTheExactLineAfterTheExistingOnes)
{
    const struct {
        const char* name;
        std::string before;  // "-": no file
        std::string after;   // what the file holds before the new line afterwards
    } rows[] = {{"no file", "-", ""},
                {"empty file", "", ""},
                {"same person again", SAMPLE_LINE, SAMPLE_LINE},
                {"CR LF ended", PersonLine("3", "B"), PersonLine("3", "B")},
                {"LF ended", PersonLine("3", "B", "\n"), PersonLine("3", "B", "\n")},
                {"no line end", PersonLine("3", "B", ""), PersonLine("3", "B")},
                {"comment without line end", "#note", "#note\r\n"},
                {"CR only", PersonLine("3", "B", "\r"), PersonLine("3", "B", "\r\r\n")},
                {"Ctrl-Z at the end", PersonLine("3", "B") + "\x1A", PersonLine("3", "B")},
                {"Ctrl-Z after no line end", PersonLine("3", "B", "\x1A"), PersonLine("3", "B")}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempWorkDir dir;
        if (row.before != "-")
            WriteFileBytes(ADDRESS_TABLE_FILE, row.before);
        CAddressTable table;
        ASSERT_EQ(table.AddRecord(SampleRecord("A")), 1);
        EXPECT_EQ(table.LastScan().end, ScanEnd::Found);
        EXPECT_EQ(ReadFileBytes(ADDRESS_TABLE_FILE), row.after + SAMPLE_LINE);
    }
}

// Several people go out in one append, after the line end the last line
// lacked. One whose text the line cannot carry refuses them all: nothing
// is written, and the append ends the scan all the same.
TEST(AppendTest, AddRecordsAppendsAllOrNothing)
{
    TempWorkDir dir;
    const std::string before = PersonLine("3", "B", "");
    WriteFileBytes(ADDRESS_TABLE_FILE, before);
    const std::vector<AddressRecord> records = {SampleRecord("A"), SampleRecord("A"), SampleRecord("A")};
    CAddressTable table;
    ASSERT_EQ(table.AddRecords(records), 1);
    const std::string after = before + "\r\n" + SAMPLE_LINE + SAMPLE_LINE + SAMPLE_LINE;
    EXPECT_EQ(ReadFileBytes(ADDRESS_TABLE_FILE), after);

    const struct {
        std::size_t offset;  // where in the second record the byte goes
        char byte;
    } rows[] = {{offsetof(AddressRecord, name) + 1, ','},
                {offsetof(AddressRecord, address1) + 3, '\r'},
                {offsetof(AddressRecord, reading), '\n'},
                {offsetof(AddressRecord, email) + 2, '\x1A'},
                {offsetof(AddressRecord, phones) + 11 * 8, ','}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.offset);
        std::vector<AddressRecord> refused = records;
        reinterpret_cast<char*>(&refused[1])[row.offset] = row.byte;
        AddressRecord found{};
        ASSERT_EQ(table.GetFirst(found, 3), 1);
        EXPECT_EQ(table.AddRecords(refused), 0);
        EXPECT_EQ(table.GetNext(found, 3), 0);
        EXPECT_EQ(table.LastScan().end, ScanEnd::NotStarted);
        EXPECT_EQ(table.LastAppend(), AppendEnd::Refused);
        EXPECT_EQ(ReadFileBytes(ADDRESS_TABLE_FILE), after);
    }
}

TEST(AppendTest, TextWithoutNulIsWrittenCutToItsWidth)
{
    TempWorkDir dir;
    AddressRecord record = SampleRecord("A");
    std::memset(record.phones[3][2], '9', 8);
    std::memset(record.zip2, '9', 12);
    const std::string zip = Sjis("一二三四五六");  // 12 bytes: no room for the NUL
    std::memcpy(record.zip1, zip.data(), 12);
    CAddressTable table;
    ASSERT_EQ(table.AddRecord(record), 1);
    const auto fields = Fields();
    ASSERT_EQ(fields.size(), 25U);
    EXPECT_EQ(fields[10], Sjis("一二三四五"));
    EXPECT_EQ(fields[11], "99999999999");
    EXPECT_EQ(fields[24], "9999999");
}

TEST(AppendFaultTest, FullDeviceFailsTheAppend)
{
    TempWorkDir dir;
    fs::create_symlink("/dev/full", ADDRESS_TABLE_FILE);
    CAddressTable table;
    EXPECT_EQ(table.AddRecord(SampleRecord("A")), 0);
    EXPECT_EQ(table.LastScan().end, ScanEnd::OpenFailed);
    // A device that never ends reads as one malformed line of NUL bytes.
    AddressRecord record{};
    EXPECT_EQ(table.GetFirst(record, KANAROW_ALL), 0);
    EXPECT_EQ(table.LastScan().end, ScanEnd::MalformedLine);
    EXPECT_FALSE(table.LastScan().dataHidden);
}

// A write cut short by the file size limit is taken back, unless the file
// is append-only: then what reached the file is reported as left there.
// With the limit gone the same append works, unless a final 0x1A cannot be
// taken off: the new line would land after it, out of reach of every scan.
TEST(AppendFaultTest, PartialWriteIsTakenBackOrReported)
{
    const std::string before = PersonLine("3", "B");
    const std::string noLineEnd = PersonLine("3", "B", "");
    const struct {
        const char* name;
        std::string before;
        std::uintmax_t room;  // bytes the limit leaves beyond the file
        bool appendOnly;
        AppendEnd end;
        std::string after;
    } rows[] = {{"no room at all", before, 0, false, AppendEnd::Failed, before},
                {"room for part of the line", before, 10, false, AppendEnd::Failed, before},
                {"room for all but the LF", before, SAMPLE_LINE.size() - 1, false, AppendEnd::Failed, before},
                {"room for the missing line end only", noLineEnd, 2, false, AppendEnd::Failed, noLineEnd},
                {"append-only, no room", before, 0, true, AppendEnd::Failed, before},
                {"append-only, part of the line", before, 10, true, AppendEnd::UnfinishedLineLeft,
                 before + SAMPLE_LINE.substr(0, 10)},
                {"append-only, Ctrl-Z at the end", before + "\x1A", 1000, true, AppendEnd::Failed, before + "\x1A"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempWorkDir dir;
        WriteFileBytes(ADDRESS_TABLE_FILE, row.before);
        const AppendOnly appendOnly(ADDRESS_TABLE_FILE, row.appendOnly);
        if (row.appendOnly && !appendOnly.Set())
            GTEST_SKIP() << "this file system has no append-only attribute";
        CAddressTable table;
        {
            const FileSizeLimit limit(row.before.size() + row.room);
            ASSERT_TRUE(limit.Set());
            EXPECT_EQ(table.AddRecord(SampleRecord("A")), 0);
        }
        EXPECT_EQ(table.LastScan().end, ScanEnd::OpenFailed);
        EXPECT_EQ(table.LastAppend(), row.end);
        EXPECT_EQ(ReadFileBytes(ADDRESS_TABLE_FILE), row.after);
        const bool stuck = row.after.ends_with('\x1A');
        EXPECT_EQ(table.AddRecord(SampleRecord("A")), stuck ? 0 : 1);
        EXPECT_EQ(ReadFileBytes(ADDRESS_TABLE_FILE),
                  stuck ? row.after : row.after + (row.after.ends_with('\n') ? "" : "\r\n") + SAMPLE_LINE);
    }
}

}  // namespace
