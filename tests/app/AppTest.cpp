#include "AddressBookApp.h"
#include "AppIcon.h"
#include "DisplayCheck.h"
#include "Resources.h"
#include "SjisText.h"
#include "SocketLayer.h"
#include "TestFiles.h"

#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>

namespace {

QImage AppIconImage(const QIcon& icon = LoadAppIcon(), int size = 32)
{
    return icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
}

// A socket library that answers with a fixed version and result and counts
// how it is used.
struct StandInSocketLayer final : SocketLayer {
    StandInSocketLayer(std::uint16_t grants, int answers) : version(grants), result(answers) {}
    int Startup(std::uint16_t requested, SocketInfo& granted) override
    {
        asked.push_back(requested);
        granted.version = granted.highVersion = version;
        return result;
    }
    void Cleanup() override { ++cleanups; }
    std::uint16_t version;
    int result;
    std::vector<std::uint16_t> asked;
    int cleanups = 0;
};

// Closes a modal window still open after three seconds, so that a window
// that should not have opened, or not stayed, fails the test rather than
// hanging it.
struct ModalWatch : QTimer {
    int windowsEnded = 0;
    ModalWatch()
    {
        callOnTimeout([this] {
            if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal->close())
                ++windowsEnded;
        });
        start(3000);
    }
};

}  // namespace

// Runs before the test below starts the platform's socket layer, which a
// process remembers once it has started. The message box is the real one.
TEST(StartUp, RefusedSocketLayerIsCleanedUpAndSaysSoUnderTheAppsNameAndIcon)
{
    // 0.1 is 1.0 with its bytes swapped; 10091: the library is not ready.
    const std::pair<std::uint16_t, int> answers[] = {
        {MakeSocketVersion(1, 0), 0}, {MakeSocketVersion(2, 0), 0}, {MakeSocketVersion(0, 1), 0}, {0x0101, 10091}};
    for (const auto& [version, result] : answers) {
        SCOPED_TRACE(version);
        TempWorkDir workDir;
        StandInSocketLayer layer(version, result);
        SocketLayerOverride use(layer);
        ModalWatch watch;
        QStringList seen;
        QImage icon;
        QTimer::singleShot(0, [&seen, &icon] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                seen << box->windowTitle() << box->text() << QString::number(box->textFormat())
                     << QString::number(box->icon()) << QString::number(box->buttons().size());
                icon = AppIconImage(box->windowIcon());
                box->button(QMessageBox::Ok)->click();
            }
        });
        EXPECT_FALSE(theApp.StartUp());
        EXPECT_EQ(
            seen,
            (QStringList{QStringLiteral("なまえ☆ばこ！"), QStringLiteral("Windows ｿｹｯﾄの初期化に失敗しました。"),
                         QString::number(Qt::PlainText), QString::number(QMessageBox::Warning), QStringLiteral("1")}));
        EXPECT_EQ(icon, AppIconImage());
        EXPECT_EQ(layer.asked, std::vector<std::uint16_t>{0x0101}) << "1.1 asked for, and a refusal is not kept";
        EXPECT_EQ(layer.cleanups, result == 0 ? 1 : 0) << "only a started library is cleaned up";
        EXPECT_EQ(watch.windowsEnded, 0);
        EXPECT_TRUE(std::filesystem::is_empty(workDir.Path())) << "nothing is read or written";
    }
}

// The platform's socket layer grants 1.1; start-up answers false once the
// main dialog has ended.
TEST(StartUp, GrantedSocketLayerRunsTheMainDialogUntilEscapeAndSavesNothing)
{
    TempWorkDir workDir;
    const std::string fileBytes = "# kept as it is\r\n";
    WriteFileBytes("AddressTable.csv", fileBytes);
    QString caption;
    int offCentre = -1;  // from the screen's work area, in pixels
    QTimer::singleShot(0, [&caption, &offCentre] {
        if (QWidget* main = QApplication::activeModalWidget(); main != nullptr && theApp.MainWindow() != nullptr) {
            caption = main->windowTitle();
            offCentre =
                (main->frameGeometry().center() - main->screen()->availableGeometry().center()).manhattanLength();
            QTest::keyClick(main, Qt::Key_Escape);
        }
    });
    ModalWatch watch;
    EXPECT_FALSE(theApp.StartUp());
    EXPECT_EQ(caption, QStringLiteral("なまえ☆ばこ！"));
    EXPECT_TRUE(offCentre >= 0 && offCentre <= 2) << offCentre;
    EXPECT_EQ(watch.windowsEnded, 0) << "Escape did not end the main dialog";
    EXPECT_EQ(theApp.MainWindow(), nullptr);
    EXPECT_EQ(ReadFileBytes("AddressTable.csv"), fileBytes);
    // Qt's own texts are Japanese, although the tests run under C.UTF-8.
    EXPECT_EQ(QCoreApplication::translate("QLineEdit", "&Undo"), QStringLiteral("元に戻す(&U)"));

    StandInSocketLayer refusing(MakeSocketVersion(2, 0), 0);
    SocketLayerOverride use(refusing);
    EXPECT_TRUE(StartSocketLayer()) << "a start is kept for the process's life";
    EXPECT_TRUE(refusing.asked.empty());
}

