// Start-up, the index buttons and the double-click lookup.
#include "FormHarness.h"

#include <QLineEdit>

#include <sys/stat.h>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Phones(int kind, const char* a, const char* b, const char* c)
{
    std::vector<std::string> phones(12, "*");
    phones[kind * 3] = a;
    phones[kind * 3 + 1] = b;
    phones[kind * 3 + 2] = c;
    return phones;
}

struct StartupCase {
    const char* what;
    std::string file;
    bool createFile;
    QStringList messages;
    QStringList listed;  // in list order
};

// Test names show the case, not its bytes.
void PrintTo(const StartupCase& c, std::ostream* out) { *out << c.what; }

class Startup : public ::testing::TestWithParam<StartupCase> {};

TEST_P(Startup, ListsPeopleAndSaysWhatIsWrong)
{
    const StartupCase& c = GetParam();
    FormHarness form(c.file, c.createFile);
    EXPECT_EQ(form.Messages(), c.messages) << c.what;
    EXPECT_EQ(form.ListItems(), c.listed) << c.what;
}

const std::string kA = Person{0, "あおき", "青木"}.Line();
const std::string kB = Person{1, "かとう", "加藤"}.Line();
const std::string kC = Person{2, "さとう", "佐藤"}.Line();

INSTANTIATE_TEST_SUITE_P(
    Files, Startup,
    ::testing::Values(
        StartupCase{"missing file is created", "", false, {}, {}},
        StartupCase{"empty file", "", true, {}, {}},
        StartupCase{"comments only", "# 名前の一覧\r\n#\r\n", true, {}, {}},
        StartupCase{"sorted by reading, not file order", kC + kA + kB, true, {}, {"青木", "加藤", "佐藤"}},
        StartupCase{"trailing empty line hides nobody", kA + kB + "\r\n", true, {}, {"青木", "加藤"}},
        StartupCase{"malformed later line",
                    kA + "# note\r\n" + "1,broken\r\n" + kB,
                    true,
                    {QStringLiteral("AddressTable.csv の 3 行目の形式が正しくないため（項目が 25 個必要ですが 2 個しかありません）、"
                                    "それ以降のデータを読み込めません")},
                    {"青木"}},
        StartupCase{"malformed first data line",
                    "# header\r\n\r\n" + kA,
                    true,
                    {QStringLiteral("AddressTable.csv の 2 行目の形式が正しくないため（空行です）、"
                                    "それ以降のデータを読み込めません")},
                    {}}));

TEST(Startup, FileThatCannotBeOpenedSaysSo)
{
    TempWorkDir outer;
    ASSERT_EQ(::mkdir("AddressTable.csv", 0755), 0);
    MessageBoxCapture capture;
    CAddressBookDlg dlg;
    dlg.Create();
    EXPECT_EQ(QStringList(capture.Messages().begin(), capture.Messages().end()), QStringList{QStringLiteral("データファイルが開けません")});
}

TEST(Startup, EmptyFileShowsTheDefaultForm)
{
    FormHarness form("");
    CAddressBookDlg& dlg = form.Dialog();
    EXPECT_EQ(dlg.GetCheckedRadio(1023), 0);   // 男
    EXPECT_EQ(dlg.GetCheckedRadio(1025), -1);
    EXPECT_EQ(dlg.GetCheckedRadio(1037), -1);
    EXPECT_EQ(form.Text(1047), "1970");
    EXPECT_EQ(form.Text(1048), "1");
    EXPECT_EQ(form.Text(1049), "1");
    EXPECT_EQ(form.Text(1052), "56");
    EXPECT_FALSE(form.IsEnabled(1032));
}

TEST(Startup, FirstPersonWithoutNumberShowsNoKind)
{
    Person first{0, "あおき", "青木", "東京都"};
    FormHarness form(first.Line() + Person{1, "かとう", "加藤", "", "", 1970, 1, 1, 0, "", "", "", 0,
                                           Phones(0, "03", "1234", "5678")}.Line());
    EXPECT_EQ(form.Text(1021), QStringLiteral("青木"));
    EXPECT_EQ(form.Text(1027), QStringLiteral("東京都"));
    EXPECT_EQ(form.Dialog().GetCheckedRadio(1037), -1);
    for (int id : {1032, 1034, 1036}) {
        EXPECT_FALSE(form.IsEnabled(id));
        EXPECT_EQ(form.Text(id), "");
    }
}

