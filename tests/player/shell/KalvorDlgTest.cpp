// The main window's start-up and its handling of launch requests, on the offscreen
// platform with the message boxes captured: the steps in their order, the skin choice,
// placement, and dragging the window with its docked windows.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <algorithm>
#include <filesystem>
#include <sstream>

#include "common/JobFile.h"
#include "platform/keys/KeyTable.h"
#include "platform/registry/RegistryStore.h"
#include "platform/system/FixedText.h"
#include "platform/ui/ColorRef.h"
#include "platform/ui/MessageSink.h"
#include "player/menus/MenuXP.h"
#include "player/playback/KalvorMovie.h"
#include "player/playback/VideoCommands.h"
#include "player/playback/VideoContextMenu.h"
#include "player/playlist/XCListCtrl.h"
#include "player/settings/SettingsFile.h"
#include "player/shell/KalvorApp.h"
#include "player/shell/KalvorParent.h"
#include "player/shell/PlayerCommands.h"
#include "player/shell/StatusText.h"
#include "player/shell/WindowPlacement.h"
#include "player/skin/SkinUnpacker.h"
#include "player/wizard/JobStarter.h"
#include "support/PlayerInstall.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"

namespace {

struct RecordingSink : IMessageSink {
    struct Shown {
        std::string caption, text;
        MessageIcon icon;
    };
    std::vector<Shown> shown;
    MessageAnswer Show(QWidget*, const std::string& caption, const std::string& text, MessageIcon icon,
                       MessageButtons) override {
        shown.push_back({caption, text, icon});
        return MessageAnswer::Ok;
    }
};

using Events = std::vector<std::string>;

struct RecordingTarget : ILaunchTarget {
    std::vector<std::string> playlists, media;
    Events* events = nullptr;
    void OpenPlaylistAndPlay(const std::string& path) override { playlists.push_back(path); }
    void OpenMediaAndPlay(const std::string& path) override {
        media.push_back(path);
        if (events) events->push_back("open " + path);
    }
};

// The video window as the main window sees it, with a plain window in its place: every
// call is logged, and the medium's facts are set by the test.
struct FakePlayback : IPlaybackWindow {
    FakePlayback(Events& log, IMovieHost& movieHost, QWidget* owner)
        : events(log), host(movieHost), window(owner, Qt::Window) {}
    Events& events;
    IMovieHost& host;
    QWidget window;
    double position = 0.0, duration = 0.0;
    bool paused = false, hasVideo = true, hasAudio = true;
    int openResult = 1;
    bool open = false;

    static std::string Number(double v) {
        std::ostringstream text;
        text << v;
        return text.str();
    }
    QWidget* Widget() override { return &window; }
    int InitGraph() override { return Log("InitGraph"); }
    int ReleaseGraph() override {
        open = false;
        return Log("ReleaseGraph");
    }
    int CreateGraph() override { return Log("CreateGraph"); }
    int CloseGraph() override {
        open = false;
        return Log("CloseGraph" + (note ? note() : std::string()));
    }
    std::function<std::string()> note;  // appended to what CloseGraph logs
    int OpenMedia(const std::string& path) override {
        Log("OpenMedia " + path);
        open = openResult == 1;
        paused = false;
        return openResult;
    }
    int Play() override {
        paused = false;
        return Log("Play");
    }
    int TogglePause() override {
        paused = !paused;
        return Log("TogglePause");
    }
    int Stop() override {
        paused = false;
        position = 0.0;
        return Log("Stop");
    }
    int SetVolume(double volume) override { return Log("SetVolume " + Number(volume)); }
    int SetPosition(double seconds) override {
        position = seconds;
        return Log("SetPosition " + Number(seconds));
    }
    double GetPosition() override { return position; }
    double Duration() override { return open ? duration : 0.0; }
    bool Paused() override { return paused; }
    bool HasVideo() override { return open && hasVideo; }
    bool HasMedia() override { return open && (hasVideo || hasAudio); }
    int LoadSubtitles(const std::string& path) override {
        subtitles = path;
        return Log("LoadSubtitles " + path);
    }
    std::string subtitles;
    std::string SubtitlesPath() override { return subtitles; }
    // As the video window does: the graph pauses (not by the user), then the sequencing.
    int EndOfMedia() override {
        Log("EndOfMedia");
        host.StopRangeEndTimer();
        host.AfterEndOfMedia();
        return 1;
    }
    int Log(const std::string& call) {
        events.push_back(call);
        return 1;
    }
};

struct RecordingPlaylist : CKalvorPlaylist {
    RecordingPlaylist(Events& log, IPlaylistWindowHost& host, QWidget* parent)
        : CKalvorPlaylist(host, parent), events(log), main(dynamic_cast<QWidget*>(&host)) {}
    void LayoutPlaylist() override {
        CKalvorPlaylist::LayoutPlaylist();
        events.push_back(std::string("layout") + (main->isVisible() ? " shown" : ""));
    }
    Events& events;
    QWidget* main;  // the main window is the host
};

// Records each window as it is made, with the parent it was given.
struct RecordingFactory : PlayerWindowFactory {
    Events events;
    QWidget* owner = nullptr;
    FakePlayback* playback = nullptr;
    bool realVideo = false;  // the player's own video window instead of the recorder
    bool realTray = false;   // a tray icon object, never shown: the test clicks it
    std::function<void()> trayGone;
    std::string Of(QWidget* parent) const {
        return parent == owner ? "owner" : playback && parent == playback->Widget() ? "movie" : "?";
    }
    std::unique_ptr<IPlaybackWindow> CreatePlaybackWindow(IMovieHost& host, QWidget* parent) override {
        events.push_back("playback<-" + Of(parent));
        if (realVideo) return PlayerWindowFactory::CreatePlaybackWindow(host, parent);
        auto made = std::make_unique<FakePlayback>(events, host, parent);
        playback = made.get();
        return made;
    }
    std::unique_ptr<CEffectControls> CreateEffectControls(IPlaybackWindow* movie, QWidget* parent) override {
        events.push_back("effects<-" + Of(parent) + (movie == playback ? " with movie" : ""));
        return PlayerWindowFactory::CreateEffectControls(movie, parent);
    }
    std::unique_ptr<CKalvorOptions> CreateOptions(IOptionsHost* host, QWidget* parent) override {
        events.push_back("options<-" + Of(parent));
        return PlayerWindowFactory::CreateOptions(host, parent);
    }
    std::unique_ptr<CKalvorWizard> CreateWizard(IWizardHost& host, QWidget* parent) override {
        events.push_back("wizard<-" + Of(parent));
        return PlayerWindowFactory::CreateWizard(host, parent);
    }
    std::unique_ptr<CKalvorPlaylist> CreatePlaylist(IPlaylistWindowHost& host,
                                                    QWidget* parent) override {
        events.push_back("playlist<-" + Of(parent));
        return std::make_unique<RecordingPlaylist>(events, host, parent);
    }
    std::unique_ptr<CHKTip> CreateTip(QWidget* parent) override {
        events.push_back("tip<-" + Of(parent));
        return PlayerWindowFactory::CreateTip(parent);
    }
    std::unique_ptr<QSystemTrayIcon> CreateTrayIcon(QWidget*) override {
        events.push_back("tray");
        if (!realTray) return nullptr;
        auto tray = std::make_unique<QSystemTrayIcon>();
        QObject::connect(tray.get(), &QObject::destroyed, [this] {
            if (trayGone) trayGone();
        });
        return tray;
    }
};

struct RecordingHook : IHotKeyHook {
    Events* events = nullptr;
    const CKalvorDlg* dlg = nullptr;
    bool Install(QWidget* window) override {
        events->push_back(std::string("hook") + (window == dlg && dlg->Skin().Loaded() ? " after skin" : ""));
        return true;
    }
    void Remove() override {
        if (removed) removed();
    }
    std::function<void()> removed;
    void Suspend() override {}
    void Resume() override {}
};

struct ScriptedDialogs : IFileDialogs {
    std::optional<std::string> media, subtitles;
    std::optional<std::string> AskMediaFile(QWidget*) override { return media; }
    std::optional<std::string> AskSubtitleFile(QWidget*) override { return subtitles; }
};

struct CountingPowerOff : IPowerOff {
    int calls = 0;
    void PowerOff() override { ++calls; }
};

// Put in place of the main window's own full screen for as long as it lives.
struct CountingFullScreen : IFullScreenSwitch {
    CountingFullScreen(Events& log, CKalvorDlg& dlg) : events(&log), settings(&dlg.Settings()) {
        dlg.SetFullScreenSwitch(this);
    }
    Events* events;
    PlayerSettings* settings;
    void ToggleFullScreen() override {
        settings->fullScreen = settings->fullScreen ? 0 : 1;
        events->push_back("ToggleFullScreen");
    }
    void TakeBackRevealedWindows() override { events->push_back("TakeBackRevealedWindows"); }
};

struct RecordingPlaylistCommands : IPlaylistKeyCommands {
    std::vector<VideoKeyAction> run;
    void RunPlaylistCommand(VideoKeyAction action) override { run.push_back(action); }
};

class KalvorDlgTest : public TempFolderTest {
protected:
    void SetUp() override { SetMessageSink(&sink_); }
    void TearDown() override { SetMessageSink(nullptr); }

