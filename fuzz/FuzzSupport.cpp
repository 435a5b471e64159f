#include "FuzzSupport.h"

#include "AddressTable.h"

#include <cstdio>
#include <cstdlib>

#include <unistd.h>

namespace fuzz {

namespace {

char g_workDir[] = "/tmp/kanaroku-fuzz-XXXXXX";

void RemoveWorkDir()
{
    (void)::unlink(ADDRESS_TABLE_FILE);
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

}  // namespace fuzz
