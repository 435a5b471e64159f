#include "AboutDlg.h"
#include "AppIcon.h"
#include "Resources.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

namespace {

QWidget* KeyTarget(QDialog* window)
{
    QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && window->isAncestorOf(focus) ? focus : window;
}

QAbstractButton* ButtonWithText(QDialog* window, const QString& text)
{
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

// Runs the box modally; `whileOpen` acts on its window once it is shown.
// A box that does not end within a few seconds is ended and reported.
int RunModal(CAboutDlg& about, const std::function<void(QDialog*)>& whileOpen)
{
    QTimer::singleShot(0, [&] { whileOpen(about.Window()); });
    bool stuck = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        stuck = true;
        about.EndDialog(-1);
    });
    watchdog.start(5000);
    const int result = about.DoModal();
    EXPECT_FALSE(stuck) << "the About box did not end";
    return result;
}

std::vector<QString> VisibleTexts(QDialog* window)
{
    std::vector<QString> texts;
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->text().isEmpty())
            texts.push_back(label->text());
    }
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
        texts.push_back(button->text());
    return texts;
}

QImage IconShown(QDialog* window)
{
    for (QLabel* label : window->findChildren<QLabel*>()) {
        const QPixmap pixmap = label->pixmap();
        if (!pixmap.isNull())
            return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    }
    return {};
}

struct Ending {
    const char* name;
    std::function<void(QDialog*)> action;
    int result;
};

}  // namespace

TEST(AboutBox, OkEscapeAndTheCloseBoxEndIt)
{
    const Ending rows[] = {
        {"了解 clicked", [](QDialog* w) { ButtonWithText(w, QStringLiteral("了解"))->click(); }, IDOK},
        {"Enter on 了解", [](QDialog* w) { QTest::keyClick(KeyTarget(w), Qt::Key_Return); }, IDOK},
        {"Escape", [](QDialog* w) { QTest::keyClick(KeyTarget(w), Qt::Key_Escape); }, IDCANCEL},
        {"close box", [](QDialog* w) { w->close(); }, IDCANCEL},
    };
    for (const Ending& row : rows) {
        SCOPED_TRACE(row.name);
        CAboutDlg about;
        bool shown = false;
        const int result = RunModal(about, [&](QDialog* window) {
            shown = window != nullptr && window->isVisible();
            ASSERT_NE(ButtonWithText(window, QStringLiteral("了解")), nullptr);
            row.action(window);
        });
        EXPECT_TRUE(shown);
        EXPECT_EQ(result, row.result);
    }
}

TEST(AboutBox, ShowsTheSameContentAndIconEachTimeItOpens)
{
    const QImage appIcon = LoadAppIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
    std::vector<std::vector<QString>> contents;
    for (int run = 0; run < 2; ++run) {
        CAboutDlg about;
        (void)RunModal(about, [&](QDialog* window) {
            EXPECT_EQ(window->windowTitle(), QStringLiteral("Version Information"));
            contents.push_back(VisibleTexts(window));
            EXPECT_EQ(IconShown(window), appIcon);
            const QString dir = QStringLiteral(KANAROKU_SCREENSHOT_DIR);
            QDir().mkpath(dir);
            window->grab().save(dir + QStringLiteral("/about.png"));
            about.EndDialog(IDOK);
        });
    }
    ASSERT_EQ(contents.size(), 2u);
    EXPECT_EQ(contents[0], contents[1]);
    for (const char* expected : {"なまえ☆ばこ！ Version 0.90β", "2000.02.12 update", "了解"}) {
        EXPECT_NE(std::find(contents[0].begin(), contents[0].end(), QString::fromUtf8(expected)), contents[0].end())
            << expected;
    }
}

TEST(AboutBox, OpensOverTheMiddleOfItsOwner)
{
    CDialog owner(IDD_ADDRESSBOOK);
    owner.Create();
    QDialog* ownerWindow = owner.Window();
    ASSERT_NE(ownerWindow, nullptr);
    // Away from the screen's middle, so that centring on the screen fails.
    ownerWindow->move(10, 10);
    CAboutDlg about(&owner);
    QPoint aboutCentre;
    (void)RunModal(about, [&](QDialog* window) {
        aboutCentre = window->frameGeometry().center();
        about.EndDialog(IDOK);
    });
    const QPoint ownerCentre = ownerWindow->frameGeometry().center();
    // Integer halving on both sides may put the centres a pixel or two apart.
    EXPECT_LE(std::abs(aboutCentre.x() - ownerCentre.x()), 2) << aboutCentre.x() << " vs " << ownerCentre.x();
    EXPECT_LE(std::abs(aboutCentre.y() - ownerCentre.y()), 2) << aboutCentre.y() << " vs " << ownerCentre.y();
}
