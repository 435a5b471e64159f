#include "LineIndex.h"
#include "ShiftJis.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <utility>

namespace {

namespace portable {

#define KERNEL inline
struct Block {
    static constexpr int BYTES = 8;

    static LineBits Classify(const char* text) noexcept
    {
        LineBits bits{};
        for (int i = 0; i < LineIndex::WORD_BYTES; ++i) {
            const auto byte = static_cast<unsigned char>(text[i]);
            bits.commas |= std::uint64_t{byte == ','} << i;
            bits.leads |= std::uint64_t{sjis::IsLeadByte(byte)} << i;
            bits.nuls |= std::uint64_t{byte == 0} << i;
        }
        return bits;
    }

    static void AndStore(char* dest, const char* source, const unsigned char* keep) noexcept;

    static int StoreSetBits(std::uint64_t bits, int base, int* out) noexcept
    {
        return line_index::StoreSetBits(bits, base, out);
    }
};
#include "LineKernelsBody.h"
#undef KERNEL

void Block::AndStore(char* dest, const char* source, const unsigned char* keep) noexcept
{
    AndStoreWord<std::uint64_t>(dest, source, keep);
}

}  // namespace portable

}  // namespace

const LineKernels& LineKernels::Portable() noexcept
{
    return portable::KERNELS;
}

const LineKernels& LineKernels::Best() noexcept
{
    static const LineKernels* const best = Avx512() != nullptr ? Avx512() : Avx2();
    return best != nullptr ? *best : Portable();
}
