#include "AddressTable.h"
#include "TableTestData.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Every character of the row gives its code, alone and followed by more text.
TEST(ClassifyReadingTest, EveryCharacterOfTheRowGivesItsCode)
{
    const struct {
        const char* hiragana;  // UTF-8
        KanaRow code;
    } rows[] = {{"あいうえお", 0}, {"かきくけこ", 1}, {"さしすせそ", 2}, {"たちつてと", 3}, {"なにぬねの", 4},
                {"はひふへほ", 5}, {"まみむめも", 6}, {"やゐゆゑよ", 7}, {"らりるれろ", 8}, {"わをん", 9},
                {"がぎぐげご", 1}, {"ざじずぜぞ", 2}, {"だぢづでど", 3}, {"ばびぶべぼ", 5}, {"ぱぴぷぺぽ", 5},
                {"ぁぃぅぇぉっゃゅょゎ", KANAROW_OTHER}, {"アカサタナハマヤラワンガパ", KANAROW_OTHER},
                {"ｱｶｻﾀﾅﾊﾏﾔﾗﾜ", KANAROW_OTHER}, {"山田佐藤", KANAROW_OTHER}, {"ＡＺ０９", KANAROW_OTHER},
                {"Yamada01", KANAROW_OTHER}};  // the last three as byte pairs
    for (const auto& row : rows) {
        SCOPED_TRACE(row.hiragana);
        const std::string text = Sjis(row.hiragana);
        ASSERT_EQ(text.size() % 2, 0U);
        for (std::size_t i = 0; i < text.size(); i += 2) {
            const std::string character = text.substr(i, 2);
            EXPECT_EQ(CAddressTable::ClassifyReading(character.c_str()), row.code) << "character " << i / 2;
            const std::string reading = character + Sjis("ん") + "x";
            EXPECT_EQ(CAddressTable::ClassifyReading(reading.c_str()), row.code) << "character " << i / 2;
        }
    }
}

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
    // Empty, a lead byte alone, half-width ｱ alone, a digit.
    for (const char* reading : {"", "\x82", "\xB1", "7"})
        EXPECT_EQ(CAddressTable::ClassifyReading(reading), KANAROW_OTHER) << reading;
}

}  // namespace
