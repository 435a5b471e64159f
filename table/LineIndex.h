#pragma once

#include "AddressRecord.h"
#include "RecordSchema.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr int LINE_FIELD_COUNT = COLUMN_COUNT;

// One line's commas and Shift_JIS lead-range bytes as bits, a word for
// every 64 bytes, so that a line's fields are found and cut with a few bit
// operations instead of a walk over its bytes.
struct LineIndex {
    static constexpr int WORD_BYTES = 64;
    static constexpr int MAX_WORDS = 4096 / WORD_BYTES;
    std::uint64_t commas[MAX_WORDS];
    std::uint64_t leads[MAX_WORDS];
    int commaCount;
    bool hasNul;
};

// Where the fields of a line lie: field i runs from just after ends[i - 1]
// (from the line's start for the first) up to ends[i], a comma or the end
// of the line's text.
struct FieldEnds {
    // Room after the 25 for the positions of a whole word of commas.
    int ends[LINE_FIELD_COUNT + LineIndex::WORD_BYTES];

    [[nodiscard]] int Start(int field) const noexcept { return field == 0 ? 0 : ends[field - 1] + 1; }
    [[nodiscard]] int Length(int field) const noexcept { return ends[field] - Start(field); }
};

// The bytes of one word of a LineIndex that a scan looks for, one bit each.
struct LineBits {
    std::uint64_t commas;
    std::uint64_t leads;
    std::uint64_t nuls;
};

// The text fields of a record, with the field of the line each comes from:
// the schema's text columns, in the order of the line.
struct TextFieldSlot {
    std::size_t offset;
    int width;
    int field;
};

inline constexpr int TEXT_FIELD_COUNT = static_cast<int>(TEXT_COLUMNS.size());

inline constexpr std::array<TextFieldSlot, TEXT_FIELD_COUNT> TEXT_FIELD_SLOTS = [] {
    std::array<TextFieldSlot, TEXT_FIELD_COUNT> slots{};
    for (std::size_t i = 0; i < slots.size(); ++i)
        slots[i] = {TEXT_COLUMNS[i].offset, TEXT_COLUMNS[i].width, TEXT_COLUMNS[i].field};
    return slots;
}();

inline constexpr int WIDEST_TEXT_FIELD = [] {
    int widest = 0;
    for (const TextFieldSlot& slot : TEXT_FIELD_SLOTS)
        widest = slot.width > widest ? slot.width : widest;
    return widest;
}();

// The vector work of a scan, done once per line, compiled for every
// instruction set the build targets (LineKernels.cpp). Both functions read
// whole blocks past the text: everything up to WIDEST_TEXT_FIELD bytes
// after the line's end must be readable (its content does not matter).
// Without them every line is split byte by byte.
struct LineKernels {
    // Indexes text[0, length).
    void (*index)(const char* text, int length, LineIndex& out) noexcept;
    // Finds the 25 fields of an indexed line of that length holding at
    // least 24 commas, and copies its text fields into their record
    // fields: each cut to its width minus one, never leaving a lead byte
    // without its trail byte, and NUL up to the width. Numbers are left
    // to the caller.
    void (*copyTexts)(AddressRecord& record, const char* text, int length, const LineIndex& index,
                      FieldEnds& fields) noexcept;

    // The instruction set they are built for.
    const char* name;

    // The best set this processor runs, or null.
    [[nodiscard]] static const LineKernels* Best() noexcept;
    // Every set built in that this processor runs, best first.
    [[nodiscard]] static std::vector<const LineKernels*> Supported();
};

namespace line_index {

// The first field ends at the first comma; the caller knows there is one.
[[nodiscard]] inline int FirstComma(const LineIndex& index) noexcept
{
    int word = 0;
    while (index.commas[word] == 0)
        ++word;
    return word * LineIndex::WORD_BYTES + std::countr_zero(index.commas[word]);
}

// The 25 fields of a line of the given length holding at least 24 commas;
// the last runs to the 25th comma or the end of the line.
template <int (*STORE_SET_BITS)(std::uint64_t, int, int*) noexcept>
[[gnu::always_inline]] inline void SplitAtCommas(const LineIndex& index, int length, FieldEnds& fields) noexcept
{
    int found = 0;
    for (int word = 0; found < LINE_FIELD_COUNT && word * LineIndex::WORD_BYTES < length; ++word)
        found += STORE_SET_BITS(index.commas[word], word * LineIndex::WORD_BYTES, fields.ends + found);
    if (found < LINE_FIELD_COUNT)
        fields.ends[LINE_FIELD_COUNT - 1] = length;
}

// Marks every byte that ends a run of an odd number of lead-range bytes
// (the first byte after it), for positions 0 to length. A field whose end
// is so marked ends with a lead byte that lost its trail byte: fields
// start after a comma, which is never in the lead range, so a run never
// reaches into the field before. Adding a run's first bit to the run
// carries through it to its end, as in the well-known trick for runs of
// escapes; runs started at even and at odd bytes are added apart. Words
// are 64 bytes, so a run going on into the next word keeps its parity:
// only one begun at an odd byte needs carrying over.
[[gnu::always_inline]] inline void FindOddLeadRuns(const LineIndex& index, int length, std::uint64_t* oddEnds) noexcept
{
    constexpr std::uint64_t EVEN = 0x5555555555555555;
    std::uint64_t carryOdd = 0;
    for (int word = 0; word <= length / LineIndex::WORD_BYTES; ++word) {
        const std::uint64_t leads = word * LineIndex::WORD_BYTES < length ? index.leads[word] : 0;
        const std::uint64_t starts = leads & ~(leads << 1);
        const std::uint64_t evenSum = leads + (starts & EVEN & ~carryOdd);
        std::uint64_t oddSum = 0;
        const bool oddOut = __builtin_add_overflow(leads, (starts & ~EVEN) | carryOdd, &oddSum);
        oddEnds[word] = (evenSum & ~leads & ~EVEN) | (oddSum & ~leads & EVEN);
        carryOdd = oddOut ? 1 : 0;
    }
}

[[nodiscard, gnu::always_inline]] inline bool IsMarked(const std::uint64_t* bits, int pos) noexcept
{
    const auto at = static_cast<unsigned>(pos);
    return (bits[at / LineIndex::WORD_BYTES] >> (at % LineIndex::WORD_BYTES)) & 1;
}

}  // namespace line_index
