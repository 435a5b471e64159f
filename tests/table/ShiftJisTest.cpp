#include "ShiftJis.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct FitCase {
    const char* name;
    std::string text;
    std::size_t maxBytes;
    std::size_t expected;
};

void PrintTo(const FitCase& c, std::ostream* os) { *os << c.name; }

class FitLengthTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitLengthTest, CutsOnlyBetweenCharacters)
{
    const FitCase& c = GetParam();
    EXPECT_EQ(sjis::FitLength(c.text.data(), c.text.size(), c.maxBytes), c.expected);
}

// あ = 82 A0, 漢 = 8A BF, ｱ (half-width) = B1, 表 = 95 5C (trail byte '\').
INSTANTIATE_TEST_SUITE_P(
    Limits, FitLengthTest,
    ::testing::Values(FitCase{"AsciiShorterThanLimit", "abc", 5, 3},
                      FitCase{"AsciiExactlyLimit", "abcde", 5, 5},
                      FitCase{"AsciiOneOverLimit", "abcdef", 5, 5},
                      FitCase{"DoubleByteEndsAtLimit", "a\x82\xA0", 3, 3},
                      FitCase{"DoubleByteStraddlesLimit", "ab\x82\xA0", 3, 2},
                      FitCase{"DoubleBytesOnlyOddLimit", "\x82\xA0\x8A\xBF\x82\xA0", 5, 4},
                      FitCase{"TrailByteLooksLikeLeadByte", "\x82\x82\x82\xA0", 3, 2},
                      FitCase{"TrailByteIsBackslash", "\x95\x5C\x95\x5C", 3, 2},
                      FitCase{"HalfWidthKatakanaIsSingleByte", "\xB1\xB2\xB3", 2, 2},
                      FitCase{"LoneLeadByteAtEndOfText", "ab\x82", 10, 2},
                      FitCase{"ZeroLimit", "abc", 0, 0},
                      FitCase{"EmptyText", "", 4, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CopyFieldTest, CutsToWidthAndFillsTheRestWithNul)
{
    char dest[8];
    std::memset(dest, 'x', sizeof dest);
    const char source[] = "123456\x82\xA0zz";  // the double-byte char straddles byte 7
    sjis::CopyField(dest, sizeof dest, source, sizeof source - 1);
    EXPECT_EQ(std::string(dest, sizeof dest), std::string("123456\0\0", 8));
}

TEST(CopyFieldTest, StopsAtTheSourceNulAndClearsOldContent)
{
    char dest[8];
    std::memset(dest, 'x', sizeof dest);
    const char source[16] = "ab\0cd";
    sjis::CopyField(dest, sizeof dest, source, sizeof source);
    EXPECT_EQ(std::string(dest, sizeof dest), std::string("ab\0\0\0\0\0\0", 8));
}

TEST(CopyFieldTest, HonoursASourceWithoutNul)
{
    char dest[8];
    const char source[3] = {'a', 'b', 'c'};
    sjis::CopyField(dest, sizeof dest, source, sizeof source);
    EXPECT_STREQ(dest, "abc");
}

}  // namespace
