// The real Kalvor program in other processes: the start without options, and the
// hand-over of a second instance's command line to the running one.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QEventLoop>
#include <QLocalSocket>
#include <QProcess>
#include <QTimer>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <future>
#include <thread>

#include "platform/system/Paths.h"
#include "platform/system/SingleInstance.h"
#include "player/settings/PlayerSettings.h"
#include "player/shell/LaunchRequest.h"
#include "support/PlayerProgram.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"
#include "support/Xvfb.h"

namespace {

const std::string kProgram = PlayerProgram().toStdString();

// The viewable top-level windows titled "Kalvor" on display; with close, each is asked to
// close as a window manager's close button would.
int KalvorWindows(const std::string& display, bool close) {
    xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
    int found = 0;
    if (!xcb_connection_has_error(c)) {
        const auto atom = [c](const char* name) {
            xcb_intern_atom_reply_t* reply =
                xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
            const xcb_atom_t value = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
            std::free(reply);
            return value;
        };
        const xcb_atom_t protocols = atom("WM_PROTOCOLS");
        const xcb_atom_t deleteWindow = atom("WM_DELETE_WINDOW");
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr);
        const int count = tree ? xcb_query_tree_children_length(tree) : 0;
        for (int i = 0; i < count; ++i) {
            const xcb_window_t window = xcb_query_tree_children(tree)[i];
            xcb_get_window_attributes_reply_t* attributes =
                xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr);
            const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
            std::free(attributes);
            xcb_get_property_reply_t* name = xcb_get_property_reply(
                c, xcb_get_property(c, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 64),
                nullptr);
            const std::string title = name ? std::string(static_cast<const char*>(xcb_get_property_value(name)),
                                                         size_t(xcb_get_property_value_length(name)))
                                           : std::string();
            std::free(name);
            if (!viewable || title != "Kalvor") continue;
            ++found;
            if (!close) continue;
            xcb_client_message_event_t event{};
            event.response_type = XCB_CLIENT_MESSAGE;
            event.format = 32;
            event.window = window;
            event.type = protocols;
            event.data.data32[0] = deleteWindow;
            event.data.data32[1] = XCB_CURRENT_TIME;
            xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
        }
        std::free(tree);
        xcb_flush(c);
    }
    xcb_disconnect(c);
    return found;
}

size_t OpenFiles(qint64 pid) {
    std::error_code error;
    const std::filesystem::directory_iterator files("/proc/" + std::to_string(pid) + "/fd", error);
    return error ? 0 : size_t(std::distance(files, std::filesystem::directory_iterator()));
}

