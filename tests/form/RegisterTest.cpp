// 登録, 新規, 削除 and the phone-kind switch: what lands in the file, byte
// for byte, and what the user is told.
#include "FormHarness.h"

#include <QInputMethodEvent>
#include <QtTest/QTest>

#include <optional>

#include <gtest/gtest.h>

namespace {

const QString DUPLICATE = QStringLiteral("テーブル変更はまだサポートしていません m(__)m");

// The first people of a file without any: kinds never chosen hold "*", a
// number of which any part is typed is kept, a name is a duplicate only
// when it is the same, and the list gains each person even when it shows
// another row.
TEST(Register, NewPeopleLandAsOneLineEachWithCrLf)
{
    FormHarness form("# my address book\r\n");
    form.Click(IDC_INDEX_A);
    form.NewPerson(QStringLiteral("山田太郎"), QStringLiteral("やまだたろう"));
    form.Click(IDC_FEMALE);
    form.Click(IDC_BLOOD_O);
    form.Type(IDC_ADDRESS1, QStringLiteral("東京都千代田区1〜3丁目"));
    form.Type(IDC_ADDRESS2, QStringLiteral("ハイツ101"));
    form.Type(IDC_ZIP1, "100");
    form.Type(IDC_ZIP2, "0001");
    form.Type(IDC_EMAIL, "taro@example.jp");
    form.Type(IDC_YEAR, "1985");
    form.Type(IDC_MONTH, "7");
    form.Type(IDC_DAY, "14");
    form.Click(IDC_PHONE_MOBILE);
    form.Type(IDC_PHONE1, "090");
    form.Type(IDC_PHONE2, "1234");
    form.Type(IDC_PHONE3, "5678");
    form.Click(IDOK);
    form.NewPerson(QStringLiteral("山田太郎 "), QStringLiteral("やまだ"));
    form.Click(IDC_PHONE_MOBILE);
    form.Type(IDC_PHONE1, "090");
    form.Click(IDOK);
    form.NewPerson(QStringLiteral("中田"), QStringLiteral("なかた"));
    form.Click(IDOK);
    EXPECT_TRUE(form.Messages().empty());
    form.Click(IDOK);  // 中田 again

    EXPECT_EQ(form.Messages(), QStringList{DUPLICATE});
    EXPECT_EQ(form.FileBytes(), "# my address book\r\n"
                                    + Sjis("7,やまだたろう,山田太郎,東京都千代田区1～3丁目,ハイツ101,1985,7,14,2,"
                                           "taro@example.jp,100,0001,1,"
                                           "*,*,*,090,1234,5678,*,*,*,*,*,*\r\n"
                                           "7,やまだ,山田太郎 ,,,1970,1,1,-1,,,,1,*,*,*,090,,,*,*,*,*,*,*\r\n"
                                           "4,なかた,中田,,,1970,1,1,-1,,,,1,*,*,*,*,*,*,*,*,*,*,*,*\r\n"));
    EXPECT_EQ(form.ListItems(), (QStringList{"中田", "山田太郎 ", "山田太郎"}));
}

// Each refusal says why, appends nothing and lists nobody. Code page 932
// holds 髙 twice (0xEEE0, 0xFBFC), and some bytes decode to nothing: a name
// shown from the file goes back as the file's own bytes, so 登録 finds it
// there. When the file may grow by 10 bytes only, the scan for duplicates
// reads it as usual, the write fails part way and is cut back; when the
// file is append-only (chattr +a) the cut-back fails too, and the user
// hears that part of a line is left.
TEST(Register, RefusalsAppendNothing)
{
    const auto shownFromFile = [](const char* name) {
        return std::string("1,\x82\xA9,") + name + ",,,1980,4,1,0,,,,0," + NO_PHONES + "\r\n";
    };
    const QString required = QStringLiteral("必須項目が抜けています");
    const QString yamada = QStringLiteral("山田"), reading = QStringLiteral("やまだ");
    const struct {
        const char* what;
        std::string file;
        QString name, reading;  // both empty: the person shown from the file
        int button;
        QString message;
        int room = -1;     // bytes the file may grow by, -1 for any
        std::string left;  // the part of a line left in an append-only file
    } rows[] = {
        {"no reading", KATO, yamada, "", IDOK, required, -1, {}},
        {"no name", KATO, "", reading, IDOK, required, -1, {}},
        {"name already in the file", KATO, QStringLiteral("加藤"), QStringLiteral("かとう"), IDOK, DUPLICATE, -1, {}},
        {"twin code of 髙", shownFromFile("\xEE\xE0\x8B\xB4"), "", "", IDOK, DUPLICATE, -1, {}},
        {"bytes that decode to nothing", shownFromFile("A\x85\x40"), "", "", IDOK, DUPLICATE, -1, {}},
        {"behind a malformed line",
         KATO + "\r\n",
         yamada,
         reading,
         IDOK,
         QStringLiteral(
             "AddressTable.csv の 2 行目の形式が正しくないため（空行です）、それ以降のデータを読み込めません"),
         -1,
         {}},
        {"削除",
         KATO,
         yamada,
         reading,
         IDC_DELETE,
         QStringLiteral("テーブル削除はまだサポートしていません m(__)m"),
         -1,
         {}},
        {"write fails part way", KATO, yamada, reading, IDOK, QStringLiteral("レコード登録に失敗しました"), 10, {}},
        // Last: it is skipped where the file system refuses the attribute.
        {"append-only file", KATO, yamada, reading, IDOK,
         QStringLiteral("レコード登録に失敗しました。AddressTable.csv の最後に書きかけの行が残っています"), 10,
         Sjis("7,やまだ,山").substr(0, 10)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        FormHarness form(row.file);
        const QStringList listed = form.ListItems();
        if (!row.name.isEmpty() || !row.reading.isEmpty())
            form.NewPerson(row.name, row.reading);
        form.Click(IDC_PHONE_HOME);  // nothing is refused on the way
        {
            const AppendOnly attribute(ADDRESS_TABLE_FILE, !row.left.empty());
            if (!row.left.empty() && !attribute.Set())
                GTEST_SKIP() << "the file system refuses the append-only attribute";
            std::optional<FileSizeLimit> limit;
            if (row.room >= 0) {
                ASSERT_TRUE(limit.emplace(row.file.size() + row.room).Set());
            }
            form.Click(row.button);
        }
        EXPECT_EQ(form.Messages(), QStringList{row.message});
        EXPECT_EQ(form.FileBytes(), row.file + row.left);
        EXPECT_EQ(form.ListItems(), listed);
    }
}

// A typed number is kept for its kind, also when the checked kind is
// clicked again; a cleared part gives the whole number up. 新規 then
// clears every kind and focuses the name.
TEST(PhoneKind, EachKindKeepsItsNumber)
{
    FormHarness form(Line("0,あおき,青木,", "03,1111,2222,090,3333,4444,*,*,*,*,*,*"));
    EXPECT_EQ(form.Phones(), "0 [03] [1111] [2222]");
    form.Click(IDC_PHONE_MOBILE);
    EXPECT_EQ(form.Phones(), "1 [090] [3333] [4444]");
    form.Click(IDC_PHONE_PHS);
    EXPECT_EQ(form.Phones(), "2 [] [] []");  // a number can be typed for any kind
    form.Click(IDC_PHONE_HOME);
    form.Type(IDC_PHONE3, "9999");
    form.Click(IDC_PHONE_HOME);
    EXPECT_EQ(form.Phones(), "0 [03] [1111] [9999]");
    form.Click(IDC_PHONE_PAGER);
    form.Type(IDC_PHONE1, "011");
    form.Type(IDC_PHONE2, "222");
    form.Type(IDC_PHONE3, "3333");
    form.Click(IDC_PHONE_MOBILE);
    form.Type(IDC_PHONE2, "");
    form.Click(IDC_PHONE_PAGER);
    EXPECT_EQ(form.Phones(), "3 [011] [222] [3333]");
    form.Click(IDC_PHONE_MOBILE);
    EXPECT_EQ(form.Phones(), "1 [] [] []");

    form.Type(IDC_NAME, QStringLiteral("青木二郎"));
    form.Click(IDOK);
    EXPECT_TRUE(form.FileBytes().ends_with(",03,1111,9999,*,*,*,*,*,*,011,222,3333\r\n"));
    form.Click(IDC_NEW);
    EXPECT_TRUE(form.HasFocus(IDC_NAME));
    EXPECT_EQ(form.Phones(), "-1 () () ()");
    form.Click(IDC_PHONE_PAGER);
    EXPECT_EQ(form.Phones(), "3 [] [] []");
    form.Click(IDC_PHONE_HOME);
    EXPECT_EQ(form.Phones(), "0 [] [] []");
}

// ふりがな from the name's input-method events after 新規 (and a reading
// typed first), then 登録. A step is a pre-edit shown, ">" and a commit,
// " " a space key, "\b" the name cleared.
TEST(Register, ReadingFilledFromTheNamesKana)
{
    const QString fifteen(15, u'あ'), kanji(15, u'亜');
    const struct {
        const char* what;
        QString reading;
        QStringList steps;
        QString name, expected;
    } rows[] = {
        {"converted", "", {"や", "やm", "やまだ", "山田", ">山田"}, "山田", "やまだ"},
        {"the user's reading", "かとう", {"やまだ", "山田", ">山田"}, "山田", "かとう"},
        {"segments, a space between", "", {"やまだ", ">山田", " ", "たろう", ">太郎"}, "山田 太郎", "やまだ たろう"},
        {"katakana, kana as is, n pending",
         "",
         {"ジョージ", ">ジョージ", "けn", "健", ">健"},
         "ジョージ健",
         "じょーじけん"},
        {"given up", "", {"やまだ", "", ">山田"}, "山田", ""},
        {"romaji left over", "", {"じょ", "じょh", "じょhん", "john", ">john"}, "john", ""},
        {"no pre-edit", "", {">山田"}, "山田", ""},
        {"name typed anew", "", {"やまだ", ">山田", "\b", "たなか", ">田中"}, "田中", "たなか"},
        {"byte limit", "", {fifteen, ">阿", " ", "いう", ">胃"}, "阿 胃", fifteen + " "},
        {"a commit the name refuses", "", {fifteen, ">" + kanji, "やまだ", ">山田"}, kanji, fifteen},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        FormHarness form(KATO);
        form.NewPerson("", row.reading);
        QLineEdit* name = form.Edit(IDC_NAME);
        name->setFocus();
        for (const QString& step : row.steps) {
            QInputMethodEvent event(step.startsWith('>') ? "" : step, {});
            event.setCommitString(step.startsWith('>') ? step.mid(1) : "");
            if (step == " ")
                QTest::keyClick(name, Qt::Key_Space);
            else if (step == "\b")
                form.Type(IDC_NAME, "");
            else
                QApplication::sendEvent(name, &event);
        }
        EXPECT_EQ(form.Text(IDC_NAME), row.name);
        EXPECT_EQ(form.Text(IDC_READING), row.expected);
        form.Click(IDOK);  // refused without a reading
        const QString line = "," + row.expected + "," + row.name + ",,,1970,1,1,-1,,,,1,";
        EXPECT_TRUE(row.expected.isEmpty() ? form.FileBytes() == KATO
                                           : form.FileBytes().ends_with(Sjis(line.toStdString()) + NO_PHONES + "\r\n"));
    }
}

}  // namespace
