// The line kernels, written once: Highway compiles the code between
// HWY_BEFORE_NAMESPACE and HWY_AFTER_NAMESPACE once for every instruction
// set it targets (this file includes itself through foreach_target.h),
// and Best() hands out the set the processor runs best.

// AVX-512 with VBMI2 packs a word's comma offsets in one instruction.
#ifndef HWY_WANT_AVX3_DL
#define HWY_WANT_AVX3_DL
#endif

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "LineKernels.cpp"
#include <hwy/foreach_target.h>  // must come before highway.h

#include <hwy/highway.h>

#include "LineIndex.h"
#include "ShiftJis.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <utility>
#include <vector>

// What every instruction set shares, compiled once.
#ifndef KANAROKU_LINE_KERNELS_SHARED
#define KANAROKU_LINE_KERNELS_SHARED
namespace line_kernels {

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

}  // namespace line_kernels
#endif

HWY_BEFORE_NAMESPACE();

// The word operations count bits: every processor with SSE 4.2 has
// POPCNT, which Highway's targets do not switch on. Kernels() checks.
#if HWY_ARCH_X86 \
    && (HWY_TARGET == HWY_SSE4 || HWY_TARGET == HWY_AVX2 || HWY_TARGET == HWY_AVX3 || HWY_TARGET == HWY_AVX3_DL)
#define KANAROKU_WITH_POPCNT 1
#if HWY_COMPILER_CLANG
#pragma clang attribute push(__attribute__((target("popcnt"))), apply_to = function)
#else
#pragma GCC target("popcnt")
#endif
#else
#define KANAROKU_WITH_POPCNT 0
#endif

