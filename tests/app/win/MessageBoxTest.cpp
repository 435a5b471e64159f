#include "MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(MessageBox, CapturesNestAndOnlyTheInnermostRecords)
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
}

TEST(MessageBox, WithoutACaptureShowsAModalWarningWithOneOkButtonAndTheTitle)
{
    QStringList seen;
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen << box->windowTitle() << box->text() << QString::number(box->icon())
             << QString::number(box->buttons().size());
        box->button(QMessageBox::Ok)->click();
    });
    ShowMessageBox(QStringLiteral("正の整数を入力してください。"));
    EXPECT_EQ(seen, (QStringList{QStringLiteral("なまえ☆ばこ！"), QStringLiteral("正の整数を入力してください。"),
                                 QString::number(QMessageBox::Warning), QStringLiteral("1")}));
}

}  // namespace