    PlayerFolders Folders() const { return InstalledFolders(env_); }
    void InstallOptions(const PlayerSettings& s, std::vector<std::string> skins = {"Default"}) {
        InstallPlayer(env_, s, skins);
    }
    // Runs the player's loop with the recorders in place; check runs once start-up is done.
    int Run(CKalvorParent& parent, const std::function<void(CKalvorDlg&)>& check = {}) {
        CKalvorDlg& dlg = parent.MainDialog();
        factory_.owner = &parent;
        dlg.SetWindowFactory(&factory_);
        QTimer::singleShot(0, &dlg, [&] {
            if (dlg.IsBusy()) return;  // the start failed and is ending by itself
            if (check) check(dlg);
            dlg.close();
        });
        return parent.DoModal();
    }

    RecordingFactory factory_;

    RecordingSink sink_;
};

TEST_F(KalvorDlgTest, WithoutAnyOptionsFileThePlayerSaysSoAndEndsWithZero) {
    CKalvorApp app(Folders());
    EXPECT_EQ(app.InitInstance({"/m/x.avi"}), 0);
    ASSERT_EQ(sink_.shown.size(), 1u);
    EXPECT_EQ(sink_.shown[0].caption, "Kalvor");
    EXPECT_EQ(sink_.shown[0].text, "File options.cfg is absent. Please, re-install Kalvor.");
}

TEST_F(KalvorDlgTest, StartsUpInOrderAndSavesToTheUserFolderOnExit) {
    PlayerSettings installed = InstalledSettings();
    installed.resumeLastMovie = 1;
    installed.lastPosition = 12.5;
    installed.volume = 0.75;
    installed.fullScreen = 1;  // a start is always windowed
    fixedtext::SetPath(installed.lastFile, "/m/last.avi");
    InstallOptions(installed);

    CKalvorParent parent(Folders());
    CKalvorDlg& dlg = parent.MainDialog();
    RecordingTarget target;
    target.events = &factory_.events;
    dlg.SetLaunchTarget(&target);
    RecordingHook hook;
    hook.events = &factory_.events;
    hook.dlg = &dlg;
    dlg.SetHotKeyHook(&hook);
    EXPECT_EQ(Run(parent, [&](CKalvorDlg& d) {
                  // Start-up done: nothing from the command line, so the last movie resumes.
                  EXPECT_FALSE(d.IsBusy());
                  EXPECT_TRUE(d.UiTimerRunning());
                  EXPECT_EQ(d.CurrentFile(), "/m/last.avi");
                  EXPECT_EQ(d.CurrentPosition(), 12.5);
                  EXPECT_EQ(d.Settings().fullScreen, 0);
                  EXPECT_EQ(d.Surface().TextAt(MainSurface::kTitleText), "last.avi");
                  EXPECT_EQ(d.Surface().TextAt(MainSurface::kRepeatText),
                            MainSurface::RepeatText(installed.repeatMode));
                  // The skin gives the window its size, shape, rectangle and tooltip colours.
                  EXPECT_EQ(d.size(), QSize(d.Skin().Width(), d.Skin().Height()));
                  EXPECT_EQ(d.Settings().mainRect.Width(), d.Skin().Width());
                  EXPECT_EQ(d.mask(), d.Skin().Shape());
                  EXPECT_TRUE(d.ToolTips().Active());
                  EXPECT_EQ(d.ToolTips().Background(), colorref::ToQColor(d.Skin().PlayLBG()));
                  EXPECT_EQ(d.ToolTips().Text(), colorref::ToQColor(d.Skin().PlayLTX()));
                  // A tooltip over the Play button shows its text in the skin's colours.
                  const QPoint play = d.Skin().Buttons()[1].Rect().center();
                  QHelpEvent help(QEvent::ToolTip, play, d.mapToGlobal(play));
                  QCoreApplication::sendEvent(&d, &help);
                  EXPECT_EQ(QToolTip::text(), "Play");
                  EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipBase), d.ToolTips().Background());
                  QToolTip::hideText();
                  EXPECT_FALSE(d.Tip()->isVisible());
                  EXPECT_TRUE(d.Tip()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
              }),
              0);
    EXPECT_TRUE(sink_.shown.empty());
    EXPECT_EQ(factory_.events,
              (Events{"hook after skin", "playback<-owner", "effects<-movie with movie", "options<-movie",
                      "wizard<-movie", "playlist<-movie", "tip<-movie", "layout shown", "layout shown",
                      "InitGraph", "SetVolume 0.75", "ReleaseGraph", "CreateGraph", "OpenMedia /m/last.avi",
                      "SetVolume 0.75", "SetPosition 12.5", "Play", "tray", "CloseGraph"}));

    PlayerSettings saved;
    EXPECT_EQ(LoadSettings(Folders().userConfig, "/nonexistent", saved).source, SettingsSource::User);
    EXPECT_EQ(saved.lastPosition, 12.5);
}

TEST_F(KalvorDlgTest, ACommandLinePathWinsOverResuming) {
    PlayerSettings installed = InstalledSettings();
    installed.resumeLastMovie = 1;
    fixedtext::SetPath(installed.lastFile, "/m/last.avi");
    InstallOptions(installed);
    CKalvorParent parent(Folders());
    CKalvorDlg& dlg = parent.MainDialog();
    dlg.SetCurrentFile("/m/new.avi");
    dlg.SetLaunchFlags(kLaunchPath);
    Run(parent);
    EXPECT_EQ(dlg.CurrentFile(), "/m/new.avi");
    EXPECT_EQ(dlg.CurrentPosition(), 0.0);
}

TEST_F(KalvorDlgTest, DefaultPlacementFollowsDesktopAndSkinSizes) {
    const struct {
        int w, h;
        WinRect main, movie, playlist;
    } cases[] = {
        {300, 120, {362, 488, 662, 608}, {362, 263, 662, 488}, {362, 608, 662, 728}},
        {300, 90, {362, 448, 662, 538}, {362, 223, 662, 448}, {362, 538, 662, 628}},
        {301, 99, {362, 430, 663, 529}, {362, 205, 663, 430}, {362, 529, 663, 628}},
    };
    for (const auto& c : cases) {
        const DefaultPlacement p = DefaultPlacement::Compute(1024, 768, c.w, c.h);
        EXPECT_EQ(p.main, c.main) << c.w << "x" << c.h;
        EXPECT_EQ(p.movie, c.movie) << c.w << "x" << c.h;
        EXPECT_EQ(p.playlist, c.playlist) << c.w << "x" << c.h;
    }
}

