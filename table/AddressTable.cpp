#include "AddressTable.h"

#include "ShiftJis.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char END_OF_TEXT = 0x1A;

bool IsAsciiSpace(char byte) noexcept
{
    return byte == ' ' || (byte >= '\t' && byte <= '\r');
}

// Blanks, a sign, digits; whatever follows is ignored. Values beyond the
// 32-bit range stop at its limits.
int ParseNumber(const char* text, int length) noexcept
{
    const char* p = text;
    const char* const end = text + length;
    while (p < end && IsAsciiSpace(*p))
        ++p;
    const bool negative = p < end && *p == '-';
    if (p < end && (*p == '-' || *p == '+'))
        ++p;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long magnitude = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude >= limit) {
            magnitude = limit;
            break;
        }
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

// The first length bytes (at most BLOCK) of text, then NUL, as BLOCK bytes
// at dest; text must have BLOCK readable bytes.
template <std::size_t BLOCK>
void CopyMasked(char* dest, const char* text, std::size_t length) noexcept
{
    if constexpr (BLOCK == 8 && std::endian::native == std::endian::little) {
        std::uint64_t word = 0;
        std::memcpy(&word, text, 8);
        const std::uint64_t keep = length >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * length)) - 1;
        word &= keep;  // the first bytes are the low ones
        std::memcpy(dest, &word, 8);
        return;
    }
#if defined(__SSE2__)
    if constexpr (BLOCK == 16) {
        alignas(16) static constexpr char kIndexes[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text));
        const __m128i keep = _mm_cmpgt_epi8(_mm_set1_epi8(static_cast<char>(length)),
                                            _mm_load_si128(reinterpret_cast<const __m128i*>(kIndexes)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dest), _mm_and_si128(block, keep));
        return;
    }
#endif
    std::memcpy(dest, text, length);
    std::memset(dest + length, 0, BLOCK - length);
}

template <std::size_t BLOCK>
void ClearBlock(char* dest) noexcept
{
#if defined(__SSE2__)
    if constexpr (BLOCK == 16) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dest), _mm_setzero_si128());
        return;
    }
#endif
    std::memset(dest, 0, BLOCK);
}

// Empty text (up to a NUL, line end not counted) or a comment.
bool HoldsNoPerson(const char* text, int contentLength) noexcept
{
    return contentLength == 0 || text[0] == '\0' || text[0] == '#';
}

}  // namespace

CAddressTable::CAddressTable() noexcept = default;

CAddressTable::~CAddressTable() noexcept
{
    Close();
}

int CAddressTable::GetFirst(AddressRecord& record, KanaRow kanaRow)
{
    if (!Open()) {
        NoteScanEnd(ScanEnd::OpenFailed);
        return 0;
    }
    return ReadMatching(record, kanaRow);
}

int CAddressTable::GetNext(AddressRecord& record, KanaRow kanaRow)
{
    if (!isOpen)
        return 0;
    if (ReadMatching(record, kanaRow))
        return 1;
    Close();
    return 0;
}

int CAddressTable::Open()
{
    if (isOpen)
        Close();
    file = std::fopen(ADDRESS_TABLE_FILE, "a+");
    if (file == nullptr)
        return 0;
    isOpen = 1;
    struct stat info {};
    m_fileIsRegular = ::fstat(::fileno(file), &info) == 0 && S_ISREG(info.st_mode);
    if (m_fileIsRegular)
        DropTrailingEndOfText(info.st_size);
    std::fseek(file, 0, SEEK_SET);
    m_reader.Start(file);
    return 1;
}

int CAddressTable::Close()
{
    if (!isOpen)
        return 0;
    (void)CloseChecked();
    return 1;
}

bool CAddressTable::CloseChecked() noexcept
{
    if (!isOpen)
        return false;
    const int result = std::fclose(file);
    file = nullptr;
    isOpen = 0;
    return result == 0;
}

