// Start-up, the index buttons and the double-click lookup.
#include "FormHarness.h"

#include <QListView>

#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

namespace {

const std::string A = Person{0, "あおき", "青木"}.Line();
const std::string B = Person{1, "かとう", "加藤"}.Line();
const std::string C = Person{2, "さとう", "佐藤"}.Line();

TEST(Startup, ListsPeopleAndSaysWhatIsWrong)
{
    const struct {
        const char* what;
        std::string file;
        bool createFile;
        QStringList messages;
        QStringList listed;  // in list order
    } rows[] = {
        {"missing file is created", "", false, {}, {}},
        {"empty file", "", true, {}, {}},
        {"comments only", Sjis("# 名前の一覧\r\n#\r\n"), true, {}, {}},
        {"sorted by reading, not file order", C + A + B, true, {}, {"青木", "加藤", "佐藤"}},
        {"kana rows first, as the index buttons stand",
         Person{99, "emily", "Emily Carter"}.Line() + Person{99, "アオキ", "青木 K"}.Line() + C
             + Person{0, "あおやま", "青山"}.Line(),
         true, {}, {"青山", "佐藤", "Emily Carter", "青木 K"}},
        {"trailing empty line hides nobody", A + B + "\r\n", true, {}, {"青木", "加藤"}},
        {"malformed later line",
         A + "# note\r\n" + "1,broken\r\n" + B,
         true,
         {QStringLiteral("AddressTable.csv の 3 行目の形式が正しくないため（項目が 25 個必要ですが 2 個しかありません）、"
                         "それ以降のデータを読み込めません")},
         {"青木"}},
        {"a line longer than is read at once",
         A + Person{1, "かとう", "加藤", std::string(4200, 'x').c_str()}.Line() + C,
         true,
         {QStringLiteral("AddressTable.csv の 2 行目が長すぎるため（1 行 4095 バイトまで）、それ以降のデータを読み込めません")},
         {"青木"}},
        {"the rest of a long line", A + [] {
             Person longTail{1, "かとう", "加藤"};
             longTail.phones[11] = std::string(4200, '9');
             return longTail.Line();
         }() + C,
         true,
         {QStringLiteral("AddressTable.csv の 2 行目が長すぎるため（1 行 4095 バイトまで）、それ以降のデータを読み込めません")},
         {"青木", "加藤"}},
        {"saved as UTF-8 by an editor", "0,あおき,青木,,,1980,4,1,0,,,,0,*,*,*,*,*,*,*,*,*,*,*,*\r\n", true,
         {QStringLiteral("AddressTable.csv は UTF-8 で保存されているようです。Shift_JIS (CP932) で保存し直してください")},
         {"髱呈惠"}},  // 青木 in UTF-8, read as code page 932
        {"a line that begins with NUL",
         A + std::string("\0", 1) + B + C,
         true,
         {QStringLiteral("AddressTable.csv の 2 行目に NUL 文字があるため、それ以降のデータを読み込めません")},
         {"青木"}},
        {"malformed first data line",
         "# header\r\n\r\n" + A,
         true,
         {QStringLiteral("AddressTable.csv の 2 行目の形式が正しくないため（空行です）、それ以降のデータを読み込めません")},
         {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        FormHarness form(row.file, row.createFile);
        EXPECT_EQ(form.Messages(), row.messages);
        EXPECT_EQ(form.ListItems(), row.listed);
        if (!row.createFile) {
            EXPECT_TRUE(std::filesystem::exists("AddressTable.csv"));
        }
    }
}

TEST(Startup, FileThatCannotBeOpenedSaysSo)
{
    TempWorkDir outer;
    ASSERT_EQ(::mkdir("AddressTable.csv", 0755), 0);
    MessageBoxCapture capture;
    CAddressBookDlg dialog;
    dialog.Create();
    EXPECT_EQ(QStringList(capture.Messages().begin(), capture.Messages().end()), QStringList{QStringLiteral("データファイルが開けません")});
}

TEST(Startup, EmptyFileShowsTheDefaultForm)
{
    FormHarness form("");
    const CAddressBookDlg& dialog = form.Dialog();
    EXPECT_EQ(dialog.GetCheckedRadio(IDC_MALE), 0);
    EXPECT_EQ(dialog.GetCheckedRadio(IDC_BLOOD_A), -1);
    EXPECT_EQ(dialog.GetCheckedRadio(IDC_PHONE_HOME), -1);
    EXPECT_EQ((QStringList{form.Text(IDC_YEAR), form.Text(IDC_MONTH), form.Text(IDC_DAY), form.Text(IDC_AGE)}),
              (QStringList{"1970", "1", "1", "56"}));
    EXPECT_FALSE(form.IsEnabled(IDC_PHONE1));
    // Rows of the font's height: the list's 141 units hold 17 names.
    const auto* list = qobject_cast<QListView*>(dialog.GetDlgItem(IDC_NAME_LIST));
    EXPECT_EQ(list->viewport()->height() / QFontMetrics(list->font()).height(), 17);
    // The read-only age is drawn on the window's grey.
    const QWidget* age = dialog.GetDlgItem(IDC_AGE);
    EXPECT_EQ(age->palette().color(QPalette::Base), age->palette().color(QPalette::Window));
}

// At start-up and on a double-click: the person's first kind with a
// number is shown, or none, with the previous number gone.
TEST(ShownPerson, FirstKindWithANumberOrNone)
{
    const QStringList none{"", "", ""};
    const QStringList home{"03", "1234", "5678"};
    const QStringList mobile{"090", "1111", "2222"};
    const struct {
        const char* what;
        std::vector<std::string> firstPhones, secondPhones;
        int firstKind, secondKind;
        QStringList firstShown, secondShown;
    } rows[] = {
        {"first without number", Phones(0, "*", "*", "*"), Phones(0, "03", "1234", "5678"), -1, 0, none, home},
        {"first with only a mobile", Phones(1, "090", "1111", "2222"), Phones(0, "*", "*", "*"), 1, -1, mobile, none},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Person first{0, "あおき", "青木", "東京都"};
        first.phones = row.firstPhones;
        Person second{1, "かとう", "加藤"};
        second.phones = row.secondPhones;
        FormHarness form(first.Line() + second.Line());
        EXPECT_EQ(form.Text(IDC_NAME), QStringLiteral("青木"));
        EXPECT_EQ(form.Text(IDC_ADDRESS1), QStringLiteral("東京都"));
        const auto expectShown = [&form](int kind, const QStringList& shown) {
            EXPECT_EQ(form.Dialog().GetCheckedRadio(IDC_PHONE_HOME), kind);
            EXPECT_EQ(form.PhoneTexts(), shown);
            for (int id : {IDC_PHONE1, IDC_PHONE2, IDC_PHONE3})
                EXPECT_EQ(form.IsEnabled(id), kind >= 0);
        };
        expectShown(row.firstKind, row.firstShown);
        form.DoubleClickItem(QStringLiteral("加藤"));
        expectShown(row.secondKind, row.secondShown);
    }
}

TEST(IndexButtons, EachRowListsItsPeople)
{
    std::string file = "# one person per row\r\n";
    const char* names[] = {"あ", "か", "さ", "た", "な", "は", "ま", "や", "ら", "わ"};
    for (int code = 0; code < 10; ++code)
        file += Person{code, names[code], names[code]}.Line();
    file += Person{99, "ABE", "Abe"}.Line() + Person{42, "x", "Odd"}.Line() + Person{1, "かわ", "か2"}.Line();
    FormHarness form(file);

    const int buttons[] = {IDC_INDEX_A,  IDC_INDEX_KA, IDC_INDEX_SA, IDC_INDEX_TA, IDC_INDEX_NA,
                           IDC_INDEX_HA, IDC_INDEX_MA, IDC_INDEX_YA, IDC_INDEX_RA, IDC_INDEX_WA};
    for (int code = 0; code < 10; ++code) {
        form.Click(buttons[code]);
        QStringList expected{QString::fromUtf8(names[code])};
        if (code == 1)
            expected.push_back(QStringLiteral("か2"));
        EXPECT_EQ(form.ListItems(), expected) << "code " << code;
    }
    form.Click(IDC_INDEX_OTHER);
    EXPECT_EQ(form.ListItems(), QStringList{"Abe"});
    form.Click(IDC_INDEX_ALL);  // the odd code 42 too
    EXPECT_EQ(form.ListItems().size(), 13u);
    EXPECT_TRUE(form.Messages().empty());
    EXPECT_EQ(form.SelectedItem(), QString());
}

TEST(IndexButtons, ReadPastAMalformedLineBeforeTheFirstMatch)
{
    FormHarness form(C + "\r\n" + B);
    form.ClearMessages();
    form.Click(IDC_INDEX_KA);
    EXPECT_EQ(form.ListItems(), QStringList{QStringLiteral("加藤")});
    EXPECT_TRUE(form.Messages().empty());
}

// Of two equal names the first is shown; a name gone from the file leaves
// the form as it was and says so.
// 東野 (あ) stands above 東 (は) and begins with it: the list still
// highlights the person shown.
TEST(DoubleClick, HighlightsThePersonShown)
{
    FormHarness form(Person{5, "ひがし", "東"}.Line() + Person{0, "あずまの", "東野"}.Line());
    form.DoubleClickItem(QStringLiteral("東"));
    EXPECT_EQ(form.Text(IDC_NAME), QStringLiteral("東"));
    EXPECT_EQ(form.SelectedItem(), QStringLiteral("東"));
}

TEST(DoubleClick, ShowsTheFirstOfEqualNamesOrSaysItVanished)
{
    Person first{1, "かとう", "加藤", "最初の住所"};
    first.phones = Phones(0, "03", "1111", "2222");
    Person second{1, "かとう", "加藤", "二番目の住所"};
    FormHarness form(A + first.Line() + second.Line());
    EXPECT_EQ(form.ListItems().size(), 3u);
    for (int i = 0; i < 2; ++i) {
        form.DoubleClickItem(QStringLiteral("加藤"));
        EXPECT_EQ(form.Text(IDC_ADDRESS1), QStringLiteral("最初の住所"));
        EXPECT_EQ(form.Text(IDC_PHONE1), "03");
    }
    EXPECT_TRUE(form.Messages().empty());
    WriteFileBytes(ADDRESS_TABLE_FILE, A);  // edited outside the program

    form.DoubleClickItem(QStringLiteral("加藤"));

    EXPECT_EQ(form.Messages(),
              QStringList{QStringLiteral("「加藤」は AddressTable.csv に見つかりません。ファイルが書き換えられた可能性があります")});
    EXPECT_EQ(form.Text(IDC_NAME), QStringLiteral("加藤"));
    EXPECT_EQ(form.Text(IDC_ADDRESS1), QStringLiteral("最初の住所"));
    form.Click(IDC_PHONE_MOBILE);
    form.Click(IDC_PHONE_HOME);  // the shown person's number is still kept
    EXPECT_EQ(form.Text(IDC_PHONE1), "03");
}

}  // namespace
