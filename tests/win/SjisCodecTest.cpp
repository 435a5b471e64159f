#include "SjisText.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

enum class Way { Both, EncodeOnly, DecodeOnly };

struct CodecRow {
    const char* name;
    QString text;
    std::optional<std::string> bytes;  // nullopt: the text is refused
    Way way;  // EncodeOnly: a JIS form that reads back as its code page 932 twin
};

TEST(SjisCodec, EncodesToCodePage932OrRefusesWholeAndDecodesInvalidBytesAsReplacements)
{
    const CodecRow rows[] = {
        {"ascii", QStringLiteral("Tanaka 03"), "Tanaka 03", Way::Both},
        {"empty", QString(), "", Way::Both},
        {"hiragana", QStringLiteral("なまえ"), "\x82\xC8\x82\xDC\x82\xA6", Way::Both},
        {"halfwidth katakana", QStringLiteral("ｱｲ"), "\xB1\xB2", Way::Both},
        {"mixed", QStringLiteral("1丁目"), "1\x92\x9A\x96\xDA", Way::Both},
        {"star", QStringLiteral("☆"), "\x81\x99", Way::Both},
        {"NEC special", QStringLiteral("①"), "\x87\x40", Way::Both},
        {"fullwidth tilde", QStringLiteral("～"), "\x81\x60", Way::Both},
        {"backslash byte", QStringLiteral("\\"), "\x5C", Way::Both},
        {"embedded zero", QString::fromUtf16(u"a\u0000b", 3), std::string("a\0b", 3), Way::Both},
        {"wave dash", QStringLiteral("1〜3"), "1\x81\x60" "3", Way::EncodeOnly},
        {"double vertical line", QStringLiteral("‖"), "\x81\x61", Way::EncodeOnly},
        {"minus sign", QStringLiteral("−"), "\x81\x7C", Way::EncodeOnly},
        {"cent", QStringLiteral("¢"), "\x81\x91", Way::EncodeOnly},
        {"pound", QStringLiteral("£"), "\x81\x92", Way::EncodeOnly},
        {"not", QStringLiteral("¬"), "\x81\xCA", Way::EncodeOnly},
        {"replacement character", QStringLiteral("a\uFFFDb"), std::nullopt, Way::EncodeOnly},
        {"latin accent", QStringLiteral("café"), std::nullopt, Way::EncodeOnly},
        // iconv would write the backslash byte, which reads back as "\".
        {"yen sign", QStringLiteral("¥100"), std::nullopt, Way::EncodeOnly},
        {"emoji", QStringLiteral("a😀"), std::nullopt, Way::EncodeOnly},
        {"lone surrogate", QString(QChar(0xD800)), std::nullopt, Way::EncodeOnly},
        {"hangul", QStringLiteral("한"), std::nullopt, Way::EncodeOnly},
        {"undefined single byte", QStringLiteral("a\uFFFDb"), "a\x80" "b", Way::DecodeOnly},
        {"lead byte at the end", QStringLiteral("ab\uFFFD"), "ab\x82", Way::DecodeOnly},
        {"lead byte before a blank", QStringLiteral("\uFFFD x"), "\x82 x", Way::DecodeOnly},
        {"byte FF", QStringLiteral("\uFFFD\uFFFD"), "\xFF\xFF", Way::DecodeOnly},
    };
    for (const CodecRow& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.way != Way::DecodeOnly) {
            EXPECT_EQ(sjis::FromQString(row.text), row.bytes);
            EXPECT_EQ(sjis::ByteLength(row.text), row.bytes ? std::optional<int>(row.bytes->size()) : std::nullopt);
        }
        if (row.way != Way::EncodeOnly) {
            EXPECT_EQ(sjis::ToQString(*row.bytes), row.text);
        }
    }
}

}  // namespace
