// The window menu's own items and the system commands of the main dialog.
#include "FormHarness.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

// The About item and the vCard items follow a separator after the close
// item; an empty text adds neither separator nor item. System commands
// whose masked value is the About command, and the About button, open the
// About box; SC_CLOSE hides the dialog.
TEST(SystemMenu, ItemsAndCommands)
{
    FormHarness form("");
    TestableDialog& dialog = form.Dialog();
    AppendAboutItem(dialog.GetSystemMenu(), "");
    AppendAboutItem(dialog.GetSystemMenu(), nullptr);
    QStringList items;
    for (const QAction* action : dialog.GetSystemMenu().Menu()->actions())
        items.append(action->isSeparator() ? "-" : QString::number(action->data().toUInt()) + ' ' + action->text());
    const auto item = [](unsigned id, const char* text) { return QString::number(id) + ' ' + QString::fromUtf8(text); };
    EXPECT_EQ(items, (QStringList{item(SC_CLOSE, "閉じる"), "-", item(IDM_ABOUTBOX, "ﾊﾞｰｼﾞｮﾝ情報(Kanaroku) (&A)..."),
                                  item(IDM_VCARD_EXPORT, "vCard ファイルへ書き出す…"),
                                  item(IDM_VCARD_IMPORT, "vCard ファイルから取り込む…"),
                                  item(IDM_HAGAKI_PRINT, "はがきの宛名を印刷…")}));

    QStringList captions;
    for (unsigned command : {0x0010u, 0x0011u, 0x001Fu, 0u}) {
        // Closes the About box with Escape once it is up, noting its caption.
        QTimer::singleShot(0, [&captions] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                captions.append(modal->windowTitle());
                QTest::keyClick(modal, Qt::Key_Escape);
            }
        });
        command == 0 ? form.Click(IDC_ABOUT) : dialog.OnSysCommand(command);
    }
    EXPECT_EQ(captions, QStringList(4, QStringLiteral("Version Information")));
    EXPECT_TRUE(form.Messages().empty());
    EXPECT_TRUE(dialog.Window()->isVisible());
    dialog.OnSysCommand(SC_CLOSE);
    EXPECT_FALSE(dialog.Window()->isVisible());
}

// Export through the menu, then import that file into a book that lacks
// one of the people: the list of the row shown gains them, the summary
// says so, and the file holds the person again byte for byte.
TEST(SystemMenu, VcardExportAndImportThroughTheFileDialog)
{
    const std::string aoki = Line("0,あおき,青木,");
    FormHarness form(aoki + KATO);
    const auto chooseFile = [](const QString& path) {  // answers the next file dialog
        QTimer::singleShot(0, [path] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept();  // QFileDialog hides accept()
        });
    };
    const QString vcf = QDir::current().absoluteFilePath(QStringLiteral("book.vcf"));
    chooseFile(vcf);
    form.Dialog().OnSysCommand(IDM_VCARD_EXPORT);
    EXPECT_EQ(form.Messages(), QStringList{QStringLiteral("2 人を %1 に書き出しました。\n").arg(vcf)});
    WriteFileBytes(ADDRESS_TABLE_FILE, aoki);
    form.Click(IDC_INDEX_KA);
    EXPECT_TRUE(form.ListItems().empty());
    form.ClearMessages();

    chooseFile(vcf);
    form.Dialog().OnSysCommand(IDM_VCARD_IMPORT);
    EXPECT_EQ(form.ListItems(), QStringList{QStringLiteral("加藤")});
    EXPECT_EQ(form.Messages(), QStringList{QStringLiteral("%1 から 1 人を取り込みました。\n取り込まなかった人: 1 人\n"
                                                          "・青木: 同じ名前の人がすでにファイルにいます\n")
                                               .arg(vcf)});
    EXPECT_TRUE(form.FileBytes().ends_with(KATO));
}

}  // namespace
