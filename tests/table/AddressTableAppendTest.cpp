// Appending a person: the exact bytes, the round trip through a scan, and
// failures that must leave the file as it was.
#include "AddressTable.h"
#include "TableTestData.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace {

namespace fs = std::filesystem;

const std::string SAMPLE_LINE = "3," + Sjis("とうきょう") + ",A," + Sjis("東京都港区芝公園") +
                                ",4-2-8 #305 \"A\",1980,12,31,3,who@example.jp,105,0011,1,"
                                "03,1234,5678,090,1111,2222,*,*,*,*,*,*\r\n";

std::vector<std::string> Split(const std::string& line)
{
    std::vector<std::string> fields(1);
    for (char byte : line) {
        if (byte == ',')
            fields.emplace_back();
        else
            fields.back() += byte;
    }
    return fields;
}

struct EncodingCase {
    const char* name;
    int sex;
    int bloodType;
    const char* sexField;
    const char* bloodField;
};

void PrintTo(const EncodingCase& c, std::ostream* os) { *os << c.name; }

class AppendEncodingTest : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(AppendEncodingTest, WritesSexAsZeroOrOneAndBloodTypeAsIs)
{
    const EncodingCase& c = GetParam();
    TempWorkDir dir;
    AddressRecord record = SampleRecord("A");
    record.sex = c.sex;
    record.bloodType = c.bloodType;
    CAddressTable table;
    ASSERT_EQ(table.AddRecord(record), 1);
    const auto fields = Split(ReadFileBytes(ADDRESS_TABLE_FILE));
    ASSERT_EQ(fields.size(), 25U);
    EXPECT_EQ(fields[12], c.sexField);
    EXPECT_EQ(fields[8], c.bloodField);
}

