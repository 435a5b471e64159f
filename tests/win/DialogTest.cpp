#include "AppIcon.h"
#include "RecordingDialog.h"

#include <QContextMenuEvent>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QScreen>

#include <functional>
#include <optional>

namespace {

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
        EXPECT_EQ(window->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint
                                           | Qt::WindowCloseButtonHint),
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
            EXPECT_EQ(dialog.GetDlgItem(control.id), control.id == IDC_STATIC ? nullptr : widget);
            if (control.kind != ControlKind::AutoRadio)  // a radio group is one stop: see below
                EXPECT_EQ((widget->focusPolicy() & Qt::TabFocus) != 0, (control.flags & CF_TABSTOP) != 0);
            // One-line labels fit their text rather than wrap out of sight.
            if (auto* label = qobject_cast<QLabel*>(widget); label != nullptr && control.kind == ControlKind::Static)
                EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
            if (control.kind == ControlKind::Icon)
                EXPECT_EQ(static_cast<QLabel*>(widget)->pixmap().toImage(), LoadAppIcon().pixmap(32).toImage());
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
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RecordingDialog dialog;
        dialog.SetCheckedRadio(IDC_MALE, 1);
        dialog.SetCheckedRadio(home, 3);
        dialog.SetCheckedRadio(home, row.checked);
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
         {}, {IDM_ABOUTBOX}, 0},
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
         {}, {}, IDOK},
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
         {{IDC_MONTH, EN_KILLFOCUS}, {IDC_NEW, BN_CLICKED}}, {}, 0},
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

}  // namespace
