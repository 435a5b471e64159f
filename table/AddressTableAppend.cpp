#include "AddressTable.h"

#include "AddressTableImpl.h"
#include "KanaRowTable.h"
#include "RecordSchema.h"
#include "ShiftJis.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <string>
#include <string_view>

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// ',' and the line breaks would split the line; 0x1A would end the
// readable text before it.
bool FormatCannotCarry(const AddressRecord& record) noexcept
{
    for (const Column& column : TEXT_COLUMNS) {
        if (record_field::TextView(record, column).find_first_of(",\r\n\x1A") != std::string_view::npos)
            return true;
    }
    return false;
}

// Appends the fields of one line, separated by ",", to a string.
class LineBuilder {
public:
    explicit LineBuilder(std::string& out) noexcept : m_out(out), m_start(out.size()) {}

    void Number(int value)
    {
        char digits[16];
        const auto result = std::to_chars(digits, digits + sizeof digits, value);
        Text({digits, static_cast<std::size_t>(result.ptr - digits)});
    }

    void Text(std::string_view text)
    {
        if (m_out.size() != m_start)
            m_out += ',';
        m_out += text;
    }

private:
    std::string& m_out;
    std::size_t m_start;
};

constexpr std::string_view LINE_END = "\r\n";

// One record's line, line end included, at the end of out.
void AppendLine(std::string& out, const AddressRecord& record)
{
    LineBuilder line(out);
    for (const Column& column : COLUMNS) {
        switch (column.kind) {
        case ColumnKind::RowCode:
            line.Number(CAddressTable::ClassifyReading(record.reading));
            break;
        case ColumnKind::Number: {
            const int value = record_field::Number(record, column);
            line.Number(column.writtenAsFlag && value != 0 ? 1 : value);
            break;
        }
        case ColumnKind::Text:
            line.Text(record_field::TextView(record, column));
            break;
        }
    }
    out += LINE_END;
}

// An exclusive advisory lock on the data file while the line is appended.
// Another instance of the program appending at the same moment waits, so
// that its look at the file's last byte cannot fall in the middle of our
// write (the size grows page by page while a write is copied), and so
// that cutting back a failed write cannot cut off its line. The lock is
// held through a duplicate descriptor, so that it outlasts the stream's
// close. Editors take no such lock; a lock that cannot be had is no
// reason to fail the append.
class AppendLock {
public:
    explicit AppendLock(int fd) noexcept : m_fd(::dup(fd))
    {
        while (m_fd >= 0 && ::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~AppendLock()
    {
        if (m_fd >= 0)
            (void)::close(m_fd);
    }
    AppendLock(const AppendLock&) = delete;
    AppendLock& operator=(const AppendLock&) = delete;

private:
    int m_fd;
};

}  // namespace

KanaRow CAddressTable::ClassifyReading(const char* reading) noexcept
{
    if (reading == nullptr || reading[0] == '\0' || reading[1] == '\0')
        return KANAROW_OTHER;
    const auto first = static_cast<unsigned char>(reading[0]);
    const auto second = static_cast<unsigned char>(reading[1]);
    for (const KanaRowEntry& row : KanaRowTable) {
        for (const auto& cell : row.cells) {
            if (cell[0] == first && cell[1] == second)
                return row.code;
        }
    }
    return KANAROW_OTHER;
}

int CAddressTable::AddRecord(const AddressRecord& record)
{
    return AddRecords({&record, 1});
}

int CAddressTable::AddRecords(std::span<const AddressRecord> records)
{
    m_impl->EndScan();
    if (std::any_of(records.begin(), records.end(), FormatCannotCarry)) {
        m_impl->NoteAppendEnd(AppendEnd::Refused);
        return 0;
    }
    if (records.empty()) {
        m_impl->NoteAppendEnd(AppendEnd::Written);
        return 1;
    }
    // Room for a line end in front, for a file whose last line lacks one.
    std::string lines(LINE_END);
    for (const AddressRecord& record : records)
        AppendLine(lines, record);
    const AppendEnd end = m_impl->Append(lines);
    m_impl->NoteAppendEnd(end);
    return end == AppendEnd::Written ? 1 : 0;
}

// The scan report follows the append too: Found when the lines reached
// the file, OpenFailed when they did not, NotStarted when refused.
void CAddressTable::Impl::NoteAppendEnd(AppendEnd end) noexcept
{
    m_lastAppend = end;
    NoteScanEnd(end == AppendEnd::Written   ? ScanEnd::Found
                : end == AppendEnd::Refused ? ScanEnd::NotStarted
                                            : ScanEnd::OpenFailed);
}

// The lines go out in one write() on the append-mode descriptor, line end
// included, so a concurrent append by another process cannot interleave
// with them, and are flushed to the disk before the close; the lock keeps
// other instances out from the look at the last byte to the close. Whatever part of a failed write reached the file is
// cut off again. A 0x1A that could not be taken off the end would hide
// the new lines from every scan: nothing is written then.
AppendEnd CAddressTable::Impl::Append(std::string_view lines) noexcept
{
    if (!Open())
        return AppendEnd::Failed;
    if (m_file.EndOfTextStuck() || m_file.EntryUnflushed()) {
        m_file.Drop();
        return AppendEnd::Failed;
    }
    const int fd = m_file.Descriptor();
    const AppendLock lock(fd);
    struct stat info {};
    const off_t previousSize = ::fstat(fd, &info) == 0 && m_file.IsRegular() ? info.st_size : 0;
    std::string_view out = lines.substr(LINE_END.size());
    char last = '\n';
    if (previousSize > 0 && ::pread(fd, &last, 1, previousSize - 1) == 1 && last != '\n')
        out = lines;

    const ssize_t result = ::write(fd, out.data(), out.size());
    // Success is reported only once the lines are on the disk: a failed
    // flush is a failed append, taken back like a failed write.
    const bool whole = result == static_cast<ssize_t>(out.size());
    if (!whole || (m_file.IsRegular() && ::fdatasync(fd) != 0)) {
        const bool cutBack = result <= 0 || ::ftruncate(fd, previousSize) == 0;
        m_file.Drop();
        return cutBack ? AppendEnd::Failed : AppendEnd::UnfinishedLineLeft;
    }
    if (m_file.Close())
        return AppendEnd::Written;
    // The close may have been the write that failed.
    if (!m_file.IsRegular() || ::truncate(ADDRESS_TABLE_FILE, previousSize) == 0)
        return AppendEnd::Failed;
    return AppendEnd::UnfinishedLineLeft;
}