// A text-mode open removes a 0x1A that ends the file, so that what is
// appended afterwards can be read.
void CAddressTable::DropTrailingEndOfText(long long size) noexcept
{
    const int fd = ::fileno(file);
    char last = 0;
    if (size > 0 && ::pread(fd, &last, 1, size - 1) == 1 && last == END_OF_TEXT)
        (void)::ftruncate(fd, size - 1);
}

int CAddressTable::ReadMatching(AddressRecord& record, KanaRow kanaRow)
{
    for (;;) {
        if (!ReadDataLine()) {
            NoteScanEnd(ScanEnd::EndOfFile);
            return 0;
        }
        if (!ParseLine()) {
            NoteMalformedLine();
            return 0;
        }
        if (lineFields.kanaRow == kanaRow || kanaRow == KANAROW_ALL) {
            CopyLineTo(record);
            NoteScanEnd(ScanEnd::Found);
            return 1;
        }
    }
}

// Lines are parsed where they lie in the reader's buffer; only a line
// that does not lie there whole is copied into lineBuffer.
int CAddressTable::ReadDataLine()
{
    do {
        if (!m_reader.NextPiece(m_line, lineBuffer))
            return 0;
    } while (m_line.contentLength > 0 && m_line.text[0] == '#');
    return 1;
}

int CAddressTable::ParseLine()
{
    m_fieldsTaken = SplitFields();
    if (m_fieldsTaken < FIELD_COUNT)
        return 0;
    lineFields.kanaRow = FieldNumber(0);
    return 1;
}

// A field ends at ',' or at the end of the line's content (its LF, or a
// NUL, which ends the line's text). The field after the last ',' exists
// only when something follows that ',', if only the LF. Bytes after the
// 25th field are not looked at. Commas and NULs are found sixteen bytes
// at a time: this loop is most of the time of a scan.
int CAddressTable::SplitFields() noexcept
{
    const char* const text = m_line.text;
    int contentEnd = m_line.contentLength;
    bool lineEnd = m_line.lineEnd;
    FieldSpan* const fields = lineFields.fields;
    int count = 0;
    int start = 0;
    const auto endField = [&](int comma) noexcept {
        fields[count++] = {start, comma - start};
        start = comma + 1;
        return count == FIELD_COUNT;
    };
    int pos = 0;
#if defined(__SSE2__)
    const __m128i commas = _mm_set1_epi8(',');
    const __m128i nuls = _mm_setzero_si128();
    for (; pos < contentEnd && text + pos + 16 <= m_line.readableEnd; pos += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + pos));
        unsigned inContent = contentEnd - pos >= 16 ? 0xFFFFu : (1u << (contentEnd - pos)) - 1;
        if (const unsigned nul = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, nuls))) & inContent) {
            contentEnd = pos + std::countr_zero(nul);
            lineEnd = false;
            inContent = (1u << std::countr_zero(nul)) - 1;
        }
        auto found = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, commas))) & inContent;
        for (; found != 0; found &= found - 1) {
            if (endField(pos + std::countr_zero(found)))
                return count;
        }
    }
#endif
    for (; pos < contentEnd; ++pos) {
        if (text[pos] == '\0') {
            contentEnd = pos;
            lineEnd = false;
            break;
        }
        if (text[pos] == ',' && endField(pos))
            return count;
    }
    const int textEnd = contentEnd + (lineEnd ? 1 : 0);
    if (start < textEnd)
        fields[count++] = {start, contentEnd - start};
    return count;
}

// Numbers are read from the whole field, however long it is. Most are a
// few plain digits.
inline int CAddressTable::FieldNumber(int field) const noexcept
{
    const FieldSpan& span = lineFields.fields[field];
    const char* const text = m_line.text + span.start;
    if (span.length == 0 || span.length > 9)
        return ParseNumber(text, span.length);
    int value = 0;
    for (int i = 0; i < span.length; ++i) {
        const unsigned digit = static_cast<unsigned char>(text[i]) - unsigned{'0'};
        if (digit > 9)
            return ParseNumber(text, span.length);
        value = value * 10 + static_cast<int>(digit);
    }
    return value;
}

