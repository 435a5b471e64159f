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

// Only these functions are built for AVX2; Avx2() hands them out only
// where the processor has it. Elsewhere lines are split byte by byte:
// AVX-512 bought a few percent more, not worth a second set.
#define KERNEL [[gnu::target("avx2,bmi,popcnt")]] inline

namespace avx2 {

// Bytes from low to high, inclusive, as 0xFF.
KERNEL __m256i InRange(__m256i bytes, unsigned char low, unsigned char high) noexcept
{
    const __m256i offset = _mm256_sub_epi8(bytes, _mm256_set1_epi8(static_cast<char>(low)));
    const __m256i top = _mm256_set1_epi8(static_cast<char>(high - low));
    return _mm256_cmpeq_epi8(_mm256_min_epu8(offset, top), offset);
}

KERNEL std::uint32_t Bits(__m256i bytes) noexcept
{
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(bytes));
}

// For every byte value, the positions of its set bits, then zeros.
constexpr struct BytePositions {
    std::int32_t of[256][8];
    constexpr BytePositions() : of{}
    {
        for (int value = 0; value < 256; ++value) {
            int count = 0;
            for (int bit = 0; bit < 8; ++bit) {
                if ((value >> bit) & 1)
                    of[value][count++] = bit;
            }
        }
    }
} BYTE_POSITIONS{};

struct Block {
    static constexpr int BYTES = 32;

    // A byte of the word at a time, from a table: no branch, whatever the
    // commas.
    KERNEL static int StoreSetBits(std::uint64_t bits, int base, int* out) noexcept
    {
        int count = 0;
        for (int byte = 0; byte < 8; ++byte) {
            const auto value = static_cast<unsigned>(bits >> (8 * byte)) & 0xFF;
            const __m256i positions = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(BYTE_POSITIONS.of[value]));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + count),
                                _mm256_add_epi32(positions, _mm256_set1_epi32(base + 8 * byte)));
            count += std::popcount(value);
        }
        return count;
    }

    KERNEL static LineBits Classify(const char* text) noexcept
    {
        LineBits bits{};
        for (int half = 0; half < 2; ++half) {
            const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + 32 * half));
            // Flipping bit 5 moves 81-9F to A1-BF and E0-FC to C0-DC: one
            // range of lead bytes, A1-DC.
            const __m256i leads = InRange(_mm256_xor_si256(bytes, _mm256_set1_epi8(0x20)), 0xA1, 0xDC);
            const int shift = 32 * half;
            bits.commas |= std::uint64_t{Bits(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(',')))} << shift;
            bits.leads |= std::uint64_t{Bits(leads)} << shift;
            bits.nuls |= std::uint64_t{Bits(_mm256_cmpeq_epi8(bytes, _mm256_setzero_si256()))} << shift;
        }
        return bits;
    }

    KERNEL static void AndStore(char* dest, const char* source, const unsigned char* keep) noexcept
    {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source));
        const __m256i mask = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(keep));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dest), _mm256_and_si256(bytes, mask));
    }
};

// 0xFF bytes then NUL bytes: the mask that keeps the first n bytes of a
// field starts at KEEP_RAMP + WIDEST_TEXT_FIELD - n.
constexpr struct KeepRamp {
    unsigned char bytes[2 * WIDEST_TEXT_FIELD];
    constexpr KeepRamp() : bytes{}
    {
        for (int i = 0; i < WIDEST_TEXT_FIELD; ++i)
            bytes[i] = 0xFF;
    }
} KEEP_RAMP{};

// A word of source with the bytes keep clears cleared, at dest.
template <typename WORD>
KERNEL void AndStoreWord(char* dest, const char* source, const unsigned char* keep) noexcept
{
    WORD word;
    WORD mask;
    std::memcpy(&word, source, sizeof word);
    std::memcpy(&mask, keep, sizeof mask);
    word &= mask;
    std::memcpy(dest, &word, sizeof word);
}

// The first length bytes of source, then NUL up to WIDTH (a multiple of 4).
template <int WIDTH>
KERNEL void CopyMasked(char* dest, const char* source, int length) noexcept
{
    const unsigned char* const keep = KEEP_RAMP.bytes + WIDEST_TEXT_FIELD - length;
    int done = 0;
    for (; done + Block::BYTES <= WIDTH; done += Block::BYTES)
        Block::AndStore(dest + done, source + done, keep + done);
    for (; done + 8 <= WIDTH; done += 8)
        AndStoreWord<std::uint64_t>(dest + done, source + done, keep + done);
    for (; done < WIDTH; done += 4)
        AndStoreWord<std::uint32_t>(dest + done, source + done, keep + done);
}

KERNEL void IndexLine(const char* text, int length, LineIndex& out) noexcept
{
    int commas = 0;
    std::uint64_t nuls = 0;
    for (int word = 0; word * LineIndex::WORD_BYTES < length; ++word) {
        LineBits bits = Block::Classify(text + word * LineIndex::WORD_BYTES);
        const int rest = length - word * LineIndex::WORD_BYTES;
        if (rest < LineIndex::WORD_BYTES) {
            const std::uint64_t inLine = (std::uint64_t{1} << rest) - 1;
            bits.commas &= inLine;
            bits.leads &= inLine;
            bits.nuls &= inLine;
        }
        out.commas[word] = bits.commas;
        out.leads[word] = bits.leads;
        commas += std::popcount(bits.commas);
        nuls |= bits.nuls;
    }
    out.commaCount = commas;
    out.hasNul = nuls != 0;
}

template <std::size_t SLOT>
KERNEL void CopySlot(char* record, const char* text, const FieldEnds& fields, const std::uint64_t* oddEnds) noexcept
{
    constexpr TextFieldSlot slot = TEXT_FIELD_SLOTS[SLOT];
    const int end = fields.ends[slot.field];
    const char* const source = text + fields.Start(slot.field);
    int length = fields.Length(slot.field);
    if (length >= slot.width)
        length = static_cast<int>(sjis::FitLength(source, static_cast<std::size_t>(length), slot.width - 1));
    else
        length -= line_index::IsMarked(oddEnds, end) ? 1 : 0;
    CopyMasked<slot.width>(record + slot.offset, source, length);
}

// Every slot with its width known here, so that each copy is a few
// straight moves.
template <std::size_t... SLOTS>
KERNEL void CopySlots(char* record, const char* text, const FieldEnds& fields, const std::uint64_t* oddEnds,
                      std::index_sequence<SLOTS...>) noexcept
{
    (CopySlot<SLOTS>(record, text, fields, oddEnds), ...);
}

KERNEL void CopyTexts(AddressRecord& record, const char* text, int length, const LineIndex& index,
                      FieldEnds& fields) noexcept
{
    line_index::SplitAtCommas<&Block::StoreSetBits>(index, length, fields);
    std::uint64_t oddEnds[LineIndex::MAX_WORDS + 1];
    line_index::FindOddLeadRuns(index, length, oddEnds);
    CopySlots(reinterpret_cast<char*>(&record), text, fields, oddEnds,
              std::make_index_sequence<std::size(TEXT_FIELD_SLOTS)>{});
}

constexpr LineKernels KERNELS{&IndexLine, &CopyTexts};

}  // namespace avx2
#undef KERNEL

}  // namespace

const LineKernels* LineKernels::Avx2() noexcept
{
    __builtin_cpu_init();
    const bool runs = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") &&
                      __builtin_cpu_supports("popcnt");
    return runs ? &avx2::KERNELS : nullptr;
}

#else

const LineKernels* LineKernels::Avx2() noexcept
{
    return nullptr;
}

#endif
