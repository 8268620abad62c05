// On a real X server with the player's own windows: the picture is in the video window
// wherever the geometry puts it, measured from the screen. Full screen and back twice, an
// aspect that is not the source's, and a paused picture that must survive what the server
// does to its window.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>
#include <functional>
#include <set>
#include <vector>

#include "player/playback/KalvorMovie.h"
#include "player/playback/VideoCommands.h"
#include "player/settings/SettingsFile.h"
#include "support/MediaGenerator.h"
#include "support/PlayerInstall.h"
#include "support/PlayerOnX.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"
#include "support/Xvfb.h"

namespace {

constexpr int kWaitMs = 15000;

QImage Screen() { return QGuiApplication::primaryScreen()->grabWindow(0).toImage(); }

bool Dark(QRgb pixel) { return qRed(pixel) + qGreen(pixel) + qBlue(pixel) < 48; }

// Which of the pattern's seven bars a pixel is: its channels above half as three bits.
int Bar(QRgb pixel) {
    return (qRed(pixel) > 128 ? 4 : 0) | (qGreen(pixel) > 128 ? 2 : 0) |
           (qBlue(pixel) > 128 ? 1 : 0);
}

struct Run {
    int bar, start, length;
};

// The bars met from first to last. Inside, runs shorter than shortest are passed over (what
// the scaling and the compression blend at a boundary); at the ends a bar the picture's
// edge cuts short is kept.
std::vector<Run> Runs(const std::function<QRgb(int)>& at, int from, int to, int shortest) {
    std::vector<Run> runs;
    for (int i = from; i < to; ++i) {
        const int bar = Bar(at(i));
        if (!runs.empty() && runs.back().bar == bar)
            ++runs.back().length;
        else
            runs.push_back({bar, i, 1});
    }
    std::vector<Run> kept;
    for (size_t n = 0; n < runs.size(); ++n) {
        const Run& run = runs[n];
        if (run.length < shortest && n != 0 && n + 1 != runs.size()) continue;
        if (!kept.empty() && kept.back().bar == run.bar)
            kept.back().length = run.start + run.length - kept.back().start;
        else
            kept.push_back(run);
    }
    return kept;
}

bool Near(int value, int wanted, int slack) { return std::abs(value - wanted) <= slack; }

// The picture fills picture exactly when, across it, the seven bars of the pattern's top
// part (moving sideways, so one of them may be split at the edges) are each a seventh of
// its width, and down through a whole bar that bar ends two thirds of the way down. Inside
// window and outside picture the screen is dark (the letterbox).
bool Shows(const QImage& shot, const QRect& picture, const QRect& window) {
    const int row = picture.top() + picture.height() / 4;
    const int bar = picture.width() / 7, slack = bar / 10 + 3;
    // Two pixels at each edge are the scaler's blend with the outside.
    const auto across = Runs([&](int x) { return shot.pixel(x, row); }, picture.left() + 2,
                             picture.left() + picture.width() - 2, bar / 4);
    std::set<int> seen;
    for (const Run& run : across) seen.insert(run.bar);
    if (seen.size() != 7 || seen.count(0) || across.size() < 7 || across.size() > 8) return false;
    const Run& last = across.back();
    for (size_t i = 1; i + 1 < across.size(); ++i)
        if (!Near(across[i].length, bar, slack)) return false;
    const int ends = across.front().length + last.length;
    if (across.size() == 8
            ? !Near(ends, bar, slack)
            : !Near(across.front().length, bar, slack) || !Near(last.length, bar, slack))
        return false;
    const int column = across[1].start + across[1].length / 2;
    const auto down = Runs([&](int y) { return shot.pixel(column, y); }, picture.top() + 2,
                           picture.top() + picture.height() - 2, picture.height() / 40 + 3);
    if (down.empty() ||
        !Near(down.front().length + 2, picture.height() * 2 / 3, picture.height() / 30 + 2))
        return false;
    for (int y = window.top() + 1; y < picture.top() - 2; ++y)
        if (!Dark(shot.pixel(column, y))) return false;
    for (int y = picture.bottom() + 3; y < window.bottom(); ++y)
        if (!Dark(shot.pixel(column, y))) return false;
    for (int x = window.left() + 1; x < picture.left() - 2; ++x)
        if (!Dark(shot.pixel(x, row))) return false;
    for (int x = picture.right() + 3; x < window.right(); ++x)
        if (!Dark(shot.pixel(x, row))) return false;
    return true;
}

// Waits for the screen to show the picture there; the last screen is kept for a failure.
bool WaitForPicture(const QRect& picture, const QRect& window, const char* what) {
    QImage shot;
    const bool shown =
        qttest::WaitUntil([&] { return Shows(shot = Screen(), picture, window); }, kWaitMs);
    if (!shown) {
        ADD_FAILURE() << what << ": the picture does not fill " << picture.x() << "," << picture.y()
                      << " " << picture.width() << "x" << picture.height();
        if (const char* folder = std::getenv("KALVOR_PICTURE_SHOTS"))
            shot.save(QString("%1/%2.png").arg(folder, what));
    }
    return shown;
}

void DoubleClick(QWidget* widget) {
    const QPointF at(widget->width() / 2, widget->height() / 2);
    QMouseEvent event(QEvent::MouseButtonDblClick, at, widget->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void Escape(QWidget* widget) {
    QKeyEvent event(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// The player on its own X server with a 4:3 clip open and playing; body runs in its loop.
void WithClipPlaying(const char* name,
                     const std::function<void(CKalvorDlg&, CKalvorMovie&)>& body) {
    Xvfb xvfb;
    KALVOR_REQUIRE_XVFB(xvfb);
    TempEnvironment env;
    PlayerSettings installed = InstalledSettings();
    installed.fullScreenOnPlay = 0;
    installed.autostartPlayback = 1;
    installed.showTips = 0;
    installed.repeatMode = 2;  // off
    const PlayerFolders folders = InstallPlayer(env, installed);
    media::AviSpec spec;
    spec.seconds = 30.0;
    spec.audio = media::AudioCodec::None;
    std::string error;
    ASSERT_TRUE(media::MakeAvi(env.Path("clip.avi"), spec, &error)) << error;
    PlayerOnX player(folders, name);
    EXPECT_EQ(player.Run([&](CKalvorDlg& dlg) {
        [&] {
            dlg.OpenMediaAndPlay(env.Path("clip.avi"));
            CKalvorMovie* video = dlg.Video();
            ASSERT_NE(video, nullptr);
            ASSERT_TRUE(
                qttest::WaitUntil([&] { return dlg.HasVideo() && video->isVisible(); }, kWaitMs));
            body(dlg, *video);
        }();
        dlg.close();
    }), 0);
}

const QRect kScreen(0, 0, 1280, 1024);

TEST(PictureOnX, EachOfTwoRoundTripsToFullScreenShowsThePictureThereAndBack) {
    WithClipPlaying("kpicture_xvfb_tests", [](CKalvorDlg& dlg, CKalvorMovie& video) {
        const QRect windowed = video.geometry();
        ASSERT_TRUE(WaitForPicture(windowed, windowed, "windowed"));
        for (int round = 1; round <= 2; ++round) {
            SCOPED_TRACE(round);
            DoubleClick(&video);
            ASSERT_EQ(dlg.Settings().fullScreen, 1);
            // The 4:3 source in the 5:4 screen: the full width, letterboxed above and below.
            ASSERT_TRUE(WaitForPicture(QRect(0, 32, 1280, 960), kScreen, "full"));
            Escape(&video);
            ASSERT_EQ(dlg.Settings().fullScreen, 0);
            ASSERT_TRUE(qttest::WaitUntil([&] { return video.geometry() == windowed; }, kWaitMs));
            ASSERT_TRUE(WaitForPicture(windowed, windowed, "back"));
        }
        // However Qt comes to make the window a new native window, the picture follows it:
        // through the widget, which says so, and through the window, which does not.
        const WId first = video.windowHandle()->winId();
        video.setWindowFlag(Qt::WindowStaysOnTopHint, true);
        video.show();
        ASSERT_NE(video.windowHandle()->winId(), first);
        EXPECT_TRUE(WaitForPicture(windowed, windowed, "new-widget-window"));
        const WId second = video.windowHandle()->winId();
        video.windowHandle()->setFlags(video.windowHandle()->flags() & ~Qt::WindowStaysOnTopHint);
        video.hide();
        video.show();
        ASSERT_NE(video.windowHandle()->winId(), second);
        EXPECT_TRUE(WaitForPicture(windowed, windowed, "new-native-window"));
    });
}

TEST(PictureOnX, SixteenByNineOnAFourByThreeClipFillsTheRectangleTheGeometryGives) {
    WithClipPlaying("kpicture_xvfb_tests", [](CKalvorDlg& dlg, CKalvorMovie& video) {
        const WinRect before = dlg.Settings().movieRect;
        video.OnMenuCommand(videocommands::kWide);
        // Docked above the main window: the width and the bottom stay, the height follows.
        const QRect wide(before.left, before.bottom - before.Width() * 9 / 16, before.Width(),
                         before.Width() * 9 / 16);
        ASSERT_TRUE(qttest::WaitUntil([&] { return video.geometry() == wide; }, kWaitMs));
        EXPECT_TRUE(WaitForPicture(wide, wide, "wide-windowed"));

        DoubleClick(&video);
        EXPECT_TRUE(WaitForPicture(QRect(0, 152, 1280, 720), kScreen, "wide-full"));
        Escape(&video);
        EXPECT_TRUE(WaitForPicture(wide, wide, "wide-back"));
    });
}

// With neither, the renderer runs no thread of its own that polls the window while the
// picture stands still.
bool RendererWatchesWindow(GstElement* renderer) {
    gboolean expose = TRUE, events = TRUE;
    g_object_get(renderer, "handle-expose", &expose, "handle-events", &events, nullptr);
    return expose || events;
}

TEST(PictureOnX, APausedPictureIsWholeAfterAnExposeAResizeAndLeavingFullScreen) {
    WithClipPlaying("kpicture_xvfb_tests", [](CKalvorDlg& dlg, CKalvorMovie& video) {
        dlg.ExecuteCommand(2, 1);  // Pause
        ASSERT_EQ(video.paused, 1);
        QRect windowed = video.geometry();
        ASSERT_TRUE(WaitForPicture(windowed, windowed, "paused"));
        EXPECT_FALSE(RendererWatchesWindow(video.Renderer()));

        // A window over the picture, gone again: the server cleared what it uncovered.
        QWidget cover(nullptr,
                      Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
        cover.setAutoFillBackground(true);
        cover.setPalette(QPalette(Qt::red));
        cover.setGeometry(windowed.adjusted(-20, -20, 20, 20));
        cover.show();
        cover.raise();
        ASSERT_TRUE(qttest::WaitUntil(
            [&] { return Screen().pixel(windowed.center()) == qRgb(255, 0, 0); }, kWaitMs));
        cover.hide();
        EXPECT_TRUE(WaitForPicture(windowed, windowed, "exposed"));

        video.OnMenuCommand(videocommands::kDoubleSize);
        ASSERT_TRUE(qttest::WaitUntil([&] { return video.size() == QSize(640, 480); }, kWaitMs));
        windowed = video.geometry();
        EXPECT_TRUE(WaitForPicture(windowed, windowed, "resized"));

        DoubleClick(&video);
        EXPECT_TRUE(WaitForPicture(QRect(0, 32, 1280, 960), kScreen, "paused-full"));
        Escape(&video);
        ASSERT_TRUE(qttest::WaitUntil([&] { return video.geometry() == windowed; }, kWaitMs));
        EXPECT_TRUE(WaitForPicture(windowed, windowed, "paused-back"));
        EXPECT_EQ(video.paused, 1);

        // At the end nothing follows the only row: the last frame stays, and is drawn again
        // at the window's new size.
        dlg.ExecuteCommand(2, 1);
        dlg.SeekMedia(29.0);
        ASSERT_TRUE(qttest::WaitUntil(
            [&] { return GST_STATE(video.Graph()) == GST_STATE_PAUSED && video.paused == 0; },
            kWaitMs));
        video.OnMenuCommand(videocommands::kSourceSize);
        ASSERT_TRUE(qttest::WaitUntil([&] { return video.size() == QSize(320, 240); }, kWaitMs));
        windowed = video.geometry();
        EXPECT_TRUE(WaitForPicture(windowed, windowed, "ended-resized"));
    });
}

}  // namespace
