// Two program instances appending to the same file at once while a third
// keeps scanning it: no line may be lost, cut or interleaved, and a scan
// may see only whole lines, apart from one still being written at the end.
#include "AddressTable.h"
#include "TableTestData.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int WRITERS = 2;
constexpr int PERSONS_PER_WRITER = 2000;
constexpr const char* WRITERS_DONE = "writers-done";  // created by the parent once both writers ended

std::string NameOf(int writer, int index)
{
    char name[16];
    std::snprintf(name, sizeof name, "W%d-%04d", writer, index);
    return name;
}

// Lines of different lengths, so that writes of many sizes race.
AddressRecord PersonOf(int writer, int index)
{
    AddressRecord record = SampleRecord(NameOf(writer, index));
    std::memset(record.address1, 0, sizeof record.address1);
    std::memset(record.address1, 'x', static_cast<std::size_t>(index % 250));
    return record;
}

std::string LineOf(int writer, int index)
{
    return "3," + Sjis("とうきょう") + "," + NameOf(writer, index) + "," + std::string(index % 250, 'x') +
           ",4-2-8 #305 \"A\",1980,12,31,3,who@example.jp,105,0011,1,03,1234,5678,090,1111,2222,*,*,*,*,*,*\r\n";
}

[[noreturn]] void ChildFails(const char* what)
{
    std::fprintf(stderr, "child %d: %s\n", static_cast<int>(::getpid()), what);
    ::_exit(1);
}

// One scan with 98: every person in writing order for each writer, whole;
// only the very last line read may be one still being written. Returns
// whether the scan saw some but not all persons.
bool ScanOnce(CAddressTable& table, bool final)
{
    int next[WRITERS] = {};
    int delivered = 0;
    bool previousWasPartial = false;
    AddressRecord record{};
    for (int found = table.GetFirst(record, KANAROW_ALL); found; found = table.GetNext(record, KANAROW_ALL)) {
        int writer = 0;
        int index = 0;
        if (previousWasPartial)
            ChildFails("a partial line before the end of the file");
        if (std::sscanf(record.name, "W%d-%d", &writer, &index) != 2 || writer < 0 || writer >= WRITERS ||
            index != next[writer])
            ChildFails("a person out of order, unknown or lost");
        ++next[writer];
        ++delivered;
        const AddressRecord expected = PersonOf(writer, index);
        previousWasPartial = std::memcmp(&record, &expected, sizeof record) != 0;
    }
    const ScanStatus& status = table.LastScan();
    const bool endedOnPartialLine = status.end == ScanEnd::MalformedLine;
    if (endedOnPartialLine && status.lineNumber != delivered + 1)
        ChildFails("a malformed line before the last one");
    if (final && (previousWasPartial || endedOnPartialLine || delivered != WRITERS * PERSONS_PER_WRITER))
        ChildFails("the final scan did not deliver every person whole");
    return delivered > 0 && delivered < WRITERS * PERSONS_PER_WRITER;
}

// Scans once, tells the parent through the pipe that writing may begin,
// then scans until the writers are done, and once more: that last scan
// must deliver every person whole.
[[noreturn]] void RunScanner(int readyFd)
{
    CAddressTable table;
    int scansWhileWriting = ScanOnce(table, false);
    if (::write(readyFd, "r", 1) != 1)
        ChildFails("cannot report readiness");
    while (!std::filesystem::exists(WRITERS_DONE))
        scansWhileWriting += ScanOnce(table, false);
    ScanOnce(table, true);
    std::fprintf(stderr, "scans that saw some but not all persons: %d\n", scansWhileWriting);
    ::_exit(0);
}

[[noreturn]] void RunWriter(int writer)
{
    CAddressTable table;
    for (int i = 0; i < PERSONS_PER_WRITER; ++i) {
        if (table.AddRecord(PersonOf(writer, i)) != 1)
            ChildFails("AddRecord failed");
    }
    ::_exit(0);
}

int ExitStatusOf(pid_t pid)
{
    int status = 0;
    if (pid <= 0 || ::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(ConcurrentAppendTest, TwoWritersAndAScannerLoseAndMixNothing)
{
    TempWorkDir dir;
    int ready[2] = {-1, -1};
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t scanner = ::fork();
    if (scanner == 0) {
        ::close(ready[0]);
        RunScanner(ready[1]);
    }
    // Only the scanner holds the write end: if it dies, the read ends.
    ::close(ready[1]);
    char byte = 0;
    EXPECT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    pid_t writers[WRITERS] = {};
    for (int w = 0; w < WRITERS; ++w) {
        writers[w] = ::fork();
        if (writers[w] == 0)
            RunWriter(w);
    }
    for (pid_t writer : writers)
        EXPECT_EQ(ExitStatusOf(writer), 0);
    WriteFileBytes(WRITERS_DONE, "");
    EXPECT_EQ(ExitStatusOf(scanner), 0);

    // The file: exactly the 4,000 lines, each whole, each writer's in order.
    const std::string bytes = ReadFileBytes(ADDRESS_TABLE_FILE);
    int next[WRITERS] = {};
    std::size_t start = 0;
    for (std::size_t end = bytes.find("\r\n"); end != std::string::npos; end = bytes.find("\r\n", start)) {
        const std::string line = bytes.substr(start, end + 2 - start);
        start = end + 2;
        int writer = 0;
        int index = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "3,%*[^,],W%d-%d,", &writer, &index), 2) << line;
        ASSERT_TRUE(writer >= 0 && writer < WRITERS) << line;
        ASSERT_EQ(line, LineOf(writer, next[writer]++));
    }
    EXPECT_EQ(start, bytes.size()) << "a cut line at the end";
    EXPECT_EQ(next[0], PERSONS_PER_WRITER);
    EXPECT_EQ(next[1], PERSONS_PER_WRITER);
}

}  // namespace
