// Data files that were never meant for this program, or were damaged: how
// many people each one yields and where the scan stops. Empty files,
// comment-only files, 0x1A, NULs inside lines and numbers beyond 32 bits
// in other fields are covered by the read rule tests next to this one.
#include "AddressTable.h"
#include "TableTestData.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// Person with code and name, every other field ASCII, then CR LF.
std::string AsciiPerson(std::string_view code, std::string_view name)
{
    return Join({code, "r", name, "addr", "", "1980", "1", "2", "0", "a@b.jp", "105", "0011", "0", "03", "1234",
                 "5678", "*", "*", "*", "*", "*", "*", "*", "*", "*"}) +
           "\r\n";
}

// Person A of code 1 whose address1 and last phone part are given.
std::string PersonWith(std::string_view address1, std::string_view lastPhone, std::string_view lineEnd = "\r\n")
{
    return Join({"1", "r", "A", address1, "", "1980", "1", "2", "0", "a@b.jp", "105", "0011", "0", "03", "1234",
                 "5678", "*", "*", "*", "*", "*", "*", "*", "*", lastPhone}) +
           std::string(lineEnd);
}

std::string Utf16Le(std::string_view ascii)
{
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

// Bytes of a fixed pseudo-random sequence, without 0x1A (which would end
// the text) and not starting with '#'.
std::string Garbage(std::size_t size)
{
    std::string bytes(size, '\0');
    std::uint32_t state = 12345;
    for (char& byte : bytes) {
        state = state * 1103515245U + 12345U;
        byte = static_cast<char>(state >> 24);
        if (byte == '\x1A')
            byte = '\x1B';
    }
    bytes[0] = 'g';
    return bytes;
}

// "1,1,1,..." over 10,000,000 bytes, ending with its ',' and CR LF.
std::string TenMegabyteLine()
{
    std::string line;
    line.reserve(10'000'002);
    for (int i = 0; i < 5'000'000; ++i)
        line += "1,";
    return line + "\r\n";
}

std::string Repeat(std::string_view text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

using FieldOf = const char* (*)(const AddressRecord&);

const char* NameOf(const AddressRecord& r) { return r.name; }
const char* Address1Of(const AddressRecord& r) { return r.address1; }
const char* LastPhoneOf(const AddressRecord& r) { return r.phones[3][2]; }

struct HostileCase {
    const char* name;
    std::string (*bytes)();
    KanaRow query;
    std::size_t delivered;
    ScanEnd end;
    long stopLine = 0;           // the malformed line that ended the scan
    FieldOf field = nullptr;     // a field of the first person delivered...
    std::string expected = {};   // ...and what it must hold
};

void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }

// Every text field NUL-terminated within its width and not ending inside
// a double-byte character.
template <std::size_t N>
void ExpectSound(const char (&field)[N])
{
    EXPECT_TRUE(NulFilled(field));
    EXPECT_TRUE(EndsOnCharacterBoundary(field));
}

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

class HostileFileTest : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileFileTest, DeliversWhatTheRulesAllowAndStopsWhereExpected)
{
    const HostileCase& c = GetParam();
    TempWorkDir dir;
    WriteFileBytes(ADDRESS_TABLE_FILE, c.bytes());
    CAddressTable table;
    AddressRecord record = PoisonedRecord();
    AddressRecord first = record;
    std::size_t delivered = 0;
    for (int found = table.GetFirst(record, c.query); found; found = table.GetNext(record, c.query)) {
        if (delivered++ == 0)
            first = record;
        ExpectSoundRecord(record);
        if (HasFailure())
            break;
    }
    EXPECT_EQ(delivered, c.delivered);
    EXPECT_EQ(table.LastScan().end, c.end);
    EXPECT_EQ(table.LastScan().lineNumber, c.stopLine);
    if (c.field != nullptr && delivered > 0) {
        EXPECT_EQ(std::string(c.field(first)), c.expected);
    }
}

const std::string UTF8_NAME = "\xE5\xB1\xB1\xE7\x94\xB0";  // 山田 in UTF-8

