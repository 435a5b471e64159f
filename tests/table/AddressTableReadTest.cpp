// How lines of the data file are read: comments, line ends, 0x1A, long
// lines, NUL bytes, and where a scan stops.
#include "AddressTable.h"
#include "TableTestData.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

// Line A then B, both with the given code.
std::string Two(std::string_view between, std::string_view code = "1")
{
    return PersonLine(code, "A") + std::string(between) + PersonLine(code, "B");
}

// Person A whose line (line end not counted) is exactly `length` bytes:
// its last phone part is padded with 'z'.
std::string PersonOfLength(std::size_t length, std::string_view lineEnd)
{
    std::string line = PersonLine("1", "A", "");
    line.append(length - line.size(), 'z');
    return line + std::string(lineEnd);
}

// Person with code and name whose other 23 fields are empty, the 25th too.
std::string SparsePerson(std::string_view code, std::string_view name)
{
    return Join({code, "r", name, "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
                 "", ""});
}

// Comment lines of exactly `length` bytes in all (length >= 3).
std::string Comments(std::size_t length)
{
    std::string bytes;
    while (length - bytes.size() > 1000 + 3)
        bytes += "#" + std::string(997, 'c') + "\r\n";
    bytes += "#" + std::string(length - bytes.size() - 3, 'c') + "\r\n";
    return bytes;
}

// The file is read in blocks of 64 KiB: person A whose line ends with the
// CR of its CR LF (or the LF) as the last byte of the first block.
std::string PersonAcrossReadBlock(std::size_t lastByteBeforeBoundary)
{
    const std::string person = PersonLine("1", "A");
    return Comments(65536 - person.size() + lastByteBeforeBoundary) + person + PersonLine("1", "B");
}

struct ReadCase {
    const char* name;
    std::string bytes;
    KanaRow query;
    Names names;
    ScanEnd end;
    long malformedLine = 0;
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class ReadRulesTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadRulesTest, DeliversTheLinesTheRulesAllow)
{
    const ReadCase& c = GetParam();
    TempWorkDir dir;
    WriteFileBytes(ADDRESS_TABLE_FILE, c.bytes);
    CAddressTable table;
    EXPECT_EQ(ScanNames(table, c.query), c.names);
    EXPECT_EQ(table.LastScan().end, c.end);
    EXPECT_EQ(table.LastScan().lineNumber, c.malformedLine);
}

