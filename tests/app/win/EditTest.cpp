#include "Controls.h"
#include "RecordingDialog.h"
#include "Resources.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <string>

namespace {

enum class Way { Type, InputMethod, Paste };

// Types each character as a key press carrying that text, as a keyboard
// layout would.
void TypeText(QWidget* widget, const QString& text)
{
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &release);
    }
}

void CommitText(QWidget* widget, const QString& text)
{
    QInputMethodEvent composing(text, {});
    QApplication::sendEvent(widget, &composing);
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(widget, &commit);
}

void Enter(QLineEdit* edit, Way way, const QString& text)
{
    switch (way) {
    case Way::Type:
        TypeText(edit, text);
        break;
    case Way::InputMethod:
        CommitText(edit, text);
        break;
    case Way::Paste:
        QGuiApplication::clipboard()->setText(text);
        edit->paste();
        break;
    }
}

struct EditRow {
    const char* name;
    int limit;
    std::string programText;  // Shift_JIS bytes set before the user acts
    Way way;
    QString input;
    QString expected;
};

class EditInput : public ::testing::TestWithParam<EditRow> {};

TEST_P(EditInput, TakesOrRefusesTheWholeChange)
{
    const EditRow& row = GetParam();
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Open();
    CEdit edit;
    edit.Attach(dialog, 1021);
    edit.SetLimitText(row.limit);
    edit.SetWindowText(row.programText);
    edit.SetFocus();
    edit.Widget()->end(false);
    Enter(edit.Widget(), row.way, row.input);
    EXPECT_EQ(edit.Widget()->text(), row.expected);
}

const QString kThirtyBytes = QStringLiteral("abcdefghijklmnopqrstuvwxyz1234");

