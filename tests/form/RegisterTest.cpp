// 登録, 新規 and 削除: what lands in the file, byte for byte, and what the
// user is told.
#include "FormHarness.h"

#include <gtest/gtest.h>

namespace {

const QString REQUIRED = QStringLiteral("必須項目が抜けています");
const QString DUPLICATE = QStringLiteral("テーブル変更はまだサポートしていません m(__)m");
const std::string EXISTING = Person{1, "かとう", "加藤"}.Line();

// Also when the list is filtered to another row: the new name is listed.
TEST(Register, NewPersonLandsAsOneLineWithCrLf)
{
    FormHarness form(EXISTING);
    form.Click(IDC_INDEX_A);  // 加藤 leaves the list
    EXPECT_TRUE(form.ListItems().empty());
    form.NewPerson(QStringLiteral("山田太郎"), QStringLiteral("やまだたろう"));
    form.Click(IDC_FEMALE);
    form.Click(IDC_BLOOD_O);
    form.Type(IDC_ADDRESS1, QStringLiteral("東京都千代田区1〜3丁目"));
    form.Type(IDC_YEAR, "1985");
    form.Type(IDC_MONTH, "7");
    form.Type(IDC_DAY, "14");
    form.Click(IDC_PHONE_MOBILE);
    form.Type(IDC_PHONE1, "090");
    form.Type(IDC_PHONE2, "1234");
    form.Type(IDC_PHONE3, "5678");
    form.Click(IDOK);

    EXPECT_TRUE(form.Messages().empty());
    EXPECT_EQ(form.FileBytes(), EXISTING + Sjis("7,やまだたろう,山田太郎,東京都千代田区1～3丁目,,1985,7,14,2,,,,1,"
                                                "*,*,*,090,1234,5678,*,*,*,*,*,*\r\n"));
    EXPECT_EQ(form.ListItems(), QStringList{QStringLiteral("山田太郎")});
}

// Each refusal says why and appends nothing.
TEST(Register, RefusalsAppendNothing)
{
    const struct {
        const char* what;
        std::string file;
        QString name, reading;
        QString message;
    } rows[] = {
        {"no reading", EXISTING, QStringLiteral("山田"), "", REQUIRED},
        {"no name", EXISTING, "", QStringLiteral("やまだ"), REQUIRED},
        {"name already in the file", EXISTING, QStringLiteral("加藤"), QStringLiteral("かとう"), DUPLICATE},
        {"behind a malformed line", EXISTING + "\r\n", QStringLiteral("山田"), QStringLiteral("やまだ"),
         QStringLiteral("AddressTable.csv の 2 行目の形式が正しくないため（空行です）、それ以降のデータを読み込めません")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        FormHarness form(row.file);
        form.NewPerson(row.name, row.reading);
        form.Click(IDOK);
        EXPECT_EQ(form.Messages(), QStringList{row.message});
        EXPECT_EQ(form.FileBytes(), row.file);
    }
}

// Code page 932 holds 髙 twice (0xEEE0, 0xFBFC), and some bytes decode to
// nothing: a name shown from the file goes back as the file's own bytes,
// so 登録 finds it there, and nothing is refused on the way.
TEST(Register, NamesShownFromTheFileKeepTheirBytes)
{
    for (const char* name : {"\xEE\xE0\x8B\xB4", "A\x85\x40"}) {
        const std::string file = std::string("1,\x82\xA9,") + name + ",,,1980,4,1,0,,,,0,*,*,*,*,*,*,*,*,*,*,*,*\r\n";
        FormHarness form(file);
        form.Click(IDC_PHONE_HOME);
        form.Click(IDOK);
        EXPECT_EQ(form.Messages(), QStringList{DUPLICATE}) << name;
        EXPECT_EQ(form.FileBytes(), file);
    }
}

TEST(Register, OnlyTheSameNameIsADuplicate)
{
    FormHarness form(EXISTING);
    for (const QString& name : {QStringLiteral("加藤 "), QStringLiteral("加籐")}) {
        form.NewPerson(name, QStringLiteral("かとう"));
        form.Click(IDOK);
    }
    EXPECT_TRUE(form.Messages().empty());
    EXPECT_EQ(form.ListItems().size(), 3u);
    form.Click(IDOK);  // 加籐 again
    EXPECT_EQ(form.Messages(), QStringList{DUPLICATE});
}

// Register keeps a number of which any part is typed; kinds never chosen
// hold "*"; a person first in an empty file is appended as any other.
TEST(Register, PhonePartsAndMissingKinds)
{
    FormHarness form("# my address book\r\n");
    form.NewPerson(QStringLiteral("山田"), QStringLiteral("やまだ"));
    form.Click(IDC_PHONE_MOBILE);
    form.Type(IDC_PHONE1, "090");
    form.Click(IDOK);
    form.NewPerson(QStringLiteral("中田"), QStringLiteral("なかた"));
    form.Click(IDOK);
    EXPECT_TRUE(form.Messages().empty());
    EXPECT_EQ(form.FileBytes(), "# my address book\r\n"
                                    + Sjis("7,やまだ,山田,,,1970,1,1,-1,,,,1,*,*,*,090,,,*,*,*,*,*,*\r\n"
                                           "4,なかた,中田,,,1970,1,1,-1,,,,1,*,*,*,*,*,*,*,*,*,*,*,*\r\n"));
}

// The file may grow by 10 bytes only: the scan for duplicates reads it as
// usual, the write fails part way and is cut back; when the file is
// append-only (chattr +a) the cut-back fails too, and the user hears that
// part of a line is left.
TEST(Register, FailedAppendSaysSoAndListsNothing)
{
    for (const bool appendOnly : {false, true}) {
        FormHarness form(EXISTING);
        const auto before = form.ListItems();
        form.NewPerson(QStringLiteral("山田"), QStringLiteral("やまだ"));
        {
            const AppendOnly attribute(ADDRESS_TABLE_FILE, appendOnly);
            if (appendOnly && !attribute.Set())
                GTEST_SKIP() << "the file system refuses the append-only attribute";
            const FileSizeLimit limit(EXISTING.size() + 10);
            ASSERT_TRUE(limit.Set());
            form.Click(IDOK);
        }
        EXPECT_EQ(form.Messages(), QStringList{appendOnly ? QStringLiteral("レコード登録に失敗しました。AddressTable.csv の"
                                                                             "最後に書きかけの行が残っています")
                                                           : QStringLiteral("レコード登録に失敗しました")});
        EXPECT_EQ(form.ListItems(), before);
        EXPECT_EQ(form.FileBytes().substr(0, EXISTING.size()), EXISTING);
        EXPECT_EQ(form.FileBytes().size(), EXISTING.size() + (appendOnly ? 10 : 0));
    }
}

TEST(Delete, OnlySaysItIsNotSupported)
{
    FormHarness form(EXISTING);
    form.Click(IDC_DELETE);
    EXPECT_EQ(form.Messages(), QStringList{QStringLiteral("テーブル削除はまだサポートしていません m(__)m")});
    EXPECT_EQ(form.FileBytes(), EXISTING);
}

}  // namespace
