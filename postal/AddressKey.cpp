#include "AddressKey.h"

#include <unicode/bytestream.h>
#include <unicode/normalizer2.h>
#include <unicode/utf8.h>

#include <algorithm>

namespace postal {
namespace {

constexpr std::string_view OPEN_NOTE = "（";
constexpr std::string_view CLOSE_NOTE = "）";

// Code points NFKC leaves as they are, by far most of every address: a
// quick scan spares ICU a call for nearly all dictionary lines.
bool IsNfkcStable(UChar32 c) noexcept
{
    return (c >= 0x20 && c < 0x7F) || c == 0x3005 || (c >= 0x3041 && c <= 0x3096) || (c >= 0x30A1 && c <= 0x30FA)
           || c == 0x30FC || (c >= 0x4E00 && c <= 0x9FFF);
}

bool AllNfkcStable(std::string_view text) noexcept
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t at = 0; at < length;) {
        UChar32 c = 0;
        U8_NEXT(bytes, at, length, c);
        if (!IsNfkcStable(c))
            return false;
    }
    return true;
}

std::string Nfkc(std::string_view text)
{
    if (AllNfkcStable(text))
        return std::string(text);
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfkc = icu::Normalizer2::getNFKCInstance(status);
    std::string result;
    icu::StringByteSink<std::string> sink(&result, static_cast<int32_t>(text.size()));
    if (U_SUCCESS(status))
        nfkc->normalizeUTF8(0, icu::StringPiece(text.data(), static_cast<int32_t>(text.size())), sink, nullptr, status);
    return U_SUCCESS(status) ? result : std::string(text);
}

constexpr std::array<std::string_view, 10> KANJI_DIGITS{"", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
constexpr std::array<std::string_view, 4> KANJI_PLACES{"", "十", "百", "千"};

// 10 → 十, 21 → 二十一, 305 → 三百五; empty for 0 and above 9999.
std::string KanjiNumber(std::string_view digits)
{
    const auto first = digits.find_first_not_of('0');
    if (first == std::string_view::npos || digits.size() - first > KANJI_PLACES.size())
        return {};
    digits.remove_prefix(first);
    std::string kanji;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const int digit = digits[i] - '0';
        const std::size_t place = digits.size() - 1 - i;
        if (digit == 0)
            continue;
        if (digit > 1 || place == 0)
            kanji += KANJI_DIGITS[static_cast<std::size_t>(digit)];
        kanji += KANJI_PLACES[place];
    }
    return kanji;
}

bool CountsInKanji(std::string_view after) noexcept
{
    return after.starts_with("条") || after.starts_with("丁目") || after.starts_with("線");
}

bool IsDash(UChar32 c) noexcept
{
    return c == '-' || (c >= 0x2010 && c <= 0x2015) || c == 0x2212 || c == 0xFE63 || c == 0xFF0D;
}

// Appends the digit run that starts at text[at] and returns where it ends.
std::size_t AppendNumber(std::string& key, std::string_view text, std::size_t at)
{
    std::size_t end = at;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9')
        ++end;
    const std::string_view digits = text.substr(at, end - at);
    const std::string kanji = CountsInKanji(text.substr(end)) ? KanjiNumber(digits) : std::string();
    key += kanji.empty() ? digits : std::string_view(kanji);
    return end;
}

}  // namespace

int PrefectureAt(std::string_view text) noexcept
{
    const auto found = std::find_if(PREFECTURES.begin(), PREFECTURES.end(),
                                    [text](std::string_view prefecture) { return text.starts_with(prefecture); });
    return found == PREFECTURES.end() ? NO_PREFECTURE : static_cast<int>(found - PREFECTURES.begin());
}

std::string MatchKey(std::string_view utf8)
{
    const std::string text = Nfkc(utf8);
    std::string key;
    key.reserve(text.size());
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t at = 0; at < length;) {
        const int32_t start = at;
        UChar32 c = 0;
        U8_NEXT(bytes, at, length, c);
        if (c >= '0' && c <= '9')
            at = static_cast<int32_t>(AppendNumber(key, text, static_cast<std::size_t>(start)));
        else if (c == 0x30F6 || c == 0x30B1 || c == 0x304C || c == 0x30AC)  // ヶ ケ が ガ
            key += "ケ";
        else if (c == 0x4E4B)  // 之
            key += "の";
        else if (IsDash(c))
            key += '-';
        else if (c != ' ' && c != '\t')
            key.append(text, static_cast<std::size_t>(start), static_cast<std::size_t>(at - start));
    }
    return key;
}

bool IsMatchKey(std::string_view utf8) noexcept
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(utf8.data());
    const auto length = static_cast<int32_t>(utf8.size());
    for (int32_t at = 0; at < length;) {
        UChar32 c = 0;
        U8_NEXT(bytes, at, length, c);
        const bool folded = (c >= '0' && c <= '9') || c == ' ' || c == 0x30F6 || c == 0x30B1 || c == 0x304C
                            || c == 0x30AC || c == 0x4E4B;
        if (folded || !IsNfkcStable(c))
            return false;
    }
    return true;
}

std::optional<std::string> ParseCode(std::string_view utf8)
{
    std::string text = MatchKey(utf8);
    if (text.starts_with("〒"))
        text.erase(0, std::string_view("〒").size());
    if (text.size() == 8 && text[3] == '-')
        text.erase(3, 1);
    if (text.size() != 7 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return text;
}

bool LooksLikeCode(std::string_view utf8)
{
    const std::string text = MatchKey(utf8);
    return !text.empty()
           && std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == '-'; });
}

std::string WithoutNotes(std::string_view utf8)
{
    std::string text;
    int depth = 0;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::string_view rest = utf8.substr(at);
        if (rest.starts_with(OPEN_NOTE)) {
            ++depth;
            at += OPEN_NOTE.size();
        } else if (rest.starts_with(CLOSE_NOTE)) {
            if (depth == 0)
                break;
            --depth;
            at += CLOSE_NOTE.size();
        } else {
            if (depth == 0)
                text += utf8[at];
            ++at;
        }
    }
    return text;
}

}  // namespace postal