class HandOverTest : public TempFolderTest {
protected:
    void SetUp() override {
        environment_ = PlayerEnvironment();
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

    // Starts a player on its own X server with at most maxFiles open files, and waits
    // until its main window shows (then it has finished starting up).
    bool StartOnX(QProcess& player, Xvfb& xvfb, rlim_t maxFiles) {
        std::string error;
        if (!xvfb.Start(1024, 768, &error)) {
            ADD_FAILURE() << "Xvfb: " << error;
            return false;
        }
        environment_.insert("QT_QPA_PLATFORM", "xcb");
        environment_.insert("DISPLAY", QString::fromStdString(xvfb.Display()));
        player.setProcessEnvironment(environment_);
        player.setChildProcessModifier([maxFiles] {
            rlimit limit {};
            getrlimit(RLIMIT_NOFILE, &limit);
            limit.rlim_cur = maxFiles;
            setrlimit(RLIMIT_NOFILE, &limit);
        });
        player.start(QString::fromStdString(kProgram), {});
        return player.waitForStarted(10000) &&
               qttest::WaitUntil([&] { return KalvorWindows(xvfb.Display(), false) > 0; }, 30000);
    }

    // Closes the player's windows, as the user would, until the player ends (asked again,
    // since the main window may show after another one).
    static int CloseOnX(QProcess& player, Xvfb& xvfb) {
        bool ended = false;
        for (int attempt = 0; attempt < 40 && !ended; ++attempt) {
            KalvorWindows(xvfb.Display(), true);
            ended = player.waitForFinished(500);
        }
        if (!ended) {
            player.kill();
            player.waitForFinished();
            return -2;
        }
        return player.exitStatus() == QProcess::NormalExit ? player.exitCode() : -3;
    }

    PlayerSettings SavedSettings() const {
        PlayerSettings settings{};
        const std::string path = env_.ConfigHome() + "/Kalvor/options.cfg";
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {  // a FIFO would wait
            ADD_FAILURE() << path << " is no regular file";
            return settings;
        }
        const std::string bytes = TempEnvironment::ReadFile(path);
        EXPECT_EQ(bytes.size(), sizeof settings);
        std::memcpy(&settings, bytes.data(), std::min(bytes.size(), sizeof settings));
        return settings;
    }

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

// With the installed copy to fall back on the player runs, and its save at exit puts a real
// file in the FIFO's place; what a killed save left is cleared at the start.
TEST_F(HandOverTest, AFifoAsTheUsersOptionsFileIsReplacedByTheNextSave) {
    const std::string folder = env_.ConfigHome() + "/Kalvor";
    std::filesystem::create_directories(folder);
    ASSERT_EQ(mkfifo((folder + "/options.cfg").c_str(), 0600), 0);
    TempEnvironment::WriteFile(folder + "/.options.cfg.4194999-3.tmp", "half a save");
    TempEnvironment::WriteFile(env_.Path("target"), "keep");
    std::filesystem::create_symlink(env_.Path("target"), folder + "/.options.cfg.4194998-0.tmp");
    TempEnvironment::WriteFile(folder + "/.internal.pls.4194999-1.tmp", "a killed run's save");
    TempEnvironment::WriteFile(folder + "/.internal.pls.tmp", "not a name of ours");

    Xvfb xvfb;
    QProcess player;
    ASSERT_TRUE(StartOnX(player, xvfb, 1024)) << player.readAllStandardError().toStdString();
    EXPECT_EQ(CloseOnX(player, xvfb), 0) << player.readAllStandardError().toStdString();
    EXPECT_EQ(SavedSettings().seekStepSeconds, InstalledSettings().seekStepSeconds);
    EXPECT_FALSE(TempEnvironment::Exists(folder + "/.options.cfg.4194999-3.tmp"));
    EXPECT_TRUE(TempEnvironment::Exists(folder + "/.options.cfg.4194998-0.tmp"));
    EXPECT_FALSE(TempEnvironment::Exists(folder + "/.internal.pls.4194999-1.tmp"));
    EXPECT_TRUE(TempEnvironment::Exists(folder + "/.internal.pls.tmp"));
    EXPECT_EQ(TempEnvironment::ReadFile(env_.Path("target")), "keep");
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

    // A path too long for the record is not sent at all, and the start says so.
    QByteArray errors;
    EXPECT_EQ(Run(kProgram, {"/" + QString(6000, 'x')}, env_.Root(), &errors), 1);
    EXPECT_TRUE(errors.contains("longer than a launch request holds")) << errors.toStdString();
    EXPECT_EQ(received.size(), 1u);
}

// A running instance that never takes the request (here: one that holds the lock but never
// listens) must not let the new start end as if its file were playing.
TEST_F(HandOverTest, AStartWhoseHandOverFailsSaysSoAndEndsWithOne) {
    SingleInstance holder(paths::TempFolder(), kInstanceName, kLaunchRequestTag, sizeof(LaunchRequest));
    ASSERT_TRUE(holder.Acquire());
    QByteArray errors;
    EXPECT_EQ(Run(kProgram, {"/m/x.avi"}, env_.Root(), &errors), 1);
    EXPECT_TRUE(errors.contains("Kalvor: the running player was not given /m/x.avi: nothing listens on"))
        << errors.toStdString();
}

// Two starts at the same moment: whichever takes the lock plays, and the other's file
// reaches it however their steps interleave (the loser may find no socket yet).
TEST_F(HandOverTest, TwoStartsAtTheSameMomentBothFilesArriveInTwentyRounds) {
    environment_.insert("KALVOR_TRACE_POSITION", "1");
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        const std::string files[2] = {"/m/round" + std::to_string(round) + "-a.avi",
                                      "/m/round" + std::to_string(round) + "-b.avi"};
        QProcess players[2];
        for (int i = 0; i < 2; ++i) players[i].setProcessEnvironment(environment_);
        for (int i = 0; i < 2; ++i) players[i].start(QString::fromStdString(kProgram), {QString::fromStdString(files[i])});
        for (QProcess& player : players) ASSERT_TRUE(player.waitForStarted(10000));
        ASSERT_TRUE(qttest::WaitUntil([&] {
            return players[0].state() == QProcess::NotRunning || players[1].state() == QProcess::NotRunning;
        }, 60000));
        const int loser = players[0].state() == QProcess::NotRunning ? 0 : 1;
        QProcess& winner = players[1 - loser];
        ASSERT_EQ(players[loser].exitStatus(), QProcess::NormalExit);
        ASSERT_EQ(players[loser].exitCode(), 0) << players[loser].readAllStandardError().toStdString();
        // The winner applies its own file while it starts, the handed-over one after.
        std::string log;
        EXPECT_TRUE(qttest::WaitUntil([&] {
            log += winner.readAllStandardError().toStdString();
            return log.find(" " + files[loser] + "\n") != std::string::npos;
        }, 60000)) << log;
        EXPECT_EQ(winner.state(), QProcess::Running);
        winner.terminate();
        if (!winner.waitForFinished(20000)) winner.kill();
        winner.waitForFinished();
        EXPECT_EQ(winner.exitCode(), 0);
    }
}

// A socket's address holds 107 bytes: a runtime folder of 100 leaves no room for the
// socket's name there, and the hand-over still works between two real players.
TEST_F(HandOverTest, ARuntimeFolderOfAHundredBytesStillHandsOver) {
    std::string runtime = env_.Path("run-");
    runtime += std::string(100 - runtime.size(), 'r');
    ASSERT_EQ(runtime.size(), 100u);
    std::filesystem::create_directories(runtime);
    environment_.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime));
    environment_.insert("KALVOR_TRACE_POSITION", "1");
    QProcess first;
    first.setProcessEnvironment(environment_);
    first.start(QString::fromStdString(kProgram), {});
    ASSERT_TRUE(first.waitForStarted(10000));
    const std::string socket = SingleInstance::SocketPathFor(runtime + "/Kalvor", kInstanceName);
    ASSERT_TRUE(qttest::WaitUntil([&] { return TempEnvironment::Exists(socket); }, 30000))
        << first.readAllStandardError().toStdString();

    QByteArray errors;
    EXPECT_EQ(Run(kProgram, {"/m/from a long folder.avi"}, env_.Root(), &errors), 0) << errors.toStdString();
    std::string log;
    EXPECT_TRUE(qttest::WaitUntil([&] {
        log += first.readAllStandardError().toStdString();
        return log.find(" /m/from a long folder.avi\n") != std::string::npos;
    }, 30000)) << log;
    first.terminate();
    if (!first.waitForFinished(20000)) first.kill();
    first.waitForFinished();
    EXPECT_EQ(first.exitCode(), 0);
}