TEST_F(KalvorDlgTest, ADockedWindowTouchesTheResizedMainWindowOnItsSideAndKeepsItsSize) {
    // The main window grew from 300 x 100 to 340 x 130 at the same top-left corner.
    const WinRect main{100, 200, 440, 330};
    const struct {
        DockSide side;
        WinRect window, docked;
    } cases[] = {
        {DockSide::Above, {100, 50, 400, 200}, {100, 50, 400, 200}},
        {DockSide::Right, {400, 210, 500, 290}, {440, 210, 540, 290}},
        {DockSide::Below, {100, 300, 400, 420}, {100, 330, 400, 450}},
        {DockSide::Left, {20, 200, 100, 300}, {20, 200, 100, 300}},
        {DockSide::Left, {0, 200, 90, 300}, {10, 200, 100, 300}},
        {DockSide::None, {100, 300, 400, 420}, {100, 300, 400, 420}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Redock(c.window, static_cast<int32_t>(c.side), main), c.docked)
            << static_cast<int>(c.side);
}

TEST_F(KalvorDlgTest, PlacesWindowsByDefaultOrWhereTheyWereRemembered) {
    const QSize desktop = QGuiApplication::primaryScreen()->virtualGeometry().size();
    constexpr int32_t kFar = 1 << 20;
    for (int remember : {0, 1, 2}) {
        std::filesystem::remove_all(Folders().userConfig);  // what the run before saved
        PlayerSettings installed = InstalledSettings();
        installed.rememberWindowPlacement = remember ? 1 : 0;
        installed.mainRect = WinRect{40, 50, 41, 51};  // the skin's size wins over this one
        installed.playlistRect = WinRect{100, 300, 150, 320};
        if (remember == 2) {  // a damaged file: corners far off the plane are pulled in
            installed.mainRect = WinRect{INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN};
            installed.playlistRect = WinRect{INT32_MAX - 10, 0, INT32_MAX, 5};
        }
        installed.playlistVisible = 1;
        installed.movieDockSide = 0;
        InstallOptions(installed);
        CKalvorParent parent(Folders());
        Run(parent, [&](CKalvorDlg& d) {
            const int w = d.Skin().Width(), h = d.Skin().Height();
            const DefaultPlacement expected = DefaultPlacement::Compute(desktop.width(), desktop.height(), w, h);
            const PlayerSettings& s = d.Settings();
            if (remember == 0) {
                EXPECT_EQ(s.mainRect, expected.main);
                EXPECT_EQ(s.movieRect, expected.movie);
                EXPECT_EQ(s.playlistRect, expected.playlist);
                EXPECT_EQ(s.movieDockSide, 1);
            } else if (remember == 1) {
                EXPECT_EQ(s.mainRect, (WinRect{40, 50, 40 + w, 50 + h}));
                EXPECT_EQ(s.playlistRect, (WinRect{100, 300, 300, 400}));  // the minimum size
                EXPECT_EQ(s.movieDockSide, 0);
            } else {
                EXPECT_EQ(s.mainRect, (WinRect{kFar, -kFar, kFar + w, -kFar + h}));
                EXPECT_EQ(s.playlistRect, (WinRect{kFar, 0, kFar + 200, 100}));
            }
            EXPECT_EQ(d.geometry(), QRect(s.mainRect.left, s.mainRect.top, w, h)) << remember;
            EXPECT_EQ(d.Playlist()->geometry(), colorref::ToQRect(s.playlistRect)) << remember;
            EXPECT_TRUE(d.isVisible());
            EXPECT_TRUE(d.Playlist()->isVisible());
        });
    }
}

TEST_F(KalvorDlgTest, ChoosesTheNamedSkinElseTheFirstByNameElseEnds) {
    const std::string users = Folders().appData + "/skins/";
    const std::string program = env_.Path("program/skins/");
    const struct {
        const char* name;
        std::vector<std::string> packages, usersPackages;
        const char* chosen;  // nullptr: the player ends with the message
        bool usersCopy;
    } cases[] = {
        {"Zeta", {"Zeta", "Beta"}, {}, "Zeta", false},
        {"Gone", {"Zeta", "Beta", "alpha"}, {}, "Beta", false},  // by bytes: upper case first
        {"../skins/Zeta", {"Zeta", "Beta"}, {}, "Beta", false},   // a name never leaves the folder
        {"Gone", {}, {}, nullptr, false},
        // The user's own folder is looked in first, and its packages count for the fallback.
        {"Zeta", {"Zeta"}, {"Zeta"}, "Zeta", true},
        {"Mine", {"Zeta"}, {"Mine"}, "Mine", true},
        {"Gone", {"Beta"}, {"Alpha"}, "Alpha", true},
        {"Gone", {"Alpha"}, {"Beta"}, "Alpha", false},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(env_.Path("program/skins"));
        std::filesystem::remove_all(users);
        std::filesystem::remove_all(Folders().userConfig);
        sink_.shown.clear();
        PlayerSettings installed = InstalledSettings();
        fixedtext::SetPath(installed.skinName, c.name);
        InstallOptions(installed, c.packages);
        std::filesystem::create_directories(users);
        for (const std::string& package : c.usersPackages)
            std::filesystem::copy_file(program + c.packages.front() + ".krs", users + package + ".krs");
        CKalvorParent parent(Folders());
        EXPECT_EQ(Run(parent), 0);
        PlayerSettings saved;
        const bool wasSaved = LoadSettings(Folders().userConfig, "/nonexistent", saved).source == SettingsSource::User;
        if (c.chosen) {
            EXPECT_TRUE(sink_.shown.empty()) << c.name;
            EXPECT_EQ(parent.MainDialog().SkinPath(), (c.usersCopy ? users : program) + c.chosen + ".krs");
            ASSERT_TRUE(wasSaved);
            EXPECT_EQ(fixedtext::Read(saved.skinName), c.chosen);  // kept for the next start
        } else {
            ASSERT_EQ(sink_.shown.size(), 1u);
            EXPECT_EQ(sink_.shown[0].text, kNoSkinsText);
            EXPECT_FALSE(wasSaved);
        }
    }
    // A package of random bytes ends the start with 1, saying which package and why.
    std::filesystem::remove_all(Folders().userConfig);
    sink_.shown.clear();
    std::string noise(4096, '\0');
    uint32_t state = 12345;
    for (char& byte : noise) byte = static_cast<char>((state = state * 1103515245u + 12345u) >> 24);
    const std::string broken = env_.Path("program/skins/Broken.krs");
    TempEnvironment::WriteFile(broken, noise);
    PlayerSettings installed = InstalledSettings();
    fixedtext::SetPath(installed.skinName, "Broken");
    InstallOptions(installed, {});
    CKalvorParent parent(Folders());
    EXPECT_EQ(Run(parent), 1);
    ASSERT_EQ(sink_.shown.size(), 1u);
    EXPECT_EQ(sink_.shown[0].text,
              "The skin package " + broken + " cannot be used: it is not a readable zip archive.");
}

TEST_F(KalvorDlgTest, DraggingTheWindowTakesDockedWindowsAlongButNotAFullScreenPicture) {
    const struct {
        int dock, playlistDocked, fullScreen;
        bool movieMoves, playlistMoves;
    } cases[] = {
        {1, 1, 0, true, true},
        {0, 0, 0, false, false},
        {0, 3, 0, false, true},
        {1, 0, 1, false, false},
    };
    PlayerSettings installed = InstalledSettings();
    installed.playlistVisible = 1;
    InstallOptions(installed);
    for (const auto& c : cases) {
        CKalvorParent parent(Folders());
        Run(parent, [&](CKalvorDlg& d) {
            PlayerSettings& s = d.Settings();
            s.movieDockSide = c.dock;
            s.moveWithMovieWindow = 0;
            s.playlistDocked = c.playlistDocked;
            s.fullScreen = c.fullScreen;
            QWidget* movie = d.Movie()->Widget();
            movie->setGeometry(colorref::ToQRect(s.movieRect));
            const QPoint main = d.pos(), film = movie->pos(), list = d.Playlist()->pos();
            // A press on the plain surface away from buttons, texts and bars.
            const QPoint at(8, d.height() / 2);
            const auto send = [&](QEvent::Type type, QPoint local, Qt::MouseButton button,
                                  Qt::MouseButtons held) {
                QMouseEvent event(type, QPointF(local), QPointF(d.mapToGlobal(local)), button, held,
                                  Qt::NoModifier);
                QCoreApplication::sendEvent(&d, &event);
            };
            send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
            send(QEvent::MouseMove, at + QPoint(30, -20), Qt::NoButton, Qt::LeftButton);
            send(QEvent::MouseButtonRelease, at + QPoint(30, -20) - QPoint(30, -20), Qt::LeftButton,
                 Qt::NoButton);
            const QPoint delta(30, -20);
            EXPECT_EQ(d.pos(), main + delta);
            EXPECT_EQ(colorref::ToQRect(s.mainRect).topLeft(), main + delta);
            EXPECT_EQ(movie->pos(), c.movieMoves ? film + delta : film) << c.dock << c.fullScreen;
            EXPECT_EQ(d.Playlist()->pos(), c.playlistMoves ? list + delta : list);
            if (c.playlistMoves) {
                EXPECT_EQ(colorref::ToQRect(s.playlistRect).topLeft(), list + delta);
            }
        });
    }
}

TEST_F(KalvorDlgTest, LaunchRequestsSetFullScreenAndOpenByKind) {
    CKalvorParent parent(Folders());
    CKalvorDlg& dlg = parent.MainDialog();
    RecordingTarget target;
    dlg.SetLaunchTarget(&target);
    dlg.SetBusy(false);
    auto send = [&](int32_t flags, const char* path) {
        dlg.OnLaunchRequest(*MakeLaunchRequest(flags, path));
    };
    const int32_t P = kLaunchPath, F = kLaunchFullScreen, N = kLaunchNoFullScreen;

    send(P | F, "/m/a.avi");
    EXPECT_EQ(dlg.Settings().fullScreenOnPlay, 1);
    send(P | F | N, "/m/b.avi");  // nofullscreen wins
    EXPECT_EQ(dlg.Settings().fullScreenOnPlay, 0);
    send(F, "");  // no path: nothing at all
    EXPECT_EQ(dlg.Settings().fullScreenOnPlay, 0);
    send(P | kLaunchWizard | F, "/m/c.avi");  // the wizard switch is ignored whole
    EXPECT_EQ(dlg.Settings().fullScreenOnPlay, 0);

    send(P, "a.PLS");   // five characters: a playlist
    send(P, ".m3u");    // four: a media file
    send(P, "/l/x.M3u");
    EXPECT_EQ(target.playlists, (std::vector<std::string>{"a.PLS", "/l/x.M3u"}));
    EXPECT_EQ(target.media, (std::vector<std::string>{"/m/a.avi", "/m/b.avi", ".m3u"}));
    EXPECT_EQ(dlg.CurrentFile(), ".m3u");
    EXPECT_EQ(dlg.Settings().rangeEnd, -1.0);

    dlg.SetBusy(true);  // still starting: kept until the start is over, then applied in order
    send(P | F, "/m/late.avi");
    send(P | N, "/m/later.avi");
    EXPECT_EQ(dlg.Settings().fullScreenOnPlay, 0);
    EXPECT_EQ(target.media.size(), 3u);
    EXPECT_EQ(dlg.PendingRequests(), 2u);
    dlg.SetBusy(false);
    EXPECT_EQ(target.media, (std::vector<std::string>{"/m/a.avi", "/m/b.avi", ".m3u", "/m/late.avi", "/m/later.avi"}));
    EXPECT_EQ(dlg.Settings().fullScreenOnPlay, 0);
    EXPECT_EQ(dlg.PendingRequests(), 0u);
}

// The events logged since mark.
Events Since(const Events& events, size_t mark) { return Events(events.begin() + long(mark), events.end()); }

const Events kOpenRow0 = {"ReleaseGraph", "CreateGraph", "OpenMedia /m/0.avi", "SetVolume 0.5", "SetPosition 0", "Play"};
const Events kOpenRow1 = {"ReleaseGraph", "CreateGraph", "OpenMedia /m/1.avi", "SetVolume 0.5", "SetPosition 0", "Play"};

TEST_F(KalvorDlgTest, EachButtonAndCommandCodeActsOnThePlaybackAsItShould) {
    InstallOptions(InstalledSettings());
    CKalvorParent parent(Folders());
    CKalvorDlg& dlg = parent.MainDialog();
    ScriptedDialogs dialogs;
    dialogs.media = "/m/opened.avi";
    dialogs.subtitles = "/m/s.srt";
    dlg.SetFileDialogs(&dialogs);
    Run(parent, [&](CKalvorDlg& d) {
        FakePlayback& movie = *factory_.playback;
        PlayerSettings& s = d.Settings();
        s.seekStepSeconds = 10;
        for (const char* path : {"/m/0.avi", "/m/1.avi", "/m/2.avi"}) d.Rows().Append(path);
        s.currentIndex = 1;
        d.PlaySelected();
        const struct {
            int button, code;
            double volume, position, duration;
            Events events;
        } cases[] = {
            {kButtonPrevious, 1, 0.5, 0, 0, kOpenRow0},
            {kButtonNext, 1, 0.5, 0, 0, kOpenRow1},
            {kButtonPlay, 1, 0.5, 3, 0, {"SetPosition 0", "Play"}},  // playing: from its begin
            {kButtonPause, 1, 0.5, 3, 0, {"TogglePause"}},
            {kButtonPlay, 1, 0.5, 3, 0, {"Play"}},  // paused: resumes in place
            {kButtonStop, 1, 0.5, 3, 0, {"Stop"}},
            {7, kCommandVolumeUp, 0.5, 0, 0, {"SetVolume 0.51"}},
            {7, kCommandVolumeDown, 0.5, 0, 0, {"SetVolume 0.49"}},
            {7, kCommandVolumeUp, 1.0, 0, 0, {}},
            {7, kCommandVolumeDown, 0.005, 0, 0, {"SetVolume 0"}},
            {7, kCommandForward, 0.5, 95, 100, {"SetPosition 100"}},
            {7, kCommandForward, 0.5, 95, 0, {}},  // no length: no jump
            {7, kCommandRewind, 0.5, 5, 100, {"SetPosition 0"}},
            {7, kCommandRewind, 0.5, 45, 100, {"SetPosition 35"}},
            {7, kCommandSubtitles, 0.5, 0, 0, {"LoadSubtitles /m/s.srt"}},
            {7, kCommandRangeStart, 0.5, 40, 100, {}},
            {7, kCommandRangeEnd, 0.5, 50, 100, {"TogglePause"}},  // the end pauses
            {7, kCommandRangeStart, 0.5, 60, 100, {}},             // after the end: both move
            {7, 4, 0.5, 0, 0, {}},
            {7, 5, 0.5, 0, 0, {}},
            {7, 19, 0.5, 0, 0, {}},
            {7, 47, 0.5, 0, 0, {}},
            {7, 53, 0.5, 0, 0, {}},
            {0, 0, 0.5, 0, 0, {}},  // the surface's call with no button under the pointer
            {kButtonOpen, 1, 0.5, 30, 0,
             {"ReleaseGraph", "CreateGraph", "OpenMedia /m/opened.avi", "SetVolume 0.5", "SetPosition 0", "Play"}},
        };
        std::vector<std::string> rangeTexts;
        for (const auto& c : cases) {
            s.volume = c.volume;
            d.SetCurrentPosition(c.position);
            movie.position = c.position;
            movie.duration = c.duration;
            const size_t mark = factory_.events.size();
            d.ExecuteCommand(c.button, c.code);
            EXPECT_EQ(Since(factory_.events, mark), c.events) << "button " << c.button << " code " << c.code;
            if (c.code == kCommandRangeStart || c.code == kCommandRangeEnd)
                rangeTexts.push_back(d.Surface().TextAt(MainSurface::kRangeText));
        }
        EXPECT_EQ(rangeTexts, (std::vector<std::string>{"00:00:40 - 00:00:40", "00:00:40 - 00:00:50",
                                                        "00:01:00 - 00:01:00"}));
        // The opened file became a new last row, playing, with a fresh range display.
        EXPECT_EQ(d.Rows().RowCount(), 4);
        EXPECT_EQ(d.Rows().CurrentRow(), 3);
        EXPECT_EQ(s.currentIndex, 3);
        EXPECT_EQ(d.Surface().TextAt(MainSurface::kTitleText), "opened.avi");
        EXPECT_EQ(d.Surface().TextAt(MainSurface::kRangeText), "00:00:00 - 00:00:00");
        EXPECT_EQ(fixedtext::Read(s.lastFile), "/m/opened.avi");

        // Cancel leaves everything as it was.
        dialogs.media.reset();
        dialogs.subtitles.reset();
        const size_t mark = factory_.events.size();
        d.ExecuteCommand(kButtonOpen, 1);
        d.ExecuteCommand(7, kCommandSubtitles);
        EXPECT_EQ(Since(factory_.events, mark), Events{});
        EXPECT_EQ(d.Rows().RowCount(), 4);

        // The windows the commands show and hide.
        const bool listShown = d.Playlist()->isVisible();
        d.ExecuteCommand(7, kCommandPlaylist);
        EXPECT_EQ(d.Playlist()->isVisible(), !listShown);
        EXPECT_EQ(s.playlistVisible, listShown ? 0 : 1);
        // Without a tray nothing would bring hidden windows back: the main one is minimised.
        // The command again, or a start with nothing to open, brings them back.
        for (const bool byStart : {false, true}) {
            d.ExecuteCommand(7, kCommandHide);
            EXPECT_TRUE(d.Hidden());
            EXPECT_TRUE(d.isMinimized());
            EXPECT_FALSE(d.Playlist()->isVisible());
            if (byStart)
                d.OnLaunchRequest(*MakeLaunchRequest(0, ""));
            else
                d.ExecuteCommand(7, kCommandHide);
            EXPECT_FALSE(d.Hidden());
            EXPECT_FALSE(d.isMinimized());
            EXPECT_EQ(d.Playlist()->isVisible(), s.playlistVisible == 1);
        }
        d.ExecuteCommand(7, kCommandOptions);
        EXPECT_TRUE(d.Options()->isVisible());
        EXPECT_EQ(d.Options()->size(), d.Options()->ShownSize());
        d.ExecuteCommand(7, kCommandEffectControls);
        EXPECT_TRUE(d.EffectControls()->isVisible());
        EXPECT_EQ(d.EffectControls()->size(), d.EffectControls()->PanelSize());
    });
}

TEST_F(KalvorDlgTest, OpenAndPlayFollowsTheOptionsTheMediumAndTheOutcome) {
    const std::string longPath = "/m/" + std::string(1300, 'x') + ".avi";
    const struct {
        int autostart, openResult;
        bool video;
        int fullScreenOnPlay, fullScreen;
        std::string path;
        Events events;
        std::string lastFile;
    } cases[] = {
        {1, 1, true, 0, 0, "/m/a.avi",
         {"ReleaseGraph", "CreateGraph", "OpenMedia /m/a.avi", "SetVolume 0.5", "SetPosition 7", "Play"}, "/m/a.avi"},
        {0, 1, true, 0, 0, "/m/a.avi",
         {"ReleaseGraph", "CreateGraph", "OpenMedia /m/a.avi", "SetVolume 0.5", "SetPosition 7"}, "/m/a.avi"},
        {1, 1, true, 1, 0, "/m/a.avi",
         {"ReleaseGraph", "CreateGraph", "OpenMedia /m/a.avi", "SetVolume 0.5", "SetPosition 7", "ToggleFullScreen",
          "Play"},
         "/m/a.avi"},
        // Sound alone leaves full screen, what was shown over the picture first; it is not
        // entered for it either.
        {1, 1, false, 1, 1, "/m/a.mp3",
         {"ReleaseGraph", "CreateGraph", "OpenMedia /m/a.mp3", "SetVolume 0.5", "SetPosition 7",
          "TakeBackRevealedWindows", "ToggleFullScreen", "Play"},
         "/m/a.mp3"},
        // A failed open sets nothing on the graph and leaves full screen the same way.
        {1, 0, true, 0, 1, "/m/bad.avi",
         {"ReleaseGraph", "CreateGraph", "OpenMedia /m/bad.avi", "TakeBackRevealedWindows", "ToggleFullScreen"},
         "/m/bad.avi"},
        // A path that does not fit the record is not remembered cut.
        {1, 1, true, 0, 0, longPath,
         {"ReleaseGraph", "CreateGraph", "OpenMedia " + longPath, "SetVolume 0.5", "SetPosition 7", "Play"}, ""},
    };
    InstallOptions(InstalledSettings());
    CKalvorParent parent(Folders());
    CountingFullScreen fullScreen(factory_.events, parent.MainDialog());
    Run(parent, [&](CKalvorDlg& d) {
        FakePlayback& movie = *factory_.playback;
        for (const auto& c : cases) {
            PlayerSettings& s = d.Settings();
            s.autostartPlayback = c.autostart;
            s.fullScreenOnPlay = c.fullScreenOnPlay;
            s.fullScreen = c.fullScreen;
            s.volume = 0.5;
            movie.openResult = c.openResult;
            movie.hasVideo = c.video;
            d.SetCurrentFile(c.path);
            d.SetCurrentPosition(7);
            const size_t mark = factory_.events.size();
            d.OpenAndPlayCurrent();
            EXPECT_EQ(Since(factory_.events, mark), c.events) << c.path.substr(0, 20);
            EXPECT_EQ(fixedtext::Read(s.lastFile), c.lastFile);
            if (c.lastFile.empty()) {
                EXPECT_EQ(std::count(std::begin(s.lastFile), std::end(s.lastFile), '\0'), long(sizeof s.lastFile));
            }
        }
        // The title of a long name is cut to the skin's title width and ends in dots.
        const std::string& title = d.Surface().TextAt(MainSurface::kTitleText);
        ASSERT_GE(title.size(), 3u);
        EXPECT_EQ(title.substr(title.size() - 3), "...");
        EXPECT_LE(QFontMetrics(d.Skin().Font(0)).horizontalAdvance(QString::fromStdString(title)),
                  d.Skin().Description().txt1MaxSize);
    });
}

TEST_F(KalvorDlgTest, AHandOverArrivingDuringStartUpIsAppliedAfterIt) {
    InstallOptions(InstalledSettings());
    CKalvorParent parent(Folders());
    CKalvorDlg& dlg = parent.MainDialog();
    dlg.SetCurrentFile("/m/first.avi");
    dlg.SetLaunchFlags(kLaunchPath);
    // Sent before the window even started: the player is busy and keeps them.
    dlg.OnLaunchRequest(*MakeLaunchRequest(kLaunchPath, "/m/second.avi"));
    dlg.OnLaunchRequest(*MakeLaunchRequest(kLaunchPath, "/m/third.avi"));
    Run(parent, [&](CKalvorDlg& d) {
        EXPECT_TRUE(qttest::WaitUntil([&] { return d.PendingRequests() == 0; }));
        EXPECT_EQ(d.CurrentFile(), "/m/third.avi");
        EXPECT_EQ(d.Rows().RowCount(), 3);
        EXPECT_EQ(d.Rows().CurrentRow(), 2);
    });
    Events opens;
    for (const std::string& e : factory_.events)
        if (e.rfind("OpenMedia", 0) == 0 || e == "tray") opens.push_back(e);
    EXPECT_EQ(opens, (Events{"OpenMedia /m/first.avi", "tray", "OpenMedia /m/second.avi", "OpenMedia /m/third.avi"}));
}

TEST_F(KalvorDlgTest, DroppedFilesReplaceThePlaylistAndTheLastRowEndsTheSessionWhenAsked) {
    InstallOptions(InstalledSettings());
    CKalvorParent parent(Folders());
    CountingPowerOff power;
    parent.MainDialog().SetPowerOff(&power);
    Run(parent, [&](CKalvorDlg& d) {
        PlayerSettings& s = d.Settings();
        s.volume = 0.5;
        d.Rows().Append("/m/old.avi");
        size_t mark = factory_.events.size();
        d.DropFiles({"/m/0.avi", "/m/1.avi"});
        EXPECT_EQ(Since(factory_.events, mark), kOpenRow0);
        EXPECT_EQ(d.Rows().RowCount(), 2);
        s.shutdownWhenFinished = 1;
        s.repeatMode = static_cast<int32_t>(RepeatMode::All);
        mark = factory_.events.size();
        d.AfterEndOfMedia();  // row 0 of 2 ended: on to row 1, no shutdown
        EXPECT_EQ(Since(factory_.events, mark), kOpenRow1);
        EXPECT_EQ(power.calls, 0);
        mark = factory_.events.size();
        d.AfterEndOfMedia();  // the last row ended
        EXPECT_EQ(Since(factory_.events, mark), Events{});
        EXPECT_EQ(power.calls, 1);
        EXPECT_EQ(s.currentIndex, -1);
        // While the list shows a filtered view, a drop does nothing.
        d.Rows().Entries().ShowFiltered([](const MediaEntry& e) { return e.path == "/m/1.avi"; });
        mark = factory_.events.size();
        d.DropFiles({"/m/x.avi"});
        EXPECT_EQ(Since(factory_.events, mark), Events{});

    });
}

TEST_F(KalvorDlgTest, APlayRangeStopsAtItsEndAndTheNextRowsRangePlays) {
    InstallOptions(InstalledSettings());
    CKalvorParent parent(Folders());
    Run(parent, [&](CKalvorDlg& d) {
        FakePlayback& movie = *factory_.playback;
        PlayerSettings& s = d.Settings();
        s.repeatMode = static_cast<int32_t>(RepeatMode::Off);
        s.volume = 0.5;
        d.Rows().Entries().AddEntry(0, "/m/0.avi", 1.0, 2.5);
        d.Rows().Entries().AddEntry(1, "/m/1.avi", 4.0, 6.0);
        d.PlaySelected();
        ASSERT_EQ(movie.position, 1.0);  // opened at the range's begin
        EXPECT_EQ(s.rangeEnd, 2.5);
        movie.duration = 100.0;

        // Paused inside the range's last second: the countdown runs out, nothing follows.
        movie.position = 2.3;
        movie.paused = true;
        ASSERT_TRUE(qttest::WaitUntil([&] { return d.RangeTimerRunning(); }, 30000));
        ASSERT_TRUE(qttest::WaitUntil([&] { return !d.RangeTimerRunning(); }, 30000));
        EXPECT_EQ(std::count(factory_.events.begin(), factory_.events.end(), "EndOfMedia"), 0);

        // Playing: the range's end stops it and the next row opens at its own range.
        movie.paused = false;
        movie.position = 2.3;
        ASSERT_TRUE(qttest::WaitUntil(
            [&] { return std::count(factory_.events.begin(), factory_.events.end(), "OpenMedia /m/1.avi") == 1; },
            30000));
        EXPECT_EQ(movie.position, 4.0);
        EXPECT_EQ(s.rangeEnd, 6.0);
        EXPECT_EQ(d.Rows().CurrentRow(), 1);
        // The last row's end with repeat off: stopped there, nothing else opens.
        movie.position = 5.9;
        ASSERT_TRUE(qttest::WaitUntil(
            [&] { return std::count(factory_.events.begin(), factory_.events.end(), "EndOfMedia") == 2; }, 30000));
        qttest::Pump(100);
        EXPECT_EQ(std::count_if(factory_.events.begin(), factory_.events.end(),
                                [](const std::string& e) { return e.rfind("OpenMedia", 0) == 0; }),
                  2);
    });
}

TEST_F(KalvorDlgTest, KeysReachThePlaybackThePlaylistAndNeverHideTheWindow) {
    InstallOptions(InstalledSettings());
    CKalvorParent parent(Folders());
    RecordingPlaylistCommands commands;
    parent.MainDialog().SetPlaylistCommands(&commands);
    Run(parent, [&](CKalvorDlg& d) {
        const auto press = [&](int key) {
            QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
            QCoreApplication::sendEvent(&d, &down);
        };
        size_t mark = factory_.events.size();
        press(Qt::Key_Space);
        press(Qt::Key_Escape);  // windowed: swallowed, the window stays
        EXPECT_EQ(Since(factory_.events, mark), Events{"TogglePause"});
        EXPECT_TRUE(d.isVisible());
        press(Qt::Key_A);
        press(Qt::Key_Return);
        EXPECT_EQ(commands.run, (std::vector<VideoKeyAction>{VideoKeyAction::ExtractAudio,
                                                            VideoKeyAction::PlaySelectedEntry}));
        commands.run.clear();
        d.OnKeyDown(uint16_t(vk::LetterA + ('R' - 'A')), false, true);
        EXPECT_EQ(commands.run, std::vector<VideoKeyAction>{VideoKeyAction::ToggleRandomOrder});
    });
}

TEST_F(KalvorDlgTest, APlaylistHandedOverPlaysItsFirstRowWhileOneChosenInOpenOnlyLoads) {
    InstallOptions(InstalledSettings());
    const std::string a = env_.Path("a.avi"), b = env_.Path("b.avi"), list = env_.Path("two.M3U");
    TempEnvironment::WriteFile(a, "");
    TempEnvironment::WriteFile(b, "");
    TempEnvironment::WriteFile(list, "#EXTM3U\n" + a + "\n#EXTB:2.5\n" + b + "\n");
    CKalvorParent parent(Folders());
    ScriptedDialogs dialogs;
    dialogs.media = list;
    parent.MainDialog().SetFileDialogs(&dialogs);
    Run(parent, [&](CKalvorDlg& d) {
        size_t mark = factory_.events.size();
        d.ExecuteCommand(kButtonOpen, 1);
        EXPECT_EQ(Since(factory_.events, mark), Events{});
        EXPECT_EQ(d.Rows().RowCount(), 2);
        EXPECT_EQ(d.Rows().CurrentRow(), -1);
        EXPECT_EQ(d.Surface().TextAt(MainSurface::kTitleText), "Kalvor");

        d.Rows().ReplaceWith({});
        mark = factory_.events.size();
        d.OnLaunchRequest(*MakeLaunchRequest(kLaunchPath, list));
        const Events opened = Since(factory_.events, mark);
        ASSERT_GE(opened.size(), 3u);
        EXPECT_EQ(opened[2], "OpenMedia " + a);
        EXPECT_EQ(d.Rows().RowCount(), 2);
        EXPECT_EQ(d.Rows().CurrentRow(), 0);
        d.ExecuteCommand(kButtonNext, 1);  // the second row starts at its range's begin
        EXPECT_EQ(d.CurrentFile(), b);
        EXPECT_EQ(d.CurrentPosition(), 2.5);
    });
}

// However a playlist is opened, it is the one Ctrl+S writes and the first recent one: a
// second start naming B while A is current must not write B's rows over A.
TEST_F(KalvorDlgTest, APlaylistOpenedAnyWayBecomesTheOneSavedAndTheFirstRecent) {
    const std::string a = env_.Path("a.avi"), b = env_.Path("b.avi");
    const std::string listA = env_.Path("A.m3u"), listB = env_.Path("B.m3u"), listC = env_.Path("C.pls");
    PlayerSettings installed = InstalledSettings();
    fixedtext::SetPath(installed.recentPlaylists[0], listA);
    InstallOptions(installed);
    for (const std::string& file : {a, b}) TempEnvironment::WriteFile(file, "");
    TempEnvironment::WriteFile(listA, "#EXTM3U\n" + a + "\n");
    TempEnvironment::WriteFile(listB, "#EXTM3U\n" + b + "\n" + a + "\n");
    TempEnvironment::WriteFile(listC, "[playlist]\nFile1=" + b + "\n");
    CKalvorParent parent(Folders());
    ScriptedDialogs dialogs;
    dialogs.media = listC;
    parent.MainDialog().SetFileDialogs(&dialogs);
    auto recent = [](CKalvorDlg& d, int slot) { return fixedtext::Read(d.Settings().recentPlaylists[slot]); };
    Run(parent, [&](CKalvorDlg& d) {
        d.OnKeyDown(uint16_t('1'), false, true);  // A from the recent list: the current one
        ASSERT_EQ(d.Rows().RowCount(), 1);
        d.OnLaunchRequest(*MakeLaunchRequest(kLaunchPath, listB));
        ASSERT_EQ(d.Rows().RowCount(), 2);
        const std::string before = TempEnvironment::ReadFile(listA);
        d.Rows().Entries().RemoveEntry(0);
        d.OnKeyDown(uint16_t(vk::LetterA + ('S' - 'A')), false, true);
        EXPECT_EQ(TempEnvironment::ReadFile(listB), "#EXTM3U\r\n" + a + "\r\n");
        EXPECT_EQ(TempEnvironment::ReadFile(listA), before);
        EXPECT_EQ(recent(d, 0), listB);
        EXPECT_EQ(recent(d, 1), listA);

        d.ExecuteCommand(kButtonOpen, 1);  // the Open button takes the same step
        EXPECT_EQ(recent(d, 0), listC);
        EXPECT_EQ(d.Rows().RowCount(), 1);
    });
}

}  // namespace

