#include "CardText.h"

#include <QString>

#include <algorithm>
#include <array>

namespace postcard {

namespace {

constexpr char32_t LONG_VOWEL_MARK = U'ー';
constexpr std::array<char32_t, 10> KANJI_DIGITS{U'〇', U'一', U'二', U'三', U'四', U'五', U'六', U'七', U'八', U'九'};
// After NFKC: the hyphen-minus (also from －), the dashes U+2010 to U+2015
// and the minus sign; ｰ has become ー already.
constexpr std::array<char32_t, 8> DASHES{U'-', U'‐', U'‑', U'‒', U'–', U'—', U'―', U'−'};
constexpr char32_t FULL_WIDTH_SHIFT = 0xFEE0;  // ! (U+0021) → ！ (U+FF01)
// The longest number set side by side in one cell.
constexpr std::size_t SIDEWAYS_DIGITS = 2;

bool IsDigit(char32_t c) noexcept
{
    return c >= U'0' && c <= U'9';
}

bool IsDash(char32_t c) noexcept
{
    return std::find(DASHES.begin(), DASHES.end(), c) != DASHES.end();
}

bool IsBlank(char32_t c) noexcept
{
    return c == U' ' || c == U'\t';
}

// The digits of one number as cells.
void AppendDigits(std::vector<Cell>& cells, std::u32string_view digits, Numerals numerals, int number)
{
    if (numerals == Numerals::Arabic && digits.size() <= SIDEWAYS_DIGITS) {
        cells.push_back(Cell{std::u32string(digits), true, false, number});
        return;
    }
    for (const char32_t digit : digits) {
        const char32_t upright = numerals == Numerals::Kanji ? KANJI_DIGITS[digit - U'0'] : digit + FULL_WIDTH_SHIFT;
        cells.push_back(Cell{std::u32string(1, upright), false, false, number});
    }
}

// A dash between two digits joins them into one number.
bool JoinsDigits(std::u32string_view text, std::size_t at) noexcept
{
    return at > 0 && at + 1 < text.size() && IsDigit(text[at - 1]) && IsDigit(text[at + 1]);
}

}  // namespace

std::u32string Normalized(std::string_view utf8)
{
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    return text.normalized(QString::NormalizationForm_KC).toStdU32String();
}

std::vector<Cell> VerticalCells(std::string_view utf8, Numerals numerals)
{
    const std::u32string text = Normalized(utf8);
    std::vector<Cell> cells;
    int numbers = 0;
    int number = -1;  // the number being read, while its digits or dashes go on
    for (std::size_t at = 0; at < text.size();) {
        const char32_t c = text[at];
        if (IsDigit(c)) {
            const std::size_t end = std::find_if_not(text.begin() + at, text.end(), IsDigit) - text.begin();
            if (number < 0)
                number = numbers++;
            AppendDigits(cells, std::u32string_view(text).substr(at, end - at), numerals, number);
            at = end;
            continue;
        }
        const bool joins = IsDash(c) && JoinsDigits(text, at);
        if (!joins)
            number = -1;
        if (IsBlank(c)) {
            if (!cells.empty() && !cells.back().blank)
                cells.push_back(Cell{U"", false, true, -1});
        } else if (IsDash(c) || c == LONG_VOWEL_MARK) {
            cells.push_back(Cell{std::u32string(1, LONG_VOWEL_MARK), false, false, number});
        } else if (c > U' ' && c < 0x7F) {
            cells.push_back(Cell{std::u32string(1, c + FULL_WIDTH_SHIFT), false, false, -1});
        } else if (c >= U' ') {
            cells.push_back(Cell{std::u32string(1, c), false, false, -1});
        }
        ++at;
    }
    if (!cells.empty() && cells.back().blank)
        cells.pop_back();
    return cells;
}

bool BreaksNoNumber(const std::vector<Cell>& cells, std::size_t at) noexcept
{
    if (at == 0 || at >= cells.size())
        return true;
    return cells[at].number < 0 || cells[at].number != cells[at - 1].number;
}

bool HasJapanese(std::u32string_view text) noexcept
{
    return std::any_of(text.begin(), text.end(), [](char32_t c) {
        return (c >= 0x3041 && c <= 0x30FF)     // hiragana, katakana
               || (c >= 0x3400 && c <= 0x9FFF)  // kanji
               || (c >= 0xF900 && c <= 0xFAFF)  // compatibility kanji
               || (c >= 0x20000 && c <= 0x3FFFF) || c == U'々' || c == U'〆';
    });
}

std::u32string PostalDigits(std::string_view first, std::string_view second)
{
    const std::u32string head = Normalized(first);
    const std::u32string tail = Normalized(second);
    const auto allDigits = [](const std::u32string& part) { return std::all_of(part.begin(), part.end(), IsDigit); };
    if (head.size() != 3 || tail.size() != 4 || !allDigits(head) || !allDigits(tail))
        return {};
    return head + tail;
}

std::string ToUtf8(std::u32string_view text)
{
    return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size())).toStdString();
}

}  // namespace postcard
