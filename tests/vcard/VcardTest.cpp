// vcard::ImportBook and ExportBook on real files in a fresh working
// directory, and the real kanaroku-vcard binary: the shapes that phones
// and services write, hostile files, the people that must be skipped with
// a reason while the file stays as it was, the round trip, the exit
// statuses and messages, and the two conversions whose every case matters
// to the file (readings to hiragana decide the kana row; phone numbers go
// into three parts).
#include "AddressTable.h"
#include "Kana.h"
#include "PhoneNumber.h"
#include "SjisCodec.h"
#include "TestFiles.h"
#include "VcardBook.h"
#include "VcardFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include <sys/wait.h>

namespace {

using namespace vcardtest;
namespace fs = std::filesystem;

const struct {
    const char* file;
    std::vector<std::string_view> bookLines, inSummary;
} PHONE_FILES[] = {
    {"android-2.1-qp.vcf",
     {"1,かとう はなこ,加藤 花子,大阪府大阪市中央区北浜1-1-1,北浜ビル3F,1990,12,24,-1,hanako@example.jp,541,0041,0,"
      "03,1234,5678,090,5550,1101,*,*,*,*,*,*",
      "99,Smith John,Smith John,,,1970,1,1,-1,,,,0,*,*,*,080,5550,1201,*,*,*,*,*,*"},
     {"から 2 人を取り込みました", "名前をふりがなにした人: 1 人", "2 つ目): 1 件"}},
    {"feature-phone-2.1-sjis.vcf",
     {"5,ひょう たろう,表 太郎,東京都港区ソニー通り5-1,,1970,1,1,-1,taro@example.ne.jp,108,0075,0,"
      "0120,123,456,090,5550,9901,*,*,*,*,*,*",
      "99,ヴぁん がぱら,ヴァン ヶ原,,,1970,1,1,-1,,,,0,*,*,*,*,*,*,*,*,*,*,*,*",
      "3,たかはし はなこ,高橋 花子,,,1980,1,1,-1,,,,0,011,234,5678,*,*,*,*,*,*,*,*,*"},
     {"から 3 人を取り込みました", "2 つ目): 2 件"}},
    {"ios-3.0-grouped.vcf",
     {"7,やまもと みさき,山本　美咲,東京都千代田区丸の内1-1-1,,1970,1,1,-1,misaki@example.com,100,0005,0,"
      "*,*,*,070,5550,1301,*,*,*,*,*,*"},
     {"から 1 人を取り込みました", "・山本　美咲: 誕生日「1604-04-12」が 1900〜2099 年の外にあるため"}},
    {"vcard-4.0.vcf",
     {"2,すずき いちろう,鈴木 一郎,愛知県名古屋市中区栄3-4-5,,1970,1,1,-1,,460,0008,1,"
      "*,*,*,080,5550,1401,*,*,*,020,1234,5678"},
     {"から 1 人を取り込みました", "・鈴木 一郎: 誕生日「--0412」に年がないため",
      "・鈴木 一郎: 自宅「tel:+81-45-123-4567;ext=12」"}},
};

TEST(Import, PhoneFilesAppendThePeopleAsTheFileShouldHoldThem)
{
    for (const auto& c : PHONE_FILES) {
        SCOPED_TRACE(c.file);
        TempWorkDir dir;
        const vcard::Report report = vcard::ImportBook(fs::path(KANAROKU_VCARD_CARDS) / c.file);
        ASSERT_TRUE(report.ok) << report.failure;
        EXPECT_EQ(BookText(), BookLines(c.bookLines));
        const std::string summary = vcard::SummaryText(report);
        for (const std::string_view part : c.inSummary)
            EXPECT_NE(summary.find(part), std::string::npos) << part << "\n" << summary;
    }
}

// GENDER:U (unknown) leaves the form's sex as it is.
const std::string GOOD_CARD =
    "FN:木村 大地\r\nN:木村;大地;;;\r\nSORT-STRING:きむら だいち\r\nGENDER:U\r\n"
    "ADR:;;;;;〒105-0011;\r\nBDAY:1988-07-15\r\n";
constexpr std::string_view GOOD_LINE = "1,きむら だいち,木村 大地,,,1988,7,15,-1,,105,0011,0,*,*,*,*,*,*,*,*,*,*,*,*";

TEST(Import, HostileFilesGiveTheGoodCardAndNothingBroken)
{
    const std::string good = CardFile({GOOD_CARD}), longLine(10 * 1024 * 1024, 'x');
    const auto garbage = [](std::size_t size) {
        std::mt19937 random(13);
        std::string bytes(size, '\0');
        std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<char>(random()); });
        return bytes;
    };
    const struct {
        const char* name;
        std::string bytes;
        bool goodCardTaken;
    } FILES[] = {
        {"no end", good + "BEGIN:VCARD\r\nFN:途中 切れ\r\n", true},
        {"begin inside a card", "BEGIN:VCARD\r\nFN:途中 切れ\r\n" + good, true},
        {"number between cards", good + "TEL:03-1234-5678\r\n", true},
        {"10 MB note", CardFile({GOOD_CARD + "NOTE:" + longLine + "\r\n"}), true},
        {"10 MB name", good + CardFile({"FN:" + longLine + "\r\n"}), true},
        {"broken quoted-printable",
         good + "BEGIN:VCARD\r\nFN;ENCODING=QUOTED-PRINTABLE:=E5=B1=B1=ZZ=4\r\nNOTE;QUOTED-PRINTABLE:=\r\n", true},
        {"binary garbage", garbage(100000) + "\r\n" + good + "\r\n" + garbage(100000), true},
        {"garbage only", garbage(200000), false},
    };
    for (const auto& c : FILES) {
        SCOPED_TRACE(c.name);
        TempWorkDir dir;
        WriteFileBytes("in.vcf", c.bytes);
        const vcard::Report report = vcard::ImportBook("in.vcf");
        ASSERT_EQ(report.ok, c.goodCardTaken) << report.failure;
        const std::string book = fs::exists(ADDRESS_TABLE_FILE) ? BookText() : "";
        if (c.goodCardTaken)
            EXPECT_TRUE(book.starts_with(BookLines({GOOD_LINE}))) << book.substr(0, 200);
        else
            EXPECT_EQ(vcard::SummaryText(report), "in.vcf に vCard のカード (BEGIN:VCARD) が見つかりませんでした\n");
        // Whatever else was taken is one well-formed line per person.
        EXPECT_EQ(std::count(book.begin(), book.end(), '\n'), report.done);
        AddressRecord record{};
        CAddressTable table;
        int read = 0;
        for (int more = table.GetFirst(record, KANAROW_ALL); more; more = table.GetNext(record, KANAROW_ALL))
            ++read;
        EXPECT_EQ(read, report.done);
    }
}

