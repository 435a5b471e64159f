// The cursor's states: which call leaves the file open or closed, where a
// scan goes on, and how the last scan is reported.
#include "AddressTable.h"
#include "TableTestData.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// Whether this process holds the data file of the working directory open.
bool DataFileIsOpen()
{
    const fs::path target = fs::current_path() / ADDRESS_TABLE_FILE;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd", error)) {
        std::error_code ignored;
        if (fs::read_symlink(entry.path(), ignored) == target)
            return true;
    }
    return false;
}

TEST(CursorTest, EmptyLineStopsTheScanAfterAMatchAndClosesTheFile)
{
    TempWorkDir dir;
    WriteFileBytes(ADDRESS_TABLE_FILE, "#people\r\n" + PersonLine("1", "A") + "\r\n" + PersonLine("1", "B"));
    CAddressTable table;
    AddressRecord record{};
    ASSERT_EQ(table.GetFirst(record, 1), 1);
    EXPECT_STREQ(record.name, "A");
    EXPECT_TRUE(DataFileIsOpen());
    record = PoisonedRecord();
    const AddressRecord before = record;
    EXPECT_EQ(table.GetNext(record, 1), 0);
    EXPECT_FALSE(DataFileIsOpen());
    EXPECT_EQ(table.GetNext(record, 1), 0);
    EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0);
}

TEST(CursorTest, GetNextAfterAFailedGetFirstReadsOnPastTheEmptyLine)
{
    TempWorkDir dir;
    WriteFileBytes(ADDRESS_TABLE_FILE, PersonLine("2", "A") + "\r\n" + PersonLine("1", "B"));
    CAddressTable table;
    AddressRecord record{};
    EXPECT_EQ(table.GetFirst(record, 1), 0);
    EXPECT_TRUE(DataFileIsOpen());
    ASSERT_EQ(table.GetNext(record, 1), 1);
    EXPECT_STREQ(record.name, "B");
    EXPECT_EQ(table.GetNext(record, 1), 0);
    EXPECT_FALSE(DataFileIsOpen());
}

TEST(CursorTest, GetNextWithoutAScanReadsNothing)
{
    TempWorkDir dir;
    WriteFileBytes(ADDRESS_TABLE_FILE, PersonLine("1", "A"));
    CAddressTable table;
    AddressRecord record = PoisonedRecord();
    const AddressRecord before = record;
    EXPECT_EQ(table.GetNext(record, 1), 0);
    EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0);
    EXPECT_EQ(table.LastScan().end, ScanEnd::NotStarted);
}

TEST(CursorTest, AnAppendEndsTheScanAndTheNextScanSeesTheNewLine)
{
    TempWorkDir dir;
    WriteFileBytes(ADDRESS_TABLE_FILE, PersonLine("3", "A") + PersonLine("3", "B"));
    CAddressTable table;
    AddressRecord record{};
    ASSERT_EQ(table.GetFirst(record, 3), 1);
    ASSERT_EQ(table.AddRecord(SampleRecord("C")), 1);
    EXPECT_FALSE(DataFileIsOpen());
    EXPECT_EQ(table.GetNext(record, 3), 0);
    EXPECT_STREQ(record.name, "A");
    EXPECT_EQ(ScanNames(table, 3), (Names{"A", "B", "C"}));
}

TEST(CursorTest, EveryScanStartsAtTheTopOfTheFileAsItIsNow)
{
    TempWorkDir dir;
    WriteFileBytes(ADDRESS_TABLE_FILE, PersonLine("1", "A") + PersonLine("1", "B"));
    CAddressTable table;
    AddressRecord record{};
    ASSERT_EQ(table.GetFirst(record, 1), 1);  // abandoned after the first match
    WriteFileBytes(ADDRESS_TABLE_FILE, PersonLine("1", "X") + PersonLine("1", "Y"));
    EXPECT_EQ(ScanNames(table, 1), (Names{"X", "Y"}));
}

TEST(CursorTest, DestructorClosesAnAbandonedScan)
{
    TempWorkDir dir;
    WriteFileBytes(ADDRESS_TABLE_FILE, PersonLine("1", "A") + PersonLine("1", "B"));
    {
        CAddressTable table;
        AddressRecord record{};
        ASSERT_EQ(table.GetFirst(record, 1), 1);
        EXPECT_TRUE(DataFileIsOpen());
    }
    EXPECT_FALSE(DataFileIsOpen());
}

TEST(CursorTest, DirectoryInPlaceOfTheFileFailsTheOpen)
{
    TempWorkDir dir;
    fs::create_directory(ADDRESS_TABLE_FILE);
    CAddressTable table;
    AddressRecord record = PoisonedRecord();
    const AddressRecord before = record;
    EXPECT_EQ(table.GetFirst(record, KANAROW_ALL), 0);
    EXPECT_EQ(table.LastScan().end, ScanEnd::OpenFailed);
    EXPECT_EQ(table.GetNext(record, KANAROW_ALL), 0);
    EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0);
    EXPECT_EQ(table.AddRecord(SampleRecord("A")), 0);
    EXPECT_EQ(table.LastScan().end, ScanEnd::OpenFailed);
}

struct StatusCase {
    const char* name;
    std::string bytes;
    ScanStatus expected;
};

void PrintTo(const StatusCase& c, std::ostream* os) { *os << c.name; }

