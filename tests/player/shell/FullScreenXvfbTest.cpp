// On a real X server with a generated video playing: full screen covers the screen (in the
// chosen display mode when the server offers it) with the same native window the video
// sink draws into, and everything, the mode included, comes back.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <cstring>
#include <set>

#include "player/playback/KalvorMovie.h"
#include "player/settings/SettingsFile.h"
#include "player/shell/PlayerFullScreen.h"
#include "support/MediaGenerator.h"
#include "support/PlayerInstall.h"
#include "support/PlayerOnX.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"
#include "support/Xvfb.h"

namespace {

// Named before X11's None macro is in the way.
constexpr media::AudioCodec kNoSound = media::AudioCodec::None;

}  // namespace

// After Qt's headers: X11's macros clash with names in them.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace {

// Xvfb has the one mode of its screen; an 800x600 mode at 60 Hz is given to its output as a
// user's xrandr --newmode/--addmode would. False when the server refuses.
bool AddSecondMode() {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return false;
    bool added = false;
    XRRScreenResources* res = XRRGetScreenResourcesCurrent(d, DefaultRootWindow(d));
    if (res && res->noutput > 0) {
        XRRModeInfo info;
        std::memset(&info, 0, sizeof info);
        info.width = 800;
        info.height = 600;
        info.dotClock = 40000000;
        info.hTotal = 1056;
        info.vTotal = 628;
        char name[] = "800x600";
        info.name = name;
        info.nameLength = sizeof name - 1;
        const RRMode id = XRRCreateMode(d, DefaultRootWindow(d), &info);
        if (id != 0) {
            XRRAddOutputMode(d, res->outputs[0], id);
            XSync(d, False);
            added = true;
        }
    }
    if (res) XRRFreeScreenResources(res);
    XCloseDisplay(d);
    return added;
}

// The root window's size as a new client sees it.
QSize ServerScreen() {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return {};
    const QSize size(DisplayWidth(d, DefaultScreen(d)), DisplayHeight(d, DefaultScreen(d)));
    XCloseDisplay(d);
    return size;
}

TEST(FullScreenOnX, TheVideoCoversTheScreenInItsOwnWindowAndEverythingComesBack) {
    Xvfb xvfb;
    KALVOR_REQUIRE_XVFB(xvfb);
    const bool secondMode = AddSecondMode();
    const QSize desktop(1280, 1024);
    const QSize full = secondMode ? QSize(800, 600) : desktop;
    if (!secondMode) std::fprintf(stderr, "Xvfb offers no second mode: the mode stays\n");

    TempEnvironment env;
    PlayerSettings installed = InstalledSettings();
    installed.displayWidth = full.width();
    installed.displayHeight = full.height();
    installed.displayRefresh = 60;
    installed.fullScreenOnPlay = 0;
    const PlayerFolders folders = InstallPlayer(env, installed);
    media::AviSpec spec;
    spec.seconds = 20.0;
    spec.audio = kNoSound;
    std::string error;
    ASSERT_TRUE(media::MakeAvi(env.Path("clip.avi"), spec, &error)) << error;

    PlayerOnX player(folders, "kfullscreen_xvfb_tests");
    EXPECT_EQ(player.Run([&](CKalvorDlg& dlg) {
        dlg.OpenMediaAndPlay(env.Path("clip.avi"));
        CKalvorMovie* video = dlg.Video();
        ASSERT_NE(video, nullptr);
        ASSERT_TRUE(qttest::WaitUntil([&] { return dlg.HasVideo() && video->isVisible(); }, 30000));
        qttest::Pump(300);
        const WId id = video->winId();
        const QRect windowed = video->geometry();
        {
            PlayerFullScreen fullScreen(dlg.FullScreenWindows());
            dlg.SetFullScreenSwitch(&fullScreen);
            dlg.ToggleFullScreen();
            // The picture fills the screen once drawn: the test pattern's bars across the
            // middle line.
            QImage shot;
            std::set<QRgb> colours;
            const auto filled = [&] {
                shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
                colours.clear();
                for (int x = 0; x < shot.width(); x += 8)
                    colours.insert(shot.pixel(x, shot.height() / 3));
                return ServerScreen() == full && shot.size() == full && colours.size() >= 6 &&
                       shot.pixel(full.width() - 4, full.height() / 3) != qRgb(0, 0, 0);
            };
            EXPECT_TRUE(qttest::WaitUntil(filled, 30000));
            EXPECT_EQ(ServerScreen(), full);
            EXPECT_EQ(video->geometry(), QRect(QPoint(0, 0), full));
            EXPECT_EQ(video->winId(), id);
            EXPECT_TRUE(video->isVisible());
            EXPECT_FALSE(dlg.isVisible());
            if (const char* path = std::getenv("KALVOR_FULLSCREEN_SHOT")) shot.save(path);
            ASSERT_EQ(shot.size(), full);
            EXPECT_GE(colours.size(), 6u);
            EXPECT_NE(shot.pixel(full.width() - 4, full.height() / 3), qRgb(0, 0, 0));

            dlg.ToggleFullScreen();
            EXPECT_TRUE(qttest::WaitUntil(
                [&] {
                    return ServerScreen() == desktop && video->geometry() == windowed &&
                           dlg.isVisible();
                },
                30000));
            EXPECT_EQ(ServerScreen(), desktop);
            EXPECT_EQ(video->geometry(), windowed);
            EXPECT_EQ(video->winId(), id);
            EXPECT_TRUE(dlg.isVisible());

            // Ending while in full screen still gives the user's mode back.
            dlg.ToggleFullScreen();
            EXPECT_TRUE(
                qttest::WaitUntil([&] { return ServerScreen() == full && !dlg.isVisible(); }, 30000));
            EXPECT_EQ(ServerScreen(), full);
            dlg.SetFullScreenSwitch(nullptr);
        }
        EXPECT_EQ(ServerScreen(), desktop);
        dlg.close();
    }), 0);
}

}  // namespace
