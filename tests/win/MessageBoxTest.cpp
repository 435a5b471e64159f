#include "MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(MessageBox, ShowsAModalWarningWithOneOkButtonAndTheApplicationsName)
{
    QGuiApplication::setApplicationDisplayName(QStringLiteral("なまえ☆ばこ！"));
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
