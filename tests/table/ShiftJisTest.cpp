#include "ShiftJis.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// あ = 82 A0, 漢 = 8A BF, ｱ (half-width) = B1, 表 = 95 5C (trail byte '\').
TEST(FitLengthTest, CutsOnlyBetweenCharacters)
{
    const struct {
        const char* name;
        std::string text;
        std::size_t maxBytes, expected;
    } rows[] = {{"ASCII shorter than the limit", "abc", 5, 3},
                {"ASCII exactly the limit", "abcde", 5, 5},
                {"ASCII one over the limit", "abcdef", 5, 5},
                {"double-byte ends at the limit", "a\x82\xA0", 3, 3},
                {"double-byte straddles the limit", "ab\x82\xA0", 3, 2},
                {"double bytes only, odd limit", "\x82\xA0\x8A\xBF\x82\xA0", 5, 4},
                {"trail byte looks like a lead byte", "\x82\x82\x82\xA0", 3, 2},
                {"trail byte is a backslash", "\x95\x5C\x95\x5C", 3, 2},
                {"half-width katakana is single-byte", "\xB1\xB2\xB3", 2, 2},
                {"lone lead byte at the end of the text", "ab\x82", 10, 2},
                {"zero limit", "abc", 0, 0},
                {"empty text", "", 4, 0}};
    for (const auto& row : rows)
        EXPECT_EQ(sjis::FitLength(row.text.data(), row.text.size(), row.maxBytes), row.expected) << row.name;
}

// The field is cut to its width between characters, stops at the source's
// NUL or its length, and the rest is NUL whatever was there before.
TEST(CopyFieldTest, CutsToWidthAndFillsTheRestWithNul)
{
    const struct {
        const char* name;
        std::string source;
        std::string field;
    } rows[] = {{"double-byte character straddles the width", "123456\x82\xA0zz", std::string("123456\0\0", 8)},
                {"source NUL", std::string("ab\0cd\0\0\0\0\0\0\0\0\0\0\0", 16), std::string("ab\0\0\0\0\0\0", 8)},
                {"source without NUL", "abc", std::string("abc\0\0\0\0\0", 8)}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        char dest[8];
        std::memset(dest, 'x', sizeof dest);
        sjis::CopyField(dest, sizeof dest, row.source.data(), row.source.size());
        EXPECT_EQ(std::string(dest, sizeof dest), row.field);
    }
}

}  // namespace
