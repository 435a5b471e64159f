// The window menu's About item and the system commands of the main dialog.
#include "FormHarness.h"

#include "Resources.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

// Closes the next modal window with Escape and records its caption.
void CloseNextModal(QStringList& captions)
{
    QTimer::singleShot(0, [&captions] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr)
            return;
        captions.append(modal->windowTitle());
        QTest::keyClick(modal, Qt::Key_Escape);
    });
}

TEST(SystemMenu, AboutItemFollowsASeparatorAfterClose)
{
    FormHarness form("");
    const QList<QAction*> actions = form.Dialog().GetSystemMenu().Menu()->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2]->text(), QString::fromUtf8(FindString(IDS_ABOUTBOX)));
    EXPECT_EQ(actions[2]->data().toUInt(), IDM_ABOUTBOX);
}

TEST(SystemMenu, EmptyTextAddsNeitherSeparatorNorItem)
{
    CDialog about(*FindDialogTemplate(IDD_ABOUTBOX));
    about.Create();
    const auto before = about.GetSystemMenu().Menu()->actions().size();
    AppendAboutItem(about.GetSystemMenu(), "");
    AppendAboutItem(about.GetSystemMenu(), nullptr);
    EXPECT_EQ(about.GetSystemMenu().Menu()->actions().size(), before);
}

// System commands whose masked value is the About command, and the About
// button, open the About box; SC_CLOSE hides the dialog.
TEST(SystemMenu, AboutCommandsAndButtonOpenTheAboutBox)
{
    FormHarness form("");
    TestableDialog& dialog = form.Dialog();
    QStringList captions;
    for (unsigned command : {0x0010u, 0x0011u, 0x001Fu}) {
        CloseNextModal(captions);
        dialog.OnSysCommand(command);
    }
    CloseNextModal(captions);
    form.Click(IDC_ABOUT);
    EXPECT_EQ(captions, QStringList(4, QStringLiteral("Version Information")));
    EXPECT_TRUE(form.Messages().empty());
    EXPECT_TRUE(dialog.Window()->isVisible());

    dialog.OnSysCommand(SC_CLOSE);
    EXPECT_FALSE(dialog.Window()->isVisible());
}

}  // namespace