INSTANTIATE_TEST_SUITE_P(
    Rows, EditInput,
    ::testing::Values(
        EditRow{"TypingUpToTheLimit", 4, "", Way::Type, QStringLiteral("abcd"), QStringLiteral("abcd")},
        EditRow{"TypingPastTheLimitStopsThere", 4, "", Way::Type, QStringLiteral("abcde"), QStringLiteral("abcd")},
        EditRow{"DoubleByteFillsTheLastTwoBytes", 4, "ab", Way::Type, QStringLiteral("な"), QStringLiteral("abな")},
        EditRow{"DoubleByteDoesNotFitInOneByte", 4, "abc", Way::Type, QStringLiteral("な"), QStringLiteral("abc")},
        EditRow{"HalfwidthKanaIsOneByte", 4, "abc", Way::Type, QStringLiteral("ｱ"), QStringLiteral("abcｱ")},
        EditRow{"InputMethodThatFits", 32, "abcdefghijklmnopqrstuvwxyz1234", Way::InputMethod,
                QStringLiteral("山"), kThirtyBytes + QStringLiteral("山")},
        EditRow{"InputMethodPastTheLimitIsRefusedWhole", 32, "abcdefghijklmnopqrstuvwxyz1234",
                Way::InputMethod, QStringLiteral("山田"), kThirtyBytes},
        EditRow{"PasteThatFits", 5, "", Way::Paste, QStringLiteral("03"), QStringLiteral("03")},
        EditRow{"PastePastTheLimitIsRefusedWhole", 5, "03", Way::Paste, QStringLiteral("1234"), QStringLiteral("03")},
        EditRow{"CommaTyped", 0, "a", Way::Type, QStringLiteral("b,c"), QStringLiteral("abc")},
        EditRow{"CommaPasted", 0, "a", Way::Paste, QStringLiteral("b,c"), QStringLiteral("a")},
        EditRow{"CommaFromInputMethod", 0, "", Way::InputMethod, QStringLiteral("1,2"), QString()},
        EditRow{"FullwidthCommaIsFine", 0, "", Way::Type, QStringLiteral("，"), QStringLiteral("，")},
        EditRow{"UnencodableTyped", 0, "", Way::Type, QStringLiteral("é"), QString()},
        EditRow{"UnencodablePasted", 0, "", Way::Paste, QStringLiteral("한국"), QString()},
        EditRow{"EmojiFromInputMethod", 0, "", Way::InputMethod, QStringLiteral("😀"), QString()},
        EditRow{"WaveDashFromInputMethodIsTaken", 8, "1", Way::InputMethod, QStringLiteral("〜3丁目"),
                QStringLiteral("1〜3丁目")},
        EditRow{"NoLimitTakesLongText", 0, "", Way::Paste, QString(300, QLatin1Char('x')),
                QString(300, QLatin1Char('x'))},
        EditRow{"ProgramTextLongerThanTheLimitRefusesMore", 4, "abcdef", Way::Type, QStringLiteral("g"),
                QStringLiteral("abcdef")},
        EditRow{"ProgramTextWithUndecodableByteAcceptsShortInput", 4, "a\x80", Way::Type, QStringLiteral("b"),
                QStringLiteral("a\uFFFDb")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Edit, ReplacingTheSelectionCountsOnlyWhatRemains)
{
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Open();
    CEdit edit;
    edit.Attach(dialog, 1044);
    edit.SetLimitText(3);
    edit.SetWindowText("123");
    dialog.GotoDlgCtrl(1044);
    TypeText(edit.Widget(), QStringLiteral("な"));
    EXPECT_EQ(edit.GetWindowText(), std::string("\x82\xC8"));
}

TEST(Edit, ShorteningIsAllowedWhileTheProgramTextIsOverTheLimit)
{
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Open();
    CEdit edit;
    edit.Attach(dialog, 1021);
    edit.SetLimitText(4);
    edit.SetWindowText("\x8E\x52\x93\x63\x91\xBE\x98\x59");  // 山田太郎, eight bytes
    edit.SetFocus();
    edit.Widget()->end(false);
    QTest::keyClick(edit.Widget(), Qt::Key_Backspace);
    EXPECT_EQ(edit.GetWindowText(), std::string("\x8E\x52\x93\x63\x91\xBE"));
    QTest::keyClicks(edit.Widget(), "x");
    EXPECT_EQ(edit.GetWindowText(), std::string("\x8E\x52\x93\x63\x91\xBE"));
}

TEST(Edit, TextRoundTripsAsShiftJisAndUnencodableTextReadsAsNothing)
{
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Create();
    CEdit edit;
    edit.Attach(dialog, 1027);
    const std::string address = "\x93\x8C\x8B\x9E\x93\x73,1\x81\x60" "3";  // 東京都,1～3
    edit.SetWindowText(address);
    EXPECT_EQ(edit.GetWindowText(), address);
    edit.SetWindowText("\x93\x8C\xFF");
    EXPECT_EQ(edit.Widget()->text(), QStringLiteral("東\uFFFD"));
    EXPECT_EQ(edit.GetWindowText(), std::nullopt);
}

TEST(Edit, DisabledEditShowsItsTextButTakesNoInput)
{
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Open();
    CEdit phone;
    phone.Attach(dialog, 1032);
    EXPECT_FALSE(phone.IsWindowEnabled());
    phone.SetWindowText("03");
    QTest::keyClicks(phone.Widget(), "9");
    EXPECT_EQ(phone.GetWindowText(), std::string("03"));
    phone.EnableWindow(true);
    EXPECT_TRUE(phone.IsWindowEnabled());
    phone.SetFocus();
    phone.Widget()->end(false);
    QTest::keyClicks(phone.Widget(), "9");
    EXPECT_EQ(phone.GetWindowText(), std::string("039"));
}

TEST(Edit, GotoDlgCtrlFocusesAndSelectsTheWholeText)
{
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Open();
    CEdit year;
    year.Attach(dialog, 1047);
    year.SetWindowText("1970");
    dialog.GotoDlgCtrl(1047);
    EXPECT_EQ(QApplication::focusWidget(), year.Widget());
    EXPECT_EQ(year.Widget()->selectedText(), QStringLiteral("1970"));
}

TEST(Edit, AgeEditIsReadOnly)
{
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Open();
    CEdit age;
    age.Attach(dialog, 1052);
    age.SetWindowText("54");
    age.SetFocus();
    QTest::keyClicks(age.Widget(), "1");
    EXPECT_EQ(age.GetWindowText(), std::string("54"));
}

}  // namespace
