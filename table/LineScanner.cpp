#include "LineScanner.h"

#include "KanaRow.h"
#include "ShiftJis.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

static_assert(LineIndex::MAX_WORDS * LineIndex::WORD_BYTES > TextModeReader::PIECE_LIMIT,
              "a line index holds the longest piece");

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

// Empty text (up to a NUL, line end not counted) or a comment.
bool HoldsNoPerson(const char* text, int contentLength) noexcept
{
    return contentLength == 0 || text[0] == '\0' || text[0] == '#';
}

}  // namespace

void LineScanner::Start(std::FILE* stream, bool regularFile) noexcept
{
    m_regularFile = regularFile;
    m_line = {};
    m_lineContinues = false;
    m_reader.Start(stream);
}

bool LineScanner::NextDataLine() noexcept
{
    do {
        m_lineContinues = m_line.text != nullptr && !m_line.lineEnd;
        if (!m_reader.NextPiece(m_line, m_lineBuffer))
            return false;
    } while (m_line.contentLength > 0 && m_line.text[0] == '#');
    return true;
}

bool LineScanner::LineIsTooLong() const noexcept
{
    return m_lineContinues || (!m_line.lineEnd && m_line.contentLength >= TextModeReader::PIECE_LIMIT);
}

bool LineScanner::LineStartsWithNul() const noexcept
{
    return m_line.contentLength > 0 && m_line.text[0] == '\0';
}

bool LineScanner::Parse() noexcept
{
    m_lineIndexed = IndexLine();
    if (m_lineIndexed) {
        m_fieldsTaken = std::min(m_lineIndex.commaCount + 1, FIELD_COUNT);
        if (m_fieldsTaken == FIELD_COUNT)
            m_fields.ends[0] = line_index::FirstComma(m_lineIndex);
    } else {
        m_fieldsTaken = SplitFields();
    }
    return m_fieldsTaken == FIELD_COUNT;
}

// Nearly every line goes the vector way: it ends with its LF, holds no
// NUL, and has room after it in the buffer to be read in whole blocks.
// The others are split byte by byte.
bool LineScanner::IndexLine() noexcept
{
    const int length = m_line.contentLength;
    if (m_kernels == nullptr || !m_line.lineEnd || m_line.readableEnd - m_line.text < length + WIDEST_TEXT_FIELD)
        return false;
    m_kernels->index(m_line.text, length, m_lineIndex);
    return !m_lineIndex.hasNul;
}

// A field ends at ',' or at the end of the line's content (its LF, or a
// NUL, which ends the line's text). The field after the last ',' exists
// only when something follows that ',', if only the LF. Bytes after the
// 25th field are not looked at.
int LineScanner::SplitFields() noexcept
{
    const char* const text = m_line.text;
    int contentEnd = m_line.contentLength;
    bool lineEnd = m_line.lineEnd;
    if (const void* nul = std::memchr(text, '\0', static_cast<std::size_t>(contentEnd))) {
        contentEnd = static_cast<int>(static_cast<const char*>(nul) - text);
        lineEnd = false;
    }
    int* const ends = m_fields.ends;
    int count = 0;
    for (int pos = 0; pos < contentEnd && count < FIELD_COUNT; ++pos) {
        if (text[pos] == ',')
            ends[count++] = pos;
    }
    const int lastStart = count == 0 ? 0 : ends[count - 1] + 1;
    if (count < FIELD_COUNT && lastStart < contentEnd + (lineEnd ? 1 : 0))
        ends[count++] = contentEnd;
    return count;
}

// Numbers are read from the whole field, however long it is. Most are a
// few plain digits, taken here; a loop whose length follows the field's
// beats converting eight bytes at once, whose steps depend on each other.
inline int LineScanner::FieldNumber(int field) const noexcept
{
    const char* const text = m_line.text + m_fields.Start(field);
    const int length = m_fields.Length(field);
    if (length == 0 || length > 9)
        return ParseNumber(text, length);
    int value = 0;
    for (int i = 0; i < length; ++i) {
        const unsigned digit = static_cast<unsigned char>(text[i]) - unsigned{'0'};
        if (digit > 9)
            return ParseNumber(text, length);
        value = value * 10 + static_cast<int>(digit);
    }
    return value;
}

LineScanner::Next LineScanner::NextMatching(int kanaRow) noexcept
{
    for (;;) {
        if (!NextDataLine())
            return Next::TextEnded;
        if (!Parse())
            return Next::Malformed;
        m_code = FieldNumber(COL_KANA_ROW);
        if (kanaRow == KANAROW_ALL || m_code == kanaRow)
            return Next::Found;
    }
}

void LineScanner::CopyTo(AddressRecord& record) noexcept
{
    if (m_lineIndexed) {
        m_kernels->copyTexts(record, m_line.text, m_line.contentLength, m_lineIndex, m_fields);
    } else {
        char* const base = reinterpret_cast<char*>(&record);
        for (const TextFieldSlot& slot : TEXT_FIELD_SLOTS) {
            sjis::CopyField(base + slot.offset, static_cast<std::size_t>(slot.width),
                            m_line.text + m_fields.Start(slot.field),
                            static_cast<std::size_t>(m_fields.Length(slot.field)));
        }
    }
    for (const Column& column : NUMBER_COLUMNS)
        record_field::Number(record, column) = FieldNumber(column.field);
}

bool LineScanner::LineIsEmpty() const noexcept
{
    return HoldsNoPerson(m_line.text, m_line.contentLength);
}

// Looks ahead for a line that could hold a person and goes back, so that
// the scan reads on from the line after the current one.
bool LineScanner::LaterLinesHoldData() noexcept
{
    if (!m_regularFile)
        return false;
    const TextModeReader::Mark mark = m_reader.Tell();
    bool found = false;
    TextModeReader::Piece piece{};
    while (!found && m_reader.NextPiece(piece, m_lineBuffer))
        found = !HoldsNoPerson(piece.text, piece.contentLength);
    m_reader.Seek(mark);
    return found;
}
