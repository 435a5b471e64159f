// Two program instances appending to the same file at once while a third
// keeps scanning it: no line may be lost, cut or interleaved, and a scan
// may see only whole lines, apart from one still being written at the end.
#include "AddressTable.h"
#include "TableTestData.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int WRITERS = 2;
constexpr int PERSONS_PER_WRITER = 2000;

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

// Which person a delivered record is, by its name; false for none.
bool Identify(const AddressRecord& record, int& writer, int& index)
{
    return std::sscanf(record.name, "W%d-%d", &writer, &index) == 2 && writer >= 0 && writer < WRITERS &&
           index >= 0 && index < PERSONS_PER_WRITER;
}

[[noreturn]] void ChildFails(const char* what)
{
    std::fprintf(stderr, "child %d: %s\n", static_cast<int>(::getpid()), what);
    ::_exit(1);
}

// Blocks until the parent closes the other end of the pipe.
void AwaitStart(int readEnd)
{
    char byte = 0;
    while (::read(readEnd, &byte, 1) < 0 && errno == EINTR) {
    }
}

[[noreturn]] void RunWriter(int writer, int startPipe)
{
    AwaitStart(startPipe);
    CAddressTable table;
    for (int i = 0; i < PERSONS_PER_WRITER; ++i) {
        if (table.AddRecord(PersonOf(writer, i)) != 1)
            ChildFails("AddRecord failed");
    }
    ::_exit(0);
}

struct ScanFigures {
    int scans = 0;
    int scansWhileWriting = 0;  // scans that saw some but not all persons
    int partialLastLines = 0;
};

// One scan with 98: every person in writing order for each writer, whole;
// only the very last line read may be one still being written.
void ScanOnce(CAddressTable& table, ScanFigures& figures, bool final)
{
    int next[WRITERS] = {};
    int delivered = 0;
    bool previousWasPartial = false;
    AddressRecord record{};
    for (int found = table.GetFirst(record, KANAROW_ALL); found; found = table.GetNext(record, KANAROW_ALL)) {
        if (previousWasPartial)
            ChildFails("a partial line before the end of the file");
        int writer = 0;
        int index = 0;
        if (!Identify(record, writer, index) || index != next[writer])
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
    if (final && (previousWasPartial || endedOnPartialLine || delivered != WRITERS * PERSONS_PER_WRITER)) {
        std::fprintf(stderr, "final scan: %d delivered, last partial %d, malformed line %ld\n", delivered,
                     previousWasPartial, endedOnPartialLine ? status.lineNumber : 0L);
        ChildFails("the final scan did not deliver every person whole");
    }
    ++figures.scans;
    figures.scansWhileWriting += delivered > 0 && delivered < WRITERS * PERSONS_PER_WRITER;
    figures.partialLastLines += previousWasPartial || endedOnPartialLine;
}

bool Signalled(int readEnd)
{
    pollfd fd{readEnd, POLLIN, 0};
    return ::poll(&fd, 1, 0) > 0;
}

// Scans until told that the writers are done, then once more; reports its
// figures through the pipe.
[[noreturn]] void RunScanner(int startPipe, int readyPipe, int donePipe, int figuresPipe)
{
    AwaitStart(startPipe);
    CAddressTable table;
    ScanFigures figures;
    ScanOnce(table, figures, false);
    if (::write(readyPipe, "r", 1) != 1)
        ChildFails("cannot report readiness");
    while (!Signalled(donePipe))
        ScanOnce(table, figures, false);
    ScanOnce(table, figures, true);
    if (::write(figuresPipe, &figures, sizeof figures) != sizeof figures)
        ChildFails("cannot report figures");
    ::_exit(0);
}

struct Pipe {
    int fds[2] = {-1, -1};
    Pipe() { EXPECT_EQ(::pipe(fds), 0); }
    ~Pipe() { Close(); }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    [[nodiscard]] int ReadEnd() const { return fds[0]; }
    [[nodiscard]] int WriteEnd() const { return fds[1]; }
    void CloseWriteEnd()
    {
        if (fds[1] >= 0)
            ::close(fds[1]);
        fds[1] = -1;
    }
    void Close()
    {
        CloseWriteEnd();
        if (fds[0] >= 0)
            ::close(fds[0]);
        fds[0] = -1;
    }
};

int ExitStatusOf(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::vector<std::string> SplitLines(const std::string& bytes, std::string& rest)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = bytes.find("\r\n"); end != std::string::npos; end = bytes.find("\r\n", start)) {
        lines.push_back(bytes.substr(start, end + 2 - start));
        start = end + 2;
    }
    rest = bytes.substr(start);
    return lines;
}

