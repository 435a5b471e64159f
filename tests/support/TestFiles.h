#pragma once

#include <sys/resource.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// A fresh temporary directory that is the working directory for the
// object's lifetime; the previous working directory comes back and the
// directory is removed afterwards.
class TempWorkDir {
public:
    TempWorkDir();
    ~TempWorkDir();
    TempWorkDir(const TempWorkDir&) = delete;
    TempWorkDir& operator=(const TempWorkDir&) = delete;

    [[nodiscard]] const std::filesystem::path& Path() const noexcept { return m_path; }

private:
    std::filesystem::path m_previous;
    std::filesystem::path m_path;
};

void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes);
[[nodiscard]] std::string ReadFileBytes(const std::filesystem::path& path);

// Lowers this process's file size limit and ignores SIGXFSZ, so that a
// write beyond the limit fails with EFBIG; both come back afterwards.
class FileSizeLimit {
public:
    explicit FileSizeLimit(std::uintmax_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    [[nodiscard]] bool Set() const noexcept { return m_set; }

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = nullptr;
    bool m_set = false;
};
