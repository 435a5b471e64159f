// Two other processes appending to the same file at once while this one
// keeps scanning it: no line may be lost, cut or interleaved, and a scan
// may see only whole lines, apart from one still being written at the end.
#include "AddressTable.h"
#include "TableTestData.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int WRITERS = 2;
constexpr int PERSONS_PER_WRITER = 2000;

// Lines of different lengths, so that writes of many sizes race.
AddressRecord PersonOf(int writer, int index)
{
    char name[16];
    std::snprintf(name, sizeof name, "W%d-%04d", writer, index);
    AddressRecord record = SampleRecord(name);
    std::memset(record.address1, 'x', static_cast<std::size_t>(index % 250));
    std::memset(record.address1 + index % 250, 0, sizeof record.address1 - index % 250);
    return record;
}

// One scan: each writer's persons in order, whole when final; how many.
int ScanOnce(CAddressTable& table, bool final)
{
    int next[WRITERS] = {};
    int delivered = 0;
    AddressRecord record{};
    for (int found = table.GetFirst(record, KANAROW_ALL); found; found = table.GetNext(record, KANAROW_ALL)) {
        int writer = -1;
        int index = -1;
        EXPECT_EQ(std::sscanf(record.name, "W%d-%d", &writer, &index), 2);
        EXPECT_TRUE(writer >= 0 && writer < WRITERS && index == next[writer]++) << record.name;
        const AddressRecord expected = PersonOf(writer, index);
        EXPECT_TRUE(!final || std::memcmp(&record, &expected, sizeof record) == 0) << record.name;
        ++delivered;
    }
    if (table.LastScan().end == ScanEnd::MalformedLine) {
        EXPECT_TRUE(!final && table.LastScan().lineNumber == delivered + 1);
    }
    return delivered;
}

TEST(ConcurrentAppendTest, TwoWritersAndAScannerLoseAndMixNothing)
{
    TempWorkDir dir;
    pid_t writers[WRITERS] = {};
    for (int w = 0; w < WRITERS; ++w) {
        writers[w] = ::fork();
        if (writers[w] == 0) {
            CAddressTable table;
            int failed = 0;
            for (int i = 0; i < PERSONS_PER_WRITER; ++i)
                failed += table.AddRecord(PersonOf(w, i)) != 1;
            ::_exit(failed == 0 ? 0 : 1);
        }
    }
    CAddressTable table;
    int running = WRITERS;
    int partialScans = 0;
    while (running > 0) {
        const int seen = ScanOnce(table, false);
        partialScans += seen > 0 && seen < WRITERS * PERSONS_PER_WRITER;
        for (pid_t& writer : writers) {
            int status = 0;
            if (writer > 0 && ::waitpid(writer, &status, WNOHANG) == writer) {
                EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
                writer = 0;
                --running;
            }
        }
    }
    EXPECT_EQ(ScanOnce(table, true), WRITERS * PERSONS_PER_WRITER);
    EXPECT_EQ(table.LastScan().end, ScanEnd::EndOfFile);
    std::printf("scans that saw some but not all persons: %d\n", partialScans);
}

}  // namespace
