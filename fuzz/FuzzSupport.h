#pragma once

// What the fuzz targets share: a private working directory, and a check
// that ends the run on a broken invariant.

// Prints what broke and aborts, so that libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                           \
    do {                                                \
        if (!(condition))                               \
            fuzz::Fail(#condition, __FILE__, __LINE__); \
    } while (0)

namespace fuzz {

[[noreturn]] void Fail(const char* what, const char* file, int line);

// Makes a fresh temporary directory the working directory for the rest of
// the process; it is removed with the data file at exit.
void EnterPrivateWorkDir();

}  // namespace fuzz
