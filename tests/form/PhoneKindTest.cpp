// The phone-kind switch: which number is stored where, and what is shown.
#include "FormHarness.h"

#include <gtest/gtest.h>

namespace {

constexpr int kHome = 1037, kMobile = 1041, kPhs = 1042, kPager = 1043;

std::string PersonWithHomeAndMobile()
{
    Person p{0, "あおき", "青木"};
    p.phones = {"03", "1111", "2222", "090", "3333", "4444", "*", "*", "*", "*", "*", "*"};
    return p.Line();
}

TEST(PhoneKind, SwitchingShowsEachKindsNumber)
{
    FormHarness form(PersonWithHomeAndMobile());
    EXPECT_EQ(form.PhoneTexts(), (QStringList{"03", "1111", "2222"}));
    form.Click(kMobile);
    EXPECT_EQ(form.PhoneTexts(), (QStringList{"090", "3333", "4444"}));
    form.Click(kPhs);
    EXPECT_EQ(form.PhoneTexts(), (QStringList{"", "", ""}));
    EXPECT_TRUE(form.IsEnabled(1032));  // a number can be typed for any kind
    form.Click(kHome);
    EXPECT_EQ(form.PhoneTexts(), (QStringList{"03", "1111", "2222"}));
}

// A typed number is kept for its kind, also when the checked kind is
// clicked again; a cleared part gives the number up.
TEST(PhoneKind, EditedNumberIsStoredForItsKind)
{
    FormHarness form(PersonWithHomeAndMobile());
    form.Type(1036, "9999");
    form.Click(kHome);
    EXPECT_STREQ(form.Dialog().m_record.phones[0][2], "9999");
    EXPECT_EQ(form.PhoneTexts(), (QStringList{"03", "1111", "9999"}));
    form.Click(kPager);
    form.Type(1032, "011");
    form.Type(1034, "222");
    form.Type(1036, "3333");
    form.Click(kHome);
    form.Click(kPager);
    EXPECT_EQ(form.PhoneTexts(), (QStringList{"011", "222", "3333"}));
    form.Click(kHome);
    form.Type(1034, "");
    form.Click(kMobile);
    form.Click(kHome);
    EXPECT_EQ(form.PhoneTexts(), (QStringList{"", "", ""}));
    EXPECT_STREQ(form.Dialog().m_record.phones[0][0], "*");
}

TEST(PhoneKind, DoubleClickRemembersTheKindItShows)
{
    Person other{1, "かとう", "加藤"};
    other.phones = Phones(1, "080", "5555", "6666");
    FormHarness form(PersonWithHomeAndMobile() + other.Line());
    form.DoubleClickItem(QStringLiteral("加藤"));
    EXPECT_EQ(form.Dialog().m_shownPhoneKind, 1);
    form.Click(kHome);  // stores 加藤's mobile number in the mobile slot, not in 自宅
    EXPECT_STREQ(form.Dialog().m_record.phones[1][0], "080");
    EXPECT_STREQ(form.Dialog().m_record.phones[0][0], "*");
}

TEST(PhoneKind, NewForgetsTheShownKind)
{
    FormHarness form(PersonWithHomeAndMobile());
    form.Click(3);  // 新規
    EXPECT_EQ(form.FocusId(), 1021);
    EXPECT_EQ(form.Dialog().m_shownPhoneKind, -1);
    EXPECT_FALSE(form.IsEnabled(1032));
    form.Click(kPhs);
    EXPECT_TRUE(form.IsEnabled(1032));
    EXPECT_EQ(form.PhoneTexts(), (QStringList{"", "", ""}));
}

}  // namespace