INSTANTIATE_TEST_SUITE_P(Values, AppendEncodingTest,
                         ::testing::Values(EncodingCase{"Male", 0, 0, "0", "0"},
                                           EncodingCase{"Female", 1, 3, "1", "3"},
                                           EncodingCase{"NoSexChosen", -1, -1, "1", "-1"},
                                           EncodingCase{"OtherSexValue", 7, 2, "1", "2"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct ReadingCase {
    const char* name;
    const char* reading;  // UTF-8
    KanaRow code;
};

void PrintTo(const ReadingCase& c, std::ostream* os) { *os << c.name; }

class AppendCodeTest : public ::testing::TestWithParam<ReadingCase> {};

// The person comes back equal, under the code of the reading and under ALL;
// only sex is reduced to 0 or 1.
TEST_P(AppendCodeTest, RoundTripsThroughAScan)
{
    const ReadingCase& c = GetParam();
    TempWorkDir dir;
    WriteFileBytes(ADDRESS_TABLE_FILE, PersonLine(std::to_string(c.code), "Other"));
    AddressRecord record = SampleRecord(Sjis("山田 太郎"));
    std::memset(record.reading, 0, sizeof record.reading);
    const std::string reading = Sjis(c.reading);
    std::memcpy(record.reading, reading.data(), reading.size());
    record.sex = -1;
    CAddressTable table;
    ASSERT_EQ(table.AddRecord(record), 1);
    EXPECT_EQ(Split(ReadFileBytes(ADDRESS_TABLE_FILE).substr(PersonLine("0", "Other").size() +
                                                             std::to_string(c.code).size() - 1))[0],
              std::to_string(c.code));

    AddressRecord expected = record;
    expected.sex = 1;
    for (KanaRow query : {c.code, KANAROW_ALL}) {
        AddressRecord found = PoisonedRecord();
        ASSERT_EQ(table.GetFirst(found, query), 1);
        ASSERT_EQ(table.GetNext(found, query), 1);
        EXPECT_EQ(std::memcmp(&found, &expected, sizeof found), 0) << "query " << query;
        EXPECT_EQ(table.GetNext(found, query), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Readings, AppendCodeTest,
                         ::testing::Values(ReadingCase{"Hiragana", "やまだ", 7},
                                           ReadingCase{"VoicedKana", "ばば", 5},
                                           ReadingCase{"Katakana", "ヤマダ", KANAROW_OTHER},
                                           ReadingCase{"Kanji", "山田", KANAROW_OTHER},
                                           ReadingCase{"Latin", "yamada", KANAROW_OTHER},
                                           ReadingCase{"Digit", "7ban", KANAROW_OTHER},
                                           ReadingCase{"Empty", "", KANAROW_OTHER}),
                         [](const auto& info) { return std::string(info.param.name); });

struct EndingCase {
    const char* name;
    std::string before;
    std::string after;  // what the file holds before the new line afterwards
};

void PrintTo(const EndingCase& c, std::ostream* os) { *os << c.name; }

class AppendAfterEndingTest : public ::testing::TestWithParam<EndingCase> {};

// The exact bytes of the new line, after every existing line kept intact.
TEST_P(AppendAfterEndingTest, WritesTheExactLineAfterTheExistingOnes)
{
    const EndingCase& c = GetParam();
    TempWorkDir dir;
    if (c.before != "-")
        WriteFileBytes(ADDRESS_TABLE_FILE, c.before);
    CAddressTable table;
    ASSERT_EQ(table.AddRecord(SampleRecord("A")), 1);
    EXPECT_EQ(table.LastScan().end, ScanEnd::Found);
    EXPECT_EQ(ReadFileBytes(ADDRESS_TABLE_FILE), c.after + SAMPLE_LINE);
}

INSTANTIATE_TEST_SUITE_P(
    Files, AppendAfterEndingTest,
    ::testing::Values(EndingCase{"NoFile", "-", ""}, EndingCase{"EmptyFile", "", ""},
                      EndingCase{"SamePersonAgain", SAMPLE_LINE, SAMPLE_LINE},
                      EndingCase{"CrLfEnded", PersonLine("3", "B"), PersonLine("3", "B")},
                      EndingCase{"LfEnded", PersonLine("3", "B", "\n"), PersonLine("3", "B", "\n")},
                      EndingCase{"NoLineEnd", PersonLine("3", "B", ""), PersonLine("3", "B")},
                      EndingCase{"CommentWithoutLineEnd", "#note", "#note\r\n"},
                      EndingCase{"CrOnly", PersonLine("3", "B", "\r"), PersonLine("3", "B", "\r\r\n")},
                      EndingCase{"CtrlZAtTheEnd", PersonLine("3", "B") + "\x1A", PersonLine("3", "B")},
                      EndingCase{"CtrlZAfterNoLineEnd", PersonLine("3", "B", "\x1A"), PersonLine("3", "B")}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase {
    const char* name;
    std::size_t offset;  // where in the record the byte goes
    char byte;
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

class AppendRefusedTest : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(AppendRefusedTest, RefusesTextTheLineCannotCarry)
{
    const RefusedCase& c = GetParam();
    TempWorkDir dir;
    const std::string before = PersonLine("3", "B") + PersonLine("3", "C", "");
    WriteFileBytes(ADDRESS_TABLE_FILE, before);
    AddressRecord record = SampleRecord("A");
    reinterpret_cast<char*>(&record)[c.offset] = c.byte;
    CAddressTable table;
    AddressRecord found{};
    ASSERT_EQ(table.GetFirst(found, 3), 1);
    EXPECT_EQ(table.AddRecord(record), 0);
    EXPECT_EQ(ReadFileBytes(ADDRESS_TABLE_FILE), before);
    EXPECT_EQ(table.GetNext(found, 3), 0);  // the append ended the scan all the same
    EXPECT_EQ(table.LastScan().end, ScanEnd::NotStarted);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, AppendRefusedTest,
    ::testing::Values(RefusedCase{"CommaInName", offsetof(AddressRecord, name) + 1, ','},
                      RefusedCase{"CrInAddress", offsetof(AddressRecord, address1) + 3, '\r'},
                      RefusedCase{"LfInReading", offsetof(AddressRecord, reading), '\n'},
                      RefusedCase{"CtrlZInEmail", offsetof(AddressRecord, email) + 2, '\x1A'},
                      RefusedCase{"CommaInLastPhonePart", offsetof(AddressRecord, phones) + 11 * 8, ','}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AppendTest, TextWithoutNulIsWrittenCutToItsWidth)
{
    TempWorkDir dir;
    AddressRecord record = SampleRecord("A");
    std::memset(record.phones[3][2], '9', PHONE_PART_SIZE);
    const std::string zip = Sjis("一二三四五六");  // 12 bytes: no room for the NUL
    std::memcpy(record.zip1, zip.data(), sizeof record.zip1);
    CAddressTable table;
    ASSERT_EQ(table.AddRecord(record), 1);
    const auto fields = Split(ReadFileBytes(ADDRESS_TABLE_FILE));
    ASSERT_EQ(fields.size(), 25U);
    EXPECT_EQ(fields[10], Sjis("一二三四五"));
    EXPECT_EQ(fields[24], "9999999\r\n");
}

TEST(AppendFaultTest, FullDeviceFailsTheAppend)
{
    TempWorkDir dir;
    fs::create_symlink("/dev/full", ADDRESS_TABLE_FILE);
    CAddressTable table;
    EXPECT_EQ(table.AddRecord(SampleRecord("A")), 0);
    EXPECT_EQ(table.LastScan().end, ScanEnd::OpenFailed);
    // A device that never ends reads as one malformed line of NUL bytes.
    AddressRecord record{};
    EXPECT_EQ(table.GetFirst(record, KANAROW_ALL), 0);
    EXPECT_EQ(table.LastScan().end, ScanEnd::MalformedLine);
    EXPECT_FALSE(table.LastScan().dataHidden);
}

// Lowers the file size limit of this process and ignores SIGXFSZ, so that
// a write beyond the limit fails with EFBIG; both come back afterwards.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_previous);
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGXFSZ, &ignore, &m_previousAction);
        const rlimit lowered{bytes, m_previous.rlim_max};
        m_set = ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_previous);
        ::sigaction(SIGXFSZ, &m_previousAction, nullptr);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    [[nodiscard]] bool Set() const noexcept { return m_set; }

private:
    rlimit m_previous{};
    struct sigaction m_previousAction {};
    bool m_set = false;
};

struct LimitCase {
    const char* name;
    std::string before;
    rlim_t room;  // bytes the limit leaves beyond the file
};

void PrintTo(const LimitCase& c, std::ostream* os) { *os << c.name; }

class AppendSizeLimitTest : public ::testing::TestWithParam<LimitCase> {};

TEST_P(AppendSizeLimitTest, PartialWriteIsTakenBack)
{
    const LimitCase& c = GetParam();
    TempWorkDir dir;
    WriteFileBytes(ADDRESS_TABLE_FILE, c.before);
    CAddressTable table;
    int result = -1;
    {
        FileSizeLimit limit(c.before.size() + c.room);
        ASSERT_TRUE(limit.Set());
        result = table.AddRecord(SampleRecord("A"));
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(table.LastScan().end, ScanEnd::OpenFailed);
    EXPECT_EQ(ReadFileBytes(ADDRESS_TABLE_FILE), c.before);
    // With the limit gone the same append works.
    ASSERT_EQ(table.AddRecord(SampleRecord("A")), 1);
    EXPECT_EQ(ScanNames(table, 3).back(), "A");
}

INSTANTIATE_TEST_SUITE_P(
    Limits, AppendSizeLimitTest,
    ::testing::Values(LimitCase{"NoRoomAtAll", PersonLine("3", "B"), 0},
                      LimitCase{"RoomForPartOfTheLine", PersonLine("3", "B"), 10},
                      LimitCase{"RoomForAllButTheLf", PersonLine("3", "B"), SAMPLE_LINE.size() - 1},
                      LimitCase{"RoomForTheMissingLineEndOnly", PersonLine("3", "B", ""), 2}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
