#pragma once

#include "AddressRecord.h"
#include "LineIndex.h"
#include "TextModeReader.h"

#include <cstdio>

// Reads the lines of the data file that are not comments, one at a time,
// and cuts them into fields. Lines are parsed where they lie in the
// reader's buffer; only a line that does not lie there whole is copied
// into a line buffer of its own.
class LineScanner {
public:
    // Without kernels every line is split byte by byte.
    explicit LineScanner(const LineKernels* kernels) noexcept : m_kernels(kernels) {}

    // Reads the stream from its current offset, as line 1. A regular file
    // may be looked ahead in (a device may never end).
    void Start(std::FILE* stream, bool regularFile) noexcept;

    enum class Next {
        Found,      // a line whose code matches, ready for CopyTo
        TextEnded,  // no line left
        Malformed,  // a line with fewer than 25 fields
    };
    // Reads on to the next line that is not a comment and whose code
    // matches kanaRow (any, for KANAROW_ALL), or to one that stops a scan.
    // One call per delivered line keeps the loop over lines in one place.
    [[nodiscard]] Next NextMatching(int kanaRow) noexcept;
    // The kana-row code of the line NextMatching found.
    [[nodiscard]] int Code() const noexcept { return m_code; }
    void CopyTo(AddressRecord& record) noexcept;

    // For a line that did not parse: its 1-based line in the file, the
    // fields it has (0 for an empty line), and whether it or a later line
    // could hold a person. The scan then reads on after that line.
    [[nodiscard]] long LineNumber() const noexcept { return m_reader.PieceLine(); }
    [[nodiscard]] bool LineIsEmpty() const noexcept;
    // The line is read in pieces: this is one of several.
    [[nodiscard]] bool LineIsTooLong() const noexcept;
    [[nodiscard]] bool LineStartsWithNul() const noexcept;
    [[nodiscard]] int FieldsTaken() const noexcept { return m_fieldsTaken; }
    [[nodiscard]] bool LaterLinesHoldData() noexcept;

private:
    static constexpr int FIELD_COUNT = LINE_FIELD_COUNT;

    bool NextDataLine() noexcept;
    bool Parse() noexcept;
    bool IndexLine() noexcept;
    int SplitFields() noexcept;
    [[nodiscard, gnu::always_inline]] int FieldNumber(int field) const noexcept;

    const LineKernels* m_kernels;
    bool m_regularFile = false;
    // The current line: in the reader's buffer, or in m_lineBuffer when it
    // did not lie there whole.
    TextModeReader::Piece m_line{};
    bool m_lineContinues = false;  // the piece before it had no line end
    int m_fieldsTaken = 0;         // fields Parse found in the current line (at most 25)
    int m_code = 0;                // the kana-row code of the line NextMatching found
    // Whether m_lineIndex describes the current line; m_fields then holds
    // only its first field until the line is delivered.
    bool m_lineIndexed = false;
    FieldEnds m_fields{};
    LineIndex m_lineIndex{};
    char m_lineBuffer[TextModeReader::PIECE_LIMIT + 1] = {};
    TextModeReader m_reader;
};
