// Start-up, the index buttons and the person a double-click shows.
#include "FormHarness.h"

#include <QListView>

#include <filesystem>

#include <gtest/gtest.h>

namespace {

const std::string A = Line("0,あおき,青木,");
const std::string C = Line("2,さとう,佐藤,");

QString Stops(const char* line, const char* why)
{
    return QStringLiteral("AddressTable.csv の %1 行目%2、それ以降のデータを読み込めません")
        .arg(line, QString::fromUtf8(why));
}

TEST(Startup, ListsPeopleAndSaysWhatIsWrong)
{
    const QString tooLong = Stops("2", "が長すぎるため（1 行 4095 バイトまで）");
    const struct {
        const char* what;
        std::string file;
        QStringList messages;
        QStringList listed;  // in list order
        DataFile kind = DataFile::Written;
    } rows[] = {
        {"missing file is created", "", {}, {}, DataFile::Missing},
        {"a folder in its place", "", {QStringLiteral("データファイルが開けません")}, {}, DataFile::Folder},
        {"empty file", "", {}, {}},
        {"comments only", Sjis("# 名前の一覧\r\n#\r\n"), {}, {}},
        {"sorted by reading, not file order", C + A + KATO, {}, {"青木", "加藤", "佐藤"}},
        {"kana rows first, as the index buttons stand",
         Line("99,emily,Emily Carter,") + Line("99,アオキ,青木 K,") + C + Line("0,あおやま,青山,"),
         {},
         {"青山", "佐藤", "Emily Carter", "青木 K"}},
        {"trailing empty line hides nobody", A + KATO + "\r\n", {}, {"青木", "加藤"}},
        {"malformed later line",
         A + "# note\r\n1,broken\r\n" + KATO,
         {Stops("3", "の形式が正しくないため（項目が 25 個必要ですが 2 個しかありません）")},
         {"青木"}},
        {"a line longer than is read at once",
         A + Line("1,かとう,加藤," + std::string(4200, 'x')) + C,
         {tooLong},
         {"青木"}},
        {"the rest of a long line",
         A + Line("1,かとう,加藤,", NO_PHONES.substr(0, 22) + std::string(4200, '9')) + C,
         {tooLong},
         {"青木", "加藤"}},
        {"saved as UTF-8 by an editor",
         "0,あおき,青木,,,1980,4,1,0,,,,0," + NO_PHONES + "\r\n",
         {QStringLiteral(
             "AddressTable.csv は UTF-8 で保存されているようです。Shift_JIS (CP932) で保存し直してください")},
         {"髱呈惠"}},  // 青木 in UTF-8, read as code page 932
        {"a line that begins with NUL",
         A + std::string("\0", 1) + KATO + C,
         {Stops("2", "に NUL 文字があるため")},
         {"青木"}},
        {"malformed first data line", "# header\r\n\r\n" + A, {Stops("2", "の形式が正しくないため（空行です）")}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        FormHarness form(row.file, row.kind);
        EXPECT_EQ(form.Messages(), row.messages);
        EXPECT_EQ(form.ListItems(), row.listed);
        EXPECT_TRUE(std::filesystem::exists(ADDRESS_TABLE_FILE));
    }
}

TEST(Startup, EmptyFileShowsTheDefaultForm)
{
    FormHarness form("");
    const CAddressBookDlg& dialog = form.Dialog();
    EXPECT_EQ((std::pair{dialog.GetCheckedRadio(IDC_MALE), dialog.GetCheckedRadio(IDC_BLOOD_A)}), (std::pair{0, -1}));
    EXPECT_EQ((QStringList{form.Text(IDC_YEAR), form.Text(IDC_MONTH), form.Text(IDC_DAY), form.Text(IDC_AGE)}),
              (QStringList{"1970", "1", "1", "56"}));
    EXPECT_EQ(form.Phones(), "-1 () () ()");
    // Rows of the font's height: the list's 141 units hold 17 names.
    const auto* list = qobject_cast<QListView*>(dialog.GetDlgItem(IDC_NAME_LIST));
    EXPECT_EQ(list->viewport()->height() / QFontMetrics(list->font()).height(), 17);
    // The read-only age is drawn on the window's grey.
    const QWidget* age = dialog.GetDlgItem(IDC_AGE);
    EXPECT_EQ(age->palette().color(QPalette::Base), age->palette().color(QPalette::Window));
}

TEST(IndexButtons, EachRowListsItsPeople)
{
    std::string file = "# one person per row\r\n";
    const char* kana[] = {"あ", "か", "さ", "た", "な", "は", "ま", "や", "ら", "わ"};
    for (int code = 0; code < 10; ++code)
        file += Line(std::to_string(code) + ',' + kana[code] + ',' + kana[code] + ',');
    FormHarness form(file + Line("99,ABE,Abe,") + Line("42,x,Odd,") + Line("1,かわ,か2,"));
    const std::pair<int, QStringList> rows[] = {
        {IDC_INDEX_A, {"あ"}},
        {IDC_INDEX_KA, {"か", "か2"}},
        {IDC_INDEX_SA, {"さ"}},
        {IDC_INDEX_TA, {"た"}},
        {IDC_INDEX_NA, {"な"}},
        {IDC_INDEX_HA, {"は"}},
        {IDC_INDEX_MA, {"ま"}},
        {IDC_INDEX_YA, {"や"}},
        {IDC_INDEX_RA, {"ら"}},
        {IDC_INDEX_WA, {"わ"}},
        {IDC_INDEX_OTHER, {"Abe"}},
        {IDC_INDEX_ALL, {"あ", "か", "か2", "さ", "た", "な", "は", "ま", "や", "ら", "わ", "Odd", "Abe"}},
    };
    for (const auto& [button, listed] : rows) {
        form.Click(button);
        EXPECT_EQ(form.ListItems(), listed) << "button " << button;
    }
    EXPECT_TRUE(form.Messages().empty());
    EXPECT_EQ(form.SelectedItem(), QString());
    // A malformed line before the first match is read past.
    WriteFileBytes(ADDRESS_TABLE_FILE, C + "\r\n" + KATO);
    form.Click(IDC_INDEX_KA);
    EXPECT_EQ(form.ListItems(), QStringList{QStringLiteral("加藤")});
    EXPECT_TRUE(form.Messages().empty());
}

// 東野 (あ) stands above 東 (は) and begins with it: the list still
// highlights the person shown. Of two equal names the first is shown, with
// the first kind that holds a number, or none, the previous number gone;
// the next switch stores the number under that kind. A name gone from the
// file leaves the form as it was and says so.
TEST(DoubleClick, ShowsTheFirstOfEqualNamesOrSaysItVanished)
{
    const std::string aoki = Line("0,あおき,青木,東京都"), rest = C + Line("5,ひがし,東,") + Line("0,あずまの,東野,");
    FormHarness form(aoki + Line("1,かとう,加藤,最初の住所", "*,*,*,080,5555,6666,*,*,*,*,*,*")
                     + Line("1,かとう,加藤,二番目の住所") + rest);
    EXPECT_EQ(form.ListItems(), (QStringList{"青木", "東野", "加藤", "加藤", "佐藤", "東"}));
    EXPECT_EQ(form.Text(IDC_ADDRESS1), QStringLiteral("東京都"));
    EXPECT_EQ(form.Phones(), "-1 () () ()");
    form.DoubleClickItem(QStringLiteral("東"));
    EXPECT_EQ(form.Text(IDC_NAME), QStringLiteral("東"));
    EXPECT_EQ(form.SelectedItem(), QStringLiteral("東"));
    for (int i = 0; i < 2; ++i) {
        form.DoubleClickItem(QStringLiteral("加藤"));
        EXPECT_EQ(form.Text(IDC_ADDRESS1), QStringLiteral("最初の住所"));
        EXPECT_EQ(form.Phones(), "1 [080] [5555] [6666]");
    }
    form.Click(IDC_PHONE_HOME);
    EXPECT_EQ(form.Phones(), "0 [] [] []");
    EXPECT_TRUE(form.Messages().empty());
    WriteFileBytes(ADDRESS_TABLE_FILE, aoki + rest);  // edited outside the program

    form.DoubleClickItem(QStringLiteral("加藤"));

    EXPECT_EQ(form.Messages(),
              QStringList{QStringLiteral(
                  "「加藤」は AddressTable.csv に見つかりません。ファイルが書き換えられた可能性があります")});
    EXPECT_EQ(form.Text(IDC_NAME), QStringLiteral("加藤"));
    EXPECT_EQ(form.Text(IDC_ADDRESS1), QStringLiteral("最初の住所"));
    form.Click(IDC_PHONE_MOBILE);  // the shown person's number is still kept
    EXPECT_EQ(form.Phones(), "1 [080] [5555] [6666]");
    form.DoubleClickItem(QStringLiteral("佐藤"));
    EXPECT_EQ(form.Phones(), "-1 () () ()");
    EXPECT_EQ(form.Text(IDC_ADDRESS1), "");
}

}  // namespace
