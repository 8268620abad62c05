// Full screen's steps against a recording window layer and a fake mode switcher: the order
// that keeps the picture and the screen consistent, the rectangles that must come back
// exactly, and the display mode switched once and always restored.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "player/playback/VideoWindowMouse.h"
#include "player/shell/FullScreen.h"

namespace {

using W = FullScreenWindow;

const WinRect kScreen{0, 0, 1280, 1024};
const WinRect kMovie{100, 50, 500, 350};
const WinRect kMain{300, 700, 700, 820};
const WinRect kPlaylist{800, 60, 1100, 460};

const char* Name(W w) { return w == W::Main ? "main" : w == W::Movie ? "movie" : "playlist"; }
std::string Text(const WinRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

class FakeModes : public IModeSwitch {
public:
    bool Switch(int width, int height, int refresh) override {
        log_.push_back("switch " + std::to_string(width) + "x" + std::to_string(height) + "@" +
                       std::to_string(refresh));
        if (switched_ || !accepts) return switched_;
        switched_ = true;
        return true;
    }
    bool Restore() override {
        log_.push_back("restore");
        switched_ = false;
        return true;
    }
    bool Switched() const override { return switched_; }
    int Count(const std::string& prefix) const {
        return static_cast<int>(std::count_if(log_.begin(), log_.end(), [&](const std::string& s) {
            return s.rfind(prefix, 0) == 0;
        }));
    }
    bool accepts = true;
    bool switched_ = false;
    std::vector<std::string>& log_;
    explicit FakeModes(std::vector<std::string>& log) : log_(log) {}
};

// The windows as state plus a log of every call with the settings it saw. It is also the
// video window and the main window as the real mouse rules see them, so reveals are made
// by the code that makes them in the player.
class RecordingWindows : public IFullScreenWindows,
                         public IVideoMouseTarget,
                         public IVideoWindowOwner {
public:
    RecordingWindows(PlayerSettings& settings, std::vector<std::string>& log)
        : settings_(settings), log_(log), mouse_(settings, *this) {
        mouse_.SetOwner(this);
        shown_ = {{W::Main, true}, {W::Movie, true}, {W::Playlist, true}};
    }
    // IFullScreenWindows
    void Show(W w, bool shown) override {
        shown_[w] = shown;
        Log(std::string(shown ? "show " : "hide ") + Name(w));
    }
    void SetTopmost(W w, bool topmost) override {
        topmost_[w] = topmost;
        Log(std::string("topmost ") + Name(w) + " " + (topmost ? "1" : "0"));
    }
    void PlaceAt(W w, int left, int top) override {
        placed_[w] = {left, top};
        Log(std::string("place ") + Name(w) + " " + std::to_string(left) + "," +
            std::to_string(top));
    }
    void MoveMovie(const WinRect& rect, bool fullScreen) override {
        movieWindow_ = rect;
        Log("move movie " + Text(rect) + (fullScreen ? " full" : " windowed"));
    }
    void FocusMovie() override { Log("focus movie"); }
    bool HasVideoWindow() const override { return video; }
    void SetVideoWindowPosition() override { Log("place picture"); }
    void FitVideoRect(int edge) override { Log("fit " + std::to_string(edge)); }
    void LayoutPlaylist() override { Log("layout playlist " + Text(settings_.playlistRect)); }
    void HideEffectControls() override { Log("hide effects"); }
    void HideTip() override { Log("hide tip"); }
    WinRect ScreenRect(int width, int height) override {
        Log("screen " + std::to_string(width) + "x" + std::to_string(height));
        return width > 0 ? WinRect{0, 0, width, height} : kScreen;
    }
    RevealState Reveals() const override {
        return {mouse_.MainRevealed(), mouse_.EffectsRevealed(), mouse_.PlaylistRevealed(),
                mouse_.SavedMainRect()};
    }
    void ForgetReveals() override { mouse_.ForgetReveals(); }
    bool Hidden() const override { return hidden; }
    // IVideoMouseTarget
    WinRect WindowRect() const override { return movieWindow_; }
    void MoveWindow(const WinRect& rect) override { movieWindow_ = rect; }
    void SetCursorShape(Qt::CursorShape) override {}
    void ShowCursor() override {}
    void RaiseWindow() override {}
    bool RendererPlaced() const override { return true; }
    void ClearRendererPlaced() override {}
    // IVideoWindowOwner
    void ExecuteCommand(int, int) override {}
    void ToggleFullScreen() override {}
    void PlayNext() override {}
    void PlaySelected() override {}
    void ShutdownComputer() override {}
    int CursorCountdown() const override { return 1; }
    void SetCursorCountdown(int) override {}
    void MoveMainWindowBy(int, int) override {}
    void RevealMainWindow(const WinRect&) override { shown_[W::Main] = true; }
    void ConcealMainWindow(const WinRect&) override { shown_[W::Main] = false; }
    void RevealEffectControls(const WinRect&) override {}
    void ConcealEffectControls() override {}
    WinRect PlaylistWindowRect() const override { return kPlaylist; }
    void RevealPlaylist() override { shown_[W::Playlist] = true; }
    void ConcealPlaylist() override { shown_[W::Playlist] = false; }

    void Log(const std::string& entry) {
        log_.push_back(entry + (settings_.fullScreen == 1 ? " [fs]" : ""));
    }

    PlayerSettings& settings_;
    std::vector<std::string>& log_;
    VideoWindowMouse mouse_;
    std::map<W, bool> shown_, topmost_;
    std::map<W, std::pair<int, int>> placed_;
    WinRect movieWindow_ = kMovie;
    bool video = true;
    bool hidden = false;
};

struct Rig {
    explicit Rig(int width = 0, int height = 0) {
        settings.displayWidth = width;
        settings.displayHeight = height;
        settings.displayRefresh = 75;
        settings.movieRect = kMovie;
        settings.mainRect = kMain;
        settings.playlistRect = kPlaylist;
        settings.playlistVisible = 1;
    }
    // Where entry (with its settings marker) first appears; -1 when it never does.
    int At(const std::string& entry) const {
        const auto it = std::find(log.begin(), log.end(), entry);
        return it == log.end() ? -1 : static_cast<int>(it - log.begin());
    }
    PlayerSettings settings{};
    std::vector<std::string> log;
    FakeModes modes{log};
    RecordingWindows windows{settings, log};
    FullScreen fullScreen{settings, windows, &modes};
};

TEST(FullScreenOrder, EachStepComesAfterWhatItDependsOn) {
    Rig rig(800, 600);
    rig.fullScreen.ToggleFullScreen();
    rig.fullScreen.ToggleFullScreen();
    const struct {
        const char* first;
        const char* then;
    } orders[] = {
        // Entering: the window is out of sight while the mode changes, and the screen is
        // measured after the change.
        {"hide movie", "switch 800x600@75"},
        {"switch 800x600@75", "screen 800x600"},
        {"screen 800x600", "move movie 0,0,800,600 full"},
        {"move movie 0,0,800,600 full", "place picture [fs]"},
        {"place picture [fs]", "fit 0 [fs]"},
        {"fit 0 [fs]", "show movie [fs]"},
        {"show movie [fs]", "topmost movie 1 [fs]"},
        {"topmost movie 1 [fs]", "hide main [fs]"},
        {"hide main [fs]", "hide playlist [fs]"},
        {"hide playlist [fs]", "place main 300,700 [fs]"},
        // Leaving: the desktop's mode is back before any window is laid out on it, and the
        // windowed fit comes before the picture is placed.
        {"hide tip [fs]", "restore"},
        {"restore", "layout playlist 800,60,1100,460 [fs]"},
        {"layout playlist 800,60,1100,460 [fs]", "show playlist [fs]"},
        {"show playlist [fs]", "fit 0"},
        {"fit 0", "place picture"},
        {"place picture", "topmost movie 0"},
        {"topmost movie 0", "show main"},
        {"show main", "move movie 100,50,500,350 windowed"},
        {"move movie 100,50,500,350 windowed", "focus movie"},
    };
    for (const auto& o : orders) {
        const int first = rig.At(o.first), then = rig.At(o.then);
        EXPECT_NE(first, -1) << o.first;
        EXPECT_NE(then, -1) << o.then;
        EXPECT_LT(first, then) << o.first << " / " << o.then;
    }
}

TEST(FullScreenRectangles, EnteringAndLeavingGivesBackTheRectanglesAndTheWindowsTheUserHad) {
    const struct {
        int32_t playlistVisible, alwaysOnTop;
        bool hidden;
    } cases[] = {{1, 0, false}, {1, 1, false}, {0, 0, false}, {1, 0, true}, {0, 1, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.playlistVisible << c.alwaysOnTop << c.hidden);
        Rig rig;
        rig.settings.playlistVisible = c.playlistVisible;
        rig.settings.alwaysOnTop = c.alwaysOnTop;
        rig.windows.hidden = c.hidden;
        rig.fullScreen.ToggleFullScreen();
        EXPECT_EQ(rig.settings.fullScreen, 1);
        EXPECT_EQ(rig.settings.movieRect, kScreen);
        EXPECT_EQ(rig.settings.movieWindowedRect, kMovie);
        EXPECT_EQ(rig.settings.playlistRect, WinRect{});
        EXPECT_EQ(rig.fullScreen.PlaylistWindowedRect(), kPlaylist);
        EXPECT_TRUE(rig.windows.shown_[W::Movie]);
        EXPECT_FALSE(rig.windows.shown_[W::Main]);
        EXPECT_FALSE(rig.windows.shown_[W::Playlist]);

        rig.fullScreen.ToggleFullScreen();
        EXPECT_EQ(rig.settings.fullScreen, 0);
        EXPECT_EQ(rig.settings.movieRect, kMovie);
        EXPECT_EQ(rig.windows.movieWindow_, kMovie);
        EXPECT_EQ(rig.settings.playlistRect, kPlaylist);
        EXPECT_EQ(rig.fullScreen.PlaylistWindowedRect(), kPlaylist);
        EXPECT_EQ(rig.settings.mainRect, kMain);
        EXPECT_EQ(rig.windows.shown_[W::Playlist], c.playlistVisible == 1 && !c.hidden);
        EXPECT_EQ(rig.windows.shown_[W::Main], !c.hidden);
        EXPECT_TRUE(rig.windows.shown_[W::Movie]);
        EXPECT_EQ(rig.windows.topmost_[W::Movie], c.alwaysOnTop == 1);
        EXPECT_EQ(rig.windows.topmost_[W::Main], c.alwaysOnTop == 1);
    }
}

TEST(FullScreenModes, OnlyAChosenModeIsSwitchedOnceAndAlwaysRestored) {
    const struct {
        const char* name;
        int width, height;
        bool withSwitcher, accepts;
        int switches, restores;
        int again;             // switch calls of an open while in full screen
        const char* measured;  // how the screen was asked for
    } cases[] = {
        {"UNCHANGED", 0, 0, true, true, 0, 0, 0, "screen 0x0"},
        {"a width alone", 800, 0, true, true, 0, 0, 0, "screen 0x0"},
        {"a chosen mode", 800, 600, true, true, 1, 1, 0, "screen 800x600"},
        {"a refused mode", 800, 600, true, false, 2, 0, 1, "screen 0x0"},
        {"no RandR", 800, 600, false, true, 0, 0, 0, "screen 0x0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PlayerSettings settings{};
        settings.displayWidth = c.width;
        settings.displayHeight = c.height;
        settings.movieRect = kMovie;
        std::vector<std::string> log;
        FakeModes modes(log);
        modes.accepts = c.accepts;
        RecordingWindows windows(settings, log);
        FullScreen fullScreen(settings, windows, c.withSwitcher ? &modes : nullptr);
        fullScreen.ToggleFullScreen();
        EXPECT_NE(std::find(log.begin(), log.end(), c.measured), log.end());
        // An open while switched does not switch again; a refused mode is tried again.
        const int before = modes.Count("switch");
        fullScreen.SwitchDisplayMode();
        EXPECT_EQ(modes.Count("switch"), before + c.again);
        fullScreen.ToggleFullScreen();
        EXPECT_FALSE(modes.Switched());
        EXPECT_EQ(modes.Count("switch"), c.switches);
        EXPECT_EQ(modes.Count("restore"), c.restores);
        // Windowed, an open never switches.
        fullScreen.SwitchDisplayMode();
        EXPECT_EQ(modes.Count("switch"), c.switches);
    }
}

TEST(FullScreenModes, AnOpenInFullScreenRestoresThenSwitchesAgain) {
    Rig rig(800, 600);
    rig.fullScreen.ToggleFullScreen();
    rig.fullScreen.RestoreDisplayMode();
    EXPECT_FALSE(rig.modes.Switched());
    rig.fullScreen.SwitchDisplayMode();
    EXPECT_TRUE(rig.modes.Switched());
    EXPECT_EQ(rig.modes.Count("switch"), 2);
    rig.fullScreen.ToggleFullScreen();
    EXPECT_EQ(rig.modes.Count("restore"), 2);
    EXPECT_FALSE(rig.modes.Switched());
}

// The mouse at a screen edge, as the video window reports it.
void MoveTo(Rig& rig, int x, int y) { rig.windows.mouse_.OnMouseMove(x, y); }

TEST(FullScreenReveals, RevealedWindowsGoBackAndStayAsTheUserLeftThem) {
    const WinRect savedMain = kMain;
    // Main revealed (bottom band), then leaving: back at its saved rectangle, shown.
    {
        Rig rig;
        rig.fullScreen.ToggleFullScreen();
        MoveTo(rig, 640, 1020);
        ASSERT_TRUE(rig.windows.mouse_.MainRevealed());
        rig.settings.mainRect = {0, 0, 10, 10};  // moved while revealed
        rig.fullScreen.ToggleFullScreen();
        EXPECT_EQ(rig.settings.mainRect, savedMain);
        EXPECT_EQ(rig.windows.placed_[W::Main], std::make_pair(savedMain.left, savedMain.top));
        EXPECT_TRUE(rig.windows.shown_[W::Main]);
        EXPECT_FALSE(rig.windows.mouse_.MainRevealed());
    }
    // Playlist and effect controls revealed, then leaving and a move inside the window:
    // the playlist the user shows stays shown.
    {
        Rig rig;
        rig.fullScreen.ToggleFullScreen();
        MoveTo(rig, 2, 500);
        MoveTo(rig, 640, 2);
        ASSERT_TRUE(rig.windows.mouse_.PlaylistRevealed());
        ASSERT_TRUE(rig.windows.mouse_.EffectsRevealed());
        rig.fullScreen.ToggleFullScreen();
        EXPECT_NE(rig.At("hide effects [fs]"), -1);
        EXPECT_EQ(rig.settings.playlistRect, kPlaylist);
        MoveTo(rig, 200, 150);
        EXPECT_TRUE(rig.windows.shown_[W::Playlist]);
        EXPECT_FALSE(rig.windows.mouse_.PlaylistRevealed());
    }
}

TEST(FullScreenReveals, SoundAloneInFullScreenTakesTheWindowsBackAndLeavesThePictureHidden) {
    Rig rig(800, 600);
    rig.fullScreen.ToggleFullScreen();
    MoveTo(rig, 400, 598);  // the bottom band of the switched screen
    MoveTo(rig, 2, 300);
    ASSERT_TRUE(rig.windows.mouse_.MainRevealed());
    // What an open without video does: take back, then leave.
    rig.windows.video = false;
    rig.fullScreen.TakeBackRevealedWindows();
    rig.fullScreen.ToggleFullScreen();
    EXPECT_EQ(rig.settings.fullScreen, 0);
    EXPECT_FALSE(rig.windows.shown_[W::Movie]);
    EXPECT_TRUE(rig.windows.shown_[W::Main]);
    EXPECT_TRUE(rig.windows.shown_[W::Playlist]);
    EXPECT_EQ(rig.settings.mainRect, kMain);
    EXPECT_EQ(rig.settings.movieRect, kMovie);
    EXPECT_EQ(rig.settings.playlistRect, kPlaylist);
    EXPECT_FALSE(rig.modes.Switched());
    EXPECT_EQ(rig.At("fit 0"), -1);  // no picture to fit
    const RevealState after = rig.windows.Reveals();
    EXPECT_FALSE(after.main || after.effects || after.playlist);
}

}  // namespace
