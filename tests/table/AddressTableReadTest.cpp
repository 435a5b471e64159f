// How lines of the data file are read, including files never meant for this
// program: a table of inputs, each scanned every way by the byte-by-byte
// split and by the vector kernels, and compared with the reference reader
// (which fuzz_read compares on random bytes).
#include "AddressTable.h"
#include "LineIndex.h"
#include "TableCheck.h"
#include "TableTestData.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// Line A then B, both with code 1.
std::string Two(std::string_view between)
{
    return PersonLine("1", "A") + std::string(between) + PersonLine("1", "B");
}

std::string Repeat(std::string_view text, std::size_t times)
{
    std::string out;
    for (std::size_t i = 0; i < times; ++i)
        out += text;
    return out;
}

// Person A of code 1 whose address1 and last phone part are given.
std::string PersonWith(std::string_view address1, std::string_view lastPhone, std::string_view lineEnd = "\r\n")
{
    return Join({"1",  "r",    "A",    address1, "",  "1980", "1", "2", "0", "a@b.jp", "105", "0011",   "0",
                 "03", "1234", "5678", "*",      "*", "*",    "*", "*", "*", "*",      "*",   lastPhone})
           + std::string(lineEnd);
}

// Person A whose line (line end not counted) is exactly `length` bytes.
std::string PersonOfLength(std::size_t length, std::string_view lineEnd)
{
    std::string line = PersonLine("1", "A", "");
    line.append(length - line.size(), 'z');
    return line + std::string(lineEnd);
}

std::string SparsePerson(std::string_view name)
{
    return "1,r," + std::string(name) + Repeat(",", 22);
}

// Comment lines of exactly `length` bytes in all (length >= 3).
std::string Comments(std::size_t length)
{
    std::string bytes;
    while (length - bytes.size() > 1000 + 3)
        bytes += "#" + std::string(997, 'c') + "\r\n";
    return bytes + "#" + std::string(length - bytes.size() - 3, 'c') + "\r\n";
}

// The file is read in blocks of 64 KiB: person A's line ends with the CR of
// its CR LF (or the LF) as the last byte of the first block.
std::string PersonAcrossReadBlock(std::size_t lastByteBeforeBoundary)
{
    const std::string person = PersonLine("1", "A");
    return Comments(65536 - person.size() + lastByteBeforeBoundary) + person + PersonLine("1", "B");
}

// Random people whose fields are cut, end in lone lead bytes, hold runs of
// lead-range bytes across the kernels' 64-byte words, numbers and codes in
// every form the file may hold them, and NULs.
std::mt19937 g_random{20261206};

template <typename T, std::size_t N>
T Pick(const T (&values)[N])
{
    return values[g_random() % N];
}

// A field of random bytes: ASCII, lead-range and trail-range bytes, or
// long runs of lead-range bytes only, of a length near one of the widths
// that matter.
std::string RandomText()
{
    static constexpr int LENGTHS[] = {0, 1, 2, 7, 8, 9, 11, 12, 13, 30, 63, 64, 65, 70, 128, 255, 256, 300};
    static constexpr unsigned char BYTES[] = {'a', 'Z', '7', ' ', '"', 0x40, 0xA0, 0xB1, 0x81, 0x82, 0x9F, 0xE0, 0xFC};
    const std::size_t firstByte = g_random() % 3 == 0 ? 8 : 0;
    std::string text(static_cast<std::size_t>(Pick(LENGTHS)), 'a');
    for (char& byte : text)
        byte = static_cast<char>(BYTES[firstByte + g_random() % (std::size(BYTES) - firstByte)]);
    return text;
}

// Blanks, signs and digits are read up to the first other byte, and beyond
// 32 bits stop at the limits.
std::string RandomNumber()
{
    static const std::string NUMBERS[] = {"1980",
                                          "-1",
                                          "",
                                          "0",
                                          "3",
                                          "12",
                                          " 12",
                                          "\t \v42",
                                          "+5",
                                          "12ab",
                                          "3 4",
                                          "- 5",
                                          "-",
                                          "a1",
                                          "99999999",
                                          "123456789",
                                          "2147483647",
                                          "2147483648",
                                          "99999999999999999999999",
                                          "-2147483648",
                                          "-2147483649",
                                          std::string(300, ' ') + "7",
                                          " 10",
                                          "-200",
                                          "1000000000"};
    return Pick(NUMBERS);
}

