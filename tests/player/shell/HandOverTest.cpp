// The real Kalvor program in other processes: the start without options, and the
// hand-over of a second instance's command line to the running one.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QEventLoop>
#include <QLocalSocket>
#include <QProcess>
#include <QTimer>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <future>

#include "platform/system/Paths.h"
#include "platform/system/SingleInstance.h"
#include "player/shell/LaunchRequest.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"

namespace {

const std::string kProgram = std::string(KALVOR_PROGRAM_DIR) + "/Kalvor";

class HandOverTest : public TempFolderTest {
protected:
    void SetUp() override {
        environment_ = QProcessEnvironment::systemEnvironment();
        environment_.insert("QT_QPA_PLATFORM", "offscreen");
        environment_.insert("KALVOR_MESSAGES", "stderr");
    }

    // Runs the program to its end while this process keeps serving events.
    int Run(const std::string& program, const QStringList& args, const std::string& folder,
            QByteArray* errors = nullptr, int timeoutMs = 60000) {
        QProcess process;
        process.setProcessEnvironment(environment_);
        process.setWorkingDirectory(QString::fromStdString(folder));
        process.start(QString::fromStdString(program), args);
        if (!process.waitForStarted(10000)) return -1;
        const bool ended =
            qttest::WaitUntil([&] { return process.state() == QProcess::NotRunning; }, timeoutMs);
        if (!ended) {
            process.kill();
            process.waitForFinished();
            return -2;
        }
        if (errors) *errors = process.readAllStandardError();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -3;
    }

    std::string SocketPath() const { return env_.RuntimeDir() + "/Kalvor/" + kInstanceName; }

    QProcessEnvironment environment_;
};

TEST_F(HandOverTest, WithoutAnyOptionsFileTheProgramSaysSoAndExitsZero) {
    // A program folder of its own, without the installed options.cfg.
    const std::string folder = env_.Path("bare");
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(kProgram, folder + "/Kalvor");
    QByteArray errors;
    EXPECT_EQ(Run(folder + "/Kalvor", {}, env_.Root(), &errors), 0);
    EXPECT_TRUE(errors.contains("Kalvor: File options.cfg is absent. Please, re-install Kalvor."))
        << errors.toStdString();
}

// Start-up reads options.cfg while holding the instance lock: a FIFO there must not keep
// this start, and every later one handing over to it, waiting for ever.
TEST_F(HandOverTest, AFifoAsTheUsersOptionsFileCountsAsUnreadable) {
    const std::string folder = env_.Path("bare");
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(kProgram, folder + "/Kalvor");
    std::filesystem::create_directories(env_.ConfigHome() + "/Kalvor");
    ASSERT_EQ(mkfifo((env_.ConfigHome() + "/Kalvor/options.cfg").c_str(), 0600), 0);
    for (int start = 0; start < 2; ++start) {
        QByteArray errors;
        EXPECT_EQ(Run(folder + "/Kalvor", {}, env_.Root(), &errors, 20000), 0);
        EXPECT_TRUE(errors.contains("Kalvor: File options.cfg is absent.")) << errors.toStdString();
    }
}

TEST_F(HandOverTest, ASecondInstanceHandsAnAbsolutePathToTheRunningOneAndEnds) {
    SingleInstance running(paths::TempFolder(), kInstanceName, kLaunchRequestTag, sizeof(LaunchRequest));
    ASSERT_TRUE(running.Acquire());
    ASSERT_TRUE(running.Listen());
    std::vector<LaunchRequest> received;
    QObject::connect(&running, &SingleInstance::FrameReceived, [&](const QByteArray& frame) {
        if (auto request = DecodeLaunchRequest(frame)) received.push_back(*request);
    });

    std::filesystem::create_directories(env_.Path("videos"));
    EXPECT_EQ(Run(kProgram, {"/fullscreen", "clip", "one.avi"}, env_.Path("videos")), 0);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_STREQ(received[0].path, (env_.Path("videos") + "/clip one.avi").c_str());
    EXPECT_EQ(received[0].flags, kLaunchPath | kLaunchFullScreen);

    // A path too long for the record is not sent at all, and the instance still ends.
    EXPECT_EQ(Run(kProgram, {"/" + QString(6000, 'x')}, env_.Root()), 0);
    EXPECT_EQ(received.size(), 1u);
}

TEST_F(HandOverTest, TwoRealInstancesAndMalformedFramesAgainstTheRunningOne) {
    QProcess first;
    first.setProcessEnvironment(environment_);
    first.start(QString::fromStdString(kProgram), {});
    ASSERT_TRUE(first.waitForStarted(10000));
    ASSERT_TRUE(qttest::WaitUntil([&] { return TempEnvironment::Exists(SocketPath()); }, 30000))
        << first.readAllStandardError().toStdString();

    EXPECT_EQ(Run(kProgram, {"/nofullscreen", "/m/x.avi"}, env_.Root()), 0);
    EXPECT_EQ(first.state(), QProcess::Running);

    // Local clients writing nonsense must not disturb the running player.
    const QByteArray junk[] = {QByteArray("hello"), QByteArray(5004 + 8, '\x51'),
                               QByteArray(70000, '\0')};
    for (const QByteArray& bytes : junk) {
        auto done = std::async(std::launch::async, [&] {
            QLocalSocket socket;
            socket.connectToServer(QString::fromStdString(SocketPath()));
            if (socket.waitForConnected(2000)) {
                socket.write(bytes);
                socket.waitForBytesWritten(2000);
            }
        });
        done.wait();
    }
    qttest::Pump(200);
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_EQ(Run(kProgram, {"/m/y.avi"}, env_.Root()), 0);
    EXPECT_EQ(first.state(), QProcess::Running);

    first.terminate();
    if (!first.waitForFinished(10000)) first.kill();
    first.waitForFinished();
}

// Anyone could make the temporary folder's name first; the cache folder then keeps the rule.
TEST_F(HandOverTest, WithTheTemporaryFolderRefusedTwoPlayersStartedTogetherLeaveOne) {
    std::filesystem::create_directories(env_.Path("elsewhere"));
    std::filesystem::create_directory_symlink(env_.Path("elsewhere"), env_.RuntimeDir() + "/Kalvor");
    QProcess players[2];
    for (QProcess& player : players) {
        player.setProcessEnvironment(environment_);
        player.start(QString::fromStdString(kProgram), {});
    }
    for (QProcess& player : players) ASSERT_TRUE(player.waitForStarted(10000));
    const auto running = [&] {
        return std::count_if(std::begin(players), std::end(players),
                             [](const QProcess& p) { return p.state() == QProcess::Running; });
    };
    EXPECT_TRUE(qttest::WaitUntil([&] { return running() == 1; }, 30000));
    qttest::Pump(500);
    EXPECT_EQ(running(), 1);
    EXPECT_TRUE(TempEnvironment::Exists(env_.CacheHome() + "/Kalvor/" + kInstanceName));
    for (QProcess& player : players) {
        if (player.state() == QProcess::NotRunning) {
            EXPECT_EQ(player.exitCode(), 0);
            EXPECT_TRUE(player.readAllStandardError().contains("/Kalvor is refused (a symlink); using"));
        }
        player.terminate();
        if (!player.waitForFinished(10000)) player.kill();
        player.waitForFinished();
    }
    EXPECT_TRUE(std::filesystem::is_empty(env_.Path("elsewhere")));
}

}  // namespace
