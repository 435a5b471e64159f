#include "DataFile.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr char END_OF_TEXT = 0x1A;
}

bool DataFile::Open(const char* path) noexcept
{
    m_stream.reset(std::fopen(path, "a+"));
    m_regular = false;
    m_endOfTextStuck = false;
    if (!m_stream)
        return false;
    struct stat info {};
    m_regular = ::fstat(Descriptor(), &info) == 0 && S_ISREG(info.st_mode);
    if (m_regular)
        DropTrailingEndOfText(info.st_size);
    std::fseek(Stream(), 0, SEEK_SET);
    return true;
}

bool DataFile::Close() noexcept
{
    return m_stream && std::fclose(m_stream.release()) == 0;
}

void DataFile::DropTrailingEndOfText(long long size) noexcept
{
    char last = 0;
    if (size > 0 && ::pread(Descriptor(), &last, 1, size - 1) == 1 && last == END_OF_TEXT)
        m_endOfTextStuck = ::ftruncate(Descriptor(), size - 1) != 0;
}
