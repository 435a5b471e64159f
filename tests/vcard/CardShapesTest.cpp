// The shapes of cards that cost people or changed them on the way: each
// card imported alone into an empty book must give the line the data
// file should hold and name in the summary what was changed or left out;
// export writes no invented birthday and no empty phone parts.
#include "VcardBook.h"
#include "VcardFiles.h"

#include <gtest/gtest.h>

namespace {

using namespace vcardtest;

constexpr std::string_view NO_PHONES = "*,*,*,*,*,*,*,*,*,*,*,*";

// A line of the data file without phones, for the cases about the rest.
std::string Line(std::string_view head, std::string_view tail = NO_PHONES)
{
    return std::string(head) + std::string(tail);
}

const struct {
    const char* shape;
    std::string card;
    std::string line;
    std::vector<std::string_view> inSummary;
} SHAPES[] = {
    // Readings and names.
    {"SORT-AS with semicolons",
     "N;SORT-AS=\"あんどう;ろいど\":安藤;ロイド;;;\r\nFN:安藤 ロイド\r\n",
     Line("0,あんどう ろいど,安藤 ロイド,,,1970,1,1,-1,,,,0,"),
     {}},
    {"SORT-AS with a middle name",
     "N;SORT-AS=\"やまだ;たろう;じろう\":山田;太郎;次郎;;\r\n",
     Line("7,やまだ たろう じろう,山田 太郎 次郎,,,1970,1,1,-1,,,,0,"),
     {}},
    {"middle name",
     "N:伊能;圭一;伊予;;\r\nFN:伊能 圭一\r\nSORT-STRING:いのう けいいち\r\n",
     Line("0,いのう けいいち,伊能 圭一 伊予,,,1970,1,1,-1,,,,0,"),
     {}},
    {"two middle names",
     "N:Doe;John;Richter\\,James;;\r\nFN:John Doe\r\n",
     Line("99,Doe John Richter James,Doe John Richter James,,,1970,1,1,-1,,,,0,"),
     {"名前をふりがなにした人: 1 人\n"}},
    // Phone numbers.
    {"groups as written, a one-digit number",
     "FN:電話 一\r\nTEL:(111) 555-2222\r\nTEL;TYPE=CELL:03(1234)5678\r\nTEL;TYPE=PAGER:9\r\n",
     Line("99,電話 一,電話 一,,,1970,1,1,-1,,,,0,", "111,555,2222,03,1234,5678,*,*,*,,,9"),
     {}},
    {"international numbers left out",
     "FN:電話 二\r\nTEL:+1-800-123456\r\nTEL:+1 212 555 1234\r\nTEL;CELL:6754-5678\r\nTEL;WORK:+1 212 555 9999\r\n",
     Line("99,電話 二,電話 二,,,1970,1,1,-1,,,,0,", "*,*,*,,6754,5678,*,*,*,*,*,*"),
     {"3 つの欄に分けられず取り込まなかった電話番号: 2 件\n・電話 二: 自宅「+1-800-123456」\n"
      "・電話 二: 自宅「+1 212 555 1234」\n取り込まなかった電話番号 (勤務先、FAX、同じ種類の 2 つ目): 1 件\n"}},
    // Postal codes and addresses.
    {"full-width code, Japan",
     "FN:郵便 全角\r\nADR:;;丸の内1-1;千代田区;東京都;１００－０００５;日本\r\n",
     Line("99,郵便 全角,郵便 全角,東京都千代田区丸の内1-1,,1970,1,1,-1,,100,0005,0,"),
     {}},
    {"postal mark, hyphen variant",
     "FN:郵便 記号\r\nADR:;;丸の内1-1;千代田区;東京都;〒100‐0005;\r\n",
     Line("99,郵便 記号,郵便 記号,東京都千代田区丸の内1-1,,1970,1,1,-1,,100,0005,0,"),
     {}},
    {"Western address, other code",
     "FN:Jane Roe\r\nADR;TYPE=HOME:;Apt 4;1 Main St;New York;NY;NYC-887;USA\r\n",
     Line("99,Jane Roe,Jane Roe,1 Main St New York NY NYC-887 USA,Apt 4,1970,1,1,-1,,,,0,"),
     {"住所に入れた郵便番号: 1 件\n・Jane Roe: 「NYC-887」\n"}},
    {"PO box",
     "FN:Po Box\r\nADR:PO Box 12;;;Springfield;IL;62701;United States\r\n",
     Line("99,Po Box,Po Box,PO Box 12 Springfield IL 62701 United States,,1970,1,1,-1,,,,0,"),
     {"・Po Box: 「62701」\n"}},
    {"Japanese address, code of 3 + 3",
     "FN:郵便 誤り\r\nADR:;北浜ビル3F;北浜1-1-1;大阪市中央区;大阪府;541-004;\r\n",
     Line("99,郵便 誤り,郵便 誤り,大阪府大阪市中央区北浜1-1-1,北浜ビル3F 541-004,1970,1,1,-1,,,,0,"),
     {"・郵便 誤り: 「541-004」\n"}},
    {"comma and line break",
     "FN:カンマ 住所\r\nADR:;;港町1\\, 2;横浜市\\n中区;神奈川県;;\r\n",
     Line("99,カンマ 住所,カンマ 住所,神奈川県横浜市 中区港町1 2,,1970,1,1,-1,,,,0,"),
     {"カンマや改行を空白にした住所: 1 件\n・カンマ 住所: 住所\n"}},
    {"whole address in the extended slot",
     "FN:拡張 住所\r\nADR:;東京都千代田区丸の内1-1;;;; ;\r\n",
     Line("99,拡張 住所,拡張 住所,東京都千代田区丸の内1-1,,1970,1,1,-1,,,,0,"),
     {}},
    {"work and second addresses",
     "FN:住所 複数\r\nADR;TYPE=WORK:;;勤務先1;;;;\r\nADR;TYPE=HOME:;;自宅1;;;;\r\nADR:;;別宅1;;;;\r\n",
     Line("99,住所 複数,住所 複数,自宅1,,1970,1,1,-1,,,,0,"),
     {"取り込まなかった住所 (勤務先、2 つ目): 2 件\n"}},
    // Fields that cannot be held are left empty; the person is taken.
    {"characters outside code page 932",
     "FN:Hans Weber\r\nADR:;;Hauptstraße 1;München;;80331;Deutschland\r\nEMAIL:josé@example.jp\r\n",
     Line("99,Hans Weber,Hans Weber,,,1970,1,1,-1,,,,0,"),
     {"空欄にした項目: 2 件\n・Hans Weber: 「住所」に Shift_JIS にない文字があります\n"
      "・Hans Weber: 「e-mail」に Shift_JIS にない文字があります\n"}},
    {"too long",
     "FN:長い メール\r\nEMAIL:" + std::string(60, 'm') + "@x.jp\r\nBDAY:1990-05-06\r\n",
     Line("99,長い メール,長い メール,,,1990,5,6,-1,,,,0,"),
     {"・長い メール: 「e-mail」が 63 バイトを超えています\n"}},
};

TEST(ImportShapes, EachCardGivesItsPersonAndTheSummaryNamesWhatChanged)
{
    for (const auto& c : SHAPES) {
        SCOPED_TRACE(c.shape);
        TempWorkDir dir;
        WriteFileBytes("in.vcf", CardFile({c.card}));
        const vcard::Report report = vcard::ImportBook("in.vcf");
        ASSERT_TRUE(report.ok) << report.failure;
        EXPECT_EQ(BookText(), BookLines({c.line}));
        const std::string summary = vcard::SummaryText(report);
        for (const std::string_view part : c.inSummary)
            EXPECT_NE(summary.find(part), std::string::npos) << part << "\n" << summary;
        // Nothing changed or left out: no line about the person.
        if (c.inSummary.empty()) {
            EXPECT_EQ(summary.find("・"), std::string::npos) << summary;
        }
    }
}

TEST(ImportShapes, EveryLineEndIsReadAndAFileWithoutCardsFails)
{
    const std::string card = CardFile({"FN:改行 確認\r\nTEL:03-1234-5678\r\n"});
    for (const std::string_view end : {"\r\n", "\n", "\r\r\n", "\r"}) {
        std::string bytes;
        for (std::size_t at = 0, next = 0; at < card.size(); at = next + 2) {
            next = card.find("\r\n", at);
            bytes.append(card, at, next - at).append(end);
        }
        TempWorkDir dir;
        WriteFileBytes("in.vcf", bytes);
        const auto [status, printed] = RunCli("import in.vcf");
        EXPECT_EQ(status, 0) << printed;
        EXPECT_EQ(BookText(), BookLines({"99,改行 確認,改行 確認,,,1970,1,1,-1,,,,0,03,1234,5678,*,*,*,*,*,*,*,*,*"}));
    }
    for (const std::string_view none : {"", "FN:カードの外\r\n", "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n"}) {
        TempWorkDir dir;
        WriteBook({"1,a,a,,,1970,1,1,-1,,,,1,*,*,*,*,*,*,*,*,*,*,*,*"});
        const std::string before = BookText();
        WriteFileBytes("in.vcf", none);
        EXPECT_EQ(RunCli("import in.vcf"),
                  std::make_pair(1, std::string("in.vcf に vCard のカード (BEGIN:VCARD) が見つかりませんでした\n")));
        EXPECT_EQ(BookText(), before);
    }
}

TEST(ExportShapes, NoDefaultBirthdayAndOnlyThePartsThatHoldDigits)
{
    TempWorkDir dir;
    WriteBook({"99,a,a,,,1970,1,1,-1,,12,,0,*,*,*,,,9,*,*,*,*,*,*",
               "99,b,b,,,1985,4,12,-1,,,4567,0,,6754,5678,03,,5678,*,*,*,*,*,*"});
    ASSERT_TRUE(vcard::ExportBook("out.vcf").ok);
    const std::string cards = ReadFileBytes("out.vcf");
    const std::string second = cards.substr(cards.find("FN:b"));
    EXPECT_EQ(cards.find("BDAY"), cards.find("BDAY:1985-04-12\r\n"));
    EXPECT_NE(second.find("BDAY"), std::string::npos);
    for (const std::string_view line :
         {"\r\nADR;TYPE=HOME:;;;;;12;\r\nTEL;TYPE=CELL:9\r\n", "\r\nADR;TYPE=HOME:;;;;;4567;\r\n",
          "\r\nTEL;TYPE=HOME,VOICE:6754-5678\r\nTEL;TYPE=CELL:03-5678\r\n"})
        EXPECT_NE(cards.find(line), std::string::npos) << line << "\n" << cards;
}

TEST(Summary, EachCountIsFollowedByItsOwnLines)
{
    TempWorkDir dir;
    WriteBook({"0,きぞん,既存,,,1970,1,1,-1,,,,1,*,*,*,*,*,*,*,*,*,*,*,*"});
    WriteFileBytes("in.vcf", CardFile({"FN:既存\r\n", "FN:読みなし\r\n",
                                       "FN:誕生 日\r\nSORT-STRING:たんじょう\r\nBDAY:--0412\r\n"}));
    const vcard::Report report = vcard::ImportBook("in.vcf");
    const std::string head = "in.vcf から 2 人を取り込みました。\n取り込まなかった人: 1 人\n";
    const std::string skipped = "・既存: 同じ名前の人がすでにファイルにいます\n";
    const std::string rest = "ふりがながなく、名前をふりがなにした人: 1 人\n誕生日を取り込まなかった人: 1 人\n";
    EXPECT_EQ(vcard::SummaryText(report),
              head + skipped + rest + "・誕生 日: 誕生日「--0412」に年がないため、1970年1月1日のままにしました\n");
    EXPECT_EQ(vcard::SummaryText(report, 1), head + skipped + rest + "他 1 件\n");
}

}  // namespace
