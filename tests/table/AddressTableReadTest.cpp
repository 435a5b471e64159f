// How lines of the data file are read, including files never meant for this
// program: which people a scan delivers and why it stops.
#include "AddressTable.h"
#include "TableTestData.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

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
    return Join({"1", "r", "A", address1, "", "1980", "1", "2", "0", "a@b.jp", "105", "0011", "0", "03", "1234",
                 "5678", "*", "*", "*", "*", "*", "*", "*", "*", lastPhone}) +
           std::string(lineEnd);
}

// Person A whose line (line end not counted) is exactly `length` bytes.
std::string PersonOfLength(std::size_t length, std::string_view lineEnd)
{
    std::string line = PersonLine("1", "A", "");
    line.append(length - line.size(), 'z');
    return line + std::string(lineEnd);
}

std::string SparsePerson(std::string_view name) { return "1,r," + std::string(name) + Repeat(",", 22); }

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

// A fixed pseudo-random sequence, without 0x1A and not starting with '#'.
std::string Garbage(std::size_t size)
{
    std::string bytes(size, '\0');
    std::uint32_t state = 12345;
    for (char& byte : bytes) {
        state = state * 1103515245U + 12345U;
        byte = static_cast<char>(state >> 24);
        byte = byte == '\x1A' ? '\x1B' : byte;
    }
    bytes[0] = 'g';
    return bytes;
}

std::string Utf16Le(std::string_view ascii)
{
    std::string bytes = "\xFF\xFE";
    for (char c : ascii)
        bytes += std::string{c, '\0'};
    return bytes;
}

struct ReadCase {
    const char* name;
    std::string bytes;
    KanaRow query;
    Names names;
    ScanEnd end;
    long malformedLine = 0;
    std::optional<bool> dataHidden = {};
    std::optional<std::string> firstLastPhone = {};  // last phone part of the first person
    std::optional<int> fieldCount = {};
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

template <std::size_t N>
void ExpectSound(const char (&field)[N])
{
    EXPECT_TRUE(NulFilled(field) && EndsOnCharacterBoundary(field));
}

// Every text field NUL-filled after its text and not ending in a lead byte.
void ExpectSoundRecord(const AddressRecord& r)
{
    ExpectSound(r.reading);
    ExpectSound(r.name);
    ExpectSound(r.address1);
    ExpectSound(r.address2);
    ExpectSound(r.email);
    ExpectSound(r.zip1);
    ExpectSound(r.zip2);
    for (const auto& kind : r.phones) {
        for (const auto& part : kind)
            ExpectSound(part);
    }
}

class ReadRulesTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadRulesTest, DeliversTheLinesTheRulesAllow)
{
    const ReadCase& c = GetParam();
    TempWorkDir dir;
    WriteFileBytes(ADDRESS_TABLE_FILE, c.bytes);
    CAddressTable table;
    Names names;
    std::string firstLastPhone;
    AddressRecord record = PoisonedRecord();
    for (int found = table.GetFirst(record, c.query); found && !HasFailure();
         found = table.GetNext(record, c.query)) {
        if (names.empty())
            firstLastPhone = record.phones[3][2];
        names.emplace_back(record.name);
        ExpectSoundRecord(record);
    }
    EXPECT_EQ(names, c.names);
    const ScanStatus& status = table.LastScan();
    EXPECT_EQ(status.end, c.end);
    EXPECT_EQ(status.lineNumber, c.malformedLine);
    EXPECT_EQ(status.fieldCount, c.fieldCount.value_or(status.fieldCount));
    EXPECT_EQ(status.dataHidden, c.dataHidden.value_or(status.dataHidden));
    EXPECT_EQ(firstLastPhone, c.firstLastPhone.value_or(firstLastPhone));
}

const ScanEnd EOF_ = ScanEnd::EndOfFile;
const ScanEnd BAD = ScanEnd::MalformedLine;
const std::string UTF8_NAME = "\xE5\xB1\xB1\xE7\x94\xB0";  // 山田 in UTF-8
const std::string BIG_COMMENTS = Repeat("#" + std::string(600, 'c') + "\r\n", 200);
// "1,1,1,..." over 10,000,000 bytes, ending with its ',' and CR LF.
const std::string TEN_MEGABYTE_LINE = Repeat("1,", 5'000'000) + "\r\n";

