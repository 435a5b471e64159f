#include "Controls.h"
#include "RecordingDialog.h"
#include "Resources.h"

#include <QContextMenuEvent>
#include <QListView>
#include <QMenu>
#include <QPixmap>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

using Notes = std::vector<std::pair<int, int>>;

QMenu* OpenMenu(const CDialog& dialog)
{
    for (QMenu* menu : dialog.Window()->findChildren<QMenu*>()) {
        if (menu->isVisible())
            return menu;
    }
    return nullptr;
}

struct CloseRow {
    const char* name;
    std::function<void(RecordingDialog&)> act;
    bool viaSystemCommand;
};

class ClosingCommand : public ::testing::TestWithParam<CloseRow> {};

TEST_P(ClosingCommand, SendsCancelAndEndsTheDialogWithTwo)
{
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Open();
    GetParam().act(dialog);
    EXPECT_EQ(dialog.notes, (Notes{{IDCANCEL, BN_CLICKED}}));
    EXPECT_EQ(dialog.sysCommands, GetParam().viaSystemCommand ? std::vector<unsigned>{SC_CLOSE}
                                                                : std::vector<unsigned>{});
    EXPECT_FALSE(dialog.Window()->isVisible());
    EXPECT_EQ(dialog.Window()->result(), IDCANCEL);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ClosingCommand,
    ::testing::Values(
        CloseRow{"Escape", [](RecordingDialog&) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); },
                 false},
        CloseRow{"EscapeInAnEdit",
                 [](RecordingDialog& d) {
                     d.GotoDlgCtrl(1021);
                     QTest::keyClick(d.GetDlgItem(1021), Qt::Key_Escape);
                 },
                 false},
        CloseRow{"CloseBox", [](RecordingDialog& d) { d.Window()->close(); }, true},
        CloseRow{"WindowMenuClose",
                 [](RecordingDialog& d) { d.GetSystemMenu().Menu()->actions().front()->trigger(); }, true},
        CloseRow{"QtRejectPath", [](RecordingDialog& d) { d.Window()->reject(); }, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct EnterRow {
    const char* name;
    int templateId;
    int focusId;
    int command;
    bool ends;
};

class EnterKey : public ::testing::TestWithParam<EnterRow> {};

TEST_P(EnterKey, SendsTheFocusedPushButtonElseTheDefaultButton)
{
    RecordingDialog dialog(GetParam().templateId);
    dialog.Open();
    dialog.GotoDlgCtrl(GetParam().focusId);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(dialog.notes, (Notes{{GetParam().command, BN_CLICKED}}));
    EXPECT_EQ(dialog.Window()->isVisible(), !GetParam().ends);
}

INSTANTIATE_TEST_SUITE_P(Rows, EnterKey,
                         ::testing::Values(EnterRow{"FocusedDelete", IDD_ADDRESSBOOK, 4, 4, false},
                                           EnterRow{"FocusedQuit", IDD_ADDRESSBOOK, 2, 2, true},
                                           EnterRow{"FocusedIndexButton", IDD_ADDRESSBOOK, 1009, 1009, false},
                                           EnterRow{"InNameEdit", IDD_ADDRESSBOOK, 1021, IDOK, true},
                                           EnterRow{"InList", IDD_ADDRESSBOOK, 1007, IDOK, true},
                                           EnterRow{"OnRadioButton", IDD_ADDRESSBOOK, 1024, IDOK, true},
                                           EnterRow{"AboutBoxOk", IDD_ABOUTBOX, 1, IDOK, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DialogCommands, KeypadEnterActsLikeReturn)
{
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Open();
    dialog.GotoDlgCtrl(1022);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(dialog.notes, (Notes{{IDOK, BN_CLICKED}}));
}

TEST(DialogCommands, QtsOwnEndingDoesNotEndTheDialog)
{
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Open();
    dialog.Window()->done(QDialog::Accepted);
    EXPECT_TRUE(dialog.Window()->isVisible());
    EXPECT_TRUE(dialog.notes.empty());
}

TEST(DialogCommands, ModalRunReturnsTheResultOfEndDialog)
{
    RecordingDialog main(IDD_ADDRESSBOOK);
    QTimer::singleShot(0, [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape); });
    EXPECT_EQ(main.DoModal(), IDCANCEL);
    EXPECT_EQ(main.Window(), nullptr);

    RecordingDialog about(IDD_ABOUTBOX);
    QTimer::singleShot(0, [&about] { QTest::mouseClick(about.GetDlgItem(IDOK), Qt::LeftButton); });
    EXPECT_EQ(about.DoModal(), IDOK);
    EXPECT_EQ(about.notes, (Notes{{IDOK, BN_CLICKED}}));
}

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
        EXPECT_TRUE(dialog.NotificationsBlocked());
    }
    EXPECT_FALSE(dialog.NotificationsBlocked());
    EXPECT_TRUE(dialog.notes.empty());
    EXPECT_TRUE(dialog.Window()->isVisible());
    // The click takes the focus from the month edit first.
    QTest::mouseClick(dialog.GetDlgItem(3), Qt::LeftButton);
    EXPECT_EQ(dialog.notes, (Notes{{1048, EN_KILLFOCUS}, {3, BN_CLICKED}}));
}