// People's lines: 25 fields, sometimes more, rarely a NUL in the last;
// some lines have only short fields, for many commas a word.
std::string RandomPeople(int count)
{
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        std::string line = g_random() % 4 == 0 ? RandomNumber() : std::to_string(g_random() % 10);
        const bool sparse = g_random() % 4 == 0;
        for (int field = 1; field < 25; ++field)
            line += ","
                    + (sparse                                      ? std::string(g_random() % 4, '*')
                       : (field >= 5 && field <= 8) || field == 12 ? RandomNumber()
                                                                   : RandomText());
        if (g_random() % 8 == 0)
            line += ",extra," + RandomText();
        if (g_random() % 16 == 0 && line.back() != ',')
            line.insert(line.size() - g_random() % (line.size() - line.rfind(',') - 1), 1, '\0');
        bytes += line + (i % 2 ? "\r\n" : "\n");
    }
    return bytes;
}

struct ReadCase {
    const char* name;
    std::string bytes;
};

void PrintTo(const ReadCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReadRulesTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadRulesTest, EveryScanAgreesWithTheReferenceReader)
{
    TempWorkDir dir;
    std::vector<const LineKernels*> kernelSets = LineKernels::Supported();
    kernelSets.push_back(nullptr);
    for (const LineKernels* kernels : kernelSets)
        EXPECT_EQ(reference::CompareScans(GetParam().bytes, kernels), "") << (kernels ? kernels->name : "byte by byte");
}

const std::string UTF8_NAME = "\xE5\xB1\xB1\xE7\x94\xB0";  // 山田 in UTF-8
const std::string BIG_COMMENTS = Repeat("#" + std::string(600, 'c') + "\r\n", 200);
// "1,1,1,..." over 10,000,000 bytes, ending with its ',' and CR LF.
const std::string TEN_MEGABYTE_LINE = Repeat("1,", 5'000'000) + "\r\n";
const std::string CODES = PersonLine("99", "O") + PersonLine("42", "X") + PersonLine("-1", "M") + PersonLine("0", "Z");

