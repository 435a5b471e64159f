// What the exchange from the controls takes, refuses and says.
#include "FormHarness.h"
#include "NumberText.h"

#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

const QString kNumberMessage = QStringLiteral("正の整数を入力してください。");

struct ExchangeCase {
    const char* what;
    int controlId;
    QString typed;
    QString message;       // empty: the exchange succeeds
    std::uint32_t CAddressBookDlg::*number;  // member to check, or nullptr
    std::uint32_t expected;
};

// Test names show the case, not its bytes.
void PrintTo(const ExchangeCase& c, std::ostream* out) { *out << c.what; }

class ExchangeRules : public ::testing::TestWithParam<ExchangeCase> {};

TEST_P(ExchangeRules, TakesOrRefusesWithMessageAndFocus)
{
    const ExchangeCase& c = GetParam();
    FormHarness form(Person{}.Line());
    CAddressBookDlg& dlg = form.Dialog();
    form.ClearMessages();
    form.SetText(c.controlId, c.typed);

    const bool ok = dlg.ExchangeFormValues(CAddressBookDlg::Direction::FromControls);

    EXPECT_EQ(ok, c.message.isEmpty()) << c.what;
    if (c.message.isEmpty()) {
        EXPECT_TRUE(form.Messages().empty()) << c.what;
    } else {
        ASSERT_EQ(form.Messages().size(), 1u) << c.what;
        EXPECT_EQ(form.Messages()[0], c.message) << c.what;
        EXPECT_EQ(form.FocusId(), c.controlId) << c.what;
        auto* edit = qobject_cast<QLineEdit*>(dlg.GetDlgItem(c.controlId));
        EXPECT_EQ(edit->selectedText(), edit->text()) << c.what;
    }
    if (c.number != nullptr) {
        EXPECT_EQ(dlg.*c.number, c.expected) << c.what;
    }
}

const QString kDayRange = QStringLiteral("1 から 31 までの整数を入力してください。");
const QString kYearRange = QStringLiteral("1900 から 2099 までの整数を入力してください。");
using D = CAddressBookDlg;

INSTANTIATE_TEST_SUITE_P(
    Fields, ExchangeRules,
    ::testing::Values(
        ExchangeCase{"empty day", 1049, "", kNumberMessage, &D::m_birthDay, 1},
        ExchangeCase{"minus sign", 1049, "-5", kNumberMessage, &D::m_birthDay, 1},
        ExchangeCase{"blanks around", 1049, " 12 ", "", &D::m_birthDay, 12},
        ExchangeCase{"tab before", 1049, "\t9", "", &D::m_birthDay, 9},
        ExchangeCase{"letters after digits", 1049, "12ab", kNumberMessage, &D::m_birthDay, 1},
        ExchangeCase{"plus sign", 1049, "+7", "", &D::m_birthDay, 7},
        ExchangeCase{"zero day is out of range", 1049, "0", kDayRange, &D::m_birthDay, 0},
        ExchangeCase{"leading zeros", 1049, "007", "", &D::m_birthDay, 7},
        ExchangeCase{"day 31", 1049, "31", "", &D::m_birthDay, 31},
        ExchangeCase{"day 32", 1049, "32", kDayRange, &D::m_birthDay, 32},
        ExchangeCase{"month 0 is taken", 1048, "0", "", &D::m_birthMonth, 0},
        ExchangeCase{"month 13 is taken", 1048, "13", "", &D::m_birthMonth, 13},
        ExchangeCase{"year 1899", 1047, "1899", kYearRange, &D::m_birthYear, 1899},
        ExchangeCase{"year 2099", 1047, "2099", "", &D::m_birthYear, 2099},
        ExchangeCase{"year 2100", 1047, "2100", kYearRange, &D::m_birthYear, 2100},
        ExchangeCase{"beyond 32 bits saturates", 1047, "4294967296", kYearRange, &D::m_birthYear, 4294967295u},
        ExchangeCase{"name of 32 bytes", 1021, QStringLiteral("山田山田山田山田山田山田山田山田"), "", nullptr, 0},
        ExchangeCase{"name of 33 bytes", 1021, QStringLiteral("山田山田山田山田山田山田山田山田x"),
                     QStringLiteral("32 文字以内で入力してください。"), nullptr, 0},
        ExchangeCase{"undecodable text", 1027, QStringLiteral("東京\uFFFD"),
                     QStringLiteral("「住所」にデータファイルへ保存できない文字が含まれています"), nullptr, 0}));

TEST(Exchange, StopsAtTheFailingRowKeepingLaterMembers)
{
    FormHarness form(Person{}.Line());
    CAddressBookDlg& dlg = form.Dialog();
    form.SetText(1021, QStringLiteral("新しい名前"));
    form.SetText(1049, QStringLiteral("x"));
    form.SetText(1046, QStringLiteral("new@example.com"));
    const std::string emailBefore = dlg.m_email;

    EXPECT_FALSE(dlg.ExchangeFormValues(CAddressBookDlg::Direction::FromControls));

    EXPECT_EQ(dlg.m_name, Sjis("新しい名前"));  // row before the day: taken
    EXPECT_EQ(dlg.m_email, emailBefore);        // row after the day: untouched
}

TEST(Exchange, ToControlsSetsTheInputLimits)
{
    FormHarness form("");
    form.Type(1044, QStringLiteral("12345"));
    form.Type(1021, QStringLiteral("あいうえおかきくけこさしすせそたちつ"));  // 36 bytes offered
    EXPECT_EQ(form.Text(1044), QStringLiteral("123"));
    EXPECT_EQ(form.Text(1021), QStringLiteral("あいうえおかきくけこさしすせそた"));  // 32 bytes kept
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
