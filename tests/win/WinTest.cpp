// The windowing layer: dialogs built from the templates, their keys and
// commands, the controls and the Shift_JIS text they carry.
#include "AppIcon.h"
#include "Controls.h"
#include "Dialog.h"
#include "Resources.h"
#include "SjisText.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialog>
#include <QFontInfo>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <optional>
#include <vector>

namespace {

using Notes = std::vector<std::pair<int, int>>;

// A shown and active dialog that records the commands, window-menu commands
// and F1 presses it gets, then lets the base class act on them.
struct RecordingDialog : CDialog {
    explicit RecordingDialog(int id = IDD_ADDRESSBOOK, CDialog* owner = nullptr)
        : CDialog(*FindDialogTemplate(id), owner)
    {
        Create();
        Window()->activateWindow();
        (void)QTest::qWaitForWindowActive(Window());
    }
    void OnNotify(int id, int code) override
    {
        notes.emplace_back(id, code);
        CDialog::OnNotify(id, code);
    }
    void OnSysCommand(unsigned command) override
    {
        sysCommands.push_back(command);
        CDialog::OnSysCommand(command);
    }
    void OnHelp() override { ++helps; }

    Notes notes;
    std::vector<unsigned> sysCommands;
    int helps = 0;
};

void Press(QKeyCombination key)
{
    QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
}

TEST(Dialog, BuildsEachControlOfItsTemplateWithItsTextStateAndTabStop)
{
    QGuiApplication::setWindowIcon(LoadAppIcon());  // for the About box's icon
    // Indexed by ControlKind.
    const char* const widgetClass[] = {"QPushButton", "QPushButton", "QLabel",       "QLabel", "QGroupBox",
                                       "QListView",   "QLineEdit",   "QRadioButton", "QWidget"};
    for (const auto& [templateId, firstFocus] : {std::pair{IDD_ADDRESSBOOK, IDC_NEW}, {IDD_ABOUTBOX, IDOK}}) {
        const DialogTemplate& source = *FindDialogTemplate(templateId);
        SCOPED_TRACE(source.caption);
        RecordingDialog dialog(templateId);
        QDialog* window = dialog.Window();
        EXPECT_EQ(window->windowTitle(), QString::fromUtf8(source.caption));
        EXPECT_EQ(QFontInfo(window->font()).family(), QStringLiteral("IPAPGothic"));
        EXPECT_EQ(QFontInfo(window->font()).pointSize(), 9);
        EXPECT_EQ(window->minimumSize(), window->maximumSize());
        EXPECT_EQ(window->windowFlags()
                      & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
                  Qt::WindowFlags(Qt::WindowCloseButtonHint));
        EXPECT_EQ(QApplication::focusWidget(), dialog.GetDlgItem(firstFocus));
        QList<QWidget*> controls = window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        controls.removeIf([](QWidget* child) { return qobject_cast<QMenu*>(child) != nullptr; });
        ASSERT_EQ(static_cast<size_t>(controls.size()), source.controls.size());
        for (size_t index = 0; index < source.controls.size(); ++index) {
            const ControlTemplate& control = source.controls[index];
            QWidget* widget = controls[static_cast<qsizetype>(index)];
            SCOPED_TRACE(testing::Message() << "control " << index << " " << control.text);
            EXPECT_TRUE(widget->inherits(widgetClass[static_cast<int>(control.kind)]));
            EXPECT_EQ(widget->property(control.kind == ControlKind::GroupBox ? "title" : "text").toString(),
                      control.kind == ControlKind::UpDown ? QString() : QString::fromUtf8(control.text));
            EXPECT_EQ(widget->isEnabled(), (control.flags & CF_DISABLED) == 0);
            EXPECT_EQ(widget->property("readOnly").toBool(), (control.flags & CF_READONLY) != 0);
            EXPECT_EQ(widget->accessibleName(),
                      QString::fromUtf8(control.accessibleName ? control.accessibleName : ""));
            EXPECT_EQ(dialog.GetDlgItem(control.id), control.id == IDC_STATIC ? nullptr : widget);
            // A radio button is labelled by its group's label (a screen reader says 性別 before 男).
            if (control.kind == ControlKind::AutoRadio) {
                const auto labels = QAccessible::queryAccessibleInterface(widget)->relations(QAccessible::Label);
                EXPECT_TRUE(labels.size() == 1 && labels[0].first->object()->inherits("QLabel"));
            }
            // A radio group is one tab stop: its first button while none is checked.
            const int tabStop = control.kind == ControlKind::AutoRadio ? CF_GROUP : CF_TABSTOP;
            EXPECT_EQ((widget->focusPolicy() & Qt::TabFocus) != 0, (control.flags & tabStop) != 0);
            // One-line labels fit their text rather than wrap out of sight.
            if (const auto* label = qobject_cast<const QLabel*>(widget); control.kind == ControlKind::Static) {
                EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
            }
            if (control.kind == ControlKind::Icon) {
                EXPECT_EQ(static_cast<QLabel*>(widget)->pixmap().toImage(), LoadAppIcon().pixmap(32).toImage());
                EXPECT_EQ(widget->size(), QSize(32, 32)) << "the icon at its own size";
            }
        }
    }
}

TEST(Dialog, CentresOnTheWorkAreaOrOverItsOwnerKeptInside)
{
    const auto offCentre = [](const CDialog& dialog, const QRect& area) {
        return (dialog.Window()->frameGeometry().center() - area.center()).manhattanLength();
    };
    RecordingDialog main;
    const QRect work = main.Window()->screen()->availableGeometry();
    EXPECT_LE(offCentre(main, work), 2);
    EXPECT_LE(offCentre(RecordingDialog(IDD_ABOUTBOX, &main), main.Window()->frameGeometry()), 2);
    for (const QPoint corner : {work.topLeft() - QPoint(400, 300), work.bottomRight()}) {
        main.Window()->move(corner);
        const RecordingDialog about(IDD_ABOUTBOX, &main);
        EXPECT_TRUE(work.contains(about.Window()->frameGeometry())) << corner.x() << "," << corner.y();
    }
}

// The phone kinds are a group of four between the postal code and the year.
TEST(RadioGroup, ArrowsCheckTheNextButtonRoundTheGroupAndTabStopsAtItsCheckedOrFirstButton)
{
    const QKeyCombination up = Qt::Key_Up, down = Qt::Key_Down, left = Qt::Key_Left, right = Qt::Key_Right,
                          tab = Qt::Key_Tab, backTab = Qt::SHIFT | Qt::Key_Tab;
    const int home = IDC_PHONE_HOME, mobile = IDC_PHONE_MOBILE, phs = IDC_PHONE_PHS, pager = IDC_PHONE_PAGER;
    const struct {
        const char* name;
        int checked;  // the kind checked before; 4 lies outside the group and clears it
        int from;
        std::vector<QKeyCombination> keys;
        int to;
        std::vector<int> clicked;
        int checkedAfter;
        std::vector<int> disabled = {};
    } rows[] = {
        {"DownChecksTheNext", 0, home, {down}, mobile, {mobile}, 1},
        {"RightChecksTheNext", 2, phs, {right}, pager, {pager}, 3},
        {"DownFromTheLastWrapsRound", 3, pager, {down}, home, {home}, 0},
        {"UpFromTheFirstWrapsRound", 0, home, {up}, pager, {pager}, 3},
        {"LeftTwiceGoesBackTwo", 3, pager, {left, left}, mobile, {phs, mobile}, 1},
        {"TabLeavesTheGroup", 2, phs, {tab}, IDC_YEAR, {}, 2},
        {"ShiftTabLeavesTheGroup", 2, phs, {backTab}, IDC_ZIP2, {}, 2},
        {"TabEntersAtTheCheckedButton", 2, IDC_ZIP2, {tab}, phs, {}, 2},
        {"ShiftTabEntersAtTheCheckedButton", 1, IDC_YEAR, {backTab}, mobile, {}, 1},
        {"TabEntersAtTheFirstWhileNoneIsChecked", -1, IDC_ZIP2, {tab}, home, {}, -1},
        {"ShiftTabEntersAtTheFirstWhileNoneIsChecked", 4, IDC_YEAR, {backTab}, home, {}, -1},
        {"TheTabStopFollowsTheArrows", 0, home, {down, tab, backTab}, mobile, {mobile}, 1},
        {"ArrowsPassDisabledButtons", 0, home, {down}, pager, {pager}, 3, {mobile, phs}},
        {"NoOtherEnabledButtonKeepsTheFocus", 0, home, {down, up}, home, {}, 0, {mobile, phs, pager}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RecordingDialog dialog;
        dialog.SetCheckedRadio(IDC_MALE, 1);
        dialog.SetCheckedRadio(home, 3);
        dialog.SetCheckedRadio(home, row.checked);
        for (const int id : row.disabled)
            dialog.GetDlgItem(id)->setEnabled(false);
        dialog.GotoDlgCtrl(row.from);
        for (const QKeyCombination key : row.keys)
            Press(key);
        EXPECT_EQ(QApplication::focusWidget(), dialog.GetDlgItem(row.to));
        std::erase_if(dialog.notes, [](const auto& note) { return note.second == EN_KILLFOCUS; });
        Notes clicks;
        for (const int id : row.clicked)
            clicks.emplace_back(id, BN_CLICKED);
        EXPECT_EQ(dialog.notes, clicks);
        EXPECT_EQ(dialog.GetCheckedRadio(home), row.checkedAfter);
        EXPECT_EQ(dialog.GetCheckedRadio(IDC_MALE), 1) << "another group keeps its button";
        EXPECT_EQ(dialog.GetCheckedRadio(IDC_BLOOD_A), -1);
    }
}

using Act = std::function<void(RecordingDialog&)>;

Act Key(int focusId, QKeyCombination key)
{
    return [=](RecordingDialog& d) {
        d.GotoDlgCtrl(focusId);  // 0: the focus stays where the dialog put it
        Press(key);
    };
}

void ChooseLastMenuItem()
{
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget()))
        menu->actions().back()->trigger();
}

