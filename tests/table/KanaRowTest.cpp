#include "AddressTable.h"
#include "TableTestData.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Every character of the row gives its code, alone and followed by more text.
TEST(ClassifyReadingTest, EveryHiraganaGivesTheCodeOfItsRow)
{
    const char* rows[] = {"あいうえお",           "かきくけこがぎぐげご",
                          "さしすせそざじずぜぞ", "たちつてとだぢづでど",
                          "なにぬねの",           "はひふへほばびぶべぼぱぴぷぺぽ",
                          "まみむめも",           "やゐゆゑよ",
                          "らりるれろ",           "わをん"};
    for (KanaRow code = 0; code < 10; ++code) {
        const std::string text = Sjis(rows[code]);
        for (std::size_t i = 0; i < text.size(); i += 2) {
            const std::string character = text.substr(i, 2);
            EXPECT_EQ(CAddressTable::ClassifyReading(character.c_str()), code) << rows[code] << " " << i / 2;
            EXPECT_EQ(CAddressTable::ClassifyReading((character + Sjis("ん") + "x").c_str()), code);
        }
    }
}

// Any other first two bytes (the ten small kana of the hiragana block
// included) and readings shorter than two bytes are other.
TEST(ClassifyReadingTest, EveryOtherReadingIsOther)
{
    const std::string small = Sjis("ぁぃぅぇぉっゃゅょゎ");
    for (int code = 0x0100; code <= 0xFFFF; ++code) {
        const char reading[3] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF), '\0'};
        const bool hiragana =
            code >= 0x829F && code <= 0x82F1 && small.find(std::string(reading, 2)) == std::string::npos;
        if ((CAddressTable::ClassifyReading(reading) != KANAROW_OTHER) != hiragana)
            ADD_FAILURE() << std::hex << code;
    }
    for (const char* reading : {static_cast<const char*>(nullptr), "", "\x82", "\xB1", "7"})
        EXPECT_EQ(CAddressTable::ClassifyReading(reading), KANAROW_OTHER);
}

}  // namespace
