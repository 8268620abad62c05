// On a real X server the player's main window shows the default skin: cut to its shape,
// painted as the surface, near the bottom of the desktop.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include <QScreen>
#include <QTimerEvent>

#include "platform/keys/KeyTable.h"
#include "player/playback/KalvorMovie.h"
#include "player/playlist/KalvorPlaylist.h"
#include "player/settings/SettingsFile.h"
#include "player/shell/KrKeysHook.h"
#include "support/MediaGenerator.h"
#include "support/PlayerInstall.h"
#include "support/PlayerOnX.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"
#include "support/XKeyboard.h"
#include "support/Xvfb.h"

#include <X11/keysym.h>

namespace {

TEST(MainWindowOnX, StartsWithTheDefaultSkinInItsShape) {
    Xvfb xvfb;
    KALVOR_REQUIRE_XVFB(xvfb);
    TempEnvironment env;
    const PlayerSettings installed = InstalledSettings();
    const PlayerFolders folders = InstallPlayer(env, installed);
    PlayerOnX player(folders, "kmainwindow_xvfb_tests");
    EXPECT_EQ(player.Run([&](CKalvorDlg& dlg) {
        const QImage& surface = dlg.Surface().Image();
        const QRect at = dlg.geometry();
        // Inside the shape the screen shows the surface, once painted; at the cut corners,
        // the desktop.
        QImage screen;
        int same = 0, inside = 0;
        const auto painted = [&] {
            screen = dlg.screen()->grabWindow(0).toImage();
            same = inside = 0;
            for (int y = 0; y < surface.height(); y += 3)
                for (int x = 0; x < surface.width(); x += 3) {
                    if (!dlg.Skin().Shape().contains(QPoint(x, y))) continue;
                    ++inside;
                    same += screen.pixel(at.x() + x, at.y() + y) == surface.pixel(x, y);
                }
            return same > inside * 95 / 100;
        };
        EXPECT_TRUE(qttest::WaitUntil(painted, 30000));
        EXPECT_EQ(at.size(), surface.size());
        EXPECT_GT(at.top(), screen.height() / 2);
        EXPECT_GT(same, inside * 95 / 100);
        EXPECT_EQ(screen.pixel(at.topLeft()), screen.pixel(0, 0));
        EXPECT_NE(surface.pixel(0, 0), screen.pixel(0, 0));
        dlg.close();
    }), 0);
}

TEST(MainWindowOnX, GlobalHotKeysRunTheirSlotsUnlessSuspendedAndCloseEndsThePlayer) {
    Xvfb xvfb;
    KALVOR_REQUIRE_XVFB(xvfb);
    TempEnvironment env;
    PlayerSettings installed = InstalledSettings();
    installed.repeatMode = 0;
    for (int32_t& key : installed.hotKeys) key = 0;
    installed.hotKeys[15] = vk::F1 + 7;  // F8 cycles the repeat mode
    installed.hotKeys[17] = vk::F1 + 8;  // F9 closes
    const PlayerFolders folders = InstallPlayer(env, installed);
    PlayerOnX player(folders, "kmainwindow_xvfb_tests");
    // Keys pressed as a user would while another program has the focus.
    XKeyboard keys;
    ASSERT_TRUE(keys.Ok());

    KrKeysHook hook;
    player.Dialog().SetHotKeyHook(&hook);
    bool closed = false;
    EXPECT_EQ(player.Run([&](CKalvorDlg& dlg) {
        EXPECT_TRUE(hook.Installed());
        keys.Tap(XK_F8);
        ASSERT_TRUE(qttest::WaitUntil([&] { return dlg.Settings().repeatMode == 1; }, 30000));
        // The kind-1 message of the same press does not run the slot a second time.
        qttest::Pump(300);
        EXPECT_EQ(dlg.Settings().repeatMode, 1);

        dlg.SuspendHotKeys(true);
        keys.Tap(XK_F8);
        qttest::Pump(500);
        EXPECT_EQ(dlg.Settings().repeatMode, 1);
        dlg.SuspendHotKeys(false);
        keys.Tap(XK_F8);
        ASSERT_TRUE(qttest::WaitUntil([&] { return dlg.Settings().repeatMode == 2; }, 30000));

        keys.Tap(XK_F9);
        closed = true;
    }), 0);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(hook.Installed());  // the exit removed it
    PlayerSettings saved{};
    LoadSettings(env.ConfigHome() + "/Kalvor", env.Path("program"), saved);
    EXPECT_EQ(saved.repeatMode, 2);
}

// A skin of another height moves the main window's bottom edge; the playlist docked below
// and the video window docked above go with it as at start: with remembered places each
// touches the main window again, without them all three take their default places.
TEST(MainWindowOnX, ASkinChangeToATallerSkinDocksThePlaylistAndVideoWindowAgain) {
    Xvfb xvfb;
    KALVOR_REQUIRE_XVFB(xvfb);
    TempEnvironment env;
    PlayerSettings installed = InstalledSettings();
    installed.playlistVisible = 1;
    installed.resumeLastMovie = 0;
    const PlayerFolders folders = InstallPlayer(env, installed);
    const std::string taller = folders.program + "/skins/Taller.krs";
    ASSERT_TRUE(WriteTallerSkin(folders.program + "/skins/Default.krs", taller, 20));
    PlayerOnX player(folders, "kmainwindow_xvfb_tests");
    EXPECT_EQ(player.Run([&](CKalvorDlg& dlg) {
        CKalvorPlaylist* playlist = dlg.Playlist();
        CKalvorMovie* video = dlg.Video();
        ASSERT_TRUE(playlist && video);
        ASSERT_TRUE(qttest::WaitUntil([&] { return playlist->isVisible(); }, 30000));
        const QRect before = dlg.geometry();
        const auto docked = [&](int height) {
            // The X server confirms each window's place in its own time.
            EXPECT_TRUE(qttest::WaitUntil(
                [&] {
                    return dlg.geometry().height() == height &&
                           playlist->geometry().top() == dlg.geometry().bottom() + 1 &&
                           video->geometry().bottom() + 1 == dlg.geometry().top();
                },
                30000));
            const QRect main = dlg.geometry(), list = playlist->geometry();
            EXPECT_FALSE(main.intersects(list));
            EXPECT_EQ(list.top(), main.bottom() + 1);
            EXPECT_EQ(video->geometry().bottom() + 1, main.top());
            EXPECT_EQ(dlg.Settings().playlistRect.top, dlg.Settings().mainRect.bottom);
        };

        dlg.Settings().rememberWindowPlacement = 1;
        ASSERT_TRUE(dlg.ChangeSkin(taller));
        docked(before.height() + 20);
        EXPECT_EQ(dlg.geometry().height(), before.height() + 20);
        EXPECT_EQ(dlg.geometry().topLeft(), before.topLeft()) << "the main window stays";

        dlg.Settings().rememberWindowPlacement = 0;
        ASSERT_TRUE(dlg.ChangeSkin(folders.program + "/skins/Default.krs"));
        docked(before.height());
        EXPECT_EQ(dlg.geometry(), before) << "the default places of the first start";
        dlg.close();
    }), 0);
}

// The dialog's timer events in their order, each with the state just before it ran.
class TimerLog : public QObject {
public:
    struct Tick {
        int timer;
        bool rangeTimerRunning;
        double position;
        std::chrono::steady_clock::time_point at;
    };