TEST(Startup, FirstPersonWithOnlyAMobileNumberShowsIt)
{
    Person first{0, "あおき", "青木"};
    first.phones = Phones(1, "090", "1111", "2222");
    FormHarness form(first.Line());
    EXPECT_EQ(form.Dialog().GetCheckedRadio(1037), 1);
    EXPECT_EQ(form.Text(1032), "090");
    EXPECT_EQ(form.Text(1034), "1111");
    EXPECT_EQ(form.Text(1036), "2222");
    EXPECT_TRUE(form.IsEnabled(1032));
    EXPECT_EQ(form.Dialog().m_shownPhoneKind, 1);
}

TEST(IndexButtons, EachRowListsItsPeople)
{
    std::string file = "# one person per row\r\n";
    const char* names[] = {"あ", "か", "さ", "た", "な", "は", "ま", "や", "ら", "わ"};
    for (int code = 0; code < 10; ++code)
        file += Person{code, names[code], names[code]}.Line();
    file += Person{99, "ABE", "Abe"}.Line() + Person{42, "x", "Odd"}.Line() + Person{1, "かわ", "か2"}.Line();
    FormHarness form(file);

    const int buttons[] = {1020, 1009, 1010, 1011, 1012, 1013, 1014, 1015, 1016, 1017};
    for (int code = 0; code < 10; ++code) {
        form.Click(buttons[code]);
        QStringList expected{QString::fromUtf8(names[code])};
        if (code == 1)
            expected.push_back(QStringLiteral("か2"));
        EXPECT_EQ(form.ListItems(), expected) << "code " << code;
    }
    form.Click(1018);  // 英字
    EXPECT_EQ(form.ListItems(), QStringList{"Abe"});
    form.Click(1019);  // ALL: the odd code 42 too
    EXPECT_EQ(form.ListItems().size(), 13u);
    EXPECT_TRUE(form.Messages().empty());
    EXPECT_EQ(form.Dialog().m_nameList.GetCurSel(), -1);
}

TEST(IndexButtons, ReadPastAMalformedLineBeforeTheFirstMatch)
{
    FormHarness form(kC + "\r\n" + kB);
    form.ClearMessages();
    form.Click(1009);  // か
    EXPECT_EQ(form.ListItems(), QStringList{QStringLiteral("加藤")});
    EXPECT_TRUE(form.Messages().empty());
}

TEST(DoubleClick, ShowsTheFirstOfTwoEqualNames)
{
    Person first{1, "かとう", "加藤", "最初の住所"};
    Person second{1, "かとう", "加藤", "二番目の住所"};
    FormHarness form(kA + first.Line() + second.Line());
    EXPECT_EQ(form.ListItems().size(), 3u);
    for (int i = 0; i < 2; ++i) {
        form.DoubleClickItem(QStringLiteral("加藤"));
        EXPECT_EQ(form.Text(1027), QStringLiteral("最初の住所"));
    }
    EXPECT_TRUE(form.Messages().empty());
}

TEST(DoubleClick, VanishedNameLeavesTheFormAndSaysSo)
{
    Person kato{1, "かとう", "加藤"};
    kato.phones = Phones(0, "03", "1111", "2222");
    FormHarness form(kA + kato.Line());
    form.DoubleClickItem(QStringLiteral("加藤"));
    ASSERT_EQ(form.Text(1032), "03");
    WriteFileBytes("AddressTable.csv", kA);  // edited outside the program
    form.ClearMessages();

    form.DoubleClickItem(QStringLiteral("加藤"));

    EXPECT_EQ(form.Messages(),
              QStringList{QStringLiteral("「加藤」は AddressTable.csv に見つかりません。ファイルが書き換えられた可能性があります")});
    EXPECT_EQ(form.Text(1021), QStringLiteral("加藤"));
    EXPECT_EQ(form.Text(1032), "03");
    EXPECT_STREQ(form.Dialog().m_record.phones[0][0], "03");
}

TEST(DoubleClick, PersonWithoutNumberClearsThePreviousNumber)
{
    Person first{0, "あおき", "青木"};
    first.phones = Phones(2, "070", "1234", "5678");
    FormHarness form(first.Line() + kB);
    ASSERT_EQ(form.Text(1032), "070");
    form.DoubleClickItem(QStringLiteral("加藤"));
    EXPECT_EQ(form.Dialog().GetCheckedRadio(1037), -1);
    for (int id : {1032, 1034, 1036}) {
        EXPECT_EQ(form.Text(id), "");
        EXPECT_FALSE(form.IsEnabled(id));
    }
}

}  // namespace
