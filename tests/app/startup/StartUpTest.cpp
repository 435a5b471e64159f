#include "AddressBookApp.h"
#include "Dialog.h"
#include "MessageBox.h"
#include "SocketLayer.h"
#include "TestFiles.h"

#include <QApplication>
#include <QDialog>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace {

const QString kSocketMessage = QStringLiteral("Windows ｿｹｯﾄの初期化に失敗しました。");

// A socket library that grants a fixed version.
class GrantingSocketLayer final : public SocketLayer {
public:
    explicit GrantingSocketLayer(std::uint16_t version) : m_version(version) {}
    int Startup(std::uint16_t /*requested*/, SocketInfo& granted) override
    {
        granted.version = m_version;
        return 0;
    }
    void Cleanup() override {}

private:
    std::uint16_t m_version;
};

int VisibleTopLevelWindows()
{
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        count += widget->isVisible() ? 1 : 0;
    return count;
}

// Ends whatever modal window runs, so that a wrongly opened window cannot
// hang the test; counts how often it had to.
class ModalWatch {
public:
    ModalWatch()
    {
        m_timer.setInterval(1000);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                ++m_windowsEnded;
                modal->close();
            }
        });
        m_timer.start();
    }
    [[nodiscard]] int WindowsEnded() const noexcept { return m_windowsEnded; }

private:
    QTimer m_timer;
    int m_windowsEnded = 0;
};

}  // namespace

TEST(StartUp, RefusedSocketVersionShowsTheMessageAndNeverOpensTheMainWindow)
{
    for (const std::uint16_t version : {MakeSocketVersion(1, 0), MakeSocketVersion(2, 0)}) {
        SCOPED_TRACE(version);
        TempWorkDir workDir;
        GrantingSocketLayer layer(version);
        SocketLayerOverride use(layer);
        MessageBoxCapture messages;
        ModalWatch watch;

        EXPECT_FALSE(theApp.StartUp());

        EXPECT_EQ(messages.Messages(), std::vector<QString>{kSocketMessage});
        EXPECT_EQ(watch.WindowsEnded(), 0);
        EXPECT_EQ(VisibleTopLevelWindows(), 0);
        EXPECT_EQ(theApp.MainWindow(), nullptr);
        EXPECT_TRUE(std::filesystem::is_empty(workDir.Path())) << "nothing is read or written";
    }
}

// The platform's socket layer grants 1.1: the main dialog runs until
// Escape ends it, and start-up still answers false.
TEST(StartUp, GrantedSocketLayerRunsTheMainDialogUntilEscape)
{
    TempWorkDir workDir;
    const std::string fileBytes = "# kept as it is\r\n";
    WriteFileBytes(workDir.Path() / "AddressTable.csv", fileBytes);
    MessageBoxCapture messages;
    CDialog* mainWindow = nullptr;
    QString caption;
    QTimer::singleShot(0, [&] {
        mainWindow = theApp.MainWindow();
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        caption = modal->windowTitle();
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus != nullptr ? focus : modal, Qt::Key_Escape);
    });
    ModalWatch fallback;  // only acts if Escape did not end the dialog

    EXPECT_FALSE(theApp.StartUp());

    EXPECT_NE(mainWindow, nullptr);
    EXPECT_EQ(std::count(messages.Messages().begin(), messages.Messages().end(), kSocketMessage), 0);
    EXPECT_EQ(caption, QStringLiteral("なまえ☆ばこ！"));
    EXPECT_EQ(fallback.WindowsEnded(), 0) << "Escape did not end the main dialog";
    EXPECT_EQ(theApp.MainWindow(), nullptr);
    EXPECT_EQ(VisibleTopLevelWindows(), 0);
    EXPECT_EQ(ReadFileBytes(workDir.Path() / "AddressTable.csv"), fileBytes) << "nothing is saved at exit";
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
