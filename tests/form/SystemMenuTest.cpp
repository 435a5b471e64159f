// The window menu's own items and the system commands of the main dialog.
#include "FormHarness.h"

#include "Resources.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
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

TEST(SystemMenu, AboutAndVcardItemsFollowASeparatorAfterClose)
{
    FormHarness form("");
    const QList<QAction*> actions = form.Dialog().GetSystemMenu().Menu()->actions();
    ASSERT_EQ(actions.size(), 5);
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2]->text(), QString::fromUtf8(FindString(IDS_ABOUTBOX)));
    EXPECT_EQ((QList<uint>{actions[2]->data().toUInt(), actions[3]->data().toUInt(), actions[4]->data().toUInt()}),
              (QList<uint>{IDM_ABOUTBOX, IDM_VCARD_EXPORT, IDM_VCARD_IMPORT}));
    EXPECT_EQ(actions[3]->text(), QStringLiteral("vCard ファイルへ書き出す…"));
    EXPECT_EQ(actions[4]->text(), QStringLiteral("vCard ファイルから取り込む…"));
}

// Answers the next file dialog with a path.
void ChooseFile(const QString& path)
{
    QTimer::singleShot(0, [path] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept();  // QFileDialog hides accept()
    });
}

// Export through the menu, then import that file into a book that lacks
// one of the people: the list of the row shown gains them, the summary
// says so, and the file holds the person again byte for byte.
TEST(SystemMenu, VcardExportAndImportThroughTheFileDialog)
{
    const std::string kato = Person{1, "かとう", "加藤"}.Line();
    FormHarness form(Person{0, "あおき", "青木"}.Line() + kato);
    const QString vcf = QDir::current().absoluteFilePath(QStringLiteral("book.vcf"));
    ChooseFile(vcf);
    form.Dialog().OnSysCommand(IDM_VCARD_EXPORT);
    ASSERT_EQ(form.Messages().size(), 1u);
    EXPECT_TRUE(form.Messages().front().startsWith(QStringLiteral("2 人を ") + vcf));
    WriteFileBytes(ADDRESS_TABLE_FILE, Person{0, "あおき", "青木"}.Line());
    form.Click(IDC_INDEX_KA);
    EXPECT_TRUE(form.ListItems().empty());
    form.ClearMessages();

    ChooseFile(vcf);
    form.Dialog().OnSysCommand(IDM_VCARD_IMPORT);
    EXPECT_EQ(form.ListItems(), QStringList{QStringLiteral("加藤")});
    ASSERT_EQ(form.Messages().size(), 1u);
    EXPECT_TRUE(form.Messages().front().startsWith(vcf + QStringLiteral(" から 1 人を取り込みました。")));
    EXPECT_TRUE(form.FileBytes().ends_with(kato));
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