const ReadCase READ_CASES[] = {
    {"CommentsAnywhereAreSkipped",
     "#head\r\n" + PersonLine("1", "A") + "#,,,,,,,,,,,,,,,,,,,,,,,,,,\r\n#\r\n" + PersonLine("1", "B") + "# tail",
     1, {"A", "B"}, ScanEnd::EndOfFile},
    {"BlankBeforeHashMakesAMalformedDataLine", Two(" #not a comment\r\n"), 1, {"A"}, ScanEnd::MalformedLine, 2},
    {"BlankBeforeHashWithTwentyFiveFieldsIsAPerson", PersonLine(" #7", "C"), KANAROW_ALL, {"C"},
     ScanEnd::EndOfFile},
    {"BlankHashLineHasCodeZero", PersonLine(" #7", "C"), 0, {"C"}, ScanEnd::EndOfFile},
    {"EmptyLineEndsTheScan", Two("\r\n"), 1, {"A"}, ScanEnd::MalformedLine, 2},
    {"LfOnlyEmptyLineEndsTheScan", Two("\n"), 1, {"A"}, ScanEnd::MalformedLine, 2},
    {"LineOfACarriageReturnIsMalformed", Two("\r\r\n"), 1, {"A"}, ScanEnd::MalformedLine, 2},
    {"TooFewFieldsEndTheScan", Two("1,a,b,c\r\n"), KANAROW_ALL, {"A"}, ScanEnd::MalformedLine, 2},
    {"ThirtyFieldsYieldAPerson", PersonLine("1", "A", ",26,27,28,29,30\r\n") + PersonLine("1", "B"), 1,
     {"A", "B"}, ScanEnd::EndOfFile},
    {"EmptyLastFieldWithLineEnd", SparsePerson("1", "A") + "\r\n" + SparsePerson("1", "B") + "\n", 1,
     {"A", "B"}, ScanEnd::EndOfFile},
    {"EmptyLastFieldWithoutLineEndIsMalformed", PersonLine("1", "A") + SparsePerson("1", "B"), 1, {"A"},
     ScanEnd::MalformedLine, 2},
    {"LastLineWithoutLineEnd", PersonLine("1", "A") + PersonLine("1", "B", ""), 1, {"A", "B"},
     ScanEnd::EndOfFile},
    {"LfOnlyLineEnds", PersonLine("1", "A", "\n") + PersonLine("1", "B", "\n"), 1, {"A", "B"},
     ScanEnd::EndOfFile},
    {"LfOnlyLastLineWithoutLineEnd", PersonLine("1", "A", "\n") + PersonLine("1", "B", ""), 1, {"A", "B"},
     ScanEnd::EndOfFile},
    {"CtrlZEndsTheText", Two("\x1A"), 1, {"A"}, ScanEnd::EndOfFile},
    {"CtrlZInsideALineEndsItThere", PersonLine("1", "A") + "1,r,B\x1A" + PersonLine("1", "C"), 1, {"A"},
     ScanEnd::MalformedLine, 2},
    {"NulEndsTheTextOfALine", PersonLine("1", "A", std::string("\0,x,y\r\n", 7)) + PersonLine("1", "B"), 1,
     {"A", "B"}, ScanEnd::EndOfFile},
    {"NulCuttingFieldsMakesTheLineMalformed", std::string("1,r,A\0", 6) + PersonLine("1", "B", "") + "\r\n",
     1, {}, ScanEnd::MalformedLine, 1},
    {"QueryNinetyNineTakesOnlyOther",
     PersonLine("99", "O") + PersonLine("42", "X") + PersonLine("-1", "M") + PersonLine("0", "Z"), 99, {"O"},
     ScanEnd::EndOfFile},
    {"QueryAllTakesEveryCodeInOrder",
     PersonLine("99", "O") + PersonLine("42", "X") + PersonLine("-1", "M") + PersonLine("0", "Z"),
     KANAROW_ALL, {"O", "X", "M", "Z"}, ScanEnd::EndOfFile},
    {"OddCodeOnlyByItsOwnQuery", PersonLine("42", "X") + PersonLine("1", "A"), 42, {"X"},
     ScanEnd::EndOfFile},
    {"SameNameDeliveredEachTime", PersonLine("5", "A") + PersonLine("5", "A"), 5, {"A", "A"},
     ScanEnd::EndOfFile},
    {"LineOfExactlyThePieceSize", PersonOfLength(4094, "\r\n") + PersonLine("1", "B"), 1, {"A", "B"},
     ScanEnd::EndOfFile},
    {"LineOneByteOverThePieceSizeLeavesAnEmptyRest", PersonOfLength(4095, "\r\n") + PersonLine("1", "B"), 1,
     {"A"}, ScanEnd::MalformedLine, 1},
    {"RestOfALongLineIsReadAsTheNextLine", PersonOfLength(5000, "\n") + PersonLine("1", "B"), 1, {"A"},
     ScanEnd::MalformedLine, 1},
    {"LfLineOfExactlyThePieceSize", PersonOfLength(4094, "\n") + PersonLine("1", "B"), 1, {"A", "B"},
     ScanEnd::EndOfFile},
    {"LoneCrThenCrLfFillingThePiece", PersonOfLength(4093, "\r\r\n") + PersonLine("1", "B"), 1, {"A", "B"},
     ScanEnd::EndOfFile},
    {"LoneCrAtThePieceLimitStaysInTheLine", PersonOfLength(4094, "\r\r\n") + PersonLine("1", "B"), 1, {"A"},
     ScanEnd::MalformedLine, 1},
    {"CrLfSplitAcrossReadBlocks", PersonAcrossReadBlock(1), 1, {"A", "B"}, ScanEnd::EndOfFile},
    {"LineEndsAtTheReadBlockEnd", PersonAcrossReadBlock(0), 1, {"A", "B"}, ScanEnd::EndOfFile},
    {"CommentsOnly", Comments(70000), KANAROW_ALL, {}, ScanEnd::EndOfFile},
};