// The field cut to N - 1 bytes, never inside a double-byte character, and
// NUL up to the end of dest. The text moves in fixed-size blocks, the last
// one with the bytes after the text masked to NUL, and the rest of dest is
// cleared block by block: much quicker for these short fields than a copy
// and a fill of variable length.
template <std::size_t N>
inline void CAddressTable::CopyFieldText(char (&dest)[N], int field) const noexcept
{
    const FieldSpan& span = lineFields.fields[field];
    const char* const text = m_line.text + span.start;
    auto length = static_cast<std::size_t>(span.length);
    // Most fields fit and end on a single-byte character: no cutting.
    if (length >= N || (length > 0 && sjis::IsLeadByte(static_cast<unsigned char>(text[length - 1]))))
        length = sjis::FitLength(text, length, N - 1);
    if constexpr (N <= 16) {
        // Phone parts and postal codes: one block of eight bytes.
        if (length <= 8 && text + 8 <= m_line.readableEnd) {
            CopyMasked<8>(dest, text, length);
            std::memset(dest + 8, 0, N - 8);
            return;
        }
    }
    constexpr std::size_t BLOCK = N % 16 == 0 ? 16 : 8;
    const std::size_t textBlocks = (length + BLOCK - 1) / BLOCK * BLOCK;
    if (textBlocks > N || text + textBlocks > m_line.readableEnd) {
        std::memcpy(dest, text, length);
        std::memset(dest + length, 0, N - length);
        return;
    }
    std::size_t done = 0;
    for (; done < length; done += BLOCK)
        CopyMasked<BLOCK>(dest + done, text + done, std::min(length - done, BLOCK));
    for (; done + BLOCK <= N; done += BLOCK)
        ClearBlock<BLOCK>(dest + done);
    if (done < N)
        std::memset(dest + done, 0, N - done);
}

void CAddressTable::CopyLineTo(AddressRecord& record) const noexcept
{
    CopyFieldText(record.reading, 1);
    CopyFieldText(record.name, 2);
    CopyFieldText(record.address1, 3);
    CopyFieldText(record.address2, 4);
    record.birthYear = FieldNumber(5);
    record.birthMonth = FieldNumber(6);
    record.birthDay = FieldNumber(7);
    record.bloodType = FieldNumber(8);
    CopyFieldText(record.email, 9);
    CopyFieldText(record.zip1, 10);
    CopyFieldText(record.zip2, 11);
    record.sex = FieldNumber(12);
    for (int kind = 0; kind < PHONE_KIND_COUNT; ++kind) {
        for (int part = 0; part < PHONE_PART_COUNT; ++part)
            CopyFieldText(record.phones[kind][part], 13 + kind * PHONE_PART_COUNT + part);
    }
}

void CAddressTable::NoteScanEnd(ScanEnd end) noexcept
{
    m_status = ScanStatus{};
    m_status.end = end;
}

void CAddressTable::NoteMalformedLine() noexcept
{
    const bool emptyLine = HoldsNoPerson(m_line.text, m_line.contentLength);
    m_status = ScanStatus{};
    m_status.end = ScanEnd::MalformedLine;
    m_status.lineNumber = m_reader.PieceLine();
    m_status.fieldCount = emptyLine ? 0 : m_fieldsTaken;
    m_status.dataHidden = !emptyLine || LaterLinesHoldData();
}

// Looks ahead for a line that could hold a person and goes back, so that a
// following GetNext reads on from the line after the malformed one. Only
// regular files: a device may never end.
bool CAddressTable::LaterLinesHoldData() noexcept
{
    if (!m_fileIsRegular)
        return false;
    const TextModeReader::Mark mark = m_reader.Tell();
    bool found = false;
    TextModeReader::Piece piece{};
    while (!found && m_reader.NextPiece(piece, lineBuffer))
        found = !HoldsNoPerson(piece.text, piece.contentLength);
    m_reader.Seek(mark);
    return found;
}
