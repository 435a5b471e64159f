#include "FileBytes.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vcard {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { (void)std::fclose(file); }
};

// The temporary file of ReplaceFile: removed unless it was renamed.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::filesystem::path& beside) : m_name(beside.string() + ".XXXXXX")
    {
        m_fd = ::mkstemp(m_name.data());
    }
    ~TemporaryFile()
    {
        const int saved = errno;
        if (m_fd >= 0)
            (void)::close(m_fd);
        if (!m_renamed && m_fd != -1)
            (void)::unlink(m_name.c_str());
        errno = saved;
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    [[nodiscard]] bool Opened() const noexcept { return m_fd >= 0; }

    bool Write(std::string_view bytes) noexcept
    {
        while (!bytes.empty()) {
            const ssize_t written = ::write(m_fd, bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return false;
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
        return true;
    }

    bool SetMode(mode_t mode) noexcept { return ::fchmod(m_fd, mode) == 0; }

    // Flushed to the disk and closed, then renamed over target.
    bool RenameTo(const std::filesystem::path& target) noexcept
    {
        const int fd = m_fd;
        m_fd = -2;  // closed: the destructor only unlinks
        if (::fsync(fd) != 0) {
            const int saved = errno;
            (void)::close(fd);
            errno = saved;
            return false;
        }
        if (::close(fd) != 0 || ::rename(m_name.c_str(), target.c_str()) != 0)
            return false;
        m_renamed = true;
        return true;
    }

private:
    std::string m_name;
    int m_fd = -1;
    bool m_renamed = false;
};

// The mode a new file gets from the umask, or the mode of the file it replaces.
mode_t ModeFor(const std::filesystem::path& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0)
        return info.st_mode & 07777;
    const mode_t mask = ::umask(0);
    (void)::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path)
{
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return std::nullopt;
    std::string bytes;
    char block[65536];
    std::size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file.get())) > 0)
        bytes.append(block, got);
    if (std::ferror(file.get()))
        return std::nullopt;
    return bytes;
}

bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes)
{
    TemporaryFile temporary(path);
    return temporary.Opened() && temporary.SetMode(ModeFor(path)) && temporary.Write(bytes) && temporary.RenameTo(path);
}

}  // namespace vcard
