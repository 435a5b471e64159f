#include "AddressTable.h"

#include "ShiftJis.h"

#include <climits>
#include <cstring>

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

// Empty text (up to a NUL, line end not counted) or a comment.
bool HoldsNoPerson(const char* line) noexcept
{
    return line[0] == '\0' || line[0] == '\n' || line[0] == '#';
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

// Only the NUL after the piece is written, not the whole buffer: every
// reader of lineBuffer stops at the first NUL.
int CAddressTable::ReadDataLine()
{
    do {
        m_lineLength = m_reader.ReadPiece(lineBuffer);
        if (m_lineLength < 0)
            return 0;
    } while (lineBuffer[0] == '#');
    return 1;
}

// Numbers are read from the whole field, however long it is.
int CAddressTable::TakeNumber(int& value) noexcept
{
    const char* start = nullptr;
    int length = 0;
    if (!NextSpan(start, length))
        return 0;
    value = ParseNumber(start, length);
    ++m_fieldsTaken;
    return 1;
}

template <std::size_t N>
int CAddressTable::TakeText(char (&dest)[N]) noexcept
{
    if (!NextField(dest, static_cast<int>(N)))
        return 0;
    ++m_fieldsTaken;
    return 1;
}

int CAddressTable::ParseLine()
{
    linePos = 0;
    m_fieldsTaken = 0;
    m_textEnd = static_cast<int>(::strnlen(lineBuffer, static_cast<std::size_t>(m_lineLength)));
    m_contentEnd = m_textEnd > 0 && lineBuffer[m_textEnd - 1] == '\n' ? m_textEnd - 1 : m_textEnd;
    LineFields& f = lineFields;
    if (!(TakeNumber(f.kanaRow) && TakeText(f.reading) && TakeText(f.name) && TakeText(f.address1) &&
          TakeText(f.address2) && TakeNumber(f.birthYear) && TakeNumber(f.birthMonth) &&
          TakeNumber(f.birthDay) && TakeNumber(f.bloodType) && TakeText(f.email) && TakeText(f.zip1) &&
          TakeText(f.zip2) && TakeNumber(f.sex)))
        return 0;
    for (auto& part : f.phones) {
        if (!TakeText(part))
            return 0;
    }
    return 1;
}

// The field is cut to fit its slot, never inside a double-byte character.
// Only its terminating NUL is written; the copy into the caller's record
// fills the rest of each field.
int CAddressTable::NextField(char* dest, int size)
{
    const char* start = nullptr;
    int length = 0;
    if (!NextSpan(start, length)) {
        dest[0] = '\0';
        return 0;
    }
    // Most fields fit and end on a single-byte character: no cutting.
    const bool fits =
        length < size && (length == 0 || !sjis::IsLeadByte(static_cast<unsigned char>(start[length - 1])));
    const std::size_t fitted = fits ? static_cast<std::size_t>(length)
                                    : sjis::FitLength(start, static_cast<std::size_t>(length),
                                                      static_cast<std::size_t>(size) - 1);
    std::memcpy(dest, start, fitted);
    dest[fitted] = '\0';
    return 1;
}

// A field ends at ',' or at the end of the line's content (its LF, or the
// NUL that ends its text); after the LF only the NUL is left.
int CAddressTable::NextSpan(const char*& start, int& length) noexcept
{
    if (linePos >= m_textEnd)
        return 0;
    start = lineBuffer + linePos;
    const char* const contentEnd = lineBuffer + m_contentEnd;
    const char* end = start;
    while (end < contentEnd && *end != ',')
        ++end;
    length = static_cast<int>(end - start);
    linePos = end < contentEnd ? linePos + length + 1 : m_textEnd;
    return 1;
}

void CAddressTable::CopyLineTo(AddressRecord& record) const noexcept
{
    const LineFields& f = lineFields;
    sjis::CopyField(record.reading, sizeof record.reading, f.reading, sizeof f.reading);
    sjis::CopyField(record.name, sizeof record.name, f.name, sizeof f.name);
    sjis::CopyField(record.address1, sizeof record.address1, f.address1, sizeof f.address1);
    sjis::CopyField(record.address2, sizeof record.address2, f.address2, sizeof f.address2);
    record.birthYear = f.birthYear;
    record.birthMonth = f.birthMonth;
    record.birthDay = f.birthDay;
    record.bloodType = f.bloodType;
    sjis::CopyField(record.email, sizeof record.email, f.email, sizeof f.email);
    sjis::CopyField(record.zip1, sizeof record.zip1, f.zip1, sizeof f.zip1);
    sjis::CopyField(record.zip2, sizeof record.zip2, f.zip2, sizeof f.zip2);
    record.sex = f.sex;
    for (int kind = 0; kind < PHONE_KIND_COUNT; ++kind) {
        for (int part = 0; part < PHONE_PART_COUNT; ++part) {
            const char* source = f.phones[kind * PHONE_PART_COUNT + part];
            sjis::CopyField(record.phones[kind][part], PHONE_PART_SIZE, source, sizeof f.phones[0]);
        }
    }
}

void CAddressTable::NoteScanEnd(ScanEnd end) noexcept
{
    m_status = ScanStatus{};
    m_status.end = end;
}

void CAddressTable::NoteMalformedLine() noexcept
{
    const bool emptyLine = HoldsNoPerson(lineBuffer);
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
    while (!found && m_reader.ReadPiece(lineBuffer) >= 0)
        found = !HoldsNoPerson(lineBuffer);
    m_reader.Seek(mark);
    return found;
}
