// What the exchange from the controls takes into the file, refuses and
// says, and the age that follows the birth date (today is 5 December 2026).
#include "Age.h"
#include "FormHarness.h"
#include "NumberText.h"

#include <QToolButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

const QString DAY_RANGE = QStringLiteral("1 から 31 までの整数を入力してください。");
const QString YEAR_RANGE = QStringLiteral("1900 から 2099 までの整数を入力してください。");

// A new person with one field set by the program, then 登録: either the
// file gains a line holding `stored` where that field goes, or one message
// appears with the field focused and its text selected, and nothing lands.
TEST(Exchange, RegisterTakesOrRefusesEachField)
{
    const struct {
        const char* what;
        int id;
        QString text;
        QStringList messages;  // none: registered
        std::string stored;
    } rows[] = {
        {"empty day", IDC_DAY, "", {QStringLiteral("正の整数を入力してください。")}, ""},
        {"blanks around", IDC_DAY, " 12 ", {}, ",1970,1,12,-1,"},
        {"day 0", IDC_DAY, "0", {DAY_RANGE}, ""},
        {"day 31", IDC_DAY, "31", {}, ",1970,1,31,-1,"},
        {"day 32", IDC_DAY, "32", {DAY_RANGE}, ""},
        {"month 0 is taken", IDC_MONTH, "0", {}, ",1970,0,1,-1,"},
        {"month 13 is taken", IDC_MONTH, "13", {}, ",1970,13,1,-1,"},
        {"year 1899", IDC_YEAR, "1899", {YEAR_RANGE}, ""},
        {"year 2099", IDC_YEAR, "2099", {}, ",2099,1,1,-1,"},
        {"year 2100", IDC_YEAR, "2100", {YEAR_RANGE}, ""},
        {"name of 32 bytes",
         IDC_NAME,
         QStringLiteral("山田山田山田山田山田山田山田山田"),
         {},
         Sjis(",山田山田山田山田山田山田山田山田,")},
        {"name of 33 bytes",
         IDC_NAME,
         QStringLiteral("山田山田山田山田山田山田山田山田x"),
         {QStringLiteral("32 文字以内で入力してください。")},
         ""},
        {"undecodable text",
         IDC_ADDRESS1,
         QStringLiteral("東京\uFFFD"),
         {QStringLiteral("「住所」にデータファイルへ保存できない文字が含まれています")},
         ""},
        {"address of 255 bytes", IDC_ADDRESS2, QString(255, QLatin1Char('x')), {}, std::string(255, 'x')},
        {"address too long for the file",
         IDC_ADDRESS2,
         QString(256, QLatin1Char('x')),
         {QStringLiteral("「住所」が長すぎます。255 バイト以内で入力してください")},
         ""},
        {"e-mail too long for the file",
         IDC_EMAIL,
         QString(64, QLatin1Char('m')),
         {QStringLiteral("「ｅ－ｍａｉｌ」が長すぎます。63 バイト以内で入力してください")},
         ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        FormHarness form(KATO);
        form.NewPerson(QStringLiteral("山田"), QStringLiteral("やまだ"));
        form.Edit(row.id)->setText(row.text);
        form.Click(IDOK);
        EXPECT_EQ(form.Messages(), row.messages);
        if (row.messages.isEmpty()) {
            EXPECT_NE(form.FileBytes().find(row.stored, KATO.size()), std::string::npos);
            continue;
        }
        EXPECT_TRUE(form.HasFocus(row.id));
        EXPECT_EQ(form.Edit(row.id)->selectedText(), row.text);
        EXPECT_EQ(form.FileBytes(), KATO);
    }
}

// Byte limits hold for typing; number and e-mail fields ask the input
// method for Latin input and turn full-width digits into ASCII ones.
TEST(Exchange, EditsTakeWhatTheirFieldsHold)
{
    FormHarness form("");
    form.Type(IDC_ZIP1, QStringLiteral("12345"));
    form.Type(IDC_NAME, QStringLiteral("あいうえおかきくけこさしすせそたちつ"));  // 36 bytes offered
    form.Type(IDC_YEAR, QStringLiteral("１９８５"));
    form.Type(IDC_READING, QStringLiteral("１"));
    EXPECT_EQ((QStringList{form.Text(IDC_ZIP1), form.Text(IDC_NAME), form.Text(IDC_YEAR), form.Text(IDC_READING)}),
              (QStringList{"123", QStringLiteral("あいうえおかきくけこさしすせそた"), "1985", QStringLiteral("１")}));
    for (const int id :
         {IDC_ZIP1, IDC_ZIP2, IDC_PHONE1, IDC_PHONE2, IDC_PHONE3, IDC_YEAR, IDC_MONTH, IDC_DAY, IDC_EMAIL})
        EXPECT_TRUE(form.Dialog().GetDlgItem(id)->inputMethodHints() & Qt::ImhLatinOnly) << id;
    EXPECT_FALSE(form.Dialog().GetDlgItem(IDC_NAME)->inputMethodHints() & Qt::ImhLatinOnly);
}

TEST(NumberField, ReadsLikeTheFormExpects)
{
    const std::pair<const char*, std::optional<std::uint32_t>> rows[] = {
        {"0", 0u},
        {" 0", std::nullopt},
        {"+0", std::nullopt},
        {"00", 0u},
        {"007", 7u},
        {"+7", 7u},
        {"  42\t ", 42u},
        {"\t9", 9u},
        {"4294967295", 4294967295u},
        {"99999999999999", 4294967295u},
        {"+", std::nullopt},
        {"", std::nullopt},
        {"1 2", std::nullopt},
        {"- 1", std::nullopt},
        {"-5", std::nullopt},
        {"12ab", std::nullopt},
        // Only the first 31 bytes count: the letter at byte 32 is not seen.
        {"1                              x", 1u},
    };
    for (const auto& [text, value] : rows)
        EXPECT_EQ(ParseUnsignedField(text), value) << '"' << text << '"';
}

TEST(Age, AroundTheBirthday)
{
    const struct {
        const char* what;
        std::uint32_t year, month, day, age;
    } rows[] = {
        {"birthday today", 1970, 12, 5, 56},
        {"birthday tomorrow", 1970, 12, 6, 55},
        {"born today", 2026, 12, 5, 0},
        {"month 13 never reached", 1970, 13, 1, 55},
        {"31 February accepted", 2000, 2, 31, 26},
        {"born after today", 2030, 1, 1, 0},
        {"born tomorrow", 2026, 12, 6, 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ComputeAge({2026, 12, 5}, row.year, row.month, row.day), row.age) << row.what;
}

// Leaving a date field updates the age; an up-down click hands the focus to
// its edit, so leaving it afterwards does too. A future birth date gives 0,
// which never fails a later exchange.
TEST(Age, FollowsTheDateFieldsWhenTheyLoseFocus)
{
    FormHarness form("");
    form.Type(IDC_YEAR, "2030");
    form.Type(IDC_MONTH, "12");  // leaving the year
    EXPECT_EQ(form.Text(IDC_AGE), "0");
    form.Type(IDC_YEAR, "1970");
    form.Type(IDC_DAY, "6");
    form.Type(IDC_NAME, "x");  // leaving the day
    EXPECT_EQ(form.Text(IDC_AGE), "55");
    QList<QToolButton*> arrows = form.Dialog().GetDlgItem(IDC_MONTH_SPIN)->findChildren<QToolButton*>();
    ASSERT_EQ(arrows.size(), 2);
    QTest::mouseClick(arrows.front()->arrowType() == Qt::DownArrow ? arrows.front() : arrows.back(), Qt::LeftButton);
    EXPECT_EQ(form.Text(IDC_MONTH), "11");
    form.Type(IDC_NAME, "y");
    EXPECT_EQ(form.Text(IDC_AGE), "56");
    EXPECT_TRUE(form.Messages().empty());
    form.Type(IDC_YEAR, "1850");
    form.Type(IDC_DAY, "2");  // leaving the year
    EXPECT_EQ(form.Messages(), QStringList{YEAR_RANGE});
    EXPECT_EQ(form.Text(IDC_AGE), "176");
}

}  // namespace