const ReadCase READ_CASES[] = {
    {"EmptyFile", ""},
    {"CommentsAnywhereAreSkipped",
     "#head\r\n" + PersonLine("1", "A") + "#,,,,,,,,,,,,,,,,,,,,,,,,,,\r\n#\r\n" + PersonLine("1", "B") + "# tail"},
    {"CommentsOnly", Comments(70000) + "#b\n#c"},
    {"BlankBeforeHashMakesAMalformedDataLine", Two(" #not a comment\r\n")},
    {"BlankHashLineIsAPersonOfCodeZero", PersonLine(" #7", "C")},
    {"EmptyLineEndsTheScanHidingWhatFollows", Two("\r\n#c\r\n")},
    {"LfOnlyEmptyLineEndsTheScan", Two("\n")},
    {"TrailingEmptyLinesAndCommentsHideNothing", PersonLine("1", "A") + "\r\n#x\r\n\n\r\n#y" + BIG_COMMENTS},
    {"NulLedLineCountsAsEmpty", PersonLine("1", "A") + "\r\n" + std::string("\0junk\r\n", 7)},
    {"PersonHiddenBeyondTheReadBlock", "#c\r\n\r\n" + BIG_COMMENTS + PersonLine("1", "B")},
    {"ScanReadsOnPastTheReadBlockAfterLookingAhead", PersonLine("2", "A") + "\r\n" + BIG_COMMENTS + PersonLine("1", "B")
                                                         + "\r\n" + BIG_COMMENTS + PersonLine("1", "C")},
    {"BlankLineAfterAnEmptyLineIsHiddenData", PersonLine("1", "A") + "\n \n"},
    {"LineOfACarriageReturnIsMalformed", Two("\r\r\n")},
    {"TooFewFieldsEndTheScan", "#c\n#d\n" + PersonLine("1", "A") + "1,r,B,,\r\n"},
    {"ThirtyFieldsYieldAPerson", PersonLine("1", "A", ",26,27,28,29,30\r\n") + PersonLine("1", "B")},
    {"LineOfAThousandFields", PersonWith("addr", "*", "") + Repeat(",x", 975) + "\r\n" + PersonLine("1", "B")},
    {"EmptyLastFieldWithLineEnd", SparsePerson("A") + "\r\n" + SparsePerson("B") + "\n"},
    {"EmptyLastFieldWithoutLineEndIsMalformed", PersonLine("1", "A") + SparsePerson("B")},
    {"LfOnlyLineEndsAndNoLastLineEnd", PersonLine("1", "A", "\n") + PersonLine("1", "B", "")},
    {"LoneCrLineEnds", PersonWith("addr", "*", "\r") + PersonWith("addr", "9", "\r")},
    {"CtrlZEndsTheText", Two("\x1A") + "\x1A"},
    {"CtrlZHidesTheBlocksAfterIt", Two("\x1A" + BIG_COMMENTS)},
    {"FinalCtrlZIsTakenOffAtEveryOpen", Two("") + "\x1A\x1A\x1A"},
    {"CtrlZInsideALineEndsItThere", PersonLine("1", "A") + "1,r,B\x1A" + PersonLine("1", "C")},
    {"NulEndsTheTextOfALine", PersonLine("1", "A", std::string("\0,x,y\r\n", 7)) + PersonLine("1", "B")},
    {"NulCuttingFieldsMakesTheLineMalformed", std::string("1,r,A\0", 6) + PersonLine("1", "B")},
    {"NulBytesOnly", std::string(1000, '\0')},
    {"OddCodes", CODES + PersonLine("42", "X") + PersonLine("5", "A") + PersonLine("5", "A")},
    {"CodesBeyond32Bits",
     PersonLine("4294967297", "A") + PersonLine("-4294967295", "B") + PersonLine("2147483647", "C")},
    {"LineOfExactlyThePieceSize", PersonOfLength(4094, "\r\n") + PersonLine("1", "B")},
    {"LineOneByteOverThePieceSize", PersonOfLength(4095, "\r\n") + PersonLine("1", "B")},
    {"RestOfALongLineIsReadAsTheNextLine", PersonOfLength(5000, "\n") + PersonLine("1", "B")},
    {"LfLineOfExactlyThePieceSize", PersonOfLength(4094, "\n") + PersonLine("1", "B")},
    {"LfLineOneByteOverThePieceSizeInTheBuffer", Two("") + PersonOfLength(4095, "\n") + PersonLine("1", "B")},
    {"LoneCrThenCrLfFillingThePiece", PersonOfLength(4093, "\r\r\n") + PersonLine("1", "B")},
    {"LoneCrAtThePieceLimitStaysInTheLine", PersonOfLength(4094, "\r\r\n") + PersonLine("1", "B")},
    {"LongCommentCountsAsPhysicalLines", "#" + std::string(5000, 'c') + "\r\n" + PersonLine("1", "A")},
    {"Field10000BytesInTheMiddleSplitsTheLine", PersonWith(std::string(10000, 'a'), "*") + PersonLine("1", "B")},
    {"Field10000BytesAtTheEndIsCut", PersonWith("addr", std::string(10000, '7'))},
    {"TenMegabyteSingleLine", TEN_MEGABYTE_LINE + PersonLine("1", "B")},
    {"CrLfSplitAcrossReadBlocks", PersonAcrossReadBlock(1)},
    {"LineEndsAtTheReadBlockEnd", PersonAcrossReadBlock(0)},
    {"LeadByteBeforeCrLf", PersonWith("addr", "12\x82")},
    {"LeadByteBeforeLf", PersonWith("addr", "12\xE0", "\n")},
    {"LeadByteAtTheEndOfTheFile", PersonWith("addr", "12\x9F", "")},
    {"LeadByteBeforeComma", "1,r,AB\x82,a" + Repeat(",", 21) + "\r\n"},
    {"FieldsCutToTheirWidthOnACharacterBoundary", Join({"7",
                                                        Sjis("やまだ"),
                                                        std::string(62, 'n') + Sjis("山") + "nnnnnn",
                                                        std::string(300, 'a'),
                                                        " \"q\"\ra ",
                                                        " 1999",
                                                        "+2",
                                                        "28x",
                                                        "-1",
                                                        std::string(61, 'e') + Sjis("メール"),
                                                        Sjis("一二三四五六"),
                                                        "12345678901",
                                                        "5",
                                                        "03",
                                                        "123456" + Sjis("電"),
                                                        "12345678",
                                                        "*",
                                                        "",
                                                        "",
                                                        "",
                                                        "",
                                                        "",
                                                        "9",
                                                        "8",
                                                        "7"})
                                                      + "\r\n"},
    // The byte-order mark is not skipped: it makes the first code read as 0.
    {"Utf8WithByteOrderMark", "\xEF\xBB\xBF" + PersonLine("1", UTF8_NAME) + PersonLine("1", "B")},
    {"RandomPeople", RandomPeople(3000)},
};

INSTANTIATE_TEST_SUITE_P(Lines, ReadRulesTest, ::testing::ValuesIn(READ_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
