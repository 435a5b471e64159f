// The steps of the line kernels, written once for every instruction set.
// Not a header of its own: a kernel source includes it inside a namespace
// of its own, after defining KERNEL (the specifiers of every function
// here, its target included) and a struct Block with
//   static constexpr int BYTES;                 // the widest move
//   static LineBits Classify(const char* text); // 64 bytes
//   static void AndStore(char* dest, const char* source, const unsigned char* keep);
//   static int StoreSetBits(std::uint64_t bits, int base, int* out);  // as line_index's
// so that no function compiled for one instruction set is ever shared
// with code built for another.

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
