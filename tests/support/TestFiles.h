#pragma once

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