INSTANTIATE_TEST_SUITE_P(Lines, ReadRulesTest, ::testing::ValuesIn(READ_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReadFieldsTest, FieldsArriveAsTheyStand)
{
    TempWorkDir dir;
    const std::string name = Sjis("山田 花子");
    WriteFileBytes(ADDRESS_TABLE_FILE,
                   Join({"7", Sjis("やまだ"), name, " \"quoted\" ", "a\rb", "1999", "2", "28", "-1", "", "105",
                         "0011", "5", "03", "1234", "5678", "*", "*", "*", "", "", "", "9", "8", "7"}) +
                       "\r\n");
    CAddressTable table;
    AddressRecord record = PoisonedRecord();
    ASSERT_EQ(table.GetFirst(record, 7), 1);
    EXPECT_STREQ(record.reading, Sjis("やまだ").c_str());
    EXPECT_STREQ(record.name, name.c_str());
    EXPECT_STREQ(record.address1, " \"quoted\" ");
    EXPECT_STREQ(record.address2, "a\rb");
    EXPECT_EQ(record.birthYear, 1999);
    EXPECT_EQ(record.birthMonth, 2);
    EXPECT_EQ(record.birthDay, 28);
    EXPECT_EQ(record.bloodType, -1);
    EXPECT_STREQ(record.email, "");
    EXPECT_STREQ(record.zip1, "105");
    EXPECT_STREQ(record.zip2, "0011");
    EXPECT_EQ(record.sex, 5);  // not reduced to 0 or 1 when read
    const char* parts[12] = {"03", "1234", "5678", "*", "*", "*", "", "", "", "9", "8", "7"};
    for (int i = 0; i < 12; ++i)
        EXPECT_STREQ(record.phones[i / 3][i % 3], parts[i]) << "part " << i;
    // Every text field is filled with NUL after its text: no 0xEE survives.
    EXPECT_TRUE(NulFilled(record.reading) && NulFilled(record.name) && NulFilled(record.address1) &&
                NulFilled(record.address2) && NulFilled(record.email) && NulFilled(record.zip1) &&
                NulFilled(record.zip2));
    for (const auto& kind : record.phones) {
        for (const auto& part : kind)
            EXPECT_TRUE(NulFilled(part));
    }
}

struct NumberCase {
    const char* name;
    std::string field;
    int value;
};

void PrintTo(const NumberCase& c, std::ostream* os) { *os << c.name; }

class ReadNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ReadNumberTest, ReadsLeadingDecimalDigits)
{
    const NumberCase& c = GetParam();
    TempWorkDir dir;
    WriteFileBytes(ADDRESS_TABLE_FILE, Join({"1", "r", "A", "", "", c.field, "", "", "", "", "", "", c.field,
                                             "", "", "", "", "", "", "", "", "", "", "", ""}) + "\n" +
                                           Join({c.field, "r", "B", "", "", "", "", "", "", "", "", "", "", "",
                                                 "", "", "", "", "", "", "", "", "", "", ""}) + "\n");
    CAddressTable table;
    AddressRecord record{};
    ASSERT_EQ(table.GetFirst(record, 1), 1);
    EXPECT_EQ(record.birthYear, c.value);
    EXPECT_EQ(record.sex, c.value);
    // The same text as the code field selects the line by that value.
    ASSERT_EQ(table.GetFirst(record, c.value), 1);
    EXPECT_STREQ(record.name, "B");
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ReadNumberTest,
    ::testing::Values(NumberCase{"Plain", "1980", 1980}, NumberCase{"BlankDigitsLetters", " 12abc", 12},
                      NumberCase{"TabsAndBlanks", "\t \v42", 42}, NumberCase{"LettersOnly", "abc", 0},
                      NumberCase{"Empty", "", 0}, NumberCase{"Plus", "+7", 7}, NumberCase{"Minus", "-1", -1},
                      NumberCase{"SignThenBlank", "- 5", 0}, NumberCase{"DigitsBlankDigits", "3 4", 3},
                      NumberCase{"Max", "2147483647", 2147483647},
                      NumberCase{"OneOverMaxSaturates", "2147483648", 2147483647},
                      NumberCase{"HugeSaturates", "99999999999999999999999", 2147483647},
                      NumberCase{"Min", "-2147483648", -2147483647 - 1},
                      NumberCase{"BelowMinSaturates", "-2147483649", -2147483647 - 1},
                      NumberCase{"BlanksBeyondAFieldBuffer", std::string(300, ' ') + "12", 12}),
    [](const auto& info) { return std::string(info.param.name); });