const ReadCase READ_CASES[] = {
    {"EmptyFile", "", KANAROW_ALL, {}, EOF_, 0, false},
    {"CommentsAnywhereAreSkipped",
     "#head\r\n" + PersonLine("1", "A") + "#,,,,,,,,,,,,,,,,,,,,,,,,,,\r\n#\r\n" + PersonLine("1", "B") + "# tail",
     1, {"A", "B"}, EOF_, 0, false},
    {"CommentsOnly", Comments(70000) + "#b\n#c", KANAROW_ALL, {}, EOF_, 0, false},
    {"BlankBeforeHashMakesAMalformedDataLine", Two(" #not a comment\r\n"), 1, {"A"}, BAD, 2, true, {}, 1},
    {"BlankHashLineIsAPersonOfCodeZero", PersonLine(" #7", "C"), 0, {"C"}, EOF_},
    {"EmptyLineEndsTheScanHidingWhatFollows", Two("\r\n#c\r\n"), 1, {"A"}, BAD, 2, true},
    {"LfOnlyEmptyLineEndsTheScan", Two("\n"), 1, {"A"}, BAD, 2},
    {"TrailingEmptyLinesAndCommentsHideNothing", PersonLine("1", "A") + "\r\n#x\r\n\n\r\n#y" + BIG_COMMENTS, 1,
     {"A"}, BAD, 2, false},
    {"NulLedLineCountsAsEmpty", PersonLine("1", "A") + "\r\n" + std::string("\0junk\r\n", 7), 1, {"A"}, BAD, 2,
     false},
    {"PersonHiddenBeyondTheReadBlock", "#c\r\n\r\n" + BIG_COMMENTS + PersonLine("1", "B"), 1, {}, BAD, 2, true},
    {"BlankLineAfterAnEmptyLineIsHiddenData", PersonLine("1", "A") + "\n \n", 1, {"A"}, BAD, 2, true},
    {"LineOfACarriageReturnIsMalformed", Two("\r\r\n"), 1, {"A"}, BAD, 2},
    {"TooFewFieldsEndTheScan", "#c\n#d\n" + PersonLine("1", "A") + "1,r,B,,\r\n", KANAROW_ALL, {"A"}, BAD, 4,
     true, {}, 5},
    {"ThirtyFieldsYieldAPerson", PersonLine("1", "A", ",26,27,28,29,30\r\n") + PersonLine("1", "B"), 1,
     {"A", "B"}, EOF_},
    {"LineOfAThousandFields", PersonWith("addr", "*", "") + Repeat(",x", 975) + "\r\n" + PersonLine("1", "B"),
     KANAROW_ALL, {"A", "B"}, EOF_, 0, {}, "*"},
    {"EmptyLastFieldWithLineEnd", SparsePerson("A") + "\r\n" + SparsePerson("B") + "\n", 1, {"A", "B"}, EOF_},
    {"EmptyLastFieldWithoutLineEndIsMalformed", PersonLine("1", "A") + SparsePerson("B"), 1, {"A"}, BAD, 2},
    {"LastLineWithoutLineEnd", PersonLine("1", "A") + PersonLine("1", "B", ""), 1, {"A", "B"}, EOF_},
    {"LfOnlyLineEnds", PersonLine("1", "A", "\n") + PersonLine("1", "B", ""), 1, {"A", "B"}, EOF_},
    // CR alone is an ordinary byte: the file is one line.
    {"LoneCrLineEnds", PersonWith("addr", "*", "\r") + PersonWith("addr", "9", "\r"), KANAROW_ALL, {"A"}, EOF_,
     0, {}, "*\r1"},
    {"CtrlZEndsTheText", Two("\x1A") + "\x1A", 1, {"A"}, EOF_},
    {"CtrlZInsideALineEndsItThere", PersonLine("1", "A") + "1,r,B\x1A" + PersonLine("1", "C"), 1, {"A"}, BAD, 2},
    {"NulEndsTheTextOfALine", PersonLine("1", "A", std::string("\0,x,y\r\n", 7)) + PersonLine("1", "B"), 1,
     {"A", "B"}, EOF_},
    {"NulCuttingFieldsMakesTheLineMalformed", std::string("1,r,A\0", 6) + PersonLine("1", "B"), 1, {}, BAD, 1},
    {"NulBytesOnly", std::string(1000, '\0'), KANAROW_ALL, {}, BAD, 1},
    {"QueryNinetyNineTakesOnlyOther",
     PersonLine("99", "O") + PersonLine("42", "X") + PersonLine("-1", "M") + PersonLine("0", "Z"), 99, {"O"},
     EOF_},
    {"QueryAllTakesEveryCodeInOrder",
     PersonLine("99", "O") + PersonLine("42", "X") + PersonLine("-1", "M") + PersonLine("0", "Z"), KANAROW_ALL,
     {"O", "X", "M", "Z"}, EOF_},
    {"OddCodeOnlyByItsOwnQuery", PersonLine("42", "X") + PersonLine("1", "A"), 42, {"X"}, EOF_},
    {"SameNameDeliveredEachTime", PersonLine("5", "A") + PersonLine("5", "A"), 5, {"A", "A"}, EOF_},
    // Codes beyond 32 bits stop at the limits instead of wrapping to 1.
    {"CodeBeyond32Bits", PersonLine("4294967297", "A") + PersonLine("-4294967295", "B"), 1, {}, EOF_},
    {"CodeBeyond32BitsStillAPerson", PersonLine("4294967297", "A"), KANAROW_ALL, {"A"}, EOF_},
    {"LineOfExactlyThePieceSize", PersonOfLength(4094, "\r\n") + PersonLine("1", "B"), 1, {"A", "B"}, EOF_},
    {"LineOneByteOverThePieceSizeLeavesAnEmptyRest", PersonOfLength(4095, "\r\n") + PersonLine("1", "B"), 1,
     {"A"}, BAD, 1},
    {"RestOfALongLineIsReadAsTheNextLine", PersonOfLength(5000, "\n") + PersonLine("1", "B"), 1, {"A"}, BAD, 1},
    {"LfLineOfExactlyThePieceSize", PersonOfLength(4094, "\n") + PersonLine("1", "B"), 1, {"A", "B"}, EOF_},
    {"LoneCrThenCrLfFillingThePiece", PersonOfLength(4093, "\r\r\n") + PersonLine("1", "B"), 1, {"A", "B"}, EOF_},
    {"LoneCrAtThePieceLimitStaysInTheLine", PersonOfLength(4094, "\r\r\n") + PersonLine("1", "B"), 1, {"A"}, BAD,
     1},
    {"LongCommentCountsAsPhysicalLines", "#" + std::string(5000, 'c') + "\r\n" + PersonLine("1", "A"), 1, {}, BAD,
     1, true, {}, 1},
    {"Field10000BytesInTheMiddleSplitsTheLine", PersonWith(std::string(10000, 'a'), "*") + PersonLine("1", "B"),
     KANAROW_ALL, {}, BAD, 1},
    {"Field10000BytesAtTheEndIsCut", PersonWith("addr", std::string(10000, '7')), KANAROW_ALL, {"A"}, BAD, 1, {},
     "7777777"},
    // 2442 whole pieces of 4095 bytes, each with enough fields; the last
    // piece holds "1,1,1,1,1," and the line end: six fields. Pieces at an
    // odd offset begin with ",": their code is 0.
    {"TenMegabyteSingleLine", TEN_MEGABYTE_LINE + PersonLine("1", "B"), KANAROW_ALL, Names(2442, "1"), BAD, 1},
    {"TenMegabyteSingleLineEvenPieces", TEN_MEGABYTE_LINE, 1, Names(1221, "1"), BAD, 1},
    {"CrLfSplitAcrossReadBlocks", PersonAcrossReadBlock(1), 1, {"A", "B"}, EOF_},
    {"LineEndsAtTheReadBlockEnd", PersonAcrossReadBlock(0), 1, {"A", "B"}, EOF_},
    {"LeadByteBeforeCrLf", PersonWith("addr", "12\x82"), KANAROW_ALL, {"A"}, EOF_, 0, {}, "12"},
    {"LeadByteBeforeLf", PersonWith("addr", "12\xE0", "\n"), KANAROW_ALL, {"A"}, EOF_, 0, {}, "12"},
    {"LeadByteAtTheEndOfTheFile", PersonWith("addr", "12\x9F", ""), KANAROW_ALL, {"A"}, EOF_, 0, {}, "12"},
    {"LeadByteBeforeComma", "1,r,AB\x82,a" + Repeat(",", 21) + "\r\n", KANAROW_ALL, {"AB"}, EOF_},
    // The byte-order mark is not skipped: it makes the first code read as 0.
    {"Utf8WithByteOrderMark", "\xEF\xBB\xBF" + PersonLine("1", UTF8_NAME) + PersonLine("1", "B"), 0, {UTF8_NAME},
     EOF_},
    // Every other byte is a NUL: the first line's text is the mark and "1".
    {"Utf16WithByteOrderMark", Utf16Le(PersonLine("1", "A") + PersonLine("1", "B")), KANAROW_ALL, {}, BAD, 1},
    {"BinaryGarbage", Garbage(64 * 1024) + PersonLine("1", "B"), KANAROW_ALL, {}, BAD, 1},
};

