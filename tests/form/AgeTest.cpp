// The age field follows the birth date (today fixed at 5 December 2026).
#include "Age.h"
#include "FormHarness.h"

#include <QToolButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

TEST(Age, AroundTheBirthday)
{
    const CalendarDate today{2026, 12, 5};
    struct Row {
        const char* what;
        std::uint32_t year, month, day, age;
    };
    const Row rows[] = {
        {"birthday today", 1970, 12, 5, 56},
        {"birthday tomorrow", 1970, 12, 6, 55},
        {"default date", 1970, 1, 1, 56},
        {"month 13 never reached", 1970, 13, 1, 55},
        {"31 February accepted", 2000, 2, 31, 26},
        {"born today", 2026, 12, 5, 0},
        {"born after today", 2030, 1, 1, 0},
        {"born tomorrow", 2026, 12, 6, 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ComputeAge(today, row.year, row.month, row.day), row.age) << row.what;
}

// A future birth date gives age 0, which never fails a later exchange.
TEST(Age, FollowsTheDateFieldsWhenTheyLoseFocus)
{
    FormHarness form("");
    form.Type(IDC_YEAR, "2030");
    form.Type(IDC_MONTH, "6");  // leaving the year updates the age
    EXPECT_EQ(form.Text(IDC_AGE), "0");
    form.Type(IDC_YEAR, "1970");
    form.Type(IDC_MONTH, "12");
    form.Type(IDC_DAY, "6");
    form.Type(IDC_NAME, "x");  // leaving the day
    EXPECT_EQ(form.Text(IDC_AGE), "55");
    EXPECT_TRUE(form.Messages().empty());
}

// An up-down click hands the focus to its edit, so leaving it afterwards
// updates the age.
TEST(Age, FollowsAMonthSteppedWithTheMouse)
{
    FormHarness form("");
    form.SetText(IDC_DAY, "6");
    form.SetText(IDC_MONTH, "11");
    form.Type(IDC_NAME, "x");
    QList<QToolButton*> arrows = form.Dialog().GetDlgItem(IDC_MONTH_SPIN)->findChildren<QToolButton*>();
    ASSERT_EQ(arrows.size(), 2);
    QTest::mouseClick(arrows.front()->arrowType() == Qt::UpArrow ? arrows.front() : arrows.back(), Qt::LeftButton);
    EXPECT_EQ(form.Text(IDC_MONTH), "12");
    form.Type(IDC_NAME, "y");
    EXPECT_EQ(form.Text(IDC_AGE), "55");
}

TEST(Age, OutOfRangeYearSaysSoAndStillComputes)
{
    FormHarness form("");
    form.Type(IDC_YEAR, "1850");
    form.Type(IDC_DAY, "2");  // leaving the year
    EXPECT_EQ(form.Messages(), QStringList{QStringLiteral("1900 から 2099 までの整数を入力してください。")});
    EXPECT_EQ(form.Text(IDC_AGE), "176");
}

}  // namespace