// Run in a child right after fork: the child keeps only the pipe ends it
// uses, so that a pipe reads as ended once the parent closes its end.
void KeepOnly(std::initializer_list<Pipe*> pipes, std::initializer_list<int> keep)
{
    for (Pipe* pipe : pipes) {
        for (int& fd : pipe->fds) {
            if (std::find(keep.begin(), keep.end(), fd) == keep.end() && fd >= 0) {
                ::close(fd);
                fd = -1;
            }
        }
    }
}

TEST(ConcurrentAppendTest, TwoWritersAndAScannerLoseAndMixNothing)
{
    TempWorkDir dir;
    Pipe scannerStart;
    Pipe writersStart;
    Pipe ready;
    Pipe done;
    Pipe figuresPipe;
    const auto all = {&scannerStart, &writersStart, &ready, &done, &figuresPipe};

    const pid_t scanner = ::fork();
    ASSERT_GE(scanner, 0);
    if (scanner == 0) {
        KeepOnly(all, {scannerStart.ReadEnd(), ready.WriteEnd(), done.ReadEnd(), figuresPipe.WriteEnd()});
        RunScanner(scannerStart.ReadEnd(), ready.WriteEnd(), done.ReadEnd(), figuresPipe.WriteEnd());
    }
    pid_t writers[WRITERS] = {};
    for (int w = 0; w < WRITERS; ++w) {
        writers[w] = ::fork();
        if (writers[w] == 0) {
            KeepOnly(all, {writersStart.ReadEnd()});
            RunWriter(w, writersStart.ReadEnd());
        }
    }

    // The ends the children write to are theirs alone, so that a child
    // that dies reads as the end of its pipe instead of a wait for ever.
    ready.CloseWriteEnd();
    figuresPipe.CloseWriteEnd();
    // The scanner has the file open and is scanning before any write.
    scannerStart.CloseWriteEnd();
    char byte = 0;
    EXPECT_EQ(::read(ready.ReadEnd(), &byte, 1), 1);
    writersStart.CloseWriteEnd();
    for (pid_t writer : writers)
        EXPECT_EQ(writer > 0 ? ExitStatusOf(writer) : -1, 0);
    done.CloseWriteEnd();
    ScanFigures figures;
    EXPECT_EQ(::read(figuresPipe.ReadEnd(), &figures, sizeof figures), static_cast<ssize_t>(sizeof figures));
    EXPECT_EQ(ExitStatusOf(scanner), 0);
    std::printf("scans: %d, while writing: %d, ending on a line being written: %d\n", figures.scans,
                figures.scansWhileWriting, figures.partialLastLines);
    EXPECT_GE(figures.scans, 2);

    // The file: exactly the 4,000 lines, each whole, each writer's in order.
    std::string rest;
    const std::vector<std::string> lines = SplitLines(ReadFileBytes(ADDRESS_TABLE_FILE), rest);
    EXPECT_EQ(rest, "");
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(WRITERS * PERSONS_PER_WRITER));
    std::map<int, int> nextOf;
    for (const std::string& line : lines) {
        int writer = 0;
        int index = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "3,%*[^,],W%d-%d,", &writer, &index), 2) << line;
        ASSERT_EQ(index, nextOf[writer]) << line;
        ASSERT_EQ(line, LineOf(writer, index));
        ++nextOf[writer];
    }
    EXPECT_EQ(nextOf[0], PERSONS_PER_WRITER);
    EXPECT_EQ(nextOf[1], PERSONS_PER_WRITER);

    // And a scan delivers all of them.
    CAddressTable table;
    EXPECT_EQ(ScanNames(table, KANAROW_ALL).size(), lines.size());
    EXPECT_EQ(table.LastScan().end, ScanEnd::EndOfFile);
}

}  // namespace
