#include "FuzzSupport.h"

#include "AddressTable.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include <unistd.h>

namespace fuzz {

namespace {

char g_workDir[] = "/tmp/kanaroku-fuzz-XXXXXX";

void RemoveWorkDir()
{
    RemoveDataFile();
    (void)::chdir("/");
    (void)::rmdir(g_workDir);
}

}  // namespace

void Fail(const char* what, const char* file, int line)
{
    std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", what, file, line);
    std::abort();
}

void EnterPrivateWorkDir()
{
    if (::mkdtemp(g_workDir) == nullptr || ::chdir(g_workDir) != 0) {
        std::perror("fuzz working directory");
        std::exit(2);
    }
    std::atexit(RemoveWorkDir);
}

void WriteDataFile(std::string_view bytes)
{
    std::ofstream out(ADDRESS_TABLE_FILE, std::ios::binary | std::ios::trunc);
    FUZZ_CHECK(out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).good());
}

void RemoveDataFile()
{
    (void)::unlink(ADDRESS_TABLE_FILE);
}

bool DataFileExists()
{
    return ::access(ADDRESS_TABLE_FILE, F_OK) == 0;
}

std::string ReadDataFile()
{
    std::ifstream in(ADDRESS_TABLE_FILE, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace fuzz
