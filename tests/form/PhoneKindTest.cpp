// The phone-kind switch: which number is kept for which kind, seen in the
// edits and in the line 登録 writes.
#include "FormHarness.h"

#include <gtest/gtest.h>

namespace {

const QStringList NONE{"", "", ""};

std::string PersonWithHomeAndMobile()
{
    Person p{0, "あおき", "青木"};
    p.phones = {"03", "1111", "2222", "090", "3333", "4444", "*", "*", "*", "*", "*", "*"};
    return p.Line();
}

// A typed number is kept for its kind, also when the checked kind is
// clicked again; a cleared part gives the whole number up.
TEST(PhoneKind, EachKindKeepsItsNumber)
{
    FormHarness form(PersonWithHomeAndMobile());
    EXPECT_EQ(form.PhoneTexts(), (QStringList{"03", "1111", "2222"}));
    form.Click(IDC_PHONE_MOBILE);
    EXPECT_EQ(form.PhoneTexts(), (QStringList{"090", "3333", "4444"}));
    form.Click(IDC_PHONE_PHS);
    EXPECT_EQ(form.PhoneTexts(), NONE);
    EXPECT_TRUE(form.IsEnabled(IDC_PHONE1));  // a number can be typed for any kind
    form.Click(IDC_PHONE_HOME);
    form.Type(IDC_PHONE3, "9999");
    form.Click(IDC_PHONE_HOME);
    EXPECT_EQ(form.PhoneTexts(), (QStringList{"03", "1111", "9999"}));
    form.Click(IDC_PHONE_PAGER);
    form.Type(IDC_PHONE1, "011");
    form.Type(IDC_PHONE2, "222");
    form.Type(IDC_PHONE3, "3333");
    form.Click(IDC_PHONE_MOBILE);
    form.Type(IDC_PHONE2, "");
    form.Click(IDC_PHONE_PAGER);
    EXPECT_EQ(form.PhoneTexts(), (QStringList{"011", "222", "3333"}));
    form.Click(IDC_PHONE_MOBILE);
    EXPECT_EQ(form.PhoneTexts(), NONE);

    form.Type(IDC_NAME, QStringLiteral("青木二郎"));
    form.Click(IDOK);
    EXPECT_TRUE(form.FileBytes().ends_with(",03,1111,9999,*,*,*,*,*,*,011,222,3333\r\n"));
}

// After a double-click the next switch stores the number under the kind the
// double-click showed, not under the kind shown before.
TEST(PhoneKind, DoubleClickRemembersTheKindItShows)
{
    Person other{1, "かとう", "加藤"};
    other.phones = Phones(1, "080", "5555", "6666");
    FormHarness form(PersonWithHomeAndMobile() + other.Line());
    form.DoubleClickItem(QStringLiteral("加藤"));
    EXPECT_EQ(form.Dialog().GetCheckedRadio(IDC_PHONE_HOME), 1);
    form.Click(IDC_PHONE_HOME);
    EXPECT_EQ(form.PhoneTexts(), NONE);
    form.Click(IDC_PHONE_MOBILE);
    EXPECT_EQ(form.PhoneTexts(), (QStringList{"080", "5555", "6666"}));
}

TEST(PhoneKind, NewClearsEveryKindAndFocusesTheName)
{
    FormHarness form(PersonWithHomeAndMobile());
    form.Click(IDC_NEW);
    EXPECT_EQ(form.FocusId(), IDC_NAME);
    EXPECT_EQ(form.Dialog().GetCheckedRadio(IDC_PHONE_HOME), -1);
    EXPECT_FALSE(form.IsEnabled(IDC_PHONE1));
    form.Click(IDC_PHONE_MOBILE);
    EXPECT_TRUE(form.IsEnabled(IDC_PHONE1));
    EXPECT_EQ(form.PhoneTexts(), NONE);
    form.Click(IDC_PHONE_HOME);
    EXPECT_EQ(form.PhoneTexts(), NONE);
}

}  // namespace