TEST(DialogCommands, EditLosingFocusNotifiesOnce)
{
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Open();
    dialog.GotoDlgCtrl(1047);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(dialog.notes, (Notes{{1047, EN_KILLFOCUS}}));
    EXPECT_EQ(QApplication::focusWidget(), dialog.GetDlgItem(1048));
}

TEST(DialogCommands, DoubleClickOnAListItemNotifies)
{
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Open();
    CListBox list;
    list.Attach(dialog, 1007);
    list.AddString("\x8E\x52\x93\x63");
    list.AddString("\x93\x63\x92\x86");
    auto* view = static_cast<QListView*>(dialog.GetDlgItem(1007));
    QTest::qWait(20);
    view->doItemsLayout();
    const QRect second = view->visualRect(view->model()->index(1, 0));
    ASSERT_TRUE(second.isValid());
    // A real double-click: a click, then the second press.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
    EXPECT_EQ(dialog.notes, (Notes{{1007, LBN_DBLCLK}}));
    EXPECT_EQ(list.GetCurSel(), 1);
}

TEST(DialogCommands, NothingReachesADialogThatHasEnded)
{
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Open();
    dialog.EndDialog(IDOK);
    dialog.SendNotify(3);
    dialog.Window()->close();
    EXPECT_TRUE(dialog.notes.empty());
    EXPECT_TRUE(dialog.sysCommands.empty());
    EXPECT_EQ(dialog.Window()->result(), IDOK);
}

TEST(DialogCommands, F1CallsHelpAndSendsNoCommand)
{
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Open();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    EXPECT_EQ(dialog.helpCount, 1);
    EXPECT_TRUE(dialog.notes.empty());
    EXPECT_TRUE(dialog.Window()->isVisible());
}

TEST(WindowMenu, OpensWithAltSpaceAndOnTheBackgroundAndSendsItsItems)
{
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Open();
    dialog.GetSystemMenu().AppendSeparator();
    dialog.GetSystemMenu().AppendItem(IDM_ABOUTBOX, QStringLiteral("About (&A)..."));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space, Qt::AltModifier);
    EXPECT_TRUE(dialog.notes.empty());
    QMenu* menu = OpenMenu(dialog);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 3);
    EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("閉じる"));
    EXPECT_TRUE(menu->actions()[1]->isSeparator());
    menu->actions()[2]->trigger();
    menu->close();
    EXPECT_EQ(dialog.sysCommands, std::vector<unsigned>{IDM_ABOUTBOX});
    EXPECT_TRUE(dialog.Window()->isVisible());

    // A right-click on a control is the control's; on the background it
    // opens the window menu.
    QWidget* window = dialog.Window();
    const QPoint onButton = dialog.GetDlgItem(3)->geometry().center();
    QContextMenuEvent buttonClick(QContextMenuEvent::Mouse, onButton, window->mapToGlobal(onButton));
    QApplication::sendEvent(window, &buttonClick);
    EXPECT_EQ(OpenMenu(dialog), nullptr);
    const QPoint background(2, window->height() - 2);
    ASSERT_EQ(window->childAt(background), nullptr);
    QContextMenuEvent backgroundClick(QContextMenuEvent::Mouse, background, window->mapToGlobal(background));
    QApplication::sendEvent(window, &backgroundClick);
    EXPECT_NE(OpenMenu(dialog), nullptr);
}

TEST(DialogCommands, SetIconBecomesTheWindowIcon)
{
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Create();
    QPixmap picture(16, 16);
    picture.fill(Qt::red);
    dialog.SetIcon(QIcon(picture));
    EXPECT_FALSE(dialog.Window()->windowIcon().isNull());
    EXPECT_EQ(dialog.Window()->windowIcon().pixmap(16).toImage().pixelColor(3, 3), QColor(Qt::red));
}

}  // namespace
