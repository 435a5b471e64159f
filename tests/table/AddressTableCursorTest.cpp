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

const std::string BIG_COMMENTS = [] {
    std::string bytes;
    for (int i = 0; i < 200; ++i)
        bytes += "#" + std::string(600, 'c') + "\r\n";
    return bytes;
}();

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
