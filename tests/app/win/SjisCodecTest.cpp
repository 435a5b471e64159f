#include "SjisCodec.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct EncodeRow {
    const char* name;
    QString text;
    std::string bytes;
};

class EncodesTo : public ::testing::TestWithParam<EncodeRow> {};

TEST_P(EncodesTo, GivesTheCodePageBytes)
{
    const EncodeRow& row = GetParam();
    EXPECT_EQ(sjis::FromQString(row.text), row.bytes);
    EXPECT_EQ(sjis::ByteLength(row.text), static_cast<int>(row.bytes.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EncodesTo,
    ::testing::Values(EncodeRow{"Ascii", QStringLiteral("Tanaka 03"), "Tanaka 03"},
                      EncodeRow{"Empty", QString(), ""},
                      EncodeRow{"Hiragana", QStringLiteral("なまえ"), "\x82\xC8\x82\xDC\x82\xA6"},
                      EncodeRow{"HalfwidthKatakana", QStringLiteral("ｱｲ"), "\xB1\xB2"},
                      EncodeRow{"Mixed", QStringLiteral("1丁目"), "1\x92\x9A\x96\xDA"},
                      EncodeRow{"Star", QStringLiteral("☆"), "\x81\x99"},
                      EncodeRow{"NecSpecial", QStringLiteral("①"), "\x87\x40"},
                      EncodeRow{"WaveDashJisForm", QStringLiteral("1〜3"), "1\x81\x60" "3"},
                      EncodeRow{"FullwidthTilde", QStringLiteral("～"), "\x81\x60"},
                      EncodeRow{"DoubleVerticalLine", QStringLiteral("‖"), "\x81\x61"},
                      EncodeRow{"MinusSign", QStringLiteral("−"), "\x81\x7C"},
                      EncodeRow{"Cent", QStringLiteral("¢"), "\x81\x91"},
                      EncodeRow{"Pound", QStringLiteral("£"), "\x81\x92"},
                      EncodeRow{"Not", QStringLiteral("¬"), "\x81\xCA"}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefuseRow {
    const char* name;
    QString text;
};

class RefusesToEncode : public ::testing::TestWithParam<RefuseRow> {};

TEST_P(RefusesToEncode, GivesNothing)
{
    EXPECT_EQ(sjis::FromQString(GetParam().text), std::nullopt);
    EXPECT_EQ(sjis::ByteLength(GetParam().text), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RefusesToEncode,
    ::testing::Values(RefuseRow{"ReplacementCharacter", QStringLiteral("a\uFFFDb")},
                      RefuseRow{"LatinAccent", QStringLiteral("café")},
                      // iconv would write the backslash byte, which reads back as "\".
                      RefuseRow{"YenSign", QStringLiteral("¥100")},
                      RefuseRow{"Emoji", QStringLiteral("a😀")},
                      RefuseRow{"LoneSurrogate", QString(QChar(0xD800))},
                      RefuseRow{"Hangul", QStringLiteral("한")}),
    [](const auto& info) { return std::string(info.param.name); });

struct DecodeRow {
    const char* name;
    std::string bytes;
    QString text;
};

class DecodesTo : public ::testing::TestWithParam<DecodeRow> {};

TEST_P(DecodesTo, GivesTheText)
{
    EXPECT_EQ(sjis::ToQString(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DecodesTo,
    ::testing::Values(DecodeRow{"Ascii", "abc,", QStringLiteral("abc,")},
                      DecodeRow{"Kanji", "\x8E\x52\x93\x63", QStringLiteral("山田")},
                      DecodeRow{"BackslashByteStaysBackslash", "\x5C", QStringLiteral("\\")},
                      DecodeRow{"WaveDashBytes", "\x81\x60", QStringLiteral("～")},
                      DecodeRow{"UndefinedSingleByte", "a\x80" "b", QStringLiteral("a\uFFFDb")},
                      DecodeRow{"LeadByteAtTheEnd", "ab\x82", QStringLiteral("ab\uFFFD")},
                      DecodeRow{"LeadByteBeforeBlank", "\x82 x", QStringLiteral("\uFFFD x")},
                      DecodeRow{"ByteFF", "\xFF\xFF", QStringLiteral("\uFFFD\uFFFD")},
                      DecodeRow{"EmbeddedZero", std::string("a\0b", 3), QString::fromUtf16(u"a\u0000b", 3)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SjisCodec, DecodedTextOfValidBytesEncodesBackToTheSameBytes)
{
    const std::string bytes = "\x8E\x52\x93\x63\x20\x91\xBE\x98\x59\xB1\x81\x99\x87\x40";
    EXPECT_EQ(sjis::FromQString(sjis::ToQString(bytes)), bytes);
}

}  // namespace