TEST(Import, RefusedPeopleAreSkippedWithTheReasonAndTheFileStaysAsItWas)
{
    const struct {
        std::string card;
        std::string_view who, reason;
    } REFUSED[] = {
        {"FN:既存 花子\r\n", "既存 花子", "同じ名前の人がすでにファイルにいます"},
        {"FN:木村 大地\r\n", "木村 大地", "同じ名前の人が vCard ファイルの前の方にいます"},
        {"FN:寿限無寿限無五劫の擦り切れ海砂利水\r\n", "寿限無", "「名前」が 32 バイトを超えています"},
        {"FN:長い 読み\r\nSORT-STRING:じゅげむじゅげむごこうのすりきれか\r\n", "長い 読み",
         "「ふりがな」が 32 バイトを超えています"},
        {"FN:Doe, John\r\n", "Doe, John", "「名前」にカンマ (,) があります"},
        {"FN:絵文字 読み\r\nSORT-STRING:えもじ😀\r\n", "絵文字 読み", "「ふりがな」に Shift_JIS にない文字があります"},
        {"FN:絵文字 😀\r\n", "絵文字", "「名前」に Shift_JIS にない文字があります"},
        {"FN:𠮷田 一\r\n", "𠮷田", "「名前」に Shift_JIS にない文字があります"},
        {"NOTE:名前なし\r\n", "(10 枚目のカード)", "名前がありません"},
    };
    TempWorkDir dir;
    WriteBook({"0,きぞん はなこ,既存 花子,,,1970,1,1,-1,,,,1,*,*,*,*,*,*,*,*,*,*,*,*"});
    const std::string before = BookText();
    std::vector<std::string> cards{GOOD_CARD};  // first, so that the later 木村 大地 is the second
    for (const auto& c : REFUSED)
        cards.push_back(c.card);
    WriteFileBytes("in.vcf", CardFile(cards));

    const vcard::Report report = vcard::ImportBook("in.vcf");
    ASSERT_TRUE(report.ok) << report.failure;
    EXPECT_EQ(BookText(), before + BookLines({GOOD_LINE}));
    EXPECT_EQ(report.done, 1);
    ASSERT_EQ(report.lines.size(), std::size(REFUSED));
    for (std::size_t i = 0; i < std::size(REFUSED); ++i) {
        EXPECT_TRUE(report.lines[i].who.starts_with(REFUSED[i].who)) << report.lines[i].who;
        EXPECT_EQ(report.lines[i].what, REFUSED[i].reason);
    }
}

