// The cursor's states: which call leaves the file open or closed, where a
// scan goes on, and how the last scan is reported.
#include "AddressTable.h"
#include "TableTestData.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
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

// A table on a fresh working directory; record starts out poisoned so that
// a call that must leave it alone can be seen to.
class CursorTest : public ::testing::Test {
protected:
    void File(const std::string& bytes) { WriteFileBytes(ADDRESS_TABLE_FILE, bytes); }
    [[nodiscard]] bool Untouched() const
    {
        const AddressRecord poisoned = PoisonedRecord();
        return std::memcmp(&record, &poisoned, sizeof record) == 0;
    }

    TempWorkDir dir;
    CAddressTable table;
    AddressRecord record = PoisonedRecord();
};

TEST_F(CursorTest, EmptyLineStopsTheScanAfterAMatchAndClosesTheFile)
{
    File("#people\r\n" + PersonLine("1", "A") + "\r\n" + PersonLine("1", "B"));
    ASSERT_EQ(table.GetFirst(record, 1), 1);
    EXPECT_STREQ(record.name, "A");
    EXPECT_TRUE(DataFileIsOpen());
    record = PoisonedRecord();
    EXPECT_EQ(table.GetNext(record, 1), 0);
    EXPECT_FALSE(DataFileIsOpen());
    EXPECT_EQ(table.GetNext(record, 1), 0);
    EXPECT_TRUE(Untouched());
}

TEST_F(CursorTest, GetNextAfterAFailedGetFirstReadsOnPastTheEmptyLine)
{
    File(PersonLine("2", "A") + "\r\n" + PersonLine("1", "B"));
    EXPECT_EQ(table.GetFirst(record, 1), 0);
    EXPECT_TRUE(DataFileIsOpen());
    ASSERT_EQ(table.GetNext(record, 1), 1);
    EXPECT_STREQ(record.name, "B");
    EXPECT_EQ(table.GetNext(record, 1), 0);
    EXPECT_FALSE(DataFileIsOpen());
}

TEST_F(CursorTest, GetNextWithoutAScanReadsNothing)
{
    File(PersonLine("1", "A"));
    EXPECT_EQ(table.GetNext(record, 1), 0);
    EXPECT_TRUE(Untouched());
    EXPECT_EQ(table.LastScan().end, ScanEnd::NotStarted);
}

TEST_F(CursorTest, AnAppendEndsTheScanAndTheNextScanSeesTheNewLine)
{
    File(PersonLine("3", "A") + PersonLine("3", "B"));
    ASSERT_EQ(table.GetFirst(record, 3), 1);
    ASSERT_EQ(table.AddRecord(SampleRecord("C")), 1);
    EXPECT_FALSE(DataFileIsOpen());
    EXPECT_EQ(table.GetNext(record, 3), 0);
    EXPECT_STREQ(record.name, "A");
    EXPECT_EQ(ScanNames(table, 3), (Names{"A", "B", "C"}));
}

TEST_F(CursorTest, EveryScanStartsAtTheTopOfTheFileAsItIsNow)
{
    File(PersonLine("1", "A") + PersonLine("1", "B"));
    ASSERT_EQ(table.GetFirst(record, 1), 1);  // abandoned after the first match
    File(PersonLine("1", "X") + PersonLine("1", "Y"));
    EXPECT_EQ(ScanNames(table, 1), (Names{"X", "Y"}));
}

TEST_F(CursorTest, DestructorClosesAnAbandonedScan)
{
    File(PersonLine("1", "A") + PersonLine("1", "B"));
    {
        CAddressTable other;
        ASSERT_EQ(other.GetFirst(record, 1), 1);
        EXPECT_TRUE(DataFileIsOpen());
    }
    EXPECT_FALSE(DataFileIsOpen());
}

TEST_F(CursorTest, DirectoryInPlaceOfTheFileFailsTheOpen)
{
    fs::create_directory(ADDRESS_TABLE_FILE);
    EXPECT_EQ(table.GetFirst(record, KANAROW_ALL), 0);
    EXPECT_EQ(table.LastScan().end, ScanEnd::OpenFailed);
    EXPECT_EQ(table.GetNext(record, KANAROW_ALL), 0);
    EXPECT_TRUE(Untouched());
    EXPECT_EQ(table.AddRecord(SampleRecord("A")), 0);
    EXPECT_EQ(table.LastScan().end, ScanEnd::OpenFailed);
}

TEST_F(CursorTest, LastScanIsFoundAfterAMatchThenTheEnd)
{
    File(PersonLine("1", "A"));
    ASSERT_EQ(table.GetFirst(record, 1), 1);
    EXPECT_EQ(table.LastScan().end, ScanEnd::Found);
    EXPECT_EQ(table.GetNext(record, 1), 0);
    EXPECT_EQ(table.LastScan().end, ScanEnd::EndOfFile);
}

// Looking past a malformed line for hidden people must not move the
// position from which GetNext reads on, even beyond the read block.
TEST_F(CursorTest, LookingAheadKeepsThePositionOfTheScan)
{
    std::string comments;
    for (int i = 0; i < 200; ++i)
        comments += "#" + std::string(600, 'c') + "\r\n";
    File(PersonLine("2", "A") + "\r\n" + comments + PersonLine("1", "B") + "\r\n" + comments + PersonLine("1", "C"));
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
