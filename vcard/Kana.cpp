#include "Kana.h"

#include "Utf8.h"

#include <algorithm>
#include <array>

namespace vcard {

namespace {

constexpr char32_t HALF_WIDTH_FIRST = 0xFF61;
constexpr char32_t HALF_WIDTH_LAST = 0xFF9F;
constexpr char32_t HALF_VOICED_MARK = 0xFF9E;
constexpr char32_t HALF_SEMI_VOICED_MARK = 0xFF9F;

// U+FF61 to U+FF9F in order: their full-width forms.
constexpr std::array<char32_t, HALF_WIDTH_LAST - HALF_WIDTH_FIRST + 1> FULL_WIDTH_OF{
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30E3, 0x30E5,
    0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3,
    0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC,
    0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4,
    0x30E6, 0x30E8, 0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C,
};

// Katakana that take ﾞ as the next code point (カ→ガ ... ホ→ボ); the ハ row
// also takes ﾟ as the one after that.
constexpr std::array<char32_t, 20> VOICEABLE{
    0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD,
    0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8, 0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB,
};
constexpr char32_t KATAKANA_U = 0x30A6;
constexpr char32_t KATAKANA_VU = 0x30F4;
constexpr char32_t KATAKANA_HA = 0x30CF;

// ァ to ン map onto ぁ to ん; ヽ ヾ onto ゝ ゞ.
constexpr char32_t KATAKANA_FIRST = 0x30A1;
constexpr char32_t KATAKANA_LAST_WITH_HIRAGANA = 0x30F3;
constexpr char32_t KATAKANA_ITERATION = 0x30FD;
constexpr char32_t KATAKANA_VOICED_ITERATION = 0x30FE;
constexpr char32_t KATAKANA_TO_HIRAGANA = 0x60;

bool IsHalfWidth(char32_t c)
{
    return c >= HALF_WIDTH_FIRST && c <= HALF_WIDTH_LAST;
}

// The full-width kana with a following half-width mark taken in; 0 when
// the pair has no single character.
char32_t Combined(char32_t base, char32_t mark)
{
    const bool voiceable = std::find(VOICEABLE.begin(), VOICEABLE.end(), base) != VOICEABLE.end();
    if (mark == HALF_VOICED_MARK) {
        if (base == KATAKANA_U)
            return KATAKANA_VU;
        return voiceable ? base + 1 : 0;
    }
    const bool haRow = voiceable && base >= KATAKANA_HA;
    return mark == HALF_SEMI_VOICED_MARK && haRow ? base + 2 : 0;
}

char32_t ToHiragana(char32_t c)
{
    if (c >= KATAKANA_FIRST && c <= KATAKANA_LAST_WITH_HIRAGANA)
        return c - KATAKANA_TO_HIRAGANA;
    if (c == KATAKANA_ITERATION || c == KATAKANA_VOICED_ITERATION)
        return c - KATAKANA_TO_HIRAGANA;
    return c;
}

}  // namespace

std::string KatakanaToHiragana(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t at = 0;
    while (at < utf8.size()) {
        const std::size_t start = at;
        char32_t c = utf8::Next(utf8, at);
        if (c == utf8::INVALID) {
            out.append(utf8.substr(start, at - start));
            continue;
        }
        if (IsHalfWidth(c)) {
            c = FULL_WIDTH_OF[c - HALF_WIDTH_FIRST];
            std::size_t after = at;
            if (at < utf8.size()) {
                const char32_t combined = Combined(c, utf8::Next(utf8, after));
                if (combined != 0) {
                    c = combined;
                    at = after;
                }
            }
        }
        utf8::Append(out, ToHiragana(c));
    }
    return out;
}

}  // namespace vcard
