#include "AddressTable.h"

#include "ShiftJis.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace {

static_assert(LineIndex::MAX_WORDS * LineIndex::WORD_BYTES > TextModeReader::PIECE_LIMIT,
              "a line index holds the longest piece");

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

// Empty text (up to a NUL, line end not counted) or a comment.
bool HoldsNoPerson(const char* text, int contentLength) noexcept
{
    return contentLength == 0 || text[0] == '\0' || text[0] == '#';
}

}  // namespace

CAddressTable::CAddressTable() noexcept : CAddressTable(LineKernels::Best()) {}

CAddressTable::CAddressTable(const LineKernels& kernels) noexcept : m_kernels(kernels) {}

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
            m_status.kanaRow = lineFields.kanaRow;
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
    m_lineIndexed = IndexLine();
    if (m_lineIndexed) {
        m_fieldsTaken = std::min(m_lineIndex.commaCount + 1, FIELD_COUNT);
        if (m_fieldsTaken == FIELD_COUNT)
            lineFields.fields.ends[0] = line_index::FirstComma(m_lineIndex);
    } else {
        m_fieldsTaken = SplitFields();
    }
    if (m_fieldsTaken < FIELD_COUNT)
        return 0;
    lineFields.kanaRow = FieldNumber(0);
    return 1;
}

// Nearly every line goes the vector way: it ends with its LF, holds no
// NUL, and has room after it in the buffer to be read in whole blocks.
// The others are split byte by byte.
bool CAddressTable::IndexLine() noexcept
{
    const int length = m_line.contentLength;
    if (!m_line.lineEnd || m_line.readableEnd - m_line.text < length + WIDEST_TEXT_FIELD)
        return false;
    m_kernels.index(m_line.text, length, m_lineIndex);
    return !m_lineIndex.hasNul;
}

// A field ends at ',' or at the end of the line's content (its LF, or a
// NUL, which ends the line's text). The field after the last ',' exists
// only when something follows that ',', if only the LF. Bytes after the
// 25th field are not looked at.
int CAddressTable::SplitFields() noexcept
{
    const char* const text = m_line.text;
    int contentEnd = m_line.contentLength;
    bool lineEnd = m_line.lineEnd;
    if (const void* nul = std::memchr(text, '\0', static_cast<std::size_t>(contentEnd))) {
        contentEnd = static_cast<int>(static_cast<const char*>(nul) - text);
        lineEnd = false;
    }
    int* const ends = lineFields.fields.ends;
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
inline int CAddressTable::FieldNumber(int field) const noexcept
{
    const char* const text = m_line.text + lineFields.fields.Start(field);
    const int length = lineFields.fields.Length(field);
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

void CAddressTable::CopyLineTo(AddressRecord& record) noexcept
{
    if (m_lineIndexed) {
        m_kernels.copyTexts(record, m_line.text, m_line.contentLength, m_lineIndex, lineFields.fields);
    } else {
        char* const base = reinterpret_cast<char*>(&record);
        for (const TextFieldSlot& slot : TEXT_FIELD_SLOTS) {
            sjis::CopyField(base + slot.offset, static_cast<std::size_t>(slot.width),
                            m_line.text + lineFields.fields.Start(slot.field),
                            static_cast<std::size_t>(lineFields.fields.Length(slot.field)));
        }
    }
    record.birthYear = FieldNumber(5);
    record.birthMonth = FieldNumber(6);
    record.birthDay = FieldNumber(7);
    record.bloodType = FieldNumber(8);
    record.sex = FieldNumber(12);
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
