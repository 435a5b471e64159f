// The two conversions whose every case matters to the file: readings to
// hiragana (they decide the kana row) and phone numbers to three parts.
#include "Kana.h"
#include "PhoneNumber.h"

#include <gtest/gtest.h>

namespace {

TEST(Reading, KatakanaBecomesHiraganaWhereCodePage932HasIt)
{
    const std::pair<std::string_view, std::string_view> CASES[] = {
        {"カトウ ハナコ", "かとう はなこ"},
        {"ｶﾞｯｺｳ ﾀﾛｳ", "がっこう たろう"},       // half-width, ﾞ taken in
        {"ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ", "ぱぴぷぺぽ"},
        {"ｳﾞｧｲｵﾘﾝ", "ヴぁいおりん"},             // ヴ has no hiragana in code page 932
        {"ヵヶ", "ヵヶ"},
        {"ﾜﾞﾝ", "わ゛ん"},                         // no single character: the mark stays
        {"ｰﾊﾞｰ", "ーばー"},                        // the long-vowel mark stays
        {"ヽヾ", "ゝゞ"},
        {"ｱ｡ｲ､", "あ。い、"},
        {"Lee ひらがな 漢字", "Lee ひらがな 漢字"},
        {"ﾞｶ\xFF", "゛か\xFF"},                    // a lone mark, a byte that is no UTF-8
    };
    for (const auto& [katakana, hiragana] : CASES)
        EXPECT_EQ(vcard::KatakanaToHiragana(katakana), hiragana) << katakana;
}

TEST(PhoneNumber, SplitWhereJapaneseNumbersAreSplitWithoutLosingADigit)
{
    const std::pair<std::string_view, vcard::PhoneParts> CASES[] = {
        {"090-1234-5678", {"090", "1234", "5678"}},
        {"09012345678", {"090", "1234", "5678"}},
        {"+81 90 1234 5678", {"090", "1234", "5678"}},
        {"tel:+81-3-1234-5678", {"03", "1234", "5678"}},
        {"TEL:+81-45-123-4567;ext=12", {"045", "123", "4567"}},
        {"(06) 1234-5678", {"06", "1234", "5678"}},
        {"0120123456", {"0120", "123", "456"}},
        {"08001234567", {"0800", "123", "4567"}},
        {"05012345678", {"050", "1234", "5678"}},
        {"０３１２３４５６７８", {"03", "1234", "5678"}},
        {"0422-12-3456", {"0422", "12", "3456"}},   // written with hyphens, fitting the form: kept
        {"+81-3-1234", {"+81", "3", "1234"}},
        {"+81-3-12345678", {"03", "1234", "5678"}},  // does not fit: split anew
        {"+1 650 253 0000", {"+165", "0253", "0000"}},
        {"110", {"", "", "110"}},
        {"1234567", {"", "123", "4567"}},
    };
    for (const auto& [text, parts] : CASES)
        EXPECT_EQ(vcard::SplitPhoneNumber(text), parts) << text;
    for (const std::string_view none : {"", "tel:", "--", "+", "n/a"})
        EXPECT_EQ(vcard::SplitPhoneNumber(none), std::nullopt) << none;
}

}  // namespace
