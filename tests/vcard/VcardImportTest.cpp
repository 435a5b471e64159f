// Import through vcard::ImportBook into real data files: the shapes that
// phones and services write, hostile files, and the people that must be
// skipped with a reason while the file stays as it was.
#include "VcardBook.h"
#include "VcardTestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace {

const std::filesystem::path CARDS = KANAROKU_VCARD_CARDS;

struct PhoneFileCase {
    const char* file;
    std::vector<std::string_view> bookLines;
    std::vector<std::string_view> inSummary;
};

const PhoneFileCase PHONE_FILES[] = {
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
      "045,123,4567,080,5550,1401,*,*,*,020,1234,5678"},
     {"から 1 人を取り込みました", "・鈴木 一郎: 誕生日「--0412」に年がないため"}},
};

void PrintTo(const PhoneFileCase& c, std::ostream* out)
{
    *out << c.file;
}

class PhoneFileImport : public testing::TestWithParam<PhoneFileCase> {};

TEST_P(PhoneFileImport, AppendsThePeopleAsTheFileShouldHoldThem)
{
    const PhoneFileCase& c = GetParam();
    TempWorkDir dir;
    const vcard::Report report = vcard::ImportBook(CARDS / c.file);
    ASSERT_TRUE(report.ok) << report.failure;
    EXPECT_EQ(BookText(), BookLines(c.bookLines));
    const std::string summary = vcard::SummaryText(report);
    for (const std::string_view part : c.inSummary)
        EXPECT_NE(summary.find(part), std::string::npos) << part << "\n" << summary;
}

INSTANTIATE_TEST_SUITE_P(Cards, PhoneFileImport, testing::ValuesIn(PHONE_FILES),
                         [](const auto& info) { return std::to_string(info.index); });

constexpr std::string_view GOOD_CARD = "FN:木村 大地\r\nN:木村;大地;;;\r\nSORT-STRING:きむら だいち\r\n";
constexpr std::string_view GOOD_LINE = "1,きむら だいち,木村 大地,,,1970,1,1,-1,,,,0,*,*,*,*,*,*,*,*,*,*,*,*";

std::string GarbageBytes(std::size_t size)
{
    std::mt19937 random(13);
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random());
    return bytes;
}

struct HostileCase {
    const char* name;
    std::string bytes;
    bool goodCardTaken;
};

std::vector<HostileCase> HostileFiles()
{
    const std::string good = CardFile({std::string(GOOD_CARD)});
    const std::string longLine(10 * 1024 * 1024, 'x');
    return {
        {"no_end", good + "BEGIN:VCARD\r\nFN:途中 切れ\r\n", true},
        {"begin_inside_card", "BEGIN:VCARD\r\nFN:途中 切れ\r\n" + good, true},
        {"ten_megabyte_note", CardFile({std::string(GOOD_CARD) + "NOTE:" + longLine + "\r\n"}), true},
        {"ten_megabyte_name", good + CardFile({"FN:" + longLine + "\r\n"}), true},
        {"broken_quoted_printable",
         good + "BEGIN:VCARD\r\nFN;ENCODING=QUOTED-PRINTABLE:=E5=B1=B1=ZZ=4\r\nNOTE;QUOTED-PRINTABLE:=\r\n", true},
        {"binary_garbage", GarbageBytes(100000) + "\r\n" + good + "\r\n" + GarbageBytes(100000), true},
        {"garbage_only", GarbageBytes(200000), false},
    };
}

void PrintTo(const HostileCase& c, std::ostream* out)
{
    *out << c.name;
}

class HostileImport : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileImport, TakesTheGoodCardAndNothingBroken)
{
    TempWorkDir dir;
    WriteFileBytes("in.vcf", GetParam().bytes);
    const vcard::Report report = vcard::ImportBook("in.vcf");
    ASSERT_TRUE(report.ok) << report.failure;
    const std::string book = BookText();
    if (GetParam().goodCardTaken) {
        EXPECT_EQ(book.substr(0, GOOD_LINE.size() + 2), BookLines({GOOD_LINE}));
    } else {
        EXPECT_NE(vcard::SummaryText(report).find("カード (BEGIN:VCARD) が見つかりませんでした"), std::string::npos);
    }
    // Whatever else was taken is one well-formed line per person.
    EXPECT_EQ(std::count(book.begin(), book.end(), '\n'), report.done);
    AddressRecord record{};
    CAddressTable table;
    int read = 0;
    for (int more = table.GetFirst(record, KANAROW_ALL); more; more = table.GetNext(record, KANAROW_ALL))
        ++read;
    EXPECT_EQ(read, report.done);
}

