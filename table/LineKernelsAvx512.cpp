#include "LineIndex.h"
#include "ShiftJis.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <utility>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>

namespace {

// Only these functions are built for AVX-512; Avx512() hands them out only
// where the processor has it.
#define KERNEL [[gnu::target("avx512f,avx512bw,avx512vbmi2,avx2,bmi,popcnt")]] inline

namespace avx512 {

// Bytes from low to high, inclusive, as bits.
KERNEL std::uint64_t InRange(__m512i bytes, unsigned char low, unsigned char high) noexcept
{
    const __m512i offset = _mm512_sub_epi8(bytes, _mm512_set1_epi8(static_cast<char>(low)));
    return _mm512_cmple_epu8_mask(offset, _mm512_set1_epi8(static_cast<char>(high - low)));
}

// The masked forms with a zero source, which GCC does not take for reads
// of an undefined value.
KERNEL __m512i Widened(__m512i packed, int quarter, int base) noexcept
{
    __m128i bytes;
    switch (quarter) {
    case 0: bytes = _mm512_maskz_extracti32x4_epi32(0xF, packed, 0); break;
    case 1: bytes = _mm512_maskz_extracti32x4_epi32(0xF, packed, 1); break;
    case 2: bytes = _mm512_maskz_extracti32x4_epi32(0xF, packed, 2); break;
    default: bytes = _mm512_maskz_extracti32x4_epi32(0xF, packed, 3); break;
    }
    return _mm512_add_epi32(_mm512_maskz_cvtepu8_epi32(0xFFFF, bytes), _mm512_set1_epi32(base));
}

struct Block {
    static constexpr int BYTES = 64;

    KERNEL static LineBits Classify(const char* text) noexcept
    {
        const __m512i bytes = _mm512_loadu_si512(text);
        return {_mm512_cmpeq_epi8_mask(bytes, _mm512_set1_epi8(',')),
                InRange(bytes, 0x81, 0x9F) | InRange(bytes, 0xE0, 0xFC),
                _mm512_cmpeq_epi8_mask(bytes, _mm512_setzero_si512())};
    }

    KERNEL static void AndStore(char* dest, const char* source, const unsigned char* keep) noexcept
    {
        _mm512_storeu_si512(dest, _mm512_and_si512(_mm512_loadu_si512(source), _mm512_loadu_si512(keep)));
    }

    // The byte offsets of the set bits packed by one compress, then
    // widened sixteen at a time.
    KERNEL static int StoreSetBits(std::uint64_t bits, int base, int* out) noexcept
    {
        alignas(64) static constexpr unsigned char OFFSETS[64] = {
            0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
            22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43,
            44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63};
        const __m512i packed = _mm512_maskz_compress_epi8(bits, _mm512_load_si512(OFFSETS));
        const int count = std::popcount(bits);
        _mm512_storeu_si512(out, Widened(packed, 0, base));
        if (count > 16) {
            for (int quarter = 1; quarter < 4; ++quarter)
                _mm512_storeu_si512(out + 16 * quarter, Widened(packed, quarter, base));
        }
        return count;
    }
};

#include "LineKernelsBody.h"

}  // namespace avx512
#undef KERNEL

}  // namespace

const LineKernels* LineKernels::Avx512() noexcept
{
    __builtin_cpu_init();
    const bool runs = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                      __builtin_cpu_supports("avx512vbmi2") && __builtin_cpu_supports("bmi") &&
                      __builtin_cpu_supports("popcnt");
    return runs ? &avx512::KERNELS : nullptr;
}

#else

const LineKernels* LineKernels::Avx512() noexcept
{
    return nullptr;
}

#endif
