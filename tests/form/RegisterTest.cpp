// 登録, 新規 and 削除: what lands in the file, byte for byte, and what the
// user is told.
#include "FormHarness.h"

#include <gtest/gtest.h>

namespace {

const QString kRequired = QStringLiteral("必須項目が抜けています");
const QString kDuplicate = QStringLiteral("テーブル変更はまだサポートしていません m(__)m");
const QString kFailed = QStringLiteral("レコード登録に失敗しました");

const std::string kExisting = Person{1, "かとう", "加藤"}.Line();

void EnterPerson(FormHarness& form, const QString& name, const QString& reading)
{
    form.Click(3);  // 新規
    form.Type(1021, name);
    form.Type(1022, reading);
}

// Also when the list is filtered to another row: the new name is listed.
TEST(Register, NewPersonLandsAsOneLineWithCrLf)
{
    FormHarness form(kExisting);
    form.Click(1020);  // あ: 加藤 leaves the list
    EXPECT_TRUE(form.ListItems().empty());
    EnterPerson(form, QStringLiteral("山田太郎"), QStringLiteral("やまだたろう"));
    form.Click(1024);  // 女
    form.Click(1030);  // O
    form.Type(1027, QStringLiteral("東京都千代田区1〜3丁目"));
    form.Type(1047, "1985");
    form.Type(1048, "7");
    form.Type(1049, "14");
    form.Click(1041);  // 携帯
    form.Type(1032, "090");
    form.Type(1034, "1234");
    form.Type(1036, "5678");
    form.Click(1);     // 登録

    EXPECT_TRUE(form.Messages().empty());
    EXPECT_EQ(form.FileBytes(), kExisting + Sjis("7,やまだたろう,山田太郎,東京都千代田区1～3丁目,,1985,7,14,2,,,,1,"
                                                 "*,*,*,090,1234,5678,*,*,*,*,*,*\r\n"));
    EXPECT_EQ(form.ListItems(), QStringList{QStringLiteral("山田太郎")});
}

// Each refusal says why, appends nothing and, for a field, focuses it.
TEST(Register, RefusalsAppendNothing)
{
    const struct {
        const char* what;
        std::string file;
        QString name, reading;
        int field;  // set by the program before 登録, 0 for none
        QString text;
        QString message;
    } rows[] = {
        {"no reading", kExisting, QStringLiteral("山田"), "", 0, "", kRequired},
        {"no name", kExisting, "", QStringLiteral("やまだ"), 0, "", kRequired},
        {"new form left empty", kExisting, "", "", 0, "", kRequired},
        {"name already in the file", kExisting, QStringLiteral("加藤"), QStringLiteral("かとう"), 0, "", kDuplicate},
        {"day with letters", kExisting, QStringLiteral("山田"), QStringLiteral("やまだ"), 1049, "1a",
         QStringLiteral("正の整数を入力してください。")},
        {"address too long for the file", kExisting, QStringLiteral("山田"), QStringLiteral("やまだ"), 1028,
         QString(256, QLatin1Char('x')), QStringLiteral("「住所」が長すぎます。255 バイト以内で入力してください")},
        {"behind a malformed line", kExisting + "\r\n", QStringLiteral("山田"), QStringLiteral("やまだ"), 0, "",
         QStringLiteral("AddressTable.csv の 2 行目の形式が正しくないため（空行です）、それ以降のデータを読み込めません")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        FormHarness form(row.file);
        EnterPerson(form, row.name, row.reading);
        if (row.field != 0)
            form.SetText(row.field, row.text);
        form.Click(1);
        EXPECT_EQ(form.Messages(), QStringList{row.message});
        if (row.field != 0) {
            EXPECT_EQ(form.FocusId(), row.field);
        }
        EXPECT_EQ(form.FileBytes(), row.file);
    }
}

TEST(Register, OnlyTheSameNameIsADuplicate)
{
    FormHarness form(kExisting);
    for (const QString& name : {QStringLiteral("加藤 "), QStringLiteral("加籐")}) {
        EnterPerson(form, name, QStringLiteral("かとう"));
        form.Click(1);
    }
    EXPECT_TRUE(form.Messages().empty());
    EXPECT_EQ(form.ListItems().size(), 3u);
    form.Click(1);  // 加籐 again
    EXPECT_EQ(form.Messages(), QStringList{kDuplicate});
}

TEST(Register, PhonePartsAndMissingKinds)
{
    FormHarness form(kExisting);
    EnterPerson(form, QStringLiteral("山田"), QStringLiteral("やまだ"));
    form.Click(1041);  // 携帯, only the first part typed
    form.Type(1032, "090");
    form.Click(1);
    EnterPerson(form, QStringLiteral("中田"), QStringLiteral("なかた"));
    form.Click(1);     // no kind chosen
    const std::string file = form.FileBytes();
    EXPECT_NE(file.find(",*,*,*,090,,,*,*,*,*,*,*\r\n"), std::string::npos);
    EXPECT_NE(file.find(Sjis("中田")), std::string::npos);
    EXPECT_TRUE(file.ends_with(",*,*,*,*,*,*,*,*,*,*,*,*\r\n"));
}

TEST(Register, FirstPersonOfAnEmptyFile)
{
    FormHarness form("# my address book\r\n");
    EnterPerson(form, QStringLiteral("青木"), QStringLiteral("あおき"));
    form.Click(1);
    EXPECT_TRUE(form.Messages().empty());
    EXPECT_EQ(form.FileBytes(), "# my address book\r\n" + Sjis("0,あおき,青木,,,1970,1,1,-1,,,,1,*,*,*,*,*,*,*,*,*,*,*,*\r\n"));
}

// The file may not grow past its present size: the scan for duplicates
// reads it as usual, the append fails.
TEST(Register, FailedAppendSaysSoAndListsNothing)
{
    FormHarness form(kExisting);
    const auto before = form.ListItems();
    EnterPerson(form, QStringLiteral("山田"), QStringLiteral("やまだ"));
    {
        const FileSizeLimit limit(kExisting.size());
        ASSERT_TRUE(limit.Set());
        form.Click(1);
    }
    EXPECT_EQ(form.Messages(), QStringList{kFailed});
    EXPECT_EQ(form.ListItems(), before);
    EXPECT_EQ(form.FileBytes(), kExisting);
}

TEST(Delete, OnlySaysItIsNotSupported)
{
    FormHarness form(kExisting);
    form.Click(4);
    EXPECT_EQ(form.Messages(), QStringList{QStringLiteral("テーブル削除はまだサポートしていません m(__)m")});
    EXPECT_EQ(form.FileBytes(), kExisting);
}

}  // namespace