INSTANTIATE_TEST_SUITE_P(Lines, ReadRulesTest, ::testing::ValuesIn(READ_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

// Fields arrive as they stand, cut to their width on a character boundary.
TEST(ReadFieldsTest, FieldsArriveAsTheyStandOrCutOnACharacterBoundary)
{
    TempWorkDir dir;
    const std::string name = std::string(62, 'n') + Sjis("山") + "nnnnnn";  // 70 bytes, 山 at 62..63
    const std::string email = std::string(61, 'e') + Sjis("メール");        // cut inside ー
    WriteFileBytes(ADDRESS_TABLE_FILE,
                   Join({"7", Sjis("やまだ"), name, std::string(300, 'a'), " \"q\"\ra ", "1999", "2", "28", "-1",
                         email, Sjis("一二三四五六"), "12345678901", "5", "03", "123456" + Sjis("電"), "12345678",
                         "*", "", "", "", "", "", "9", "8", "7"}) + "\r\n");
    CAddressTable table;
    AddressRecord r = PoisonedRecord();
    ASSERT_EQ(table.GetFirst(r, 7), 1);
    EXPECT_EQ(std::string(r.reading), Sjis("やまだ"));
    EXPECT_EQ(std::string(r.name), std::string(62, 'n'));
    EXPECT_EQ(std::string(r.address1), std::string(255, 'a'));
    EXPECT_EQ(std::string(r.address2), " \"q\"\ra ");
    EXPECT_EQ(std::vector<int>({r.birthYear, r.birthMonth, r.birthDay, r.bloodType}),
              std::vector<int>({1999, 2, 28, -1}));
    EXPECT_EQ(std::string(r.email), std::string(61, 'e') + Sjis("メ"));
    EXPECT_EQ(std::string(r.zip1), Sjis("一二三四五"));
    EXPECT_EQ(std::string(r.zip2), "12345678901");
    EXPECT_EQ(r.sex, 5);  // not reduced to 0 or 1 when read
    const char* parts[12] = {"03", "123456", "1234567", "*", "", "", "", "", "", "9", "8", "7"};
    for (int i = 0; i < 12; ++i)
        EXPECT_STREQ(r.phones[i / 3][i % 3], parts[i]) << "part " << i;
    ExpectSoundRecord(r);
}

// 0x1A as the last byte is removed from the file at open; one in the
// middle stays and hides the rest.
TEST(ReadFileTest, OpeningTakesOnlyAFinalCtrlZOffTheFile)
{
    TempWorkDir dir;
    for (const std::string& lines : {Two(""), Two("\x1A") + "\x1A"}) {
        WriteFileBytes(ADDRESS_TABLE_FILE, lines + "\x1A");
        CAddressTable table;
        EXPECT_FALSE(ScanNames(table, 1).empty());
        EXPECT_EQ(ReadFileBytes(ADDRESS_TABLE_FILE), lines);
    }
}

TEST(ReadFileTest, MissingFileIsCreatedEmpty)
{
    TempWorkDir dir;
    CAddressTable table;
    AddressRecord record = PoisonedRecord();
    const AddressRecord before = record;
    EXPECT_EQ(table.GetFirst(record, KANAROW_ALL), 0);
    EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0);
    EXPECT_EQ(ReadFileBytes(ADDRESS_TABLE_FILE), "");
    EXPECT_EQ(table.LastScan().end, ScanEnd::EndOfFile);
}

TEST(ReadFileTest, ManyLinesAcrossTheReadBufferAreAllDelivered)
{
    TempWorkDir dir;
    std::string bytes;
    Names expected;
    for (int i = 0; i < 3000; ++i) {
        const std::string name = "P" + std::to_string(i);
        bytes += PersonLine(i % 3 == 0 ? "3" : "4", name, i % 2 ? "\r\n" : "\n");
        if (i % 3 == 0)
            expected.push_back(name);
    }
    WriteFileBytes(ADDRESS_TABLE_FILE, bytes);
    CAddressTable table;
    EXPECT_EQ(ScanNames(table, 3), expected);
}

}  // namespace