TEST(Import, SummaryShowsTwentyLinesThenTheRest)
{
    TempWorkDir dir;
    WriteFileBytes("in.vcf", CardFile(std::vector<std::string>(26, GOOD_CARD)));
    const vcard::Report report = vcard::ImportBook("in.vcf");
    std::string box = "in.vcf から 1 人を取り込みました。\n取り込まなかった人: 25 人\n", whole;
    for (int i = 0; i < 25; ++i)
        (i < 20 ? box : whole) += "・木村 大地: 同じ名前の人が vCard ファイルの前の方にいます\n";
    EXPECT_EQ(vcard::SummaryText(report), box + "他 5 件\n");
    EXPECT_EQ(vcard::SummaryText(report, vcard::ALL_LINES), box + whole);
}

TEST(Import, KatakanaReadingsBecomeHiraganaWhereCodePage932HasIt)
{
    const std::pair<std::string_view, std::string_view> CASES[] = {
        {"カトウ ハナコ", "かとう はなこ"},
        {"ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ", "ぱぴぷぺぽ"},
        {"ヽヾ", "ゝゞ"},
        {"ｱ｡ｲ､", "あ。い、"},
        {"ｶﾞｯｺｳ ﾀﾛｳ", "がっこう たろう"},  // half-width, ﾞ taken in
        {"ｳﾞｧｲｵﾘﾝ", "ヴぁいおりん"},
        {"ヵヶ", "ヵヶ"},  // no hiragana for these in code page 932
        {"ﾜﾞﾝ", "わ゛ん"},
        {"ｰﾊﾞｰ", "ーばー"},  // ﾜﾞ is no single character; ｰ stays
        {"Lee ひらがな 漢字", "Lee ひらがな 漢字"},
        {"ﾞｶ\xFF", "゛か\xFF"},  // a lone mark, a byte that is no UTF-8
    };
    for (const auto& [katakana, hiragana] : CASES)
        EXPECT_EQ(vcard::KatakanaToHiragana(katakana), hiragana) << katakana;
}

