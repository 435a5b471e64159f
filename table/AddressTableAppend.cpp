#include "AddressTable.h"

#include "KanaRowTable.h"
#include "ShiftJis.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <string_view>

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The text fields as they will be written, in the order of the line: up
// to their NUL, and never past their width minus one byte even when the
// NUL is missing.
std::array<std::string_view, TEXT_FIELD_COUNT> TextFieldsOf(const AddressRecord& record) noexcept
{
    const char* const base = reinterpret_cast<const char*>(&record);
    std::array<std::string_view, TEXT_FIELD_COUNT> texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const char* const field = base + TEXT_FIELD_SLOTS[i].offset;
        const auto width = static_cast<std::size_t>(TEXT_FIELD_SLOTS[i].width);
        texts[i] = {field, sjis::FitLength(field, ::strnlen(field, width), width - 1)};
    }
    return texts;
}

// ',' and the line breaks would split the line; 0x1A would end the
// readable text before it.
bool FormatCannotCarry(const AddressRecord& record) noexcept
{
    for (std::string_view text : TextFieldsOf(record)) {
        if (text.find_first_of(",\r\n\x1A") != std::string_view::npos)
            return true;
    }
    return false;
}

// Appends the fields of one line, separated by ",", to a fixed buffer.
class LineBuilder {
public:
    LineBuilder(char* begin, char* end) noexcept : m_begin(begin), m_next(begin), m_end(end) {}

    void Number(int value) noexcept
    {
        char digits[16];
        const int length = std::snprintf(digits, sizeof digits, "%d", value);
        Text({digits, static_cast<std::size_t>(length)});
    }

    void Text(std::string_view text) noexcept
    {
        if (m_next != m_begin)
            Raw(",");
        Raw(text);
    }

    void Raw(std::string_view bytes) noexcept
    {
        const std::size_t room = static_cast<std::size_t>(m_end - m_next);
        const std::size_t length = bytes.size() < room ? bytes.size() : room;
        std::memcpy(m_next, bytes.data(), length);
        m_next += length;
    }

    [[nodiscard]] std::size_t Length() const noexcept { return static_cast<std::size_t>(m_next - m_begin); }

private:
    char* m_begin;
    char* m_next;
    char* m_end;
};

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
    if (FormatCannotCarry(record)) {
        Close();
        NoteScanEnd(ScanEnd::NotStarted);
        return 0;
    }
    const int written = WriteRecord(record);
    NoteScanEnd(written ? ScanEnd::Found : ScanEnd::OpenFailed);
    return written;
}

// The line goes out in one write() on the append-mode descriptor, line end
// included, so a concurrent append by another process cannot interleave
// with it; the lock keeps other instances out from the look at the last
// byte to the close. Whatever part of a failed write reached the file is
// cut off again.
int CAddressTable::WriteRecord(const AddressRecord& record)
{
    constexpr std::string_view LINE_END = "\r\n";
    const auto texts = TextFieldsOf(record);
    // Room for a line end in front, for a file whose last line lacks one.
    LineBuilder line(lineBuffer + LINE_END.size(), lineBuffer + sizeof lineBuffer);
    line.Number(ClassifyReading(record.reading));
    for (std::size_t i = 0; i < 4; ++i)
        line.Text(texts[i]);
    line.Number(record.birthYear);
    line.Number(record.birthMonth);
    line.Number(record.birthDay);
    line.Number(record.bloodType);
    for (std::size_t i = 4; i < 7; ++i)
        line.Text(texts[i]);
    line.Number(record.sex == 0 ? 0 : 1);
    for (std::size_t i = 7; i < texts.size(); ++i)
        line.Text(texts[i]);
    line.Raw(LINE_END);

    if (!Open())
        return 0;
    const int fd = ::fileno(file);
    const AppendLock lock(fd);
    struct stat info {};
    const off_t previousSize = ::fstat(fd, &info) == 0 && m_fileIsRegular ? info.st_size : 0;
    const char* begin = lineBuffer + LINE_END.size();
    std::size_t length = line.Length();
    char last = '\n';
    if (previousSize > 0 && ::pread(fd, &last, 1, previousSize - 1) == 1 && last != '\n') {
        begin = lineBuffer;
        std::memcpy(lineBuffer, LINE_END.data(), LINE_END.size());
        length += LINE_END.size();
    }

    const ssize_t result = ::write(fd, begin, length);
    const bool complete = result == static_cast<ssize_t>(length);
    if (!complete && result > 0)
        (void)::ftruncate(fd, previousSize);
    const bool closed = CloseChecked();
    if (complete && !closed && m_fileIsRegular)
        (void)::truncate(ADDRESS_TABLE_FILE, previousSize);
    return complete && closed ? 1 : 0;
}
