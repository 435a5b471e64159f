#include "AddressBookApp.h"
#include "MessageBox.h"
#include "SocketLayer.h"
#include "TestFiles.h"

#include <QApplication>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

const QString kSocketMessage = QStringLiteral("Windows ｿｹｯﾄの初期化に失敗しました。");

// A socket library that answers with a fixed result and version and counts
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

// Ends whatever modal window still runs after a second, so that a wrongly
// opened window fails the test instead of hanging it.
struct ModalWatch : QTimer {
    int windowsEnded = 0;
    ModalWatch()
    {
        callOnTimeout([this] {
            if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal->close())
                ++windowsEnded;
        });
        start(1000);
    }
};

}  // namespace

// Runs before the test below starts the platform's socket layer, which a
// process remembers once it has started.
TEST(StartUp, RefusedSocketVersionIsCleanedUpShowsTheMessageAndOpensNoWindow)
{
    // 0.1 is 1.0 with its bytes swapped; 10091: the library is not ready.
    const std::pair<std::uint16_t, int> answers[] = {
        {MakeSocketVersion(1, 0), 0}, {MakeSocketVersion(2, 0), 0}, {MakeSocketVersion(0, 1), 0}, {0x0101, 10091}};
    for (const auto& [version, result] : answers) {
        SCOPED_TRACE(version);
        TempWorkDir workDir;
        StandInSocketLayer layer(version, result);
        SocketLayerOverride use(layer);
        MessageBoxCapture messages;
        ModalWatch watch;
        EXPECT_FALSE(theApp.StartUp());
        EXPECT_EQ(layer.asked, std::vector<std::uint16_t>{0x0101}) << "1.1 asked for, and a refusal is not kept";
        EXPECT_EQ(layer.cleanups, result == 0 ? 1 : 0) << "only a started library is cleaned up";
        EXPECT_EQ(messages.Messages(), std::vector<QString>{kSocketMessage});
        EXPECT_EQ(watch.windowsEnded, 0);
        EXPECT_EQ(theApp.MainWindow(), nullptr);
        EXPECT_TRUE(std::filesystem::is_empty(workDir.Path())) << "nothing is read or written";
    }
}

// The platform's socket layer grants 1.1; start-up answers false once the
// main dialog has ended.
TEST(StartUp, GrantedSocketLayerRunsTheMainDialogUntilEscapeAndSavesNothing)
{
    TempWorkDir workDir;
    const std::string fileBytes = "# kept as it is\r\n";
    WriteFileBytes(workDir.Path() / "AddressTable.csv", fileBytes);
    MessageBoxCapture messages;
    QString caption;
    QTimer::singleShot(0, [&caption] {
        caption = theApp.MainWindow() != nullptr ? QApplication::activeModalWidget()->windowTitle() : QString();
        QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape);
    });
    ModalWatch fallback;
    EXPECT_FALSE(theApp.StartUp());
    EXPECT_EQ(caption, QStringLiteral("なまえ☆ばこ！"));
    EXPECT_EQ(std::count(messages.Messages().begin(), messages.Messages().end(), kSocketMessage), 0);
    EXPECT_EQ(fallback.windowsEnded, 0) << "Escape did not end the main dialog";
    EXPECT_EQ(theApp.MainWindow(), nullptr);
    EXPECT_EQ(ReadFileBytes(workDir.Path() / "AddressTable.csv"), fileBytes);

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