// Groups are the writer's; only Japanese numbers written without groups
// are split the Japanese way; what cannot be held so is no number.
TEST(Import, PhoneNumbersKeepTheirGroupsAndNeverLoseOrGainADigit)
{
    const std::pair<std::string_view, std::optional<vcard::PhoneParts>> CASES[] = {
        {"090-1234-5678", vcard::PhoneParts{"090", "1234", "5678"}},
        {"09012345678", vcard::PhoneParts{"090", "1234", "5678"}},
        {"+81 90 1234 5678", vcard::PhoneParts{"090", "1234", "5678"}},
        {"tel:+81-3-1234-5678", vcard::PhoneParts{"03", "1234", "5678"}},
        {"(06) 1234-5678", vcard::PhoneParts{"06", "1234", "5678"}},
        {"0120123456", vcard::PhoneParts{"0120", "123", "456"}},
        {"08001234567", vcard::PhoneParts{"0800", "123", "4567"}},
        {"+81312345678", vcard::PhoneParts{"03", "1234", "5678"}},
        {"０３１２３４５６７８", vcard::PhoneParts{"03", "1234", "5678"}},
        {"０３ー１２３４ー５６７８", vcard::PhoneParts{"03", "1234", "5678"}},
        {"0422-12-3456", vcard::PhoneParts{"0422", "12", "3456"}},
        {"+81-3-1234", vcard::PhoneParts{"+81", "3", "1234"}},  // its own groups fit
        {"(111) 555-2222", vcard::PhoneParts{"111", "555", "2222"}},
        {"03(1234)5678", vcard::PhoneParts{"03", "1234", "5678"}},
        {"(03)-555-1234", vcard::PhoneParts{"(03)", "555", "1234"}},  // as this program writes it
        {"03.1234.5678", vcard::PhoneParts{"03", "1234", "5678"}},
        {"03 1234 5678 ", vcard::PhoneParts{"03", "1234", "5678"}},
        {"9", vcard::PhoneParts{"", "", "9"}},
        {"--9", vcard::PhoneParts{"", "", "9"}},
        {"6754-5678", vcard::PhoneParts{"", "6754", "5678"}},
        {"12345-678", vcard::PhoneParts{"12345", "678", ""}},
        {"+1-800-123456", std::nullopt},  // no country code merged, no group invented
        {"+1 212 555 1234", std::nullopt},
        {"+81-3-12345678", std::nullopt},  // groups written that do not fit
        {"1234567", std::nullopt},
        {"012345678", std::nullopt},  // a Japanese number of no known shape
        {"tel:+81-45-123-4567;ext=12", std::nullopt},
        {"03-1234-5678 ext. 9", std::nullopt},
        {"1-800-FLOWERS", std::nullopt},
    };
    for (const auto& [text, parts] : CASES)
        EXPECT_EQ(vcard::SplitPhoneNumber(text), parts) << text;
    for (const std::string_view none : {"", "tel:", "--", "+", "n/a"}) {
        EXPECT_EQ(vcard::SplitPhoneNumber(none), std::nullopt) << none;
        EXPECT_FALSE(vcard::HasDigits(none)) << none;
    }
}