namespace line_kernels {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// Without vector instructions (HWY_SCALAR, and HWY_EMU128, which emulates
// them with loops) lines are split byte by byte: that is the scalar path.
#if HWY_TARGET != HWY_SCALAR && HWY_TARGET != HWY_EMU128

// Vectors of at most a word's 64 bytes.
using Bytes = hn::CappedTag<std::uint8_t, LineIndex::WORD_BYTES>;
using ByteVec = hn::Vec<Bytes>;

// Highway stores a mask as bits, the first byte's lowest, a byte of bits
// for every 8 bytes: on a little-endian processor, straight into a word.
static_assert(std::endian::native == std::endian::little);

HWY_INLINE std::uint8_t* BitsAt(std::uint64_t& word, std::size_t byte) noexcept
{
    return reinterpret_cast<std::uint8_t*>(&word) + byte / 8;
}

HWY_INLINE LineBits Classify(const char* text) noexcept
{
    const Bytes d;
    const std::size_t lanes = hn::Lanes(d);
    const ByteVec comma = hn::Set(d, ',');
    const ByteVec zero = hn::Zero(d);
    const ByteVec flip = hn::Set(d, 0x20);
    const ByteVec low = hn::Set(d, 0xA1);
    const ByteVec span = hn::Set(d, 0xDC - 0xA1);
    LineBits bits{};
    for (std::size_t done = 0; done < LineIndex::WORD_BYTES; done += lanes) {
        const ByteVec bytes = hn::LoadU(d, reinterpret_cast<const std::uint8_t*>(text) + done);
        // Flipping bit 5 moves 81-9F to A1-BF and E0-FC to C0-DC: one
        // range of lead bytes, A1-DC.
        const ByteVec offset = hn::Sub(hn::Xor(bytes, flip), low);
        hn::StoreMaskBits(d, hn::Eq(bytes, comma), BitsAt(bits.commas, done));
        hn::StoreMaskBits(d, hn::Eq(hn::Min(offset, span), offset), BitsAt(bits.leads, done));
        hn::StoreMaskBits(d, hn::Eq(bytes, zero), BitsAt(bits.nuls, done));
    }
    return bits;
}

// The positions of the set bits, plus base, at out; returns how many.
// May write up to 64 ints past out, whatever the count.
inline int StoreSetBits(std::uint64_t bits, int base, int* out) noexcept
{
#if HWY_TARGET == HWY_AVX3_DL
    using Ints = hn::CappedTag<std::int32_t, 16>;
    const Ints di;
    const hn::Vec<Ints> baseVec = hn::Set(di, base);
    // One compress packs the offsets, then they are widened a vector at a
    // time.
    const Bytes d;
    const hn::Rebind<std::uint8_t, Ints> dq;
    HWY_ALIGN std::uint8_t packed[LineIndex::WORD_BYTES];
    const auto commas = hn::LoadMaskBits(d, BitsAt(bits, 0));
    hn::Store(hn::Compress(hn::Iota(d, 0), commas), d, packed);
    const int count = std::popcount(bits);
    int done = 0;
    do {
        hn::StoreU(hn::Add(hn::PromoteTo(di, hn::LoadU(dq, packed + done)), baseVec), di, out + done);
        done += static_cast<int>(hn::Lanes(di));
    } while (done < count);
    return count;
#else
    // A byte of the word at a time, from a table: no branch, whatever the
    // commas.
    using Ints = hn::CappedTag<std::int32_t, 8>;
    const Ints di;
    const hn::Vec<Ints> baseVec = hn::Set(di, base);
    const std::size_t lanes = hn::Lanes(di);
    int count = 0;
    for (int byte = 0; byte < 8; ++byte) {
        const auto value = static_cast<unsigned>(bits >> (8 * byte)) & 0xFF;
        const hn::Vec<Ints> at = hn::Add(baseVec, hn::Set(di, 8 * byte));
        for (std::size_t i = 0; i < 8; i += lanes)
            hn::StoreU(hn::Add(hn::LoadU(di, BYTE_POSITIONS.of[value] + i), at), di, out + count + i);
        count += std::popcount(value);
    }
    return count;
#endif
}

// A word of source with the bytes keep clears cleared, at dest.
template <typename WORD>
HWY_INLINE void AndStoreWord(char* dest, const char* source, const unsigned char* keep) noexcept
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
HWY_INLINE void CopyMasked(char* dest, const char* source, int length) noexcept
{
    const Bytes d;
    const int lanes = static_cast<int>(hn::Lanes(d));
    const unsigned char* const keep = KEEP_RAMP.bytes + WIDEST_TEXT_FIELD - length;
    int done = 0;
    for (; done + lanes <= WIDTH; done += lanes) {
        const ByteVec bytes = hn::LoadU(d, reinterpret_cast<const std::uint8_t*>(source) + done);
        hn::StoreU(hn::And(bytes, hn::LoadU(d, keep + done)), d, reinterpret_cast<std::uint8_t*>(dest) + done);
    }
    for (; done + 8 <= WIDTH; done += 8)
        AndStoreWord<std::uint64_t>(dest + done, source + done, keep + done);
    for (; done < WIDTH; done += 4)
        AndStoreWord<std::uint32_t>(dest + done, source + done, keep + done);
}

void IndexLine(const char* text, int length, LineIndex& out) noexcept
{
    int commas = 0;
    std::uint64_t nuls = 0;
    for (int word = 0; word * LineIndex::WORD_BYTES < length; ++word) {
        LineBits bits = Classify(text + word * LineIndex::WORD_BYTES);
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
HWY_INLINE void CopySlot(char* record, const char* text, const FieldEnds& fields, const std::uint64_t* oddEnds) noexcept
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
HWY_INLINE void CopySlots(char* record, const char* text, const FieldEnds& fields, const std::uint64_t* oddEnds,
                          std::index_sequence<SLOTS...>) noexcept
{
    (CopySlot<SLOTS>(record, text, fields, oddEnds), ...);
}

void CopyTexts(AddressRecord& record, const char* text, int length, const LineIndex& index, FieldEnds& fields) noexcept
{
    line_index::SplitAtCommas<&StoreSetBits>(index, length, fields);
    std::uint64_t oddEnds[LineIndex::MAX_WORDS + 1];
    line_index::FindOddLeadRuns(index, length, oddEnds);
    CopySlots(reinterpret_cast<char*>(&record), text, fields, oddEnds,
              std::make_index_sequence<std::size(TEXT_FIELD_SLOTS)>{});
}

const LineKernels* Kernels()
{
#if KANAROKU_WITH_POPCNT
    __builtin_cpu_init();
    if (!__builtin_cpu_supports("popcnt"))
        return nullptr;
#endif
    static const LineKernels kernels{&IndexLine, &CopyTexts, hwy::TargetName(HWY_TARGET)};
    return &kernels;
}

#else

const LineKernels* Kernels()
{
    return nullptr;
}

#endif

}  // namespace HWY_NAMESPACE
}  // namespace line_kernels

#if KANAROKU_WITH_POPCNT && HWY_COMPILER_CLANG
#pragma clang attribute pop
#endif
#undef KANAROKU_WITH_POPCNT

HWY_AFTER_NAMESPACE();

#if HWY_ONCE

namespace line_kernels {
HWY_EXPORT(Kernels);
}  // namespace line_kernels

const LineKernels* LineKernels::Best() noexcept
{
    return HWY_DYNAMIC_DISPATCH(line_kernels::Kernels)();
}

std::vector<const LineKernels*> LineKernels::Supported()
{
    std::vector<const LineKernels*> all;
#if (HWY_TARGETS & (HWY_TARGETS - 1)) == 0
    all.push_back(Best());
#else
    for (const std::int64_t target : hwy::SupportedAndGeneratedTargets()) {
        hwy::ChosenTarget chosen;
        chosen.Update(target);
        all.push_back(line_kernels::HWY_DISPATCH_TABLE(Kernels)[chosen.GetIndex()]());
    }
#endif
    std::erase(all, nullptr);
    return all;
}

#endif  // HWY_ONCE
