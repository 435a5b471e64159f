// What the exchange from the controls takes into the file, refuses and says.
#include "FormHarness.h"
#include "NumberText.h"

#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

const QString NUMBER = QStringLiteral("正の整数を入力してください。");
const QString DAY_RANGE = QStringLiteral("1 から 31 までの整数を入力してください。");
const QString YEAR_RANGE = QStringLiteral("1900 から 2099 までの整数を入力してください。");
const std::string EXISTING = Person{1, "かとう", "加藤"}.Line();

// A new person with one field set by the program, then 登録: either the
// file gains a line holding `stored` where that field goes, or one message
// appears with the field focused and its text selected, and nothing lands.
TEST(Exchange, RegisterTakesOrRefusesEachField)
{
    const struct {
        const char* what;
        int id;
        QString text;
        QString message;  // empty: registered
        std::string stored;
    } rows[] = {
        {"empty day", IDC_DAY, "", NUMBER, ""},
        {"minus sign", IDC_DAY, "-5", NUMBER, ""},
        {"blanks around", IDC_DAY, " 12 ", "", ",1970,1,12,-1,"},
        {"tab before", IDC_DAY, "\t9", "", ",1970,1,9,-1,"},
        {"letters after digits", IDC_DAY, "12ab", NUMBER, ""},
        {"plus sign", IDC_DAY, "+7", "", ",1970,1,7,-1,"},
        {"leading zeros", IDC_DAY, "007", "", ",1970,1,7,-1,"},
        {"day 0", IDC_DAY, "0", DAY_RANGE, ""},
        {"day 31", IDC_DAY, "31", "", ",1970,1,31,-1,"},
        {"day 32", IDC_DAY, "32", DAY_RANGE, ""},
        {"month 0 is taken", IDC_MONTH, "0", "", ",1970,0,1,-1,"},
        {"month 13 is taken", IDC_MONTH, "13", "", ",1970,13,1,-1,"},
        {"year 1899", IDC_YEAR, "1899", YEAR_RANGE, ""},
        {"year 2099", IDC_YEAR, "2099", "", ",2099,1,1,-1,"},
        {"year 2100", IDC_YEAR, "2100", YEAR_RANGE, ""},
        {"beyond 32 bits saturates", IDC_YEAR, "4294967296", YEAR_RANGE, ""},
        {"name of 32 bytes", IDC_NAME, QStringLiteral("山田山田山田山田山田山田山田山田"), "", Sjis(",山田山田山田山田山田山田山田山田,")},
        {"name of 33 bytes", IDC_NAME, QStringLiteral("山田山田山田山田山田山田山田山田x"),
         QStringLiteral("32 文字以内で入力してください。"), ""},
        {"undecodable text", IDC_ADDRESS1, QStringLiteral("東京\uFFFD"),
         QStringLiteral("「住所」にデータファイルへ保存できない文字が含まれています"), ""},
        {"address of 255 bytes", IDC_ADDRESS2, QString(255, QLatin1Char('x')), "", std::string(255, 'x')},
        {"address too long for the file", IDC_ADDRESS2, QString(256, QLatin1Char('x')),
         QStringLiteral("「住所」が長すぎます。255 バイト以内で入力してください"), ""},
        {"e-mail too long for the file", IDC_EMAIL, QString(64, QLatin1Char('m')),
         QStringLiteral("「ｅ－ｍａｉｌ」が長すぎます。63 バイト以内で入力してください"), ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        FormHarness form(EXISTING);
        form.NewPerson(QStringLiteral("山田"), QStringLiteral("やまだ"));
        form.SetText(row.id, row.text);
        form.Click(IDOK);
        if (row.message.isEmpty()) {
            EXPECT_TRUE(form.Messages().empty());
            EXPECT_NE(form.FileBytes().find(row.stored, EXISTING.size()), std::string::npos);
            continue;
        }
        EXPECT_EQ(form.Messages(), QStringList{row.message});
        EXPECT_EQ(form.FocusId(), row.id);
        auto* edit = qobject_cast<QLineEdit*>(form.Dialog().GetDlgItem(row.id));
        EXPECT_EQ(edit->selectedText(), edit->text());
        EXPECT_EQ(form.FileBytes(), EXISTING);
    }
}

// Byte limits hold for typing; number and e-mail fields ask the input
// method for Latin input and turn full-width digits into ASCII ones.
TEST(Exchange, EditsTakeWhatTheirFieldsHold)
{
    FormHarness form("");
    form.Type(IDC_ZIP1, QStringLiteral("12345"));
    form.Type(IDC_NAME, QStringLiteral("あいうえおかきくけこさしすせそたちつ"));  // 36 bytes offered
    EXPECT_EQ(form.Text(IDC_ZIP1), QStringLiteral("123"));
    EXPECT_EQ(form.Text(IDC_NAME), QStringLiteral("あいうえおかきくけこさしすせそた"));  // 32 bytes kept
    form.Type(IDC_YEAR, QStringLiteral("１９８５"));
    form.Type(IDC_READING, QStringLiteral("１"));
    EXPECT_EQ(form.Text(IDC_YEAR), QStringLiteral("1985"));
    EXPECT_EQ(form.Text(IDC_READING), QStringLiteral("１"));
    for (const int id : {IDC_ZIP1, IDC_ZIP2, IDC_PHONE1, IDC_PHONE2, IDC_PHONE3, IDC_YEAR, IDC_MONTH, IDC_DAY, IDC_EMAIL})
        EXPECT_TRUE(form.Dialog().GetDlgItem(id)->inputMethodHints() & Qt::ImhLatinOnly) << id;
    EXPECT_FALSE(form.Dialog().GetDlgItem(IDC_NAME)->inputMethodHints() & Qt::ImhLatinOnly);
}

TEST(NumberField, ReadsLikeTheFormExpects)
{
    struct Row {
        const char* text;
        std::optional<std::uint32_t> value;
    };
    const Row rows[] = {
        {"0", 0u},       {" 0", std::nullopt}, {"+0", std::nullopt}, {"00", 0u},
        {"  42\t ", 42u}, {"4294967295", 4294967295u}, {"99999999999999", 4294967295u},
        {"+", std::nullopt}, {"", std::nullopt}, {"1 2", std::nullopt}, {"- 1", std::nullopt},
        // Only the first 31 bytes count: the letter at byte 32 is not seen.
        {"1                              x", 1u},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ParseUnsignedField(row.text), row.value) << '"' << row.text << '"';
}

}  // namespace
