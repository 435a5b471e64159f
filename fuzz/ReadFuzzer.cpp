// The data file as arbitrary bytes: every scan the table makes of them, by
// the byte-by-byte split and by the vector kernels this processor runs,
// must agree with the reference reader.
#include "FuzzSupport.h"
#include "LineIndex.h"
#include "TableCheck.h"

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterPrivateWorkDir();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const LineKernels* kernels : {static_cast<const LineKernels*>(nullptr), LineKernels::Avx2()}) {
        const std::string difference = reference::CompareScans(bytes, kernels);
        if (!difference.empty())
            fuzz::Fail(difference.c_str(), __FILE__, __LINE__);
    }
    return 0;
}