TEST(RoundTrip, ExportThenImportIntoAnEmptyBookGivesEveryFieldBack)
{
    std::string streets;
    for (int i = 0; i < 127; ++i)
        streets += "港";
    // Each data file line, and what comes back when that is not the same
    // line: a reading in katakana in hiragana with its code, a date no
    // calendar has as the default (29 February only in leap years).
    const std::pair<std::string, std::string> LINES[] = {
        {"0,あおやま "
         "ゆうき,青山　悠希,東京都みどり区桜町1-2-3,さくらハイツ101,1985,4,12,0,aoyama@example.jp,123,4567,0,"
         "03,5550,0101,090,5550,0102,070,5550,0103,020,5550,0104",
         ""},
        {"2,じゅげむじゅげむごこうのすりきれ,寿限無寿限無五劫の擦り切れ海砂利," + streets + "1," + std::string(255, 'x')
             + ",1900,1,1,-1," + std::string(58, 'm') + "@x.jp,999,9999,1,99999,9999,9999,*,*,*,*,*,*,*,*,*",
         ""},
        {"99,カトウ ハナコ,加藤 花子,,,1990,12,24,1,,,,1,*,*,*,*,*,*,*,*,*,*,*,*",
         "1,かとう はなこ,加藤 花子,,,1990,12,24,1,,,,1,*,*,*,*,*,*,*,*,*,*,*,*"},
        {"3,たなか,田中,,,2001,2,29,2,,,,0,*,*,*,*,*,*,*,*,*,*,*,*",
         "3,たなか,田中,,,1970,1,1,2,,,,0,*,*,*,*,*,*,*,*,*,*,*,*"},
        {"7,やまだ ,ﾔﾏﾀﾞ,表参道;1\\2,ソ\\;,2099,12,31,3,,123,4567,1,(03),555,1234,*,*,*,*,*,*,*,*,*", ""},
        {"99,y,y,,,1970,1,1,-1,,,,0,+81,3,1234,,6754,5678,*,*,*,*,*,*", ""},
        // A code that is no 3 + 4 digits comes back at the end of the
        // address, a number's parts that hold digits at the end.
        {"99, やまだ, 山田,,,2004,2,29,-1,,,4567,0,*,*,*,1,,,*,*,*,*,*,*",
         "99, やまだ, 山田,4567,,2004,2,29,-1,,,,0,*,*,*,,,1,*,*,*,*,*,*"},
        {"99,x,x,,ビル,2000,2,29,-1,,〒1,2345,0,*,*,*,*,*,*,*,*,*,*,*,*",
         "99,x,x,ビル,〒1-2345,2000,2,29,-1,,,,0,*,*,*,*,*,*,*,*,*,*,*,*"},
    };
    std::vector<std::string_view> original, expected;
    for (const auto& [line, back] : LINES)
        original.push_back(line), expected.push_back(back.empty() ? line : back);
    TempWorkDir dir;
    WriteBook(original);
    ASSERT_EQ(RunCli("export book.vcf").first, 0);
    fs::create_directory("empty");
    fs::current_path("empty");
    ASSERT_EQ(RunCli("import ../book.vcf").first, 0);
    EXPECT_EQ(BookText(), BookLines(expected));

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
    WriteFileBytes(ADDRESS_TABLE_FILE,
                   "3,a,\x81\x20,,,1970,1,1,-1,,,,0,*,*,*,*,*,*,*,*,*,*,*,*\r\n"
                   "3,b,b,,,1970,13,1,-1,,,,0,*,*,*,*,*,*,*,*,*,*,*,*\r\n");
    const vcard::Report report = vcard::ExportBook("out.vcf");
    ASSERT_TRUE(report.ok) << report.failure;
    EXPECT_EQ(vcard::SummaryText(report),
              "1 人を out.vcf に書き出しました。\n書き出さなかった人: 1 人\n"
              "・\uFFFD : 「名前」に Shift_JIS として読めないバイトがあります\n"
              "暦にない誕生日を書き出さなかった人: 1 人\n"
              "・b: 暦にない誕生日は書き出しませんでした\n");
    const std::string card = ReadFileBytes("out.vcf");
    EXPECT_NE(card.find("\r\nFN:b\r\n"), std::string::npos);
    EXPECT_EQ(card.find("BDAY"), std::string::npos);
}

