#pragma once

#include "AddressRecord.h"
#include "KanaRow.h"

#include <memory>
#include <span>

struct LineKernels;

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

// What is wrong with a malformed line, as its writer would put it.
enum class MalformedLine {
    TooFewFields,  // fewer than 25 fields
    Empty,         // nothing before its line end
    TooLong,       // longer than a line is read at once (4095 bytes)
    Nul,           // begins with a NUL byte
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
    MalformedLine malformed = MalformedLine::TooFewFields;
    // For Found: the delivered person's kana-row code as the file holds it.
    KanaRow kanaRow = 0;
};

// How the last AddRecord or AddRecords ended.
enum class AppendEnd {
    NotTried,            // no append since construction
    Written,             // every line reached the file
    Refused,             // text the line cannot carry; nothing was tried
    Failed,              // nothing appended: the file could not be opened or
                         // written, or a 0x1A ending it could not be taken
                         // off; the file is as it was
    UnfinishedLineLeft,  // the write failed and cutting it back failed too:
                         // what part of the lines reached the file stays at
                         // its end
};

// Sequential, filtered access to the data file, and the append of one
// person. Every scan reopens the file and reads from its first line.
class CAddressTable {
public:
    CAddressTable();
    // Scans with the given line kernels instead of the best this
    // processor runs, or byte by byte without any (to compare them).
    explicit CAddressTable(const LineKernels* kernels);
    ~CAddressTable() noexcept;
    CAddressTable(const CAddressTable&) = delete;
    CAddressTable& operator=(const CAddressTable&) = delete;

    // 1 and the first/next person whose code matches kanaRow (or any, for
    // KANAROW_ALL) in record; 0 otherwise, record untouched.
    [[nodiscard]] int GetFirst(AddressRecord& record, KanaRow kanaRow);
    [[nodiscard]] int GetNext(AddressRecord& record, KanaRow kanaRow);

    // 1 when the whole line reached the file; 0 and the file as it was
    // otherwise (including records whose text holds ',', CR, LF or 0x1A,
    // which the line format cannot carry), unless LastAppend() says that
    // part of the line was left. Ends any scan.
    [[nodiscard]] int AddRecord(const AddressRecord& record);

    // Appends every record, in order, in one write under the same rules as
    // AddRecord: 1 when every line reached the file; 0 otherwise, all
    // records refused when any one's text cannot be carried. No records:
    // 1, the file untouched.
    [[nodiscard]] int AddRecords(std::span<const AddressRecord> records);

    [[nodiscard]] const ScanStatus& LastScan() const noexcept;
    [[nodiscard]] AppendEnd LastAppend() const noexcept;

    // The kana-row code of a reading: 0 to 9 or KANAROW_OTHER.
    [[nodiscard]] static KanaRow ClassifyReading(const char* reading) noexcept;

    // Whether the data file's first block reads as UTF-8 text, as when an
    // editor saved it so; such a file shows garbled names.
    [[nodiscard]] static bool FileLooksLikeUtf8();

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};
