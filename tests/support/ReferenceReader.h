#pragma once

// A deliberately plain second reader of the data file, written apart from
// the table so that the fuzz targets and the table tests can compare the
// two. It works on the whole text at once with std::string instead of
// streaming through fixed buffers, and shares no code with the table:
// only the record's layout.

#include "AddressRecord.h"

#include <string>
#include <string_view>
#include <vector>

namespace reference {

inline constexpr std::size_t FIELD_COUNT = 25;

// One line that is not a comment: its first 25 fields when it has them.
struct DataLine {
    bool wellFormed = false;
    std::vector<std::string> fields;  // up to the first 25
    std::size_t fieldCount = 0;       // all of them, for a malformed line
    long physicalLine = 0;            // 1-based line of the file it starts on
    bool looksEmpty = false;          // no text, or nothing but its LF
};

// Every line of the file that is not a comment, in file order: the text up
// to the first 0x1A, CR LF as LF, cut into pieces of at most 4095 bytes,
// each piece's text ending at its first NUL.
[[nodiscard]] std::vector<DataLine> ReadDataLines(std::string_view fileBytes);

// The person a well-formed line stands for, every text field cut to its
// width minus one between characters and NUL after it; and its code.
// Numbers go through the C library: blanks, a sign, digits, clamped to
// the 32-bit range.
[[nodiscard]] AddressRecord RecordOf(const DataLine& line);
[[nodiscard]] int CodeOf(const DataLine& line);

// The longest start of text of at most maxBytes bytes that ends between
// two Shift_JIS characters, walking the characters from the first byte.
[[nodiscard]] std::string CutToCharacters(const std::string& text, std::size_t maxBytes);

}  // namespace reference
