#include "AboutDlg.h"
#include "AppIcon.h"
#include "Resources.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

TEST(AboutBox, ShowsTheAppIconAndEndsWithOkOnEnterAndCancelOnEscape)
{
    QGuiApplication::setWindowIcon(LoadAppIcon());
    const QImage appIcon = LoadAppIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
    for (const auto& [key, result] : {std::pair{Qt::Key_Return, IDOK}, std::pair{Qt::Key_Escape, IDCANCEL}}) {
        CAboutDlg about;
        QImage shown;
        QTimer::singleShot(0, [&about, &shown, key = key] {
            for (const QLabel* label : about.Window()->findChildren<QLabel*>())
                shown = label->pixmap().isNull() ? shown : label->pixmap().toImage();
            QTest::keyClick(about.Window(), key);
        });
        QTimer watchdog;  // a box that does not end fails rather than hangs
        watchdog.callOnTimeout([&about] { about.EndDialog(-1); });
        watchdog.start(5000);
        EXPECT_EQ(about.DoModal(), result);
        EXPECT_EQ(shown.convertToFormat(QImage::Format_ARGB32), appIcon);
    }
}