// A FIFO under a media name would hold the probe's open for good, and with it the window,
// the exit and every later hand-over: it is refused wherever it comes from, and said.
TEST_F(HandOverTest, AFifoAsAMediaFileIsRefusedFromTheCommandLineAHandOverAndAPlaylist) {
    const std::string fifo = env_.Path("f.avi");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string list = env_.Path("list.m3u");
    TempEnvironment::WriteFile(list, "#EXTM3U\n" + fifo + "\n");
    QProcess player;
    player.setProcessEnvironment(environment_);
    player.start(QString::fromStdString(kProgram), {QString::fromStdString(fifo)});
    ASSERT_TRUE(player.waitForStarted(10000));
    std::string log;
    const auto refusals = [&](size_t wanted) {
        return qttest::WaitUntil([&] {
            log += player.readAllStandardError().toStdString();
            size_t found = 0;
            const std::string said = "f.avi cannot be played: not a regular file";
            for (size_t at = log.find(said); at != std::string::npos; at = log.find(said, at + 1)) ++found;
            return found >= wanted;
        }, 20000);
    };
    ASSERT_TRUE(refusals(1)) << log;
    EXPECT_EQ(Run(kProgram, {QString::fromStdString(fifo)}, env_.Root()), 0);
    ASSERT_TRUE(refusals(2)) << log;
    EXPECT_EQ(Run(kProgram, {QString::fromStdString(list)}, env_.Root()), 0);
    ASSERT_TRUE(refusals(3)) << log;
    // The player still answers: a signal ends it through its exit.
    player.terminate();
    ASSERT_TRUE(player.waitForFinished(20000));
    EXPECT_EQ(player.exitCode(), 0);
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

// A local process hoarding connections must neither use up the player's file handles nor
// close the hand-over socket: a real second start is still applied afterwards.
TEST_F(HandOverTest, AHandOverIsAppliedAfterElevenHundredConnectionsHeldAgainstThePlayer) {
    Xvfb xvfb;
    QProcess first;
    ASSERT_TRUE(StartOnX(first, xvfb, 1024)) << first.readAllStandardError().toStdString();
    const size_t filesBefore = OpenFiles(first.processId());

    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, SocketPath().c_str(), sizeof address.sun_path - 1);
    std::vector<int> held;
    int refused = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (held.size() < 1100 && refused < 50 && std::chrono::steady_clock::now() < deadline) {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        ASSERT_GE(fd, 0);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            held.push_back(fd);
            continue;
        }
        if (errno != EAGAIN) ++refused;  // no server listening any more
        close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(errno == EAGAIN ? 1 : 20));
    }
    EXPECT_EQ(held.size(), 1100u);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_LT(OpenFiles(first.processId()), filesBefore + 64);

    // Once the held ones have timed out, a real second start is applied.
    // (The player may open a few files of its own meanwhile.)
    EXPECT_TRUE(qttest::WaitUntil([&] { return OpenFiles(first.processId()) <= filesBefore + 8; }, 20000));
    EXPECT_EQ(Run(kProgram, {"/fullscreen", "/m/x.avi"}, env_.Root()), 0);
    for (int fd : held) close(fd);
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_EQ(CloseOnX(first, xvfb), 0) << first.readAllStandardError().toStdString();
    EXPECT_EQ(SavedSettings().fullScreenOnPlay, 1);
}