// A right click on the control, or on the background for 0.
Act RightClick(int id)
{
    return [=](RecordingDialog& d) {
        QWidget* window = d.Window();
        const QPoint at = id == 0 ? QPoint(2, window->height() - 2) : d.GetDlgItem(id)->geometry().center();
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, window->mapToGlobal(at));
        QApplication::sendEvent(window, &click);
        ChooseLastMenuItem();
    };
}

TEST(DialogCommands, KeysCloseAndWindowMenuSendTheirCommandAndOnlyEndDialogEnds)
{
    const Notes ok{{IDOK, BN_CLICKED}}, cancel{{IDCANCEL, BN_CLICKED}};
    const struct {
        const char* name;
        Act act;
        Notes notes;
        std::vector<unsigned> sysCommands;
        int result;  // the dialog's ending; 0 while it stays open
        int helps = 0;
    } rows[] = {
        {"Escape", Key(0, Qt::Key_Escape), cancel, {}, IDCANCEL},
        {"EscapeInAnEdit", Key(IDC_NAME, Qt::Key_Escape), cancel, {}, IDCANCEL},
        {"CloseBox", [](RecordingDialog& d) { d.Window()->close(); }, cancel, {SC_CLOSE}, IDCANCEL},
        {"WindowMenuOnTheBackground", RightClick(0), cancel, {SC_CLOSE}, IDCANCEL},
        {"NoWindowMenuOnAButton", RightClick(IDC_NEW), {}, {}, 0},
        {"WindowMenuItemByAltSpace",
         [](RecordingDialog& d) {
             d.GetSystemMenu().AppendItem(IDM_ABOUTBOX, QStringLiteral("About (&A)..."));
             Press(Qt::ALT | Qt::Key_Space);
             ChooseLastMenuItem();
         },
         {},
         {IDM_ABOUTBOX},
         0},
        {"QtReject", [](RecordingDialog& d) { d.Window()->reject(); }, cancel, {}, IDCANCEL},
        {"QtDoneIsIgnored", [](RecordingDialog& d) { d.Window()->done(QDialog::Accepted); }, {}, {}, 0},
        {"EnterOnFocusedDelete", Key(IDC_DELETE, Qt::Key_Return), {{IDC_DELETE, BN_CLICKED}}, {}, 0},
        {"EnterOnFocusedQuit", Key(IDCANCEL, Qt::Key_Return), cancel, {}, IDCANCEL},
        {"EnterInAnEdit", Key(IDC_NAME, Qt::Key_Return), ok, {}, IDOK},
        {"EnterInTheList", Key(IDC_NAME_LIST, Qt::Key_Return), ok, {}, IDOK},
        {"EnterOnARadioButton", Key(IDC_MALE, Qt::Key_Return), ok, {}, IDOK},
        {"KeypadEnter", Key(IDC_READING, Qt::KeypadModifier | Qt::Key_Enter), ok, {}, IDOK},
        {"F1CallsHelpOnly", Key(0, Qt::Key_F1), {}, {}, 0, 1},
        {"NothingReachesAnEndedDialog",
         [](RecordingDialog& d) {
             d.EndDialog(IDOK);
             d.SendNotify(IDC_NEW);
             d.Window()->close();
         },
         {},
         {},
         IDOK},
        // Dropped while any blocker lives; the last click takes the focus
        // from the month edit first.
        {"BlockedUntilTheLastBlockerEnds",
         [](RecordingDialog& d) {
             std::optional<NotificationBlocker> outer(std::in_place, d), inner(std::in_place, d);
             QTest::mouseClick(d.GetDlgItem(IDC_NEW), Qt::LeftButton);
             inner.reset();
             QTest::mouseClick(d.GetDlgItem(IDC_FEMALE), Qt::LeftButton);
             d.GotoDlgCtrl(IDC_YEAR);
             d.GotoDlgCtrl(IDC_MONTH);
             Press(Qt::Key_Escape);
             outer.reset();
             QTest::mouseClick(d.GetDlgItem(IDC_NEW), Qt::LeftButton);
         },
         {{IDC_MONTH, EN_KILLFOCUS}, {IDC_NEW, BN_CLICKED}},
         {},
         0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RecordingDialog dialog;
        row.act(dialog);
        EXPECT_EQ(dialog.notes, row.notes);
        EXPECT_EQ(dialog.sysCommands, row.sysCommands);
        EXPECT_EQ(dialog.helps, row.helps);
        EXPECT_EQ(dialog.Window()->isVisible() ? 0 : dialog.Window()->result(), row.result);
    }
}

// Type: each character as a key press carrying that text, as a keyboard
// layout sends it. Retype: the same after GotoDlgCtrl, over the whole text.
// Shrink: Backspace, then type. AtStart: type before the text. The arrows
// are those of the year's up-down; HoldUp keeps the up arrow down a second.
enum class Way { Type, Retype, Shrink, AtStart, InputMethod, Paste, UpArrow, HoldUp, DownArrow, UpKey, DownKey };

void Enter(CDialog& dialog, int id, Way way, const QString& text)
{
    auto* edit = static_cast<QLineEdit*>(dialog.GetDlgItem(id));
    if (way == Way::Retype)
        dialog.GotoDlgCtrl(id);
    if (way == Way::Shrink || way == Way::AtStart)
        QTest::keyClick(edit, way == Way::Shrink ? Qt::Key_Backspace : Qt::Key_Home);
    for (const QChar ch : way <= Way::AtStart ? text : QString()) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(edit, &press);
    }
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
    for (QToolButton* arrow : dialog.GetDlgItem(IDC_YEAR_SPIN)->findChildren<QToolButton*>()) {
        if (arrow->arrowType() != (way == Way::DownArrow ? Qt::DownArrow : Qt::UpArrow))
            continue;
        if (way == Way::UpArrow || way == Way::DownArrow)
            QTest::mouseClick(arrow, Qt::LeftButton);
        if (way == Way::HoldUp) {
            QTest::mousePress(arrow, Qt::LeftButton);
            QTest::qWait(1000);
            QTest::mouseRelease(arrow, Qt::LeftButton);
        }
    }
}