    explicit TimerLog(CKalvorDlg& dlg) : dlg_(dlg) { dlg_.installEventFilter(this); }
    ~TimerLog() override { dlg_.removeEventFilter(this); }
    std::vector<Tick> ticks;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &dlg_ && event->type() == QEvent::Timer && dlg_.Video()) {
            ticks.push_back({static_cast<QTimerEvent*>(event)->timerId(), dlg_.RangeTimerRunning(),
                             dlg_.Video()->GetPosition(), std::chrono::steady_clock::now()});
        }
        return false;
    }

private:
    CKalvorDlg& dlg_;
};

TEST(MainWindowOnX, APlayRangeStopsAtItsEndAtNormalAndDoubleRate) {
    Xvfb xvfb;
    KALVOR_REQUIRE_XVFB(xvfb);
    TempEnvironment env;
    PlayerSettings installed = InstalledSettings();
    installed.autostartPlayback = 1;
    installed.resumeLastMovie = 0;
    installed.repeatMode = 2;  // off: nothing follows the only row
    installed.showTips = 0;
    const PlayerFolders folders = InstallPlayer(env, installed);
    media::AviSpec spec;
    spec.seconds = 8.0;
    spec.framesPerSecond = 50;
    spec.audio = media::AudioCodec::None;  // no test may need a sound card
    const std::string clip = env.Path("clip.avi");
    std::string error;
    ASSERT_TRUE(media::MakeAvi(clip, spec, &error)) << error;
    PlayerOnX player(folders, "kmainwindow_xvfb_tests");
    constexpr double kRangeEnd = 2.5;
    EXPECT_EQ(player.Run([&](CKalvorDlg& dlg) {
        CKalvorMovie* video = dlg.Video();
        ASSERT_NE(video, nullptr);
        for (double rate : {1.0, 2.0}) {
            SCOPED_TRACE(rate);
            dlg.Rows().Entries().ClearEntries();
            dlg.Rows().Entries().AddEntry(0, clip, 0.0, kRangeEnd);
            dlg.Settings().currentIndex = -1;
            TimerLog log(dlg);
            dlg.PlaySelected();
            ASSERT_EQ(dlg.Settings().rangeEnd, kRangeEnd);
            ASSERT_EQ(video->SetRate(rate), 1);
            ASSERT_TRUE(qttest::WaitUntil([&] { return dlg.RangeTimerRunning(); }, 30000));
            ASSERT_TRUE(qttest::WaitUntil([&] { return !dlg.RangeTimerRunning(); }, 30000));
            const auto stopped = std::chrono::steady_clock::now();

            // A display tick armed the countdown, the range ticks ran it down, and the last
            // of them stopped the playback.
            const auto& ticks = log.ticks;
            const auto running = [](const TimerLog::Tick& t) { return t.rangeTimerRunning; };
            const auto afterArming = std::find_if(ticks.begin(), ticks.end(), running);
            ASSERT_TRUE(afterArming != ticks.begin() && afterArming != ticks.end());
            const TimerLog::Tick& arming = afterArming[-1];
            EXPECT_LT(arming.position, kRangeEnd);
            const auto stopTick = std::prev(std::find_if_not(afterArming, ticks.end(), running));
            EXPECT_NE(stopTick->timer, arming.timer) << "a display tick stopped it";
            std::vector<TimerLog::Tick> rangeTicks;
            std::copy_if(afterArming, std::next(stopTick), std::back_inserter(rangeTicks),
                         [&](const TimerLog::Tick& t) { return t.timer != arming.timer; });
            ASSERT_FALSE(rangeTicks.empty());

            // Counted in hundredths of a second: the medium's time left at the arming, played
            // at the rate, is how long the stop waits. It waited all of them, however late the
            // ticks came; and no range tick after they had passed, nor after the countdown's
            // last one, went by without stopping. A busy machine delays ticks, which can only
            // make the wait longer.
            const auto hundredths = [&](std::chrono::steady_clock::time_point t) {
                return std::chrono::duration<double>(t - afterArming->at).count() * 100.0;
            };
            const double leftAtMost = (kRangeEnd - arming.position) * 100.0 / rate;
            const double leftAtLeast = (kRangeEnd - afterArming->position) * 100.0 / rate;
            const double rounding = 3.0;  // whole hundredths of the clock, the position and the end
            EXPECT_GE(hundredths(stopped) - hundredths(arming.at), leftAtLeast - rounding);
            EXPECT_LE(double(rangeTicks.size()), leftAtMost + rounding);
            if (rangeTicks.size() > 1) {
                EXPECT_LE(hundredths(rangeTicks.end()[-2].at), leftAtMost + rounding);
            }
        }
        dlg.close();
    }), 0);
}

}  // namespace
