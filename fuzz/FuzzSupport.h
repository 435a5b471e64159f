#pragma once

// What the fuzz targets share: a private working directory, and a check
// that ends the run on a broken invariant.

#include "AddressTable.h"

#include <cstdio>
#include <cstdlib>

#include <unistd.h>

// Prints what broke and aborts, so that libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                           \
    do {                                                \
        if (!(condition))                               \
            fuzz::Fail(#condition, __FILE__, __LINE__); \
    } while (0)

namespace fuzz {

[[noreturn]] inline void Fail(const char* what, const char* file, int line)
{
    std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", what, file, line);
    std::abort();
}

inline char g_workDir[64] = {};

// Makes a fresh temporary directory the working directory for the rest of
// the process; it is removed with the data file at exit. In memory
// (/dev/shm) where the machine has it: every append flushes the file to
// the disk, which would hold the runs to the disk's pace.
inline void EnterPrivateWorkDir()
{
    for (const char* base : {"/dev/shm", "/tmp"}) {
        std::snprintf(g_workDir, sizeof g_workDir, "%s/kanaroku-fuzz-XXXXXX", base);
        if (::mkdtemp(g_workDir) != nullptr && ::chdir(g_workDir) == 0)
            break;
        g_workDir[0] = '\0';
    }
    if (g_workDir[0] == '\0') {
        std::perror("fuzz working directory");
        std::exit(2);
    }
    std::atexit([] {
        (void)::unlink(ADDRESS_TABLE_FILE);
        (void)::chdir("/");
        (void)::rmdir(g_workDir);
    });
}

}  // namespace fuzz
