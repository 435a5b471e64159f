#pragma once

#include <string>
#include <string_view>

// Forms of card text that numbers and addresses are recognised by.
namespace vcard {

// The text after NFKC (full-width digits, letters, blanks and brackets
// become ASCII), with every hyphen, dash, minus and long-vowel mark as
// '-', the way people write them between digits.
[[nodiscard]] std::string FoldedForDigits(std::string_view utf8);

// Whether the text holds kana or kanji.
[[nodiscard]] bool HasJapaneseText(std::string_view utf8) noexcept;

}  // namespace vcard
