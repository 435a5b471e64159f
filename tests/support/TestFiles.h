#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>

// A fresh temporary directory that is the working directory for the
// object's lifetime; the previous working directory comes back and the
// directory is removed afterwards.
class TempWorkDir {
public:
    TempWorkDir() : m_previous(std::filesystem::current_path())
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kanaroku-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
        std::filesystem::current_path(m_path);
    }
    ~TempWorkDir()
    {
        std::error_code ignored;
        std::filesystem::current_path(m_previous, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    TempWorkDir(const TempWorkDir&) = delete;
    TempWorkDir& operator=(const TempWorkDir&) = delete;
    [[nodiscard]] const std::filesystem::path& Path() const noexcept { return m_path; }

private:
    std::filesystem::path m_previous;
    std::filesystem::path m_path;
};

inline void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        throw std::runtime_error("cannot write " + path.string());
}

inline std::string ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Lowers this process's file size limit and ignores SIGXFSZ, so that a
// write beyond the limit fails with EFBIG; both come back afterwards.
class FileSizeLimit {
public:
    explicit FileSizeLimit(std::uintmax_t bytes) : m_previousHandler(std::signal(SIGXFSZ, SIG_IGN))
    {
        ::getrlimit(RLIMIT_FSIZE, &m_previous);
        const rlimit lowered{static_cast<rlim_t>(bytes), m_previous.rlim_max};
        m_set = ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    [[nodiscard]] bool Set() const noexcept { return m_set; }

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int);
    bool m_set = false;
};

// The file's append-only attribute (chattr +a) for the object's lifetime
// when wanted: the file may only grow, so cutting it back fails, even for
// root.
class AppendOnly {
public:
    AppendOnly(const char* path, bool wanted) : m_fd(::open(path, O_RDONLY))
    {
        m_set = wanted && Change(FS_APPEND_FL, 0);
    }
    ~AppendOnly()
    {
        if (m_set)
            (void)Change(0, FS_APPEND_FL);
        ::close(m_fd);
    }
    AppendOnly(const AppendOnly&) = delete;
    AppendOnly& operator=(const AppendOnly&) = delete;
    [[nodiscard]] bool Set() const noexcept { return m_set; }

private:
    bool Change(int set, int clear) const
    {
        int flags = 0;
        if (::ioctl(m_fd, FS_IOC_GETFLAGS, &flags) != 0)
            return false;
        flags = (flags | set) & ~clear;
        return ::ioctl(m_fd, FS_IOC_SETFLAGS, &flags) == 0;
    }

    int m_fd;
    bool m_set = false;
};
