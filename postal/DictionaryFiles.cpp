#include "DictionaryFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace postal {
namespace {

// The first line of every imported file: the format, so that a file of
// another kind or version is never read as ours.
constexpr std::string_view HEADER = "# kanaroku postal codes 1\n";

// A file descriptor closed on every path out.
class Descriptor {
public:
    explicit Descriptor(int fd) noexcept : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    [[nodiscard]] int Get() const noexcept { return m_fd; }
    int Release() noexcept
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd);
    }

private:
    int m_fd;
};

bool WriteAll(int fd, std::string_view bytes) noexcept
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string Serialised(const Entries& entries)
{
    std::string text(HEADER);
    for (const Entry& entry : entries) {
        text += entry.code;
        text += '\t';
        text += static_cast<char>(entry.level);
        text += '\t';
        text += entry.address;
        text += '\n';
    }
    return text;
}

bool IsLevel(char c) noexcept
{
    return c == static_cast<char>(Level::Town) || c == static_cast<char>(Level::City)
           || c == static_cast<char>(Level::Business);
}

}  // namespace

std::filesystem::path DataDirectory()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && *xdg == '/')
        return std::filesystem::path(xdg) / "kanaroku";
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : "") / ".local" / "share" / "kanaroku";
}

Sources DefaultSources()
{
    Sources sources;
    sources.dataDir = DataDirectory();
    return sources;
}

std::optional<Table> ReadImportedFile(const std::filesystem::path& path)
{
    std::optional<std::string> text = ReadWholeFile(path);
    if (!text || !text->starts_with(HEADER))
        return std::nullopt;
    Table table;
    table.text = std::move(*text);
    table.records.reserve(table.text.size() / 40);
    for (std::size_t at = HEADER.size(); at < table.text.size();) {
        const std::size_t end = table.text.find('\n', at);
        if (end == std::string::npos)
            return std::nullopt;  // cut short: not a file we finished writing
        const std::string_view line = std::string_view(table.text).substr(at, end - at);
        if (line.size() < 10 || line[7] != '\t' || !IsLevel(line[8]) || line[9] != '\t')
            return std::nullopt;
        table.AddPiece(CodeNumber(line.substr(0, 7)), at + 10, line.size() - 10, static_cast<Level>(line[8]));
        at = end + 1;
    }
    table.SortByCode();
    return table;
}

std::string WriteImportedFile(const std::filesystem::path& path, const Entries& entries)
{
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error)
        return path.parent_path().string() + ": " + error.message();
    std::string temporary = path.string() + ".XXXXXX";
    Descriptor fd(::mkstemp(temporary.data()));
    if (fd.Get() < 0)
        return temporary + ": " + std::strerror(errno);
    const bool written = WriteAll(fd.Get(), Serialised(entries)) && ::fchmod(fd.Get(), 0644) == 0
                         && ::fsync(fd.Get()) == 0 && fd.Release() == 0;
    const int writeErrno = errno;
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string reason = std::strerror(written ? errno : writeErrno);
        ::unlink(temporary.c_str());
        return path.string() + ": " + reason;
    }
    return {};
}

}  // namespace postal
