// What the exchange from the controls takes, refuses and says.
#include "FormHarness.h"
#include "NumberText.h"

#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

const QString kNumberMessage = QStringLiteral("正の整数を入力してください。");
const QString kDayRange = QStringLiteral("1 から 31 までの整数を入力してください。");
const QString kYearRange = QStringLiteral("1900 から 2099 までの整数を入力してください。");
using D = CAddressBookDlg;

// What the exchange from the controls takes into the member, or refuses
// with one message, the failing field focused and its text selected.
TEST(Exchange, TakesOrRefusesWithMessageAndFocus)
{
    const struct {
        const char* what;
        int controlId;
        QString typed;
        QString message;                         // empty: the exchange succeeds
        std::uint32_t CAddressBookDlg::*number;  // member to check, or nullptr
        std::uint32_t expected;
    } rows[] = {
        {"empty day", 1049, "", kNumberMessage, &D::m_birthDay, 1},
        {"minus sign", 1049, "-5", kNumberMessage, &D::m_birthDay, 1},
        {"blanks around", 1049, " 12 ", "", &D::m_birthDay, 12},
        {"tab before", 1049, "\t9", "", &D::m_birthDay, 9},
        {"letters after digits", 1049, "12ab", kNumberMessage, &D::m_birthDay, 1},
        {"plus sign", 1049, "+7", "", &D::m_birthDay, 7},
        {"zero day is out of range", 1049, "0", kDayRange, &D::m_birthDay, 0},
        {"leading zeros", 1049, "007", "", &D::m_birthDay, 7},
        {"day 31", 1049, "31", "", &D::m_birthDay, 31},
        {"day 32", 1049, "32", kDayRange, &D::m_birthDay, 32},
        {"month 0 is taken", 1048, "0", "", &D::m_birthMonth, 0},
        {"month 13 is taken", 1048, "13", "", &D::m_birthMonth, 13},
        {"year 1899", 1047, "1899", kYearRange, &D::m_birthYear, 1899},
        {"year 2099", 1047, "2099", "", &D::m_birthYear, 2099},
        {"year 2100", 1047, "2100", kYearRange, &D::m_birthYear, 2100},
        {"beyond 32 bits saturates", 1047, "4294967296", kYearRange, &D::m_birthYear, 4294967295u},
        {"name of 32 bytes", 1021, QStringLiteral("山田山田山田山田山田山田山田山田"), "", nullptr, 0},
        {"name of 33 bytes", 1021, QStringLiteral("山田山田山田山田山田山田山田山田x"),
         QStringLiteral("32 文字以内で入力してください。"), nullptr, 0},
        {"undecodable text", 1027, QStringLiteral("東京\uFFFD"),
         QStringLiteral("「住所」にデータファイルへ保存できない文字が含まれています"), nullptr, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        FormHarness form(Person{}.Line());
        CAddressBookDlg& dlg = form.Dialog();
        form.ClearMessages();
        form.SetText(row.controlId, row.typed);
        EXPECT_EQ(dlg.ExchangeFormValues(CAddressBookDlg::Direction::FromControls), row.message.isEmpty());
        if (row.message.isEmpty()) {
            EXPECT_TRUE(form.Messages().empty());
        } else {
            EXPECT_EQ(form.Messages(), QStringList{row.message});
            EXPECT_EQ(form.FocusId(), row.controlId);
            auto* edit = qobject_cast<QLineEdit*>(dlg.GetDlgItem(row.controlId));
            EXPECT_EQ(edit->selectedText(), edit->text());
        }
        if (row.number != nullptr) {
            EXPECT_EQ(dlg.*row.number, row.expected);
        }
    }
}

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