namespace {

TEST_F(KalvorDlgTest, TheVideoWindowReachesTheMainWindowItsKeysAndItsPlaylist) {
    PlayerSettings installed = InstalledSettings();
    installed.keepEffectSettings = 1;
    InstallOptions(installed);
    CKalvorParent parent(Folders());
    factory_.realVideo = true;
    RecordingPlaylistCommands commands;
    parent.MainDialog().SetPlaylistCommands(&commands);
    Run(parent, [&](CKalvorDlg& d) {
        CKalvorMovie* video = d.Video();
        ASSERT_NE(video, nullptr);
        ASSERT_NE(video->ContextMenu(), nullptr);  // its own start ran

        // One key table: each press gives the same playlist commands in either window.
        const struct {
            int key;
            Qt::KeyboardModifiers modifiers;
        } presses[] = {{Qt::Key_A, Qt::NoModifier},        {Qt::Key_A, Qt::ShiftModifier},
                       {Qt::Key_A, Qt::ControlModifier},   {Qt::Key_R, Qt::NoModifier},
                       {Qt::Key_R, Qt::ControlModifier},   {Qt::Key_L, Qt::ShiftModifier},
                       {Qt::Key_Insert, Qt::NoModifier},   {Qt::Key_Return, Qt::NoModifier}};
        for (const auto& p : presses) {
            commands.run.clear();
            const uint16_t key = keytable::FromQtKey(p.key, false);
            d.OnKeyDown(key, p.modifiers.testFlag(Qt::ShiftModifier),
                        p.modifiers.testFlag(Qt::ControlModifier));
            const std::vector<VideoKeyAction> fromMain = commands.run;
            commands.run.clear();
            QKeyEvent down(QEvent::KeyPress, p.key, p.modifiers);
            QCoreApplication::sendEvent(video, &down);
            EXPECT_FALSE(fromMain.empty()) << p.key;
            EXPECT_EQ(commands.run, fromMain) << p.key;
        }

        // The video window hands its activation on to the main window, which takes the keys.
        ASSERT_NE(d.Playlist(), nullptr);
        d.Playlist()->show();
        d.Playlist()->activateWindow();
        ASSERT_TRUE(qttest::WaitUntil([&] { return d.Playlist()->isActiveWindow(); }, 3000));
        video->show();
        video->activateWindow();
        EXPECT_TRUE(qttest::WaitUntil([&] { return d.isActiveWindow(); }, 3000));

        // Files dropped on the video window replace the list that plays, and its first row plays.
        d.Rows().Append("/m/old.avi");
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile("/m/0.avi"), QUrl::fromLocalFile("/m/1.avi")});
        // A drop goes to the widget that accepted the drag's entry.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(video, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(video, &drop);
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(video, &leave);
        EXPECT_EQ(d.Rows().RowCount(), 2);
        EXPECT_EQ(d.CurrentFile(), "/m/0.avi");

        // The context menu's Stop runs the main window's Stop button.
        d.SetCurrentPosition(7.0);
        video->OnMenuCommand(videocommands::kStop);
        EXPECT_EQ(d.CurrentPosition(), 0.0);

        // Dragging the video window with the main window moves it and keeps mainRect current.
        const WinRect before = d.Settings().mainRect;
        d.MoveMainWindowBy(5, -7);
        EXPECT_EQ(d.Settings().mainRect.left, before.left + 5);
        EXPECT_EQ(d.Settings().mainRect.top, before.top - 7);
        EXPECT_EQ(d.pos(), QPoint(before.left + 5, before.top - 7));

        // Over a full-screen picture the countdown the video window sets runs out on the
        // display timer and hides the cursor; a windowed picture keeps it.
        d.SetCursorCountdown(2);
        qttest::Pump(1200);
        EXPECT_EQ(d.CursorCountdown(), 2);
        EXPECT_NE(video->cursor().shape(), Qt::BlankCursor);
        d.ToggleFullScreen();
        EXPECT_EQ(d.Settings().fullScreen, 1);
        EXPECT_TRUE(qttest::WaitUntil([&] { return d.CursorCountdown() == 0; }, 30000));
        EXPECT_EQ(video->cursor().shape(), Qt::BlankCursor);
        // The pointer over the main window stops the countdown.
        QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), d.mapToGlobal(QPointF(3, 3)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&d, &move);
        EXPECT_EQ(d.CursorCountdown(), -1);
        // Revealed over the picture the main window shows where it is asked to; concealed,
        // it goes back and hides.
        const WinRect home = d.Settings().mainRect;
        d.RevealMainWindow(WinRect{30, 40, 30 + d.width(), 40 + d.height()});
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.pos(), QPoint(30, 40));
        d.ConcealMainWindow(home);
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(d.pos(), QPoint(home.left, home.top));
        d.ToggleFullScreen();
        EXPECT_EQ(d.Settings().fullScreen, 0);

        // What is saved holds the video window's live effects.
        video->effectParams.hue = 77;
        ASSERT_TRUE(d.SaveOptions());
    });
    PlayerSettings saved{};
    LoadSettings(Folders().userConfig, Folders().program, saved);
    EXPECT_EQ(saved.effectParams.hue, 77);
}

}  // namespace

