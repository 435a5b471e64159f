#include "TestFiles.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

TempWorkDir::TempWorkDir() : m_previous(fs::current_path())
{
    std::string pattern = (fs::temp_directory_path() / "kanaroku-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
    fs::current_path(m_path);
}

TempWorkDir::~TempWorkDir()
{
    std::error_code ignored;
    fs::current_path(m_previous, ignored);
    fs::remove_all(m_path, ignored);
}

void WriteFileBytes(const fs::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

std::string ReadFileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

FileSizeLimit::FileSizeLimit(std::uintmax_t bytes)
{
    ::getrlimit(RLIMIT_FSIZE, &m_previous);
    m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit lowered{static_cast<rlim_t>(bytes), m_previous.rlim_max};
    m_set = ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
}

FileSizeLimit::~FileSizeLimit()
{
    ::setrlimit(RLIMIT_FSIZE, &m_previous);
    std::signal(SIGXFSZ, m_previousHandler);
}