INSTANTIATE_TEST_SUITE_P(Files, HostileImport, testing::ValuesIn(HostileFiles()),
                         [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase {
    std::string card;
    std::string_view who;
    std::string_view reason;
};

const RefusedCase REFUSED[] = {
    {"FN:既存 花子\r\n", "既存 花子", "同じ名前の人がすでにファイルにいます"},
    {"FN:木村 大地\r\n", "木村 大地", "同じ名前の人が vCard ファイルの前の方にいます"},
    {"FN:寿限無寿限無五劫の擦り切れ海砂利水\r\n", "寿限無", "「名前」が 32 バイトを超えています"},
    {"FN:長い 読み\r\nSORT-STRING:じゅげむじゅげむごこうのすりきれか\r\n", "長い 読み", "「ふりがな」が 32 バイトを超えています"},
    {"FN:絵文字 😀\r\n", "絵文字", "「名前」に Shift_JIS にない文字があります"},
    {"FN:𠮷田 一\r\n", "𠮷田", "「名前」に Shift_JIS にない文字があります"},
    {"FN:カンマ 住所\r\nADR:;;港町1\\,2;;;;\r\n", "カンマ 住所", "「住所」にカンマ (,) があります"},
    {"FN:改行 住所\r\nADR:;;港町1\\n2番;;;;\r\n", "改行 住所", "「住所」に改行か制御文字があります"},
    {"FN:外国 郵便\r\nADR:;;1 Main St;;;SW1A 1AA;\r\n", "外国 郵便", "郵便番号「SW1A 1AA」を 3 桁と 4 桁に分けられません"},
    {"FN:長い 番号\r\nTEL:+44 20 7946 0958 1234\r\n", "長い 番号", "「自宅電話番号 (1 つ目)」が 5 バイトを超えています"},
    {"FN:長い メール\r\nEMAIL:" + std::string(60, 'm') + "@x.jp\r\n", "長い メール", "「e-mail」が 63 バイトを超えています"},
    {"NOTE:名前なし\r\n", "(13 枚目のカード)", "名前がありません"},
};

TEST(ImportRefusal, SkipsWithTheReasonAndLeavesTheFileAsItWas)
{
    TempWorkDir dir;
    WriteBook({"0,きぞん はなこ,既存 花子,,,1970,1,1,-1,,,,1,*,*,*,*,*,*,*,*,*,*,*,*"});
    const std::string before = ReadFileBytes(ADDRESS_TABLE_FILE);
    std::vector<std::string> cards;
    for (const RefusedCase& c : REFUSED)
        cards.push_back(c.card);
    cards.insert(cards.begin() + 1, std::string(GOOD_CARD));
    WriteFileBytes("in.vcf", CardFile(cards));

    const vcard::Report report = vcard::ImportBook("in.vcf");
    ASSERT_TRUE(report.ok) << report.failure;
    EXPECT_EQ(BookText(), sjis::DecodeToUtf8(before) + BookLines({GOOD_LINE}));
    EXPECT_EQ(report.done, 1);
    ASSERT_EQ(report.lines.size(), std::size(REFUSED));
    for (std::size_t i = 0; i < std::size(REFUSED); ++i) {
        EXPECT_TRUE(report.lines[i].who.starts_with(REFUSED[i].who)) << report.lines[i].who;
        EXPECT_EQ(report.lines[i].what, REFUSED[i].reason);
    }
}

TEST(ImportRefusal, MalformedLineStopsTheImportWithTheFormsMessage)
{
    const std::pair<std::string_view, std::string_view> BOOKS[] = {
        {"1,a,a,,,1970,1,1,-1,,,,1,*,*,*,*,*,*,*,*,*,*,*,*\r\n\r\n", "の 2 行目の形式が正しくないため（空行です）、"},
        {"1,a,a\r\n1,b,b,,,1970,1,1,-1,,,,1,*,*,*,*,*,*,*,*,*,*,*,*\r\n",
         "の 1 行目の形式が正しくないため（項目が 25 個必要ですが 3 個しかありません）、"},
    };
    for (const auto& [book, message] : BOOKS) {
        TempWorkDir dir;
        WriteFileBytes(ADDRESS_TABLE_FILE, book);
        WriteFileBytes("in.vcf", CardFile({std::string(GOOD_CARD)}));
        const vcard::Report report = vcard::ImportBook("in.vcf");
        EXPECT_FALSE(report.ok);
        EXPECT_EQ(report.failure, "AddressTable.csv " + std::string(message) + "それ以降のデータを読み込めません");
        EXPECT_EQ(ReadFileBytes(ADDRESS_TABLE_FILE), book);
    }
}

TEST(ImportRefusal, FailedWriteAddsNobody)
{
    TempWorkDir dir;
    WriteBook({GOOD_LINE});
    std::vector<std::string> cards;
    for (int i = 0; i < 100; ++i)
        cards.push_back("FN:追加 " + std::to_string(i) + "\r\nADR:;;" + std::string(200, 'a') + ";;;;\r\n");
    WriteFileBytes("in.vcf", CardFile(cards));
    const std::string before = ReadFileBytes(ADDRESS_TABLE_FILE);
    {
        const FileSizeLimit limit(before.size() + 10000);
        ASSERT_TRUE(limit.Set());
        const vcard::Report report = vcard::ImportBook("in.vcf");
        EXPECT_FALSE(report.ok);
        EXPECT_EQ(vcard::SummaryText(report), "AddressTable.csv に書き込めませんでした。ファイルは元のままです\n");
    }
    EXPECT_EQ(ReadFileBytes(ADDRESS_TABLE_FILE), before);
}

TEST(ImportSummary, ShowsTwentyLinesThenTheRest)
{
    TempWorkDir dir;
    std::vector<std::string> cards(26, std::string(GOOD_CARD));
    WriteFileBytes("in.vcf", CardFile(cards));
    const vcard::Report report = vcard::ImportBook("in.vcf");
    const std::string box = vcard::SummaryText(report);
    const std::string whole = vcard::SummaryText(report, vcard::ALL_LINES);
    const auto count = [](const std::string& text, std::string_view what) {
        std::size_t n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count(box, "・木村 大地: 同じ名前の人が vCard ファイルの前の方にいます\n"), 20U) << box;
    EXPECT_TRUE(box.ends_with("\n他 5 件\n")) << box;
    EXPECT_EQ(count(whole, "・木村 大地:"), 25U);
    EXPECT_EQ(count(whole, "他 "), 0U);
}

}  // namespace
