// The built player's exit on a real X server: SIGTERM ends it through the same exit as its
// Exit button (settings saved, code 0), and a save that cannot be written leaves the old
// files as they were while the player still ends with code 0.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/system/FixedText.h"
#include "player/shell/SettingsFile.h"
#include "support/MediaGenerator.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"
#include "support/Xvfb.h"

namespace {

const QString kProgram = QString(KALVOR_PROGRAM_DIR) + "/Kalvor";

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class ExitEndToEndTest : public TempFolderTest {
protected:
    void SetUp() override {
        std::string error;
        if (!xvfb_.Start(800, 600, &error)) GTEST_SKIP() << "Xvfb could not start: " << error;
        environment_ = QProcessEnvironment::systemEnvironment();
        environment_.insert("QT_QPA_PLATFORM", "xcb");
        environment_.insert("DISPLAY", QString::fromStdString(xvfb_.Display()));
        environment_.insert("KALVOR_MESSAGES", "stderr");
        environment_.insert("KALVOR_TRACE_POSITION", "1");
        clip_ = env_.Path("clip.avi");
        media::AviSpec spec;
        spec.seconds = 8.0;
        spec.audio = media::AudioCodec::None;  // no test may need a sound card
        ASSERT_TRUE(media::MakeAvi(clip_, spec, &error)) << error;
    }
    void TearDown() override {
        if (player_.state() != QProcess::NotRunning) {
            player_.kill();
            player_.waitForFinished(5000);
        }
    }

    std::string UserFolder() const { return env_.ConfigHome() + "/Kalvor"; }

    // Starts the player on the clip and waits until it plays.
    void StartPlaying() {
        log_.clear();
        player_.setProcessEnvironment(environment_);
        player_.setWorkingDirectory(QString::fromStdString(env_.Root()));
        // A write over the file size limit must fail, not end the process.
        player_.setChildProcessModifier([] { std::signal(SIGXFSZ, SIG_IGN); });
        player_.start(kProgram, {QString::fromStdString(clip_)});
        ASSERT_TRUE(player_.waitForStarted(10000));
        ASSERT_TRUE(qttest::WaitUntil(
            [&] {
                log_ += player_.readAllStandardError().toStdString();
                return log_.find("position 1.") != std::string::npos ||
                       log_.find("position 2.") != std::string::npos;
            },
            30000))
            << log_;
    }

    // Sends the signal and waits for the end; the exit code, -1 for a crash.
    int Terminate(int signal) {
        ::kill(static_cast<pid_t>(player_.processId()), signal);
        if (!player_.waitForFinished(20000)) return -2;
        log_ += player_.readAllStandardError().toStdString();
        return player_.exitStatus() == QProcess::NormalExit ? player_.exitCode() : -1;
    }

    Xvfb xvfb_;
    QProcessEnvironment environment_;
    QProcess player_;
    std::string clip_, log_;
};

TEST_F(ExitEndToEndTest, EachEndingSignalSavesTheChangedSettingsAndEndsWithZero) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        std::filesystem::remove_all(UserFolder());
        StartPlaying();
        ASSERT_EQ(Terminate(signal), 0) << log_;
        PlayerSettings saved{};
        const SettingsLoadResult loaded = LoadSettings(UserFolder(), KALVOR_PROGRAM_DIR, saved);
        EXPECT_EQ(loaded.source, SettingsSource::User);
        EXPECT_EQ(fixedtext::Read(saved.lastFile), clip_);  // what the run changed
    }
}

TEST_F(ExitEndToEndTest, ASaveThatCannotBeWrittenKeepsTheOldFilesAndStillEndsWithZero) {
    PlayerSettings before = InstalledSettings();
    before.autoLoadLastPlaylist = 1;
    before.volume = 0.33;
    const std::string options(reinterpret_cast<const char*>(&before), sizeof before);
    const std::string playlist = "[playlist]\nFile1=" + clip_ + "\nNumberOfEntries=1\n";
    TempEnvironment::WriteFile(UserFolder() + "/options.cfg", options);
    TempEnvironment::WriteFile(UserFolder() + "/internal.pls", playlist);
    StartPlaying();
    // From now on no file of the player may grow by a byte.
    const rlimit none{0, 0};
    ASSERT_EQ(::prlimit(static_cast<pid_t>(player_.processId()), RLIMIT_FSIZE, &none, nullptr), 0);
    ASSERT_EQ(Terminate(SIGTERM), 0) << log_;
    EXPECT_EQ(ReadAll(UserFolder() + "/options.cfg"), options);
    EXPECT_EQ(ReadAll(UserFolder() + "/internal.pls"), playlist);
    for (const auto& entry : std::filesystem::directory_iterator(UserFolder()))
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
}

}  // namespace
