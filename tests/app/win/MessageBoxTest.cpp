#include "MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(MessageBox, CapturesAreStackedAndOnlyTheInnermostRecords)
{
    MessageBoxCapture outer;
    ShowMessageBox(QStringLiteral("一"));
    {
        MessageBoxCapture inner;
        ShowMessageBox(QStringLiteral("二"));
        EXPECT_EQ(inner.Messages(), std::vector<QString>{QStringLiteral("二")});
    }
    ShowMessageBox(QStringLiteral("三"));
    EXPECT_EQ(outer.Messages(), (std::vector<QString>{QStringLiteral("一"), QStringLiteral("三")}));
    outer.Clear();
    EXPECT_TRUE(outer.Messages().empty());
}

TEST(MessageBox, WithoutACaptureShowsAModalWarningWithOneOkButtonAndTheTitle)
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    qsizetype buttons = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->buttons().size();
        box->button(QMessageBox::Ok)->click();
    });
    ShowMessageBox(QStringLiteral("正の整数を入力してください。"));
    EXPECT_EQ(title, QStringLiteral("なまえ☆ばこ！"));
    EXPECT_EQ(text, QStringLiteral("正の整数を入力してください。"));
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(buttons, 1);
}

}  // namespace
