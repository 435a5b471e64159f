#include "DataFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char END_OF_TEXT = 0x1A;

// The directory entry of a file just created reaches the disk only when
// the directory itself is flushed (the data file lives in the working
// directory).
bool FlushWorkingDirectory() noexcept
{
    const int dir = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return false;
    const bool flushed = ::fsync(dir) == 0;
    ::close(dir);
    return flushed;
}

}  // namespace

bool DataFile::Open(const char* path) noexcept
{
    struct stat before {};
    const bool existed = ::stat(path, &before) == 0;
    m_stream.reset(std::fopen(path, "a+"));
    m_regular = false;
    m_endOfTextStuck = false;
    m_entryUnflushed = false;
    if (!m_stream)
        return false;
    // A file just created gets its directory entry onto the disk at once.
    m_entryUnflushed = !existed && !FlushWorkingDirectory();
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
