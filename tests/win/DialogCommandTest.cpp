#include "RecordingDialog.h"

#include <QContextMenuEvent>
#include <QMenu>

#include <functional>

namespace {

using Act = std::function<void(RecordingDialog&)>;

Act Key(int focusId, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    return [=](RecordingDialog& d) {
        d.GotoDlgCtrl(focusId);  // 0: the focus stays where the dialog put it
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    };
}

struct RouteRow {
    const char* name;
    Act act;
    Notes notes;
    std::vector<unsigned> sysCommands;
    int result;  // the dialog's ending; 0 when it stays open
    int helps = 0;
};

class Routing : public ::testing::TestWithParam<RouteRow> {};

TEST_P(Routing, SendsTheCommandOfTheKeyOrCloseAndEndsOnlyThroughIt)
{
    const RouteRow& row = GetParam();
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Open();
    row.act(dialog);
    EXPECT_EQ(dialog.notes, row.notes);
    EXPECT_EQ(dialog.sysCommands, row.sysCommands);
    EXPECT_EQ(dialog.helpCount, row.helps);
    EXPECT_EQ(dialog.Window()->isVisible() ? 0 : dialog.Window()->result(), row.result);
}

const Notes kOk{{IDOK, BN_CLICKED}};
const Notes kCancel{{IDCANCEL, BN_CLICKED}};

INSTANTIATE_TEST_SUITE_P(
    Rows, Routing,
    ::testing::Values(
        RouteRow{"Escape", Key(0, Qt::Key_Escape), kCancel, {}, IDCANCEL},
        RouteRow{"EscapeInAnEdit", Key(1021, Qt::Key_Escape), kCancel, {}, IDCANCEL},
        RouteRow{"CloseBox", [](RecordingDialog& d) { d.Window()->close(); }, kCancel, {SC_CLOSE}, IDCANCEL},
        RouteRow{"WindowMenuClose", [](RecordingDialog& d) { d.GetSystemMenu().Menu()->actions()[0]->trigger(); },
                 kCancel, {SC_CLOSE}, IDCANCEL},
        RouteRow{"WindowMenuItemByAltSpace",
                 [](RecordingDialog& d) {
                     d.GetSystemMenu().AppendItem(IDM_ABOUTBOX, QStringLiteral("About (&A)..."));
                     QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space, Qt::AltModifier);
                     if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget()))
                         menu->actions().back()->trigger();
                 },
                 {}, {IDM_ABOUTBOX}, 0},
        RouteRow{"QtReject", [](RecordingDialog& d) { d.Window()->reject(); }, kCancel, {}, IDCANCEL},
        RouteRow{"QtDoneIsIgnored", [](RecordingDialog& d) { d.Window()->done(QDialog::Accepted); }, {}, {}, 0},
        RouteRow{"EnterOnFocusedDelete", Key(4, Qt::Key_Return), {{4, BN_CLICKED}}, {}, 0},
        RouteRow{"EnterOnFocusedQuit", Key(2, Qt::Key_Return), {{2, BN_CLICKED}}, {}, IDCANCEL},
        RouteRow{"EnterInNameEdit", Key(1021, Qt::Key_Return), kOk, {}, IDOK},
        RouteRow{"EnterInList", Key(1007, Qt::Key_Return), kOk, {}, IDOK},
        RouteRow{"EnterOnRadioButton", Key(1024, Qt::Key_Return), kOk, {}, IDOK},
        RouteRow{"KeypadEnter", Key(1022, Qt::Key_Enter, Qt::KeypadModifier), kOk, {}, IDOK},
        RouteRow{"F1CallsHelpOnly", Key(0, Qt::Key_F1), {}, {}, 0, 1},
        RouteRow{"NothingReachesAnEndedDialog",
                 [](RecordingDialog& d) { d.EndDialog(IDOK); d.SendNotify(3); d.Window()->close(); }, {}, {}, IDOK}),
    kRowName);

TEST(DialogCommands, BlockedNotificationsAreDroppedUntilTheLastBlockerEnds)
{
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Open();
    {
        NotificationBlocker outer(dialog);
        {
            NotificationBlocker inner(dialog);
            QTest::mouseClick(dialog.GetDlgItem(3), Qt::LeftButton);
        }
        QTest::mouseClick(dialog.GetDlgItem(1024), Qt::LeftButton);
        dialog.GotoDlgCtrl(1047);
        dialog.GotoDlgCtrl(1048);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    }
    EXPECT_TRUE(dialog.notes.empty());
    EXPECT_TRUE(dialog.Window()->isVisible());
    // The click takes the focus from the month edit first.
    QTest::mouseClick(dialog.GetDlgItem(3), Qt::LeftButton);
    EXPECT_EQ(dialog.notes, (Notes{{1048, EN_KILLFOCUS}, {3, BN_CLICKED}}));
}

TEST(WindowMenu, OpensOnARightClickOnTheBackgroundOnly)
{
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Open();
    QWidget* window = dialog.Window();
    const std::pair<QPoint, bool> clicks[] = {{dialog.GetDlgItem(3)->geometry().center(), false},
                                              {QPoint(2, window->height() - 2), true}};
    for (const auto& [at, opens] : clicks) {
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, window->mapToGlobal(at));
        QApplication::sendEvent(window, &click);
        EXPECT_EQ(qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr, opens);
    }
}

}  // namespace
