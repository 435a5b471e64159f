// Export, the round trip through the real kanaroku-vcard binary, and its
// exit statuses.
#include "VcardBook.h"
#include "VcardTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

const fs::path EXAMPLE_BOOK = fs::path(KANAROKU_EXAMPLES) / "AddressTable.csv";

int RunCli(const std::string& arguments)
{
    const std::string command = std::string(KANAROKU_VCARD_CLI) + " " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Repeated(std::string_view text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

// Data file lines and what the round trip gives back for each: the same
// line, except that a reading in katakana comes back in hiragana with its
// code, and a date no calendar has as the default.
std::vector<std::pair<std::string, std::string>> RoundTripLines()
{
    const std::string longest = "2,じゅげむじゅげむごこうのすりきれ,寿限無寿限無五劫の擦り切れ海砂利," + Repeated("港", 127) + "1,"
        + Repeated("x", 255) + ",1900,1,1,-1," + Repeated("m", 58) + "@x.jp,999,9999,1,99999,9999,9999,*,*,*,*,*,*,*,*,*";
    return {
        {"0,あおやま ゆうき,青山　悠希,東京都みどり区桜町1-2-3,さくらハイツ101,1985,4,12,0,aoyama@example.jp,123,4567,0,"
         "03,5550,0101,090,5550,0102,070,5550,0103,020,5550,0104", ""},
        {longest, ""},
        {"99,カトウ ハナコ,加藤 花子,,,1990,12,24,1,,,,1,*,*,*,*,*,*,*,*,*,*,*,*",
         "1,かとう はなこ,加藤 花子,,,1990,12,24,1,,,,1,*,*,*,*,*,*,*,*,*,*,*,*"},
        {"3,たなか,田中,,,2001,2,29,2,,,,0,*,*,*,*,*,*,*,*,*,*,*,*",
         "3,たなか,田中,,,1970,1,1,2,,,,0,*,*,*,*,*,*,*,*,*,*,*,*"},
        {"7,やまだ ,ﾔﾏﾀﾞ,表参道;1\\2,ソ\\;,2099,12,31,3,,12,,1,(03),555,1234,*,*,*,*,*,*,*,*,*", ""},
        {"99, やまだ, 山田,,,1970,1,1,-1,,,4567,0,*,*,*,1,,,*,*,*,*,*,*", ""},
        {"99,x,x,,,1970,1,1,-1,,〒1,2345,0,+81,3,1234,*,*,*,*,*,*,*,*,*", ""},
    };
}

TEST(RoundTrip, ExportThenImportIntoAnEmptyBookGivesEveryFieldBack)
{
    TempWorkDir dir;
    std::vector<std::string> original;
    std::vector<std::string> expected;
    for (const auto& [line, back] : RoundTripLines()) {
        original.push_back(line);
        expected.push_back(back.empty() ? line : back);
    }
    fs::create_directory("from");
    fs::create_directory("to");
    fs::current_path("from");
    WriteBook({original.begin(), original.end()});
    ASSERT_EQ(RunCli("export ../book.vcf"), 0);
    fs::current_path("../to");
    ASSERT_EQ(RunCli("import ../book.vcf"), 0);
    EXPECT_EQ(BookText(), BookLines({expected.begin(), expected.end()}));

    // Folded at 75 octets, every line ended by CR LF.
    const std::string card = ReadFileBytes("../book.vcf");
    for (std::size_t start = 0, end = 0; start < card.size(); start = end + 2) {
        end = card.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        EXPECT_LE(end - start, 75U);
        EXPECT_EQ(card.substr(start, end - start).find('\n'), std::string::npos);
    }
}

TEST(Export, ReportsUnreadableBytesAndImpossibleDates)
{
    TempWorkDir dir;
    WriteFileBytes(ADDRESS_TABLE_FILE, "3,a,\x81\x20,,,1970,1,1,-1,,,,0,*,*,*,*,*,*,*,*,*,*,*,*\r\n"
                                       "3,b,b,,,1970,13,1,-1,,,,0,*,*,*,*,*,*,*,*,*,*,*,*\r\n");
    const vcard::Report report = vcard::ExportBook("out.vcf");
    ASSERT_TRUE(report.ok) << report.failure;
    EXPECT_EQ(vcard::SummaryText(report), "1 人を out.vcf に書き出しました。\n"
                                          "書き出さなかった人: 1 人\n"
                                          "暦にない誕生日を書き出さなかった人: 1 人\n"
                                          "・\uFFFD : 「名前」に Shift_JIS として読めないバイトがあります\n"
                                          "・b: 暦にない誕生日は書き出しませんでした\n");
    const std::string card = ReadFileBytes("out.vcf");
    EXPECT_NE(card.find("\r\nFN:b\r\n"), std::string::npos);
    EXPECT_EQ(card.find("BDAY"), std::string::npos);
}

TEST(Export, FailedWriteLeavesTheOldFileAndNoOther)
{
    TempWorkDir dir;
    fs::copy_file(EXAMPLE_BOOK, ADDRESS_TABLE_FILE);
    WriteFileBytes("out.vcf", "old");
    {
        const FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.Set());
        const vcard::Report report = vcard::ExportBook("out.vcf");
        EXPECT_FALSE(report.ok);
        EXPECT_TRUE(vcard::SummaryText(report).starts_with("out.vcf に書き出せませんでした ("));
    }
    EXPECT_EQ(ReadFileBytes("out.vcf"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 2);
}

struct CliCase {
    const char* name;
    std::string_view book;
    std::string arguments;
    int status;
};

constexpr std::string_view GOOD_BOOK = "1,a,a,,,1970,1,1,-1,,,,1,*,*,*,*,*,*,*,*,*,*,*,*\r\n";
constexpr std::string_view TRAILING_EMPTY_LINE_BOOK = "1,a,a,,,1970,1,1,-1,,,,1,*,*,*,*,*,*,*,*,*,*,*,*\r\n\r\n";
constexpr std::string_view HIDING_BOOK = "1,a\r\n1,b,b,,,1970,1,1,-1,,,,1,*,*,*,*,*,*,*,*,*,*,*,*\r\n";

const CliCase CLI_CASES[] = {
    {"export", GOOD_BOOK, "export out.vcf", 0},
    {"import_only_known_people", GOOD_BOOK, "import in.vcf", 0},
    {"import_missing_file", GOOD_BOOK, "import missing.vcf", 1},
    {"export_into_missing_folder", GOOD_BOOK, "export no/such/out.vcf", 1},
    {"export_over_the_data_file", GOOD_BOOK, "export ./AddressTable.csv", 1},
    {"export_without_a_data_file", "", "export out.vcf", 1},
    {"import_missing_file_makes_no_data_file", "", "import missing.vcf", 1},
    {"export_malformed_line_hides_people", HIDING_BOOK, "export out.vcf", 1},
    {"export_past_a_trailing_empty_line", TRAILING_EMPTY_LINE_BOOK, "export out.vcf", 0},
    {"import_malformed_line_hides_people", HIDING_BOOK, "import in.vcf", 1},
    {"unknown_command", GOOD_BOOK, "convert in.vcf", 2},
    {"no_file", GOOD_BOOK, "export", 2},
};

void PrintTo(const CliCase& c, std::ostream* out)
{
    *out << c.arguments;
}

class Cli : public testing::TestWithParam<CliCase> {};

TEST_P(Cli, ExitStatus)
{
    TempWorkDir dir;
    const bool hasBook = !GetParam().book.empty();
    if (hasBook)
        WriteFileBytes(ADDRESS_TABLE_FILE, GetParam().book);
    WriteFileBytes("in.vcf", CardFile({"FN:a\r\n"}));
    EXPECT_EQ(RunCli(GetParam().arguments), GetParam().status);
    EXPECT_EQ(fs::exists(ADDRESS_TABLE_FILE), hasBook);
    if (hasBook) {
        EXPECT_EQ(ReadFileBytes(ADDRESS_TABLE_FILE), GetParam().book);
    }
    EXPECT_EQ(fs::exists("out.vcf"), GetParam().status == 0 && GetParam().arguments.starts_with("export"));
}

INSTANTIATE_TEST_SUITE_P(Commands, Cli, testing::ValuesIn(CLI_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
