// The built player's exit on a real X server: SIGTERM ends it through the same exit as its
// Exit button (settings saved, code 0), also with a modal dialog open, and a save that
// cannot be written leaves the old files as they were, is said, and the player still ends
// with code 0.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QProcess>
#include <csignal>
#include <filesystem>

#include "platform/keys/KeyTable.h"
#include "platform/system/FixedText.h"
#include "player/settings/SettingsFile.h"
#include "player/shell/LaunchRequest.h"
#include "support/MediaGenerator.h"
#include "support/PlayerProgram.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"
#include "support/XKeyboard.h"
#include "support/Xvfb.h"

// After Qt's headers: X11's macros clash with names in them.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#undef None  // an enumerator of the media generator

namespace {

// Whether a top-level window with this title is on the screen.
bool WindowShown(const std::string& display, const std::string& title) {
    Display* x = XOpenDisplay(display.c_str());
    if (!x) return false;
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    bool found = false;
    if (XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i) {
            XWindowAttributes attributes{};
            char* name = nullptr;
            if (XGetWindowAttributes(x, children[i], &attributes) &&
                attributes.map_state == IsViewable && XFetchName(x, children[i], &name) && name)
                found = title == name;
            if (name) XFree(name);
        }
        if (children) XFree(children);
    }
    XCloseDisplay(x);
    return found;
}

class ExitEndToEndTest : public TempFolderTest {
protected:
    void SetUp() override {
        std::string error;
        if (!xvfb_.Start(800, 600, &error)) GTEST_SKIP() << "Xvfb could not start: " << error;
        environment_ = PlayerEnvironment(xvfb_.Display());
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
    void StartPlaying() { StartPlaying(player_, clip_, log_); }

    void StartPlaying(QProcess& player, const std::string& clip, std::string& log) {
        log.clear();
        player.setProcessEnvironment(environment_);
        player.setWorkingDirectory(QString::fromStdString(env_.Root()));
        // A write over the file size limit must fail, not end the process.
        player.setChildProcessModifier([] { std::signal(SIGXFSZ, SIG_IGN); });
        player.start(PlayerProgram(), {QString::fromStdString(clip)});
        ASSERT_TRUE(player.waitForStarted(10000));
        ASSERT_TRUE(qttest::WaitUntil(
            [&] {
                log += player.readAllStandardError().toStdString();
                return log.find("position 1.") != std::string::npos ||
                       log.find("position 2.") != std::string::npos;
            },
            30000))
            << log;
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
    EXPECT_EQ(TempEnvironment::ReadFile(UserFolder() + "/options.cfg"), options);
    EXPECT_EQ(TempEnvironment::ReadFile(UserFolder() + "/internal.pls"), playlist);
    // The run's changes are lost, and that is said.
    EXPECT_NE(log_.find("Kalvor: not saved: The settings: cannot write " + UserFolder() + "/options.cfg"),
              std::string::npos) << log_;
    EXPECT_NE(log_.find("Kalvor: not saved: The playlist: "), std::string::npos) << log_;
    for (const auto& entry : std::filesystem::directory_iterator(UserFolder()))
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
}

// A modal dialog runs a loop of its own; the exit closes it, or the player would live on
// (and take hand-overs it never plays) until the user closed it. A start that comes once
// the exit has begun becomes the new player.
TEST_F(ExitEndToEndTest, ASignalEndsThePlayerThroughAnOpenDialogAndANewStartTakesOver) {
    PlayerSettings settings = InstalledSettings();
    settings.hotKeys[5] = vk::F1 + 6;  // F7: Open
    TempEnvironment::WriteFile(UserFolder() + "/options.cfg",
                               std::string(reinterpret_cast<const char*>(&settings), sizeof settings));
    StartPlaying();
    XKeyboard keys(xvfb_.Display());
    ASSERT_TRUE(keys.Ok());
    keys.Tap(XK_F7);
    ASSERT_TRUE(qttest::WaitUntil([&] { return WindowShown(xvfb_.Display(), "Kalvor - Open Media"); }, 30000))
        << player_.readAllStandardError().toStdString();

    ::kill(static_cast<pid_t>(player_.processId()), SIGTERM);
    // The socket goes first: from then on a start is not handed to the ending player.
    const std::string socket = env_.RuntimeDir() + "/Kalvor/" + kInstanceName;
    ASSERT_TRUE(qttest::WaitUntil([&] { return !TempEnvironment::Exists(socket); }, 20000));
    const std::string second = env_.Path("second.avi");
    std::filesystem::copy_file(clip_, second);
    QProcess next;
    std::string nextLog;
    next.setProcessEnvironment(environment_);
    next.start(PlayerProgram(), {QString::fromStdString(second)});
    ASSERT_TRUE(next.waitForStarted(10000));

    // A generous bound: the ending must not wait for the dialog, however busy the machine.
    ASSERT_TRUE(player_.waitForFinished(20000)) << "the player lives on with its dialog open";
    EXPECT_EQ(player_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(player_.exitCode(), 0);
    PlayerSettings saved{};
    EXPECT_EQ(LoadSettings(UserFolder(), KALVOR_PROGRAM_DIR, saved).source, SettingsSource::User);
    EXPECT_EQ(fixedtext::Read(saved.lastFile), clip_);

    EXPECT_TRUE(qttest::WaitUntil(
        [&] {
            nextLog += next.readAllStandardError().toStdString();
            return nextLog.find("position 1.") != std::string::npos &&
                   nextLog.find(" " + second + "\n") != std::string::npos;
        },
        30000))
        << nextLog;
    EXPECT_EQ(next.state(), QProcess::Running);
    ::kill(static_cast<pid_t>(next.processId()), SIGTERM);
    ASSERT_TRUE(next.waitForFinished(20000));
    EXPECT_EQ(next.exitCode(), 0);
}

}  // namespace

namespace {

// A skin package of random bytes, named in the user's options.cfg, ends the built player's
// start with status 1 and a message naming the package; nothing needs a display for that.
TEST(StartEndToEnd, ASkinPackageOfRandomBytesNamesItselfAndEndsTheStartWithOne) {
    TempEnvironment env;
    PlayerSettings settings = InstalledSettings();
    fixedtext::SetPath(settings.skinName, "Noise");
    TempEnvironment::WriteFile(env.ConfigHome() + "/Kalvor/options.cfg",
                               std::string(reinterpret_cast<const char*>(&settings), sizeof settings));
    std::string noise(20000, '\0');
    uint32_t state = 2024;
    for (char& byte : noise) byte = static_cast<char>((state = state * 1664525u + 1013904223u) >> 24);
    const std::string package = env.DataHome() + "/Kalvor/skins/Noise.krs";
    TempEnvironment::WriteFile(package, noise);

    QProcess player;
    player.setProcessEnvironment(PlayerEnvironment());
    player.start(PlayerProgram(), {});
    ASSERT_TRUE(player.waitForFinished(30000));
    EXPECT_EQ(player.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(player.exitCode(), 1);
    const std::string said = player.readAllStandardError().toStdString();
    EXPECT_NE(said.find("Kalvor: The skin package " + package +
                        " cannot be used: it is not a readable zip archive."),
              std::string::npos)
        << said;
}

}  // namespace