const HostileCase HOSTILE_CASES[] = {
    // The byte-order mark is not skipped: it makes the first code read as 0.
    {"Utf8WithByteOrderMark", [] { return "\xEF\xBB\xBF" + AsciiPerson("1", UTF8_NAME) + AsciiPerson("1", "B"); },
     0, 1, ScanEnd::EndOfFile, 0, NameOf, UTF8_NAME},
    {"Utf8AllLinesRead", [] { return "\xEF\xBB\xBF" + AsciiPerson("1", UTF8_NAME) + AsciiPerson("1", "B"); },
     KANAROW_ALL, 2, ScanEnd::EndOfFile},
    // Every other byte is a NUL: the first line's text is the mark and "1".
    {"Utf16WithByteOrderMark", [] { return Utf16Le(AsciiPerson("1", "A") + AsciiPerson("1", "B")); }, KANAROW_ALL,
     0, ScanEnd::MalformedLine, 1},
    {"BinaryGarbage", [] { return Garbage(64 * 1024) + AsciiPerson("1", "B"); }, KANAROW_ALL, 0,
     ScanEnd::MalformedLine, 1},
    {"NulBytesOnly", [] { return std::string(1000, '\0'); }, KANAROW_ALL, 0, ScanEnd::MalformedLine, 1},
    // 2442 whole pieces of 4095 bytes, each with enough fields; the last
    // piece holds "1,1,1,1,1," and the LF: six fields.
    {"TenMegabyteSingleLine", [] { return TenMegabyteLine() + AsciiPerson("1", "B"); }, KANAROW_ALL, 2442,
     ScanEnd::MalformedLine, 1, NameOf, "1"},
    // Pieces starting at an odd offset begin with ",": their code is 0.
    {"TenMegabyteSingleLineEvenPieces", [] { return TenMegabyteLine(); }, 1, 1221, ScanEnd::MalformedLine, 1},
    {"LineOfAThousandFields",
     [] { return PersonWith("addr", "*", "") + Repeat(",x", 975) + "\r\n" + AsciiPerson("1", "B"); }, KANAROW_ALL,
     2, ScanEnd::EndOfFile, 0, LastPhoneOf, "*"},
    // CR alone is an ordinary byte: the file is one line.
    {"LoneCrLineEnds", [] { return PersonWith("addr", "*", "\r") + PersonWith("addr", "9", "\r"); }, KANAROW_ALL,
     1, ScanEnd::EndOfFile, 0, LastPhoneOf, "*\r1"},
    {"LeadByteBeforeComma",
     [] { return Join({"1", "r", "AB\x82", "a"}) + Repeat(",", 21) + "\r\n"; }, KANAROW_ALL, 1,
     ScanEnd::EndOfFile, 0, NameOf, "AB"},
    {"LeadByteBeforeCrLf", [] { return PersonWith("addr", "12\x82"); }, KANAROW_ALL, 1, ScanEnd::EndOfFile, 0,
     LastPhoneOf, "12"},
    {"LeadByteBeforeLf", [] { return PersonWith("addr", "12\xE0", "\n"); }, KANAROW_ALL, 1, ScanEnd::EndOfFile, 0,
     LastPhoneOf, "12"},
    {"LeadByteAtTheEndOfTheFile", [] { return PersonWith("addr", "12\x9F", ""); }, KANAROW_ALL, 1,
     ScanEnd::EndOfFile, 0, LastPhoneOf, "12"},
    {"Field255BytesFits", [] { return PersonWith("a" + Repeat(Sjis("あ"), 127), "*"); }, KANAROW_ALL, 1,
     ScanEnd::EndOfFile, 0, Address1Of, "a" + Repeat(Sjis("あ"), 127)},
    {"Field256BytesLosesAWholeCharacter", [] { return PersonWith(Repeat(Sjis("あ"), 128), "*"); }, KANAROW_ALL, 1,
     ScanEnd::EndOfFile, 0, Address1Of, Repeat(Sjis("あ"), 127)},
    {"Field10000BytesInTheMiddleSplitsTheLine",
     [] { return PersonWith(std::string(10000, 'a'), "*") + AsciiPerson("1", "B"); }, KANAROW_ALL, 0,
     ScanEnd::MalformedLine, 1},
    {"Field10000BytesAtTheEndIsCut", [] { return PersonWith("addr", std::string(10000, '7')); }, KANAROW_ALL, 1,
     ScanEnd::MalformedLine, 1, LastPhoneOf, "7777777"},
    // Codes beyond 32 bits stop at the limits instead of wrapping to 1.
    {"CodeBeyond32Bits", [] { return AsciiPerson("4294967297", "A"); }, 1, 0, ScanEnd::EndOfFile},
    {"NegativeCodeBeyond32Bits", [] { return AsciiPerson("-4294967295", "A"); }, 1, 0, ScanEnd::EndOfFile},
    {"CodeBeyond32BitsStillAPerson", [] { return AsciiPerson("4294967297", "A"); }, KANAROW_ALL, 1,
     ScanEnd::EndOfFile, 0, NameOf, "A"},
};

INSTANTIATE_TEST_SUITE_P(Files, HostileFileTest, ::testing::ValuesIn(HOSTILE_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