TEST(Edit, TakesOnlyWholeChangesThatFitAndTheUpDownStepsItsBuddyWithinItsRange)
{
    const std::string thirty = "abcdefghijklmnopqrstuvwxyz1234";
    const struct {
        const char* name;
        int id;
        int limit;
        std::string programText;  // Shift_JIS bytes set before the user acts
        Way way;
        QString input;
        QString expected;
    } rows[] = {
        {"TypingPastTheLimitStopsThere", IDC_NAME, 4, "", Way::Type, "abcde", "abcd"},
        {"DoubleByteDoesNotFitInOneByte", IDC_NAME, 4, "abc", Way::Type, "な", "abc"},
        {"HalfwidthKanaIsOneByte", IDC_NAME, 4, "abc", Way::Type, "ｱ", "abcｱ"},
        {"RetypingCountsOnlyWhatRemains", IDC_NAME, 3, "123", Way::Retype, "な", "な"},
        {"InputMethodPastTheLimitIsRefusedWhole", IDC_NAME, 32, thirty, Way::InputMethod, "山田", thirty.c_str()},
        {"PastePastTheLimitIsRefusedWhole", IDC_NAME, 5, "03", Way::Paste, "1234", "03"},
        {"CommaTyped", IDC_NAME, 0, "a", Way::Type, "b,c", "abc"},
        {"CommaPasted", IDC_NAME, 0, "a", Way::Paste, "b,c", "a"},
        {"CommaFromInputMethod", IDC_NAME, 0, "", Way::InputMethod, "1,2", ""},
        {"FullwidthCommaIsFine", IDC_NAME, 0, "", Way::Type, "，", "，"},
        {"UnencodableTyped", IDC_NAME, 0, "", Way::Type, "é", ""},
        {"UnencodablePasted", IDC_NAME, 0, "", Way::Paste, "한국", ""},
        {"EmojiFromInputMethod", IDC_NAME, 0, "", Way::InputMethod, "😀", ""},
        {"WaveDashFromInputMethodIsTaken", IDC_NAME, 8, "1", Way::InputMethod, "〜3丁目", "1〜3丁目"},
        // 山田太郎 is eight bytes: it may be shortened but not lengthened.
        {"ProgramTextOverTheLimitMayOnlyShrink", IDC_NAME, 4, "\x8E\x52\x93\x63\x91\xBE\x98\x59", Way::Shrink, "x",
         "山田太"},
        {"ProgramTextKeepsItsComma", IDC_NAME, 0, "\x93\x8C\x8B\x9E\x93\x73,1\x81\x60", Way::Type, "", "東京都,1～"},
        {"TypingBeforeTheProgramsCommaIsTaken", IDC_NAME, 0, "1,2", Way::AtStart, "x", "x1,2"},
        {"ProgramTextWithUndecodableByte", IDC_NAME, 4, "a\x80", Way::Type, "bc", "a\uFFFDb"},
        {"UpKeyStepsOnlyTheBuddy", IDC_NAME, 0, "1970", Way::UpKey, "", "1970"},
        {"UpArrowAtTheTopStays", IDC_YEAR, 0, "2099", Way::UpArrow, "", "2099"},
        {"UpKeyToTheTop", IDC_YEAR, 0, "2098", Way::UpKey, "", "2099"},
        {"HoldingTheArrowRepeats", IDC_YEAR, 0, "2096", Way::HoldUp, "", "2099"},
        {"DownKeyAtTheBottomStays", IDC_YEAR, 0, "1900", Way::DownKey, "", "1900"},
        {"DownArrowToTheBottom", IDC_YEAR, 0, "1901", Way::DownArrow, "", "1900"},
        {"BelowTheRangeComesIn", IDC_YEAR, 0, "1850", Way::UpArrow, "", "1900"},
        {"AboveTheRangeComesIn", IDC_YEAR, 0, "2500", Way::DownKey, "", "2099"},
        {"BlanksAroundAreRead", IDC_YEAR, 0, " 1999 ", Way::UpKey, "", "2000"},
        {"LettersLandOnTheBottom", IDC_YEAR, 0, "2050x", Way::DownArrow, "", "1900"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RecordingDialog dialog;
        CEdit edit, year;
        edit.Attach(dialog, row.id);
        edit.SetLimitText(row.limit);
        if (!row.programText.empty())  // else the edit holds only what the user enters
            edit.SetWindowText(row.programText);
        year.Attach(dialog, IDC_YEAR);
        CSpinButtonCtrl spin;
        spin.Attach(dialog, IDC_YEAR_SPIN);
        spin.SetRange(1900, 2099);
        spin.SetBuddy(year);
        edit.SetFocus();
        edit.Widget()->end(false);
        Enter(dialog, row.id, row.way, row.input);
        EXPECT_EQ(edit.Widget()->text(), row.expected);
        EXPECT_EQ(edit.GetWindowText(), sjis::FromQString(row.expected));  // nothing when U+FFFD shows
        // The arrows take no focus and nothing here sends a command; the
        // input method's pre-edit and commit each tell the dialog.
        EXPECT_EQ(QApplication::focusWidget(), edit.Widget());
        EXPECT_EQ(dialog.notes, row.way == Way::InputMethod ? Notes(2, {row.id, EN_COMPOSITION}) : Notes{});
    }
}

// Names in Shift_JIS.
const std::string kSato = "\x8D\xB2\x93\xA1";                 // 佐藤
const std::string kKato = "\x89\xC1\x93\xA1";                 // 加藤
const std::string kAbe = "\x88\xA2\x95\x94";                  // 阿部
const std::string kKatoReading = "\x82\xA9\x82\xC6\x82\xA4";  // かとう

struct ListBoxTest : ::testing::Test {
    ListBoxTest() { list.Attach(dialog, IDC_NAME_LIST); }

    std::vector<std::string> Items() const
    {
        std::vector<std::string> items;
        for (int index = 0; index < list.GetCount(); ++index)
            items.push_back(list.GetText(index));
        return items;
    }

    RecordingDialog dialog;
    CListBox list;
};

// Undecodable bytes all show as U+FFFD, equal to the collation.
TEST_F(ListBoxTest, SortsByTheKeyThenTheTextKeepsEqualItemsInArrivalOrderAndTheSelectedItem)
{
    list.AddString(kKato, kKatoReading);
    list.AddString(kSato, "\x82\xB3\x82\xC6\x82\xA4");  // さとう, not the first added
    list.SetCurSel(1);
    list.AddString(kAbe, "\x82\xA0\x82\xD7");  // あべ
    list.AddString("Zed", kKatoReading);
    list.AddString("Abe", kKatoReading);
    // Readings alike beyond the first 16 bytes of their keys: あ twelve times, then い or あ.
    std::string a12;
    for (int i = 0; i < 12; ++i)
        a12 += "\x82\xA0";
    list.AddString("I", a12 + "\x82\xA2");
    list.AddString("A", a12 + "\x82\xA0");
    for (const char* unsorted : {"\xFF", "x", "\x80", "x", "\x82"})
        list.AddString(unsorted);
    EXPECT_EQ(Items(),
              (std::vector<std::string>{"x", "x", "\xFF", "\x80", "\x82", "A", "I", kAbe, "Abe", "Zed", kKato, kSato}));
    EXPECT_EQ(list.GetCurSel(), 11);
    QCoreApplication::processEvents();
    EXPECT_EQ(list.Widget()->model()->index(7, 0).data().toString(), QStringLiteral("阿部"));
}

TEST_F(ListBoxTest, DeleteReturnsTheRemainingCountAndTheSelectionFollowsItsItem)
{
    for (const char* item : {"a", "b", "c", "d"})
        list.AddString(item);
    QCoreApplication::processEvents();
    QItemSelectionModel* shown = list.Widget()->selectionModel();
    shown->select(list.Widget()->model()->index(2, 0), QItemSelectionModel::ClearAndSelect);  // as a click does
    EXPECT_EQ(list.GetCurSel(), 2);
    EXPECT_EQ(list.DeleteString(4), LB_ERR);
    EXPECT_EQ(list.DeleteString(-1), LB_ERR);
    EXPECT_EQ(list.DeleteString(0), 3);
    EXPECT_EQ(list.GetCurSel(), 1);
    QCoreApplication::processEvents();  // the view catches up between frames
    EXPECT_EQ(shown->selectedRows().value(0).row(), 1);
    EXPECT_EQ(list.DeleteString(1), 2);
    EXPECT_EQ(list.GetCurSel(), -1);
    EXPECT_EQ(Items(), (std::vector<std::string>{"b", "d"}));
    EXPECT_EQ(list.GetText(2), "");
    QCoreApplication::processEvents();
    EXPECT_TRUE(shown->selectedRows().isEmpty());
    list.SetCurSel(1);
    EXPECT_EQ(shown->selectedRows().value(0).row(), 1);
    EXPECT_EQ(list.DeleteString(0), 1);
    EXPECT_EQ(list.DeleteString(0), 0);
    EXPECT_EQ(list.DeleteString(0), LB_ERR);
}

// ア is 83 41 and ヂ is 83 61: folding a trail byte would match ヂ for ア.
TEST_F(ListBoxTest, SelectStringFindsTheFirstItemBeginningWithThePrefixIgnoringAsciiCase)
{
    EXPECT_EQ(list.SelectString(""), LB_ERR);
    for (const std::string& item : {std::string("TANAKA"), std::string("tanabe"), std::string("\x83\x61"),
                                    std::string("\x83\x41\x83\x43"), kSato})
        list.AddString(item);
    const std::pair<std::string, const char*> rows[] = {
        {"TANAKA", "TANAKA"},
        {"TaNaK", "TANAKA"},
        {"tanab", "tanabe"},
        {"", "tanabe"},
        {"\x8D\xB2", "\x8D\xB2\x93\xA1"},
        {"\x83\x41", "\x83\x41\x83\x43"},
        {"\x83\x61", "\x83\x61"},
        {"x", nullptr},
        {"TANAKAS", nullptr},
    };
    for (const auto& [prefix, expected] : rows) {
        SCOPED_TRACE(prefix);
        list.SetCurSel(3);
        const std::string kept = list.GetText(3);
        const int found = list.SelectString(prefix);
        EXPECT_EQ(found, expected != nullptr ? list.GetCurSel() : LB_ERR);
        EXPECT_EQ(list.GetText(list.GetCurSel()), expected != nullptr ? expected : kept);
    }
}

// Twenty times the names take about twenty times as long, not 400; the
// million that a start-up must list are timed in bench/.
TEST_F(ListBoxTest, NamesLoadSortAndClearWithoutAQuadraticStep)
{
    const auto fillAndClear = [this](unsigned count) {
        // The thread's CPU time: other work on the machine moves it little.
        const auto cpu = [] {
            timespec now{};
            ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
            return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
        };
        double spent = -cpu();
        for (unsigned i = 0; i < count; ++i) {
            const unsigned scrambled = i * 2654435761u;
            const std::string reading = {'\x82', static_cast<char>(0x9F + scrambled % 80), '\x82',
                                         static_cast<char>(0x9F + (scrambled / 80) % 80)};
            list.AddString("\x93\x63\x92\x86" + std::to_string(scrambled % 1000003), reading);  // 田中…
        }
        EXPECT_EQ(list.GetCurSel(), list.SelectString("\x93\x63\x92\x86"
                                                      "1"));
        spent += cpu();
        QTest::qWait(20);
        EXPECT_TRUE(list.Widget()->verticalScrollBar()->isEnabled()) << "only when the items overflow";
        const int rowHeight = list.Widget()->visualRect(list.Widget()->model()->index(0, 0)).height();
        EXPECT_EQ(list.Widget()->viewport()->height() % rowHeight, 0) << "no item is cut off at the bottom";
        spent -= cpu();
        while (list.DeleteString(0) > 0) {
        }
        spent += cpu();
        EXPECT_EQ(list.GetCount(), 0);
        QTest::qWait(20);
        EXPECT_FALSE(list.Widget()->verticalScrollBar()->isEnabled());
        return spent;
    };
    const double small = fillAndClear(5000), large = fillAndClear(100000);
    EXPECT_LT(large / small, 100.0) << "a linear step makes it about 20, a quadratic one 400";
}

TEST(SjisCodec, EncodesToCodePage932OrRefusesWholeAndDecodesInvalidBytesAsReplacements)
{
    enum Way { Both, EncodeOnly, DecodeOnly };
    const struct {
        const char* name;
        QString text;
        std::optional<std::string> bytes;  // nullopt: the text is refused
        Way way;                           // EncodeOnly: a JIS form that reads back as its code page 932 twin
    } rows[] = {
        {"ascii", "Tanaka 03", "Tanaka 03", Both},
        {"empty", "", "", Both},
        {"hiragana", "なまえ", "\x82\xC8\x82\xDC\x82\xA6", Both},
        {"halfwidth katakana", "ｱｲ", "\xB1\xB2", Both},
        {"mixed", "1丁目", "1\x92\x9A\x96\xDA", Both},
        {"star", "☆", "\x81\x99", Both},
        {"NEC special", "①", "\x87\x40", Both},
        {"fullwidth tilde", "～", "\x81\x60", Both},
        {"backslash byte", "\\", "\x5C", Both},
        {"embedded zero", QString::fromUtf16(u"a\u0000b", 3), std::string("a\0b", 3), Both},
        {"wave dash", "1〜3",
         "1\x81\x60"
         "3",
         EncodeOnly},
        {"double vertical line", "‖", "\x81\x61", EncodeOnly},
        {"minus sign", "−", "\x81\x7C", EncodeOnly},
        {"cent", "¢", "\x81\x91", EncodeOnly},
        {"pound", "£", "\x81\x92", EncodeOnly},
        {"not", "¬", "\x81\xCA", EncodeOnly},
        {"replacement character", "a\uFFFDb", std::nullopt, EncodeOnly},
        {"latin accent", "café", std::nullopt, EncodeOnly},
        // iconv would write the backslash byte, which reads back as "\".
        {"yen sign", "¥100", std::nullopt, EncodeOnly},
        {"emoji", "a😀", std::nullopt, EncodeOnly},
        {"lone surrogate", QString(QChar(0xD800)), std::nullopt, EncodeOnly},
        {"hangul", "한", std::nullopt, EncodeOnly},
        {"undefined single byte", "a\uFFFDb",
         "a\x80"
         "b",
         DecodeOnly},
        {"lead byte at the end", "ab\uFFFD", "ab\x82", DecodeOnly},
        {"lead byte before a blank", "\uFFFD x", "\x82 x", DecodeOnly},
        {"byte FF", "\uFFFD\uFFFD", "\xFF\xFF", DecodeOnly},
        {"unassigned pair", "\uFFFD@", "\x85\x40@", DecodeOnly},
        {"NEC-selected twin", "髙", "\xEE\xE0", DecodeOnly},
        {"em dash", "—", "\x81\x5C", EncodeOnly},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.way != DecodeOnly) {
            EXPECT_EQ(sjis::FromQString(row.text), row.bytes);
            EXPECT_EQ(sjis::ByteLength(row.text), row.bytes ? std::optional<int>(row.bytes->size()) : std::nullopt);
        }
        if (row.way != EncodeOnly) {
            EXPECT_EQ(sjis::ToQString(*row.bytes), row.text);
        }
    }
}

}  // namespace
