#pragma once

#include "AddressRecord.h"
#include "KanaRow.h"
#include "LineIndex.h"
#include "TextModeReader.h"

#include <cstddef>
#include <cstdio>
#include <span>
#include <string>

// The name of the data file, resolved against the working directory at
// every open.
inline constexpr const char* ADDRESS_TABLE_FILE = "AddressTable.csv";

// How the last scan (GetFirst/GetNext) or append ended. Read-only report:
// it changes none of the results of the table's operations.
enum class ScanEnd {
    NotStarted,     // no scan since construction
    Found,          // the last call delivered a record
    OpenFailed,     // the file could not be opened
    EndOfFile,      // the end of the readable text was reached
    MalformedLine,  // a data line with fewer than 25 fields stopped the scan
};

struct ScanStatus {
    ScanEnd end = ScanEnd::NotStarted;
    // For MalformedLine: the 1-based line number of that line in the file,
    // the number of fields it held (0 for an empty line), and whether the
    // line itself or any later line holds anything but empty lines and
    // comments (people that no scan can reach). A line counts as empty when
    // its text, up to a NUL and without its line end, is empty.
    // AddRecord reports too: Found when the line reached the file,
    // OpenFailed when the file could not be opened or written, NotStarted
    // when the record was refused and nothing was tried.
    long lineNumber = 0;
    int fieldCount = 0;
    bool dataHidden = false;
};

// Sequential, filtered access to the data file, and the append of one
// person. Every scan reopens the file and reads from its first line.
class CAddressTable {
public:
    CAddressTable() noexcept;
    // Scans with the given line kernels instead of the best this
    // processor runs (to compare them).
    explicit CAddressTable(const LineKernels& kernels) noexcept;
    ~CAddressTable() noexcept;
    CAddressTable(const CAddressTable&) = delete;
    CAddressTable& operator=(const CAddressTable&) = delete;

    // 1 and the first/next person whose code matches kanaRow (or any, for
    // KANAROW_ALL) in record; 0 otherwise, record untouched.
    [[nodiscard]] int GetFirst(AddressRecord& record, KanaRow kanaRow);
    [[nodiscard]] int GetNext(AddressRecord& record, KanaRow kanaRow);

    // 1 when the whole line reached the file; 0 and the file as it was
    // otherwise (including records whose text holds ',', CR, LF or 0x1A,
    // which the line format cannot carry).
    [[nodiscard]] int AddRecord(const AddressRecord& record);

    // Appends every record, in order, in one write under the same rules as
    // AddRecord: 1 when every line reached the file; 0 and the file as it
    // was otherwise, all records refused when any one's text cannot be
    // carried. No records: 1, the file untouched.
    [[nodiscard]] int AddRecords(std::span<const AddressRecord> records);

    [[nodiscard]] const ScanStatus& LastScan() const noexcept { return m_status; }

    // The kana-row code of a reading: 0 to 9 or KANAROW_OTHER.
    [[nodiscard]] static KanaRow ClassifyReading(const char* reading) noexcept;

private:
    static constexpr int FIELD_COUNT = LINE_FIELD_COUNT;

    // The fields of the current line, in file order. Their text stays in
    // the line and is copied out only for a line that is delivered.
    struct LineFields {
        int kanaRow;
        FieldEnds fields;
    };

    int Open();
    int Close();
    int ReadMatching(AddressRecord& record, KanaRow kanaRow);
    int ReadDataLine();
    int ParseLine();
    int WriteLines(const std::string& lines);

    bool IndexLine() noexcept;
    int SplitFields() noexcept;
    [[nodiscard, gnu::always_inline]] int FieldNumber(int field) const noexcept;
    void CopyLineTo(AddressRecord& record) noexcept;
    void DropTrailingEndOfText(long long size) noexcept;
    void NoteScanEnd(ScanEnd end) noexcept;
    void NoteMalformedLine() noexcept;
    bool LaterLinesHoldData() noexcept;
    bool CloseChecked() noexcept;

    std::FILE* file = nullptr;
    int isOpen = 0;
    char lineBuffer[TextModeReader::PIECE_LIMIT + 1] = {};
    LineFields lineFields;
    ScanStatus m_status;
    // The current line: in the reader's buffer, or in lineBuffer when it
    // did not lie there whole.
    TextModeReader::Piece m_line{};
    int m_fieldsTaken = 0;       // fields ParseLine found in the current line (at most 25)
    // Whether m_lineIndex describes the current line; lineFields then
    // holds only its first field until the line is delivered.
    bool m_lineIndexed = false;
    LineIndex m_lineIndex;
    const LineKernels& m_kernels;
    bool m_fileIsRegular = false;
    TextModeReader m_reader;
};