// With a few dozen file handles the libraries under the player hang in an X reply or crash
// before it could say a word: it refuses at once, unless it may raise its own limit.
TEST_F(HandOverTest, TooFewFileHandlesAreRefusedWithAMessageUnlessTheLimitMayBeRaised) {
    for (const rlim_t handles : {24, 32}) {
        SCOPED_TRACE(handles);
        QProcess player;
        player.setProcessEnvironment(environment_);
        player.setChildProcessModifier([handles] {
            const rlimit limit{handles, handles};
            setrlimit(RLIMIT_NOFILE, &limit);
        });
        player.start(QString::fromStdString(kProgram), {"/m/x.avi"});
        ASSERT_TRUE(player.waitForFinished(20000));
        EXPECT_EQ(player.exitCode(), 1);
        EXPECT_TRUE(player.readAllStandardError().contains(
            QByteArray("Kalvor: only ") + QByteArray::number(qulonglong(handles)) + " file handles may be open"));
    }
    // A low soft limit under a higher hard one: raised, and the player runs as ever.
    Xvfb xvfb;
    QProcess player;
    ASSERT_TRUE(StartOnX(player, xvfb, 24)) << player.readAllStandardError().toStdString();
    EXPECT_EQ(CloseOnX(player, xvfb), 0) << player.readAllStandardError().toStdString();
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