namespace {

struct RecordingModes : IDisplayModeSwitch {
    std::function<void()> restored;
    void RestoreDisplayMode() override { restored(); }
    void SwitchDisplayMode() override {}
};

struct RecordingOpener : IUrlOpener {
    std::vector<QUrl> urls;
    bool Open(const QUrl& url) override {
        urls.push_back(url);
        return true;
    }
};

TEST_F(KalvorDlgTest, TheExitSavesClosesAndUndoesInOrderOnceThenEndsWithZero) {
    PlayerSettings installed = InstalledSettings();
    installed.autoLoadLastPlaylist = 1;
    InstallOptions(installed);
    const std::string overlay = CodecSettings::Name(CodecSettings::kDivXKey, CodecSettings::kOverlayValue);
    const auto registryValue = [&] {
        RegistryStore store(Folders().userConfig + "/" + RegistryStore::kFileName);
        EXPECT_TRUE(store.Load());
        return store.Get(overlay).value_or("none");
    };
    {
        RegistryStore store(Folders().userConfig + "/" + RegistryStore::kFileName);
        store.Set(overlay, "1");
        ASSERT_TRUE(store.Save());
    }
    CKalvorParent parent(Folders());
    CKalvorDlg& dlg = parent.MainDialog();
    const std::string options = Folders().userConfig + "/options.cfg";
    const std::string playlist = Folders().userConfig + "/internal.pls";
    // Each step says which files the steps before it wrote.
    const auto note = [&](const std::string& step) {
        factory_.events.push_back(step + (std::filesystem::exists(options) ? " +options" : "") +
                                  (std::filesystem::exists(playlist) ? " +playlist" : ""));
    };
    factory_.realTray = true;
    factory_.trayGone = [&] { note("tray"); };
    RecordingHook hook;
    hook.events = &factory_.events;
    hook.removed = [&] { note("hook, overlay " + registryValue()); };
    dlg.SetHotKeyHook(&hook);
    RecordingModes modes;
    modes.restored = [&] { note("modes"); };
    dlg.SetDisplayModes(&modes);
    QObject::connect(&dlg, &CKalvorDlg::ExitBegun, [&] { note("begun"); });
    QObject::connect(&dlg, &CKalvorDlg::ExitSaved, [&] { note("saved, overlay " + registryValue()); });
    size_t mark = 0;
    EXPECT_EQ(Run(parent,
                  [&](CKalvorDlg& d) {
                      factory_.playback->note = [&] { return std::string(std::filesystem::exists(options) ? " +options" : ""); };
                      d.Rows().Append("/m/a.avi");
                      EXPECT_EQ(registryValue(), "0");  // off while the player runs
                      mark = factory_.events.size();
                      // The exit comes while a modal dialog runs its own loop: the owner's
                      // loop can only end once the exit has closed it.
                      QDialog modal(&d);
                      QTimer::singleShot(0, &modal, [&] { d.ExitPlayer(); });
                      QTimer::singleShot(30000, &modal, [&] {
                          ADD_FAILURE() << "the exit left the modal dialog open";
                          modal.reject();
                      });
                      modal.exec();
                      note("modal closed");
                      EXPECT_TRUE(d.Exiting());
                      EXPECT_FALSE(d.UiTimerRunning());
                      // No later request is taken; the close that follows, and any other way
                      // out, finds the exit done.
                      d.OnLaunchRequest(*MakeLaunchRequest(kLaunchPath, "/m/late.avi"));
                      EXPECT_EQ(d.PendingRequests(), 0u);
                  }),
              0);
    EXPECT_EQ(Since(factory_.events, mark),
              (Events{"begun", "CloseGraph +options", "tray +options +playlist", "modes +options +playlist",
                      "hook, overlay 0 +options +playlist", "saved, overlay 1 +options +playlist",
                      "modal closed +options +playlist"}));
    EXPECT_EQ(registryValue(), "1");  // put back last
}

// A config folder that cannot be written loses the run's changes: the user learns it, in a
// box after an exit asked for in the window, only on stderr after a signal's.
TEST_F(KalvorDlgTest, AnExitThatCannotSaveSaysSoInABoxUnlessASignalEndedThePlayer) {
    PlayerSettings installed = InstalledSettings();
    installed.autoLoadLastPlaylist = 1;
    InstallOptions(installed);
    for (const bool bySignal : {false, true}) {
        SCOPED_TRACE(bySignal);
        sink_.shown.clear();
        CKalvorParent parent(Folders());
        EXPECT_EQ(Run(parent,
                      [&](CKalvorDlg& d) {
                          std::filesystem::remove_all(Folders().userConfig);
                          TempEnvironment::WriteFile(Folders().userConfig, "a file where the folder was");
                          if (bySignal)
                              d.ExitOnSignal();
                          else
                              d.ExitPlayer();
                      }),
                  0);
        std::filesystem::remove(Folders().userConfig);
        if (bySignal) {
            EXPECT_TRUE(sink_.shown.empty());
            continue;
        }
        ASSERT_EQ(sink_.shown.size(), 1u);
        const std::string& text = sink_.shown[0].text;
        EXPECT_EQ(text.rfind("The changes of this run could not be saved.", 0), 0u) << text;
        EXPECT_NE(text.find("The settings: cannot create " + Folders().userConfig), std::string::npos) << text;
        EXPECT_NE(text.find("The playlist: cannot create " + Folders().userConfig), std::string::npos) << text;
    }
}

TEST_F(KalvorDlgTest, TrayClicksBringTheHiddenWindowsBackOrOpenTheVideoMenu) {
    PlayerSettings installed = InstalledSettings();
    installed.playlistVisible = 1;
    InstallOptions(installed);
    CKalvorParent parent(Folders());
    factory_.realTray = true;
    factory_.realVideo = true;
    RecordingOpener opener;
    parent.MainDialog().SetUrlOpener(&opener);
    Run(parent, [&](CKalvorDlg& d) {
        ASSERT_NE(d.TrayIcon(), nullptr);
        d.ExecuteCommand(7, kCommandHide);
        ASSERT_TRUE(d.Hidden());
        ASSERT_FALSE(d.Playlist()->isVisible());
        emit d.TrayIcon()->activated(QSystemTrayIcon::Trigger);
        EXPECT_FALSE(d.Hidden());
        EXPECT_TRUE(d.isVisible());
        EXPECT_TRUE(d.Playlist()->isVisible());
        // A start with nothing to open brings them back as well.
        d.ExecuteCommand(7, kCommandHide);
        ASSERT_FALSE(d.isVisible());
        d.OnLaunchRequest(*MakeLaunchRequest(0, ""));
        EXPECT_FALSE(d.Hidden());
        EXPECT_TRUE(d.isVisible());
        EXPECT_TRUE(d.Playlist()->isVisible());

        // The right click opens the video window's own menu; its Stop reaches the main window.
        QWidget* shown = nullptr;
        d.SetCurrentPosition(9.0);
        QTimer::singleShot(50, [&] {
            shown = QApplication::activePopupWidget();
            if (auto* menu = qobject_cast<CMenuXP*>(shown)) {
                if (QAction* stop = menu->FindItem(videocommands::kStop)) {
                    menu->setActiveAction(stop);
                    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                    QCoreApplication::sendEvent(menu, &enter);
                }
            }
        });
        emit d.TrayIcon()->activated(QSystemTrayIcon::Context);
        EXPECT_TRUE(qttest::WaitUntil([&] { return shown != nullptr; }, 30000));
        EXPECT_EQ(shown, &d.Video()->ContextMenu()->Menu());
        EXPECT_EQ(d.CurrentPosition(), 0.0);

        // F1 opens the main window's page, and the effect controls' own.
        QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QCoreApplication::sendEvent(&d, &f1);
        QCoreApplication::sendEvent(d.EffectControls(), &f1);
        ASSERT_EQ(opener.urls.size(), 2u);
        EXPECT_EQ(opener.urls[0].fileName(), "index.html");
        EXPECT_EQ(opener.urls[1].fileName(), "effects.html");
    });
}

}  // namespace