TEST(Executable, WithoutADisplayExplainsAndExitsInsteadOfAborting)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(KANAROKU_EXECUTABLE), {});
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 1);
    EXPECT_EQ(program.readAllStandardError(), QByteArray("kanaroku: no display available (DISPLAY is not set)\n"));
    EXPECT_TRUE(program.readAllStandardOutput().isEmpty());
}

TEST(DisplayCheck, NamesTheMissingDisplayOnlyWhenQtWouldFindNone)
{
    const struct {
        const char* name;
        std::map<std::string, std::string> environment;
        std::optional<std::string> missing;
    } rows[] = {
        {"nothing set", {}, "DISPLAY is not set"},
        {"X11", {{"DISPLAY", ":0"}}, std::nullopt},
        {"empty DISPLAY counts as unset", {{"DISPLAY", ""}}, "DISPLAY is not set"},
        {"Wayland session", {{"WAYLAND_DISPLAY", "wayland-0"}}, std::nullopt},
        {"offscreen needs no display", {{"QT_QPA_PLATFORM", "offscreen"}}, std::nullopt},
        {"xcb, only Wayland there", {{"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", "w"}}, "DISPLAY is not set"},
        {"xcb with options", {{"QT_QPA_PLATFORM", "xcb:nograb"}, {"DISPLAY", ":1"}}, std::nullopt},
        {"wayland, only X11 there", {{"QT_QPA_PLATFORM", "wayland"}, {"DISPLAY", ":0"}}, "WAYLAND_DISPLAY is not set"},
        {"fallback list reaches xcb", {{"QT_QPA_PLATFORM", "wayland;xcb"}, {"DISPLAY", ":0"}}, std::nullopt},
        {"fallback list with neither", {{"QT_QPA_PLATFORM", "wayland;xcb"}}, "DISPLAY is not set"},
    };
    for (const auto& row : rows) {
        const auto& set = row.environment;
        const auto lookup = [&set](const char* name) { return set.contains(name) ? set.at(name).c_str() : nullptr; };
        EXPECT_EQ(MissingDisplay(lookup), row.missing) << row.name;
    }
}

// Fully transparent pixels are equal whatever colour they carry.
TEST(AppIcon, EachSizeHasAtMostSixteenColoursAndIsItsInstalledPng)
{
    for (const int size : {16, 32}) {
        QImage image = AppIconImage(LoadAppIcon(), size);
        QImage png =
            QImage(QStringLiteral(KANAROKU_RESOURCES_DIR "/kanaroku-%1.png").arg(size)).convertToFormat(image.format());
        std::set<QRgb> colours;
        for (QImage* picture : {&image, &png}) {
            for (int pixel = 0; pixel < size * size && picture->size() == QSize(size, size); ++pixel) {
                QRgb& rgb = reinterpret_cast<QRgb*>(picture->bits())[pixel];
                colours.insert(rgb = qAlpha(rgb) == 0 ? 0 : rgb);
            }
        }
        EXPECT_EQ(image.size(), QSize(size, size));
        EXPECT_EQ(image, png) << size;
        EXPECT_LE(colours.size(), 16u);
    }
}

// Qt reads "&" as a mnemonic marker: only the About menu item has one.
TEST(Resources, ControlsLieInsideTheirWindowAndEveryTextHasAShiftJisForm)
{
    const auto fits = [](const char* text) { return sjis::FromQString(QString::fromUtf8(text)).has_value(); };
    for (const int id : {IDD_ADDRESSBOOK, IDD_ABOUTBOX}) {
        const DialogTemplate& dialog = *FindDialogTemplate(id);
        EXPECT_TRUE(fits(dialog.caption));
        for (const ControlTemplate& control : dialog.controls) {
            EXPECT_TRUE(control.x >= 0 && control.y >= 0 && control.x + control.cx <= dialog.cx
                        && control.y + control.cy <= dialog.cy)
                << control.x << "," << control.y;
            EXPECT_TRUE(fits(control.text) && std::strchr(control.text, '&') == nullptr) << control.text;
        }
    }
    for (const int id : {IDS_ABOUTBOX, IDS_SOCKETS_INIT_FAILED, IDS_APP_TITLE, IDS_PARSE_UINT, IDS_PARSE_RANGE,
                         IDS_PARSE_TEXT_LENGTH, IDS_INTERNAL_ERROR}) {
        EXPECT_TRUE(FindString(id) != nullptr && *FindString(id) != '\0' && fits(FindString(id))) << id;
    }
    const std::string about = FindString(IDS_ABOUTBOX);
    EXPECT_EQ(about.find('&'), about.rfind('&'));
    EXPECT_EQ(about.substr(about.find('&'), 2), "&A");
}
