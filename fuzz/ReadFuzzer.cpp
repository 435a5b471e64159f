// The data file as arbitrary bytes: every scan the table makes of them, by
// the byte-by-byte split and by every set of vector kernels built in that
// this processor runs, must agree with the reference reader.
#include "FuzzSupport.h"
#include "LineIndex.h"
#include "TableCheck.h"

#include <cstdint>
#include <cstdio>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterPrivateWorkDir();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    static const std::vector<const LineKernels*> kernelSets = [] {
        std::vector<const LineKernels*> sets = LineKernels::Supported();
        sets.push_back(nullptr);
        return sets;
    }();
    for (const LineKernels* kernels : kernelSets) {
        const std::string difference = reference::CompareScans(bytes, kernels);
        if (!difference.empty())
            fuzz::Fail((difference + ", kernels " + (kernels ? kernels->name : "none")).c_str(), __FILE__, __LINE__);
    }
    return 0;
}