namespace {

TEST_F(KalvorDlgTest, InFullScreenThePictureIsBackOnTopAfterTheDialogsAndATipHiddenEarlyShowsAgain) {
    InstallOptions(InstalledSettings());
    CKalvorParent parent(Folders());
    CountingFullScreen fullScreen(factory_.events, parent.MainDialog());
    ScriptedDialogs dialogs;
    dialogs.media = "/m/v.avi";
    dialogs.subtitles = "/m/v.srt";
    parent.MainDialog().SetFileDialogs(&dialogs);
    Run(parent, [&](CKalvorDlg& d) {
        QWidget& picture = *factory_.playback->Widget();
        picture.show();
        const auto onTop = [&] { return picture.windowFlags().testFlag(Qt::WindowStaysOnTopHint); };
        d.ExecuteCommand(4, 1);  // Open, windowed: the stacking stays
        EXPECT_FALSE(onTop());
        d.ToggleFullScreen();
        for (const auto& [button, code] : {std::pair{4, 1}, std::pair{7, 3}}) {  // Open, Subtitles
            picture.setWindowFlag(Qt::WindowStaysOnTopHint, false);
            picture.show();
            d.ExecuteCommand(button, code);
            EXPECT_TRUE(onTop()) << button;
            EXPECT_TRUE(picture.isVisible()) << button;
        }
        EXPECT_EQ(factory_.playback->subtitles, "/m/v.srt");

        // The effect controls hide the tip before its time; the next message shows at once.
        d.Settings().showTips = 1;
        d.ShowStatusMessage(statustext::kVolume, false);
        ASSERT_TRUE(d.Tip()->isVisible());
        d.ExecuteCommand(7, 50);
        EXPECT_FALSE(d.Tip()->isVisible());
        d.ShowStatusMessage(statustext::kRepeat, false);
        EXPECT_TRUE(d.Tip()->isVisible());
        EXPECT_EQ(d.Tip()->Countdown(), CHKTip::kShowTicks);
    });
}

TEST_F(KalvorDlgTest, HotKeysShowTheirStatusInTheTipOnlyWhenTipsAreOn) {
    PlayerSettings installed = InstalledSettings();
    for (int32_t& key : installed.hotKeys) key = 0;
    installed.hotKeys[12] = vk::F1 + 5;  // volume up
    installed.hotKeys[15] = vk::F1 + 6;  // repeat
    installed.hotKeys[16] = vk::F1 + 7;  // hide: no status
    installed.volume = 0.28;
    installed.repeatMode = 0;
    InstallOptions(installed);
    CKalvorParent parent(Folders());
    Run(parent, [&](CKalvorDlg& d) {
        PlayerSettings& s = d.Settings();
        CHKTip& tip = *d.Tip();
        s.showTips = 1;
        d.OnHotKey(vk::F1 + 5, 0);  // a first press does not step the volume
        EXPECT_FALSE(tip.isVisible());
        d.OnHotKey(vk::F1 + 5, 1);
        EXPECT_EQ(tip.Text(), "Volume - 29%");
        EXPECT_TRUE(tip.isVisible());
        d.OnHotKey(vk::F1 + 6, 0);
        EXPECT_EQ(tip.Text(), "Repeat One");
        EXPECT_EQ(tip.Countdown(), CHKTip::kShowTicks);
        d.OnHotKey(vk::F1 + 7, 0);
        EXPECT_EQ(tip.Text(), "Repeat One");
        d.OnHotKey(vk::F1 + 7, 0);  // shown again

        // The display tick counts the tip down and hides it.
        EXPECT_TRUE(qttest::WaitUntil([&] { return !tip.isVisible(); }, 30000));

        s.showTips = 0;
        d.OnHotKey(vk::F1 + 6, 0);
        EXPECT_EQ(s.repeatMode, 2);  // the action runs all the same
        EXPECT_FALSE(tip.isVisible());
        EXPECT_EQ(tip.Text(), "Repeat One");

        // Suspended, no slot runs.
        d.SuspendHotKeys(true);
        d.OnHotKey(vk::F1 + 6, 0);
        EXPECT_EQ(s.repeatMode, 2);
        d.SuspendHotKeys(false);
    });
}

TEST_F(KalvorDlgTest, TheOptionsDialogSwitchesTheSkinThroughTheMainWindowAndKeepsItWhenOneFails) {
    InstallOptions(InstalledSettings(), {"Default", "Other"});
    TempEnvironment::WriteFile(env_.Path("program/skins/Broken.krs"), "not a zip");
    CKalvorParent parent(Folders());
    EXPECT_EQ(Run(parent, [&](CKalvorDlg& d) {
        const std::string shown = d.SkinPath();
        EXPECT_FALSE(d.ChangeSkin(env_.Path("program/skins/Broken.krs")));
        EXPECT_EQ(d.CurrentSkinPackage(), shown);
        ASSERT_EQ(sink_.shown.size(), 1u);
        EXPECT_EQ(sink_.shown[0].text,
                  SkinUnpacker::FailureMessage(env_.Path("program/skins/Broken.krs"),
                                               SkinUnpacker::kNotAnArchive));
        EXPECT_TRUE(d.ChangeSkin(shown));  // what the dialog does next
        EXPECT_TRUE(d.Skin().Loaded());

        // A played file with a marked range: both stay shown through the change.
        FakePlayback& movie = *factory_.playback;
        d.Rows().Append("/m/holiday.avi");
        d.PlaySelected();
        movie.duration = 100;
        movie.position = 40;
        d.ExecuteCommand(7, kCommandRangeStart);

        d.ExecuteCommand(7, kCommandOptions);
        EXPECT_TRUE(d.HotKeysSuspended());  // the shown dialog captures keys
        auto* skins = static_cast<QListWidget*>(d.Options()->Control(CKalvorOptions::kSkinsList));
        const auto rows = skins->findItems("Other", Qt::MatchExactly);
        ASSERT_EQ(rows.size(), 1);
        skins->setCurrentItem(rows.front());
        d.Options()->OnOK();
        EXPECT_FALSE(d.HotKeysSuspended());
        EXPECT_FALSE(d.Options()->isVisible());
        EXPECT_EQ(d.SkinPath(), env_.Path("program/skins/Other.krs"));
        EXPECT_EQ(fixedtext::Read(d.Settings().skinName), "Other");
        EXPECT_EQ(d.size(), QSize(d.Skin().Width(), d.Skin().Height()));
        EXPECT_EQ(d.Surface().TextAt(MainSurface::kTitleText), "holiday.avi");
        EXPECT_EQ(d.Surface().TextAt(MainSurface::kRangeText), "00:00:40 - 00:00:40");
    }), 0);
    PlayerSettings saved;
    ASSERT_EQ(LoadSettings(Folders().userConfig, "/nonexistent", saved).source, SettingsSource::User);
    EXPECT_EQ(fixedtext::Read(saved.skinName), "Other");
}

TEST_F(KalvorDlgTest, TheMarkedRangeAndThePlaylistsRowsReachTheWizardWhoseJobTakesTheShownSubtitles) {
    InstallOptions(InstalledSettings());
    CKalvorParent parent(Folders());
    ScriptedDialogs dialogs;
    dialogs.subtitles = "/m/s.srt";
    parent.MainDialog().SetFileDialogs(&dialogs);
    EXPECT_EQ(Run(parent, [&](CKalvorDlg& d) {
        FakePlayback& movie = *factory_.playback;
        for (const char* path : {"/m/0.avi", "/m/1.avi"}) d.Rows().Append(path);
        d.Settings().currentIndex = 1;
        d.PlaySelected();
        d.ExecuteCommand(7, kCommandSubtitles);
        movie.duration = 100;
        movie.position = 40;
        d.ExecuteCommand(7, kCommandRangeStart);
        movie.position = 50;
        d.ExecuteCommand(7, kCommandRangeEnd);
        CKalvorWizard& wizard = *d.Wizard();
        EXPECT_TRUE(wizard.isVisible());
        ASSERT_EQ(wizard.List().Entries().Count(), 1);
        EXPECT_EQ(wizard.List().Entries().Entry(0), (MediaEntry{"/m/1.avi", 40.0, 50.0}));

        // The playlist's extract-video job on its first row: a fresh wizard list, then the
        // job file (korc is not installed in this program folder, so nothing starts).
        XCListCtrl& list = d.Playlist()->List();
        list.selectionModel()->select(list.ItemModel().index(0, 0),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        bool finished = false;
        QObject::connect(&wizard.Starter(), &JobStarter::JobFinished, [&](bool) { finished = true; });
        d.Playlist()->Commands().OnPlaylistCommand(5164);
        ASSERT_TRUE(qttest::WaitUntil([&] { return finished; }));
        EXPECT_EQ(wizard.List().Entries().Count(), 1);
        JobFile job;
        ASSERT_EQ(ReadJobRecords(TempEnvironment::ReadFile(Folders().appData + "/KORCP.SPF"), job),
                  JobReadError::None);
        EXPECT_EQ(job.header.kind, static_cast<int32_t>(JobKind::ExtractVideo));
        EXPECT_STREQ(job.header.subtitlesPath, "/m/s.srt");
        ASSERT_EQ(job.fragments.size(), 1u);
        EXPECT_STREQ(job.fragments[0].path, "/m/0.avi");
        EXPECT_EQ(job.fragments[0].endSeconds, 5);  // no length known: the first five seconds

        // The main window's playlist keys run the playlist window's commands.
        d.OnKeyDown(uint16_t(vk::LetterA + ('R' - 'A')), false, true);
        EXPECT_TRUE(d.Playlist()->RandomOrder());
        ASSERT_FALSE(sink_.shown.empty());
        EXPECT_EQ(sink_.shown.back().text.rfind("Can't start ", 0), 0u) << sink_.shown.back().text;
    }), 0);
}

}  // namespace