TEST(FailedWrite, LeavesEveryFileAsItWasAndNoOther)
{
    TempWorkDir dir;
    fs::copy_file(fs::path(KANAROKU_EXAMPLES) / "AddressTable.csv", ADDRESS_TABLE_FILE);
    std::vector<std::string> cards;
    for (int i = 0; i < 100; ++i)
        cards.push_back("FN:追加 " + std::to_string(i) + "\r\nADR:;;" + std::string(200, 'a') + ";;;;\r\n");
    WriteFileBytes("in.vcf", CardFile(cards));
    WriteFileBytes("out.vcf", "old");
    const std::string before = ReadFileBytes(ADDRESS_TABLE_FILE);
    {
        // Room for part of the import and part of the export, not for either whole.
        const FileSizeLimit limit(before.size() + 4000);
        ASSERT_TRUE(limit.Set());
        EXPECT_EQ(vcard::SummaryText(vcard::ImportBook("in.vcf")),
                  "AddressTable.csv に書き込めませんでした。ファイルは元のままです\n");
        EXPECT_TRUE(vcard::SummaryText(vcard::ExportBook("out.vcf")).starts_with("out.vcf に書き出せませんでした ("));
    }
    EXPECT_EQ(ReadFileBytes(ADDRESS_TABLE_FILE), before);
    EXPECT_EQ(ReadFileBytes("out.vcf"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 3);
}

TEST(Cli, ExitStatusAndMessageLeaveTheDataFileAsItWas)
{
    constexpr std::string_view GOOD = "1,a,a,,,1970,1,1,-1,,,,1,*,*,*,*,*,*,*,*,*,*,*,*\r\n";
    const std::string trailingEmptyLine = std::string(GOOD) + "\r\n";
    const std::string hiding = "1,a,a\r\n" + std::string(GOOD);
    const std::string HIDDEN =
        "AddressTable.csv の 1 行目の形式が正しくないため（項目が 25 個必要ですが 3 "
        "個しかありません）、それ以降のデータを読み込めません\n";
    // An empty book: no data file.
    const struct {
        std::string_view book;
        std::string arguments;
        int status;
        std::string says;
    } CASES[] = {
        {GOOD, "import in.vcf", 0,
         "in.vcf から 0 人を取り込みました。\n取り込まなかった人: 1 人\n・a: 同じ名前の人がすでにファイルにいます\n"},
        {GOOD, "import missing.vcf", 1, "missing.vcf を読めません (No such file or directory)\n"},
        {GOOD, "export no/such/out.vcf", 1, "no/such/out.vcf に書き出せませんでした (No such file or directory)\n"},
        {GOOD, "export ./AddressTable.csv", 1,
         "./AddressTable.csv はデータファイルそのものなので、書き出し先にできません\n"},
        {"", "export out.vcf", 1, "このフォルダに AddressTable.csv がありません\n"},
        {"", "import missing.vcf", 1, "missing.vcf を読めません (No such file or directory)\n"},
        {hiding, "export out.vcf", 1, HIDDEN},
        {hiding, "import in.vcf", 1, HIDDEN},
        {trailingEmptyLine, "export out.vcf", 0, "1 人を out.vcf に書き出しました。\n"},
        {trailingEmptyLine, "import in.vcf", 1,
         "AddressTable.csv の 2 行目の形式が正しくないため（空行です）、それ以降のデータを読み込めません\n"},
        {GOOD, "convert in.vcf", 2, "usage: kanaroku-vcard export FILE.vcf"},
        {GOOD, "export", 2, "usage: kanaroku-vcard export FILE.vcf"},
    };
    for (const auto& c : CASES) {
        SCOPED_TRACE(c.arguments);
        TempWorkDir dir;
        if (!c.book.empty())
            WriteFileBytes(ADDRESS_TABLE_FILE, c.book);
        WriteFileBytes("in.vcf", CardFile({"FN:a\r\n"}));
        const auto [status, printed] = RunCli(c.arguments);
        EXPECT_EQ(status, c.status);
        EXPECT_TRUE(printed.starts_with(c.says)) << printed;
        EXPECT_EQ(fs::exists(ADDRESS_TABLE_FILE) ? ReadFileBytes(ADDRESS_TABLE_FILE) : "(none)",
                  c.book.empty() ? "(none)" : c.book);
        EXPECT_EQ(fs::exists("out.vcf"), c.status == 0 && c.arguments.starts_with("export"));
    }
}

}  // namespace
