#include "Controls.h"
#include "RecordingDialog.h"
#include "Resources.h"

#include <QLineEdit>
#include <QToolButton>

#include <gtest/gtest.h>

#include <string>

namespace {

enum class Act { UpArrow, DownArrow, UpKey, DownKey };

struct StepRow {
    const char* name;
    std::string start;
    Act act;
    std::string expected;
};

class YearStep : public ::testing::TestWithParam<StepRow> {};

// The year's up-down: 1900 to 2099, buddy 1047.
TEST_P(YearStep, StepsTheBuddyWithinTheRange)
{
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Open();
    CEdit year;
    year.Attach(dialog, 1047);
    CSpinButtonCtrl spin;
    spin.Attach(dialog, 1039);
    spin.SetRange(1900, 2099);
    spin.SetBuddy(year);
    year.SetWindowText(GetParam().start);
    year.SetFocus();

    const QList<QToolButton*> arrows = dialog.GetDlgItem(1039)->findChildren<QToolButton*>();
    ASSERT_EQ(arrows.size(), 2);
    QToolButton* up = arrows[0]->arrowType() == Qt::UpArrow ? arrows[0] : arrows[1];
    QToolButton* down = up == arrows[0] ? arrows[1] : arrows[0];
    switch (GetParam().act) {
    case Act::UpArrow:
        QTest::mouseClick(up, Qt::LeftButton);
        break;
    case Act::DownArrow:
        QTest::mouseClick(down, Qt::LeftButton);
        break;
    case Act::UpKey:
        QTest::keyClick(year.Widget(), Qt::Key_Up);
        break;
    case Act::DownKey:
        QTest::keyClick(year.Widget(), Qt::Key_Down);
        break;
    }
    EXPECT_EQ(year.GetWindowText(), GetParam().expected);
    // The arrows take no focus and send no command of their own.
    EXPECT_EQ(QApplication::focusWidget(), year.Widget());
    EXPECT_TRUE(dialog.notes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, YearStep,
    ::testing::Values(StepRow{"UpInTheMiddle", "1970", Act::UpArrow, "1971"},
                      StepRow{"DownInTheMiddle", "1970", Act::DownArrow, "1969"},
                      StepRow{"UpKey", "1970", Act::UpKey, "1971"}, StepRow{"DownKey", "1970", Act::DownKey, "1969"},
                      StepRow{"UpAtTheTopStays", "2099", Act::UpArrow, "2099"},
                      StepRow{"DownAtTheBottomStays", "1900", Act::DownKey, "1900"},
                      StepRow{"UpToTheTop", "2098", Act::UpKey, "2099"},
                      StepRow{"DownToTheBottom", "1901", Act::DownArrow, "1900"},
                      StepRow{"BelowTheRangeComesIn", "1850", Act::UpArrow, "1900"},
                      StepRow{"AboveTheRangeComesIn", "2500", Act::DownKey, "2099"},
                      StepRow{"BlanksAroundAreRead", " 1999 ", Act::UpKey, "2000"},
                      StepRow{"EmptyLandsOnTheBottom", "", Act::UpArrow, "1900"},
                      StepRow{"LettersLandOnTheBottom", "19x0", Act::DownArrow, "1900"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SpinButton, WithoutABuddyOrRangeNothingHappensAndEachUpDownHasItsOwnBuddy)
{
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Open();
    CEdit month;
    CEdit day;
    month.Attach(dialog, 1048);
    day.Attach(dialog, 1049);
    month.SetWindowText("12");
    day.SetWindowText("31");
    CSpinButtonCtrl monthSpin;
    monthSpin.Attach(dialog, 1050);
    monthSpin.SetRange(1, 12);
    // No buddy yet: the Up key in the month edit does nothing.
    month.SetFocus();
    QTest::keyClick(month.Widget(), Qt::Key_Up);
    EXPECT_EQ(month.GetWindowText(), std::string("12"));

    monthSpin.SetBuddy(month);
    QTest::keyClick(month.Widget(), Qt::Key_Down);
    EXPECT_EQ(month.GetWindowText(), std::string("11"));
    day.SetFocus();
    QTest::keyClick(day.Widget(), Qt::Key_Down);
    EXPECT_EQ(day.GetWindowText(), std::string("31"));
}

}  // namespace
