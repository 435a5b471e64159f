#pragma once

#include <string>
#include <string_view>

namespace vcard {

// A reading with its katakana, full- or half-width, turned into hiragana,
// so that it files under the kana row the data file expects. Half-width
// kana take a following ﾞ or ﾟ into one character. ヴ, ヵ and ヶ stay
// katakana (code page 932 has no hiragana for them), as do ー and every
// other character; half-width punctuation becomes full-width.
[[nodiscard]] std::string KatakanaToHiragana(std::string_view utf8);

}  // namespace vcard
