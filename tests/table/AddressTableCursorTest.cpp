// The cursor's states: which call leaves the file open or closed, where a
// scan starts, and what a call that finds nobody leaves alone.
#include "AddressTable.h"
#include "TableTestData.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// Whether this process holds the data file of the working directory open.
bool DataFileIsOpen()
{
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        std::error_code ignored;
        if (fs::read_symlink(entry.path(), ignored) == fs::current_path() / ADDRESS_TABLE_FILE)
            return true;
    }
    return false;
}

bool Untouched(const AddressRecord& record)
{
    const AddressRecord poisoned = PoisonedRecord();
    return std::memcmp(&record, &poisoned, sizeof record) == 0;
}

TEST(CursorTest, ScansHoldTheFileOpenUntilTheyEndAndStartAtTheTopOfTheFileAsItIsNow)
{
    TempWorkDir dir;
    CAddressTable table;
    AddressRecord record = PoisonedRecord();
    EXPECT_EQ(table.GetNext(record, 1), 0);  // no scan yet
    EXPECT_EQ(table.LastScan().end, ScanEnd::NotStarted);
    EXPECT_EQ(table.GetFirst(record, 1), 0);  // the missing file is created empty
    EXPECT_EQ(table.LastScan().end, ScanEnd::EndOfFile);
    EXPECT_EQ(ReadFileBytes(ADDRESS_TABLE_FILE), "");
    EXPECT_TRUE(Untouched(record));

    WriteFileBytes(ADDRESS_TABLE_FILE, PersonLine("2", "A") + "\r\n" + PersonLine("1", "B") + PersonLine("1", "C"));
    EXPECT_EQ(table.GetFirst(record, 1), 0);
    EXPECT_TRUE(DataFileIsOpen());  // GetNext reads on past the empty line
    ASSERT_EQ(table.GetNext(record, 1), 1);
    EXPECT_TRUE(DataFileIsOpen());
    ASSERT_EQ(table.AddRecord(SampleRecord("D")), 1);  // ends the scan
    EXPECT_FALSE(DataFileIsOpen());
    record = PoisonedRecord();
    EXPECT_EQ(table.GetNext(record, 1), 0);
    EXPECT_TRUE(Untouched(record));

    WriteFileBytes(ADDRESS_TABLE_FILE, PersonLine("1", "X") + PersonLine("1", "Y"));
    EXPECT_EQ(ScanNames(table, 1), (Names{"X", "Y"}));
    EXPECT_FALSE(DataFileIsOpen());
    {
        CAddressTable abandoned;
        ASSERT_EQ(abandoned.GetFirst(record, 1), 1);
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
    EXPECT_EQ(table.GetFirst(record, KANAROW_ALL), 0);
    EXPECT_EQ(table.LastScan().end, ScanEnd::OpenFailed);
    EXPECT_EQ(table.GetNext(record, KANAROW_ALL), 0);
    EXPECT_TRUE(Untouched(record));
    EXPECT_EQ(table.AddRecord(SampleRecord("A")), 0);
    EXPECT_EQ(table.LastScan().end, ScanEnd::OpenFailed);
    EXPECT_EQ(table.LastAppend(), AppendEnd::Failed);
}

}  // namespace
