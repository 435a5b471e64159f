#include "RecordingDialog.h"
#include "SjisText.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QToolButton>

namespace {

constexpr int kName = 1021;
constexpr int kYear = 1047;  // with the up-down 1039, 1900 to 2099

// Type: each character as a key press carrying that text, as a keyboard
// layout sends it. Retype: the same after GotoDlgCtrl, over the whole text.
// Shrink: Backspace, then type.
enum class Way { Type, Retype, InputMethod, Paste, Shrink, UpArrow, DownArrow, UpKey, DownKey };

void TypeText(QWidget* widget, const QString& text)
{
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &press);
    }
}

void Enter(CDialog& dialog, int id, Way way, const QString& text)
{
    auto* edit = static_cast<QLineEdit*>(dialog.GetDlgItem(id));
    if (way == Way::Retype)
        dialog.GotoDlgCtrl(id);
    if (way == Way::Shrink)
        QTest::keyClick(edit, Qt::Key_Backspace);
    if (way == Way::Type || way == Way::Retype || way == Way::Shrink)
        TypeText(edit, text);
    if (way == Way::InputMethod) {
        QInputMethodEvent composing(text, {});
        QApplication::sendEvent(edit, &composing);
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(edit, &commit);
    }
    if (way == Way::Paste) {
        QGuiApplication::clipboard()->setText(text);
        edit->paste();
    }
    if (way == Way::UpKey || way == Way::DownKey)
        QTest::keyClick(edit, way == Way::UpKey ? Qt::Key_Up : Qt::Key_Down);
    for (QToolButton* arrow : dialog.GetDlgItem(1039)->findChildren<QToolButton*>()) {
        if ((way == Way::UpArrow && arrow->arrowType() == Qt::UpArrow)
            || (way == Way::DownArrow && arrow->arrowType() == Qt::DownArrow))
            QTest::mouseClick(arrow, Qt::LeftButton);
    }
}

struct EditRow {
    const char* name;
    int id;
    int limit;
    std::string programText;  // Shift_JIS bytes set before the user acts
    Way way;
    QString input;
    QString expected;
};

class EditInput : public ::testing::TestWithParam<EditRow> {};

TEST_P(EditInput, TakesOnlyWholeChangesThatFitOrStepsWithinTheUpDownRange)
{
    const EditRow& row = GetParam();
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Open();
    CEdit edit;
    edit.Attach(dialog, row.id);
    edit.SetLimitText(row.limit);
    edit.SetWindowText(row.programText);
    CEdit year;
    year.Attach(dialog, kYear);
    CSpinButtonCtrl spin;
    spin.Attach(dialog, 1039);
    spin.SetRange(1900, 2099);
    spin.SetBuddy(year);
    edit.SetFocus();
    edit.Widget()->end(false);
    Enter(dialog, row.id, row.way, row.input);
    EXPECT_EQ(edit.Widget()->text(), row.expected);
    EXPECT_EQ(edit.GetWindowText(), sjis::FromQString(row.expected));  // nothing when U+FFFD shows
    // The arrows take no focus and nothing here sends a command.
    EXPECT_EQ(QApplication::focusWidget(), edit.Widget());
    EXPECT_TRUE(dialog.notes.empty());
}

const std::string kThirty = "abcdefghijklmnopqrstuvwxyz1234";

INSTANTIATE_TEST_SUITE_P(
    Rows, EditInput,
    ::testing::Values(
        EditRow{"TypingPastTheLimitStopsThere", kName, 4, "", Way::Type, "abcde", "abcd"},
        EditRow{"DoubleByteDoesNotFitInOneByte", kName, 4, "abc", Way::Type, "な", "abc"},
        EditRow{"HalfwidthKanaIsOneByte", kName, 4, "abc", Way::Type, "ｱ", "abcｱ"},
        EditRow{"RetypingCountsOnlyWhatRemains", kName, 3, "123", Way::Retype, "な", "な"},
        EditRow{"InputMethodPastTheLimitIsRefusedWhole", kName, 32, kThirty, Way::InputMethod, "山田",
                QString::fromStdString(kThirty)},
        EditRow{"PastePastTheLimitIsRefusedWhole", kName, 5, "03", Way::Paste, "1234", "03"},
        EditRow{"CommaTyped", kName, 0, "a", Way::Type, "b,c", "abc"},
        EditRow{"CommaPasted", kName, 0, "a", Way::Paste, "b,c", "a"},
        EditRow{"CommaFromInputMethod", kName, 0, "", Way::InputMethod, "1,2", ""},
        EditRow{"FullwidthCommaIsFine", kName, 0, "", Way::Type, "，", "，"},
        EditRow{"UnencodableTyped", kName, 0, "", Way::Type, "é", ""},
        EditRow{"UnencodablePasted", kName, 0, "", Way::Paste, "한국", ""},
        EditRow{"EmojiFromInputMethod", kName, 0, "", Way::InputMethod, "😀", ""},
        EditRow{"WaveDashFromInputMethodIsTaken", kName, 8, "1", Way::InputMethod, "〜3丁目", "1〜3丁目"},
        EditRow{"NoLimitTakesLongText", kName, 0, "", Way::Paste, QString(300, 'x'), QString(300, 'x')},
        // 山田太郎 is eight bytes: it may be shortened but not lengthened.
        EditRow{"ProgramTextOverTheLimitMayOnlyShrink", kName, 4, "\x8E\x52\x93\x63\x91\xBE\x98\x59", Way::Shrink,
                "x", "山田太"},
        EditRow{"ProgramTextKeepsItsComma", kName, 0, "\x93\x8C\x8B\x9E\x93\x73,1\x81\x60", Way::Type, "", "東京都,1～"},
        EditRow{"ProgramTextWithUndecodableByte", kName, 4, "a\x80", Way::Type, "b", "a\uFFFDb"},
        EditRow{"UpKeyStepsOnlyTheBuddy", kName, 0, "1970", Way::UpKey, "", "1970"},
        EditRow{"UpArrowAtTheTopStays", kYear, 0, "2099", Way::UpArrow, "", "2099"},
        EditRow{"UpKeyToTheTop", kYear, 0, "2098", Way::UpKey, "", "2099"},
        EditRow{"DownKeyAtTheBottomStays", kYear, 0, "1900", Way::DownKey, "", "1900"},
        EditRow{"DownArrowToTheBottom", kYear, 0, "1901", Way::DownArrow, "", "1900"},
        EditRow{"BelowTheRangeComesIn", kYear, 0, "1850", Way::UpArrow, "", "1900"},
        EditRow{"AboveTheRangeComesIn", kYear, 0, "2500", Way::DownKey, "", "2099"},
        EditRow{"BlanksAroundAreRead", kYear, 0, " 1999 ", Way::UpKey, "", "2000"},
        EditRow{"LettersLandOnTheBottom", kYear, 0, "19x0", Way::DownArrow, "", "1900"}),
    kRowName);

}  // namespace