class LastScanTest : public ::testing::TestWithParam<StatusCase> {};

TEST_P(LastScanTest, ReportsWhyTheScanEnded)
{
    const StatusCase& c = GetParam();
    TempWorkDir dir;
    WriteFileBytes(ADDRESS_TABLE_FILE, c.bytes);
    CAddressTable table;
    (void)ScanNames(table, KANAROW_ALL);
    const ScanStatus& status = table.LastScan();
    EXPECT_EQ(status.end, c.expected.end);
    EXPECT_EQ(status.lineNumber, c.expected.lineNumber);
    EXPECT_EQ(status.fieldCount, c.expected.fieldCount);
    EXPECT_EQ(status.dataHidden, c.expected.dataHidden);
}

const std::string BIG_COMMENTS = [] {
    std::string bytes;
    for (int i = 0; i < 200; ++i)
        bytes += "#" + std::string(600, 'c') + "\r\n";
    return bytes;
}();

const StatusCase STATUS_CASES[] = {
    {"EmptyFile", "", {ScanEnd::EndOfFile, 0, 0, false}},
    {"CommentsOnly", "#a\r\n#b\n#c", {ScanEnd::EndOfFile, 0, 0, false}},
    {"AllPeopleRead", PersonLine("1", "A") + PersonLine("2", "B"), {ScanEnd::EndOfFile, 0, 0, false}},
    {"TrailingEmptyLineOnly", PersonLine("1", "A") + "\r\n", {ScanEnd::MalformedLine, 2, 0, false}},
    {"EmptyLinesAndCommentsAfterTheEmptyLine", PersonLine("1", "A") + "\r\n#x\r\n\n\r\n#y" + BIG_COMMENTS,
     {ScanEnd::MalformedLine, 2, 0, false}},
    {"NulLedLineCountsAsEmpty", PersonLine("1", "A") + "\r\n" + std::string("\0junk\r\n", 7),
     {ScanEnd::MalformedLine, 2, 0, false}},
    {"EmptyLineThenPerson", PersonLine("1", "A") + "\r\n#c\r\n" + PersonLine("1", "B"),
     {ScanEnd::MalformedLine, 2, 0, true}},
    {"EmptyLineThenPersonBeyondTheReadBlock", "#c\r\n\r\n" + BIG_COMMENTS + PersonLine("1", "B"),
     {ScanEnd::MalformedLine, 2, 0, true}},
    {"EmptyLineThenBlank", PersonLine("1", "A") + "\n \n", {ScanEnd::MalformedLine, 2, 0, true}},
    {"ShortLineAtTheEnd", "#c\n#d\n" + PersonLine("1", "A") + "1,r,B,,\r\n", {ScanEnd::MalformedLine, 4, 5, true}},
    {"LineNumberCountsPhysicalLinesOfLongComments",
     "#" + std::string(5000, 'c') + "\r\n" + PersonLine("1", "A"), {ScanEnd::MalformedLine, 1, 1, true}},
};

INSTANTIATE_TEST_SUITE_P(Files, LastScanTest, ::testing::ValuesIn(STATUS_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LastScanTest, MissingFileEndsLikeAnEmptyOne)
{
    TempWorkDir dir;
    CAddressTable table;
    AddressRecord record{};
    EXPECT_EQ(table.GetFirst(record, 0), 0);
    EXPECT_EQ(table.LastScan().end, ScanEnd::EndOfFile);
    EXPECT_TRUE(fs::is_regular_file(ADDRESS_TABLE_FILE));
}

TEST(LastScanTest, FoundAfterAMatchThenTheEnd)
{
    TempWorkDir dir;
    WriteFileBytes(ADDRESS_TABLE_FILE, PersonLine("1", "A"));
    CAddressTable table;
    AddressRecord record{};
    ASSERT_EQ(table.GetFirst(record, 1), 1);
    EXPECT_EQ(table.LastScan().end, ScanEnd::Found);
    EXPECT_EQ(table.GetNext(record, 1), 0);
    EXPECT_EQ(table.LastScan().end, ScanEnd::EndOfFile);
}

// Looking past a malformed line for hidden people must not move the
// position from which GetNext reads on, even beyond the read block.
TEST(LastScanTest, LookingAheadKeepsThePositionOfTheScan)
{
    TempWorkDir dir;
    WriteFileBytes(ADDRESS_TABLE_FILE, PersonLine("2", "A") + "\r\n" + BIG_COMMENTS + PersonLine("1", "B") + "\r\n" +
                                           BIG_COMMENTS + PersonLine("1", "C"));
    CAddressTable table;
    AddressRecord record{};
    EXPECT_EQ(table.GetFirst(record, 1), 0);
    EXPECT_EQ(table.LastScan().lineNumber, 2);
    EXPECT_EQ(table.LastScan().fieldCount, 0);
    EXPECT_TRUE(table.LastScan().dataHidden);
    ASSERT_EQ(table.GetNext(record, 1), 1);
    EXPECT_STREQ(record.name, "B");
    EXPECT_EQ(table.LastScan().end, ScanEnd::Found);
    EXPECT_EQ(table.GetNext(record, 1), 0);
    EXPECT_EQ(table.LastScan().end, ScanEnd::MalformedLine);
    EXPECT_EQ(table.LastScan().lineNumber, 204);
    EXPECT_TRUE(table.LastScan().dataHidden);
}

}  // namespace
