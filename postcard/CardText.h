#pragma once

#include <string>
#include <string_view>
#include <vector>

// The text rules of vertical writing on a postcard: what each character
// becomes, and which character cells a line holds. Plain text in, cells
// out; the fonts come later.
namespace postcard {

enum class Numerals {
    Kanji,   // digit by digit: 101 → 一〇一
    Arabic,  // one- and two-digit numbers side by side in one cell, longer ones upright
};

// One character cell of a vertical line.
struct Cell {
    std::u32string text;    // one character, or the digits of a side-by-side number
    bool sideways = false;  // 縦中横: set horizontally within the cell
    bool blank = false;     // a space: an empty cell
    int number = -1;        // the number (digits and the hyphens between them) it belongs to
};

// The text after NFKC, so that half-width kana and full-width ASCII come
// in one form; invalid UTF-8 becomes U+FFFD.
[[nodiscard]] std::u32string Normalized(std::string_view utf8);

// The cells of one line: every hyphen and dash becomes ー, digits follow
// the numerals, other ASCII is set upright in full width, runs of blanks
// become one blank cell and blanks at either end are dropped.
[[nodiscard]] std::vector<Cell> VerticalCells(std::string_view utf8, Numerals numerals);

// Whether a break before cells[at] keeps every number whole.
[[nodiscard]] bool BreaksNoNumber(const std::vector<Cell>& cells, std::size_t at) noexcept;

// Whether the text holds a character of Japanese writing (kana or kanji).
[[nodiscard]] bool HasJapanese(std::u32string_view text) noexcept;

// The seven digits of a postal code given as three and four digits (after
// NFKC); empty when it is not such a code.
[[nodiscard]] std::u32string PostalDigits(std::string_view first, std::string_view second);

[[nodiscard]] std::string ToUtf8(std::u32string_view text);

}  // namespace postcard
