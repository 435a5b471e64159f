#include "TextForms.h"

#include "Utf8.h"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <array>

namespace vcard {

namespace {

// After NFKC: ‐ ‑ ‒ – — ― − ー ﹣ and U+2043, U+FE58.
constexpr std::array<char32_t, 11> HYPHENS{
    0x2010, 0x2011, 0x2012, 0x2013, 0x2014, 0x2015, 0x2043, 0x2212, 0x30FC, 0xFE58, 0xFE63,
};

struct CodeRange {
    char32_t first;
    char32_t last;
};

// 々 〆 〇, kana, kanji and half-width katakana.
constexpr std::array<CodeRange, 7> JAPANESE{{
    {0x3005, 0x3007},
    {0x3041, 0x30FF},
    {0x31F0, 0x31FF},
    {0x3400, 0x4DBF},
    {0x4E00, 0x9FFF},
    {0xF900, 0xFAFF},
    {0xFF66, 0xFF9F},
}};

std::string Nfkc(std::string_view utf8)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfkc = icu::Normalizer2::getNFKCInstance(status);
    if (U_FAILURE(status))
        return std::string(utf8);
    const icu::UnicodeString normal = nfkc->normalize(
        icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size()))), status);
    if (U_FAILURE(status))
        return std::string(utf8);
    std::string out;
    normal.toUTF8String(out);
    return out;
}

}  // namespace

std::string FoldedForDigits(std::string_view utf8)
{
    const std::string normal = Nfkc(utf8);
    std::string out;
    out.reserve(normal.size());
    for (std::size_t at = 0; at < normal.size();) {
        const char32_t c = utf8::Next(normal, at);
        if (std::find(HYPHENS.begin(), HYPHENS.end(), c) != HYPHENS.end())
            out += '-';
        else
            utf8::Append(out, c == utf8::INVALID ? 0xFFFD : c);
    }
    return out;
}

bool HasJapaneseText(std::string_view utf8) noexcept
{
    for (std::size_t at = 0; at < utf8.size();) {
        const char32_t c = utf8::Next(utf8, at);
        const auto inside = [c](const CodeRange& range) { return c >= range.first && c <= range.last; };
        if (std::any_of(JAPANESE.begin(), JAPANESE.end(), inside))
            return true;
    }
    return false;
}

}  // namespace vcard