// Values too wide for their fields are cut, NUL-terminated, and never end
// in the first byte of a double-byte character.
TEST(ReadFieldsTest, ValuesThatDoNotFitAreCutOnACharacterBoundary)
{
    TempWorkDir dir;
    const std::string name = std::string(62, 'n') + Sjis("山") + "nnnnnn";     // 70 bytes, 山 at 62..63
    const std::string address(300, 'a');
    const std::string email = std::string(61, 'e') + Sjis("メール");           // 67 bytes, cut inside メ..
    const std::string zip = Sjis("一二三四五六");                               // 12 bytes
    WriteFileBytes(ADDRESS_TABLE_FILE,
                   Join({"1", "r", name, address, "x", "1", "1", "1", "1", email, zip, "12345678901", "0",
                         "123456789", "123456" + Sjis("電"), "12345678", "*", "*", "*", "*", "*", "*", "*",
                         "*", "*"}) + "\r\n");
    CAddressTable table;
    AddressRecord record = PoisonedRecord();
    ASSERT_EQ(table.GetFirst(record, 1), 1);
    EXPECT_EQ(std::string(record.name), std::string(62, 'n'));
    EXPECT_EQ(std::string(record.address1), std::string(255, 'a'));
    EXPECT_EQ(std::string(record.email), std::string(61, 'e') + Sjis("メ"));
    EXPECT_EQ(std::string(record.zip1), Sjis("一二三四五"));
    EXPECT_EQ(std::string(record.zip2), "12345678901");
    EXPECT_EQ(std::string(record.phones[0][0]), "1234567");
    EXPECT_EQ(std::string(record.phones[0][1]), "123456");
    EXPECT_EQ(std::string(record.phones[0][2]), "1234567");
    for (const char* text : {record.name, record.address1, record.email, record.zip1, record.phones[0][1]})
        EXPECT_TRUE(EndsOnCharacterBoundary(text)) << text;
    EXPECT_TRUE(NulFilled(record.name) && NulFilled(record.address1) && NulFilled(record.email) &&
                NulFilled(record.zip1) && NulFilled(record.zip2));
    for (const auto& part : record.phones[0])
        EXPECT_TRUE(NulFilled(part));
}

TEST(ReadFileTest, CtrlZAsLastByteIsRemovedFromTheFileAtOpen)
{
    TempWorkDir dir;
    const std::string lines = PersonLine("1", "A") + PersonLine("1", "B");
    WriteFileBytes(ADDRESS_TABLE_FILE, lines + "\x1A");
    CAddressTable table;
    EXPECT_EQ(ScanNames(table, 1), (Names{"A", "B"}));
    EXPECT_EQ(ReadFileBytes(ADDRESS_TABLE_FILE), lines);
}

TEST(ReadFileTest, CtrlZInTheMiddleStaysAndHidesTheRest)
{
    TempWorkDir dir;
    const std::string bytes = Two("\x1A") + "\x1A\x1A";
    WriteFileBytes(ADDRESS_TABLE_FILE, bytes);
    CAddressTable table;
    EXPECT_EQ(ScanNames(table, 1), Names{"A"});
    EXPECT_EQ(ReadFileBytes(ADDRESS_TABLE_FILE), bytes.substr(0, bytes.size() - 1));
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
