#include "AddressTable.h"
#include "TableTestData.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct RowCase {
    const char* name;
    const char* hiragana;  // UTF-8; every character gives the code
    KanaRow code;
};

void PrintTo(const RowCase& c, std::ostream* os) { *os << c.name; }

class ClassifyRowTest : public ::testing::TestWithParam<RowCase> {};

// Every character of the row, alone and followed by more text.
TEST_P(ClassifyRowTest, EveryCharacterOfTheRowGivesItsCode)
{
    const RowCase& c = GetParam();
    const std::string row = Sjis(c.hiragana);
    ASSERT_EQ(row.size() % 2, 0U);
    for (std::size_t i = 0; i < row.size(); i += 2) {
        const std::string character = row.substr(i, 2);
        EXPECT_EQ(CAddressTable::ClassifyReading(character.c_str()), c.code) << "character " << i / 2;
        const std::string reading = character + Sjis("ん") + "x";
        EXPECT_EQ(CAddressTable::ClassifyReading(reading.c_str()), c.code) << "character " << i / 2;
    }
}

INSTANTIATE_TEST_SUITE_P(
    AllFifteenRows, ClassifyRowTest,
    ::testing::Values(RowCase{"A", "あいうえお", 0}, RowCase{"Ka", "かきくけこ", 1},
                      RowCase{"Sa", "さしすせそ", 2}, RowCase{"Ta", "たちつてと", 3},
                      RowCase{"Na", "なにぬねの", 4}, RowCase{"Ha", "はひふへほ", 5},
                      RowCase{"Ma", "まみむめも", 6}, RowCase{"Ya", "やゐゆゑよ", 7},
                      RowCase{"Ra", "らりるれろ", 8}, RowCase{"Wa", "わをん", 9},
                      RowCase{"Ga", "がぎぐげご", 1}, RowCase{"Za", "ざじずぜぞ", 2},
                      RowCase{"Da", "だぢづでど", 3}, RowCase{"Ba", "ばびぶべぼ", 5},
                      RowCase{"Pa", "ぱぴぷぺぽ", 5},
                      RowCase{"SmallKana", "ぁぃぅぇぉっゃゅょゎ", KANAROW_OTHER},
                      RowCase{"Katakana", "アカサタナハマヤラワンガパ", KANAROW_OTHER},
                      RowCase{"HalfWidthKatakanaPairs", "ｱｶｻﾀﾅﾊﾏﾔﾗﾜ", KANAROW_OTHER},
                      RowCase{"Kanji", "山田佐藤", KANAROW_OTHER},
                      RowCase{"FullWidthLatinAndDigits", "ＡＺ０９", KANAROW_OTHER},
                      RowCase{"LatinAndDigitPairs", "Yamada01", KANAROW_OTHER}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ClassifyReadingTest, OnlyTheTenSmallKanaOfTheHiraganaBlockAreOther)
{
    const std::string small = Sjis("ぁぃぅぇぉっゃゅょゎ");
    for (int code = 0x829F; code <= 0x82F1; ++code) {
        const char reading[3] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF), '\0'};
        const bool isSmall = small.find(std::string(reading, 2)) != std::string::npos;
        EXPECT_EQ(CAddressTable::ClassifyReading(reading) == KANAROW_OTHER, isSmall)
            << std::hex << code;
    }
}

TEST(ClassifyReadingTest, ShortReadingsAreOther)
{
    EXPECT_EQ(CAddressTable::ClassifyReading(""), KANAROW_OTHER);
    EXPECT_EQ(CAddressTable::ClassifyReading("\x82"), KANAROW_OTHER);  // a lead byte alone
    EXPECT_EQ(CAddressTable::ClassifyReading("\xB1"), KANAROW_OTHER);  // half-width ｱ alone
    EXPECT_EQ(CAddressTable::ClassifyReading("7"), KANAROW_OTHER);
}

}  // namespace
