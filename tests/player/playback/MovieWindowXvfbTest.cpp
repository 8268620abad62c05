// On a real X server the renderer draws into the video window itself: a grab of that window
// shows the picture, and the picture moves.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <memory>
#include <set>

#include "player/playback/KalvorMovie.h"
#include "support/MediaGenerator.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"
#include "support/XcbApplication.h"
#include "support/Xvfb.h"
#include "tests/player/playback/MovieTestHost.h"

namespace {

// The share of pixels that are not black, and the distinct colours along the middle row (the
// test pattern's bars, not a plain window background).
std::pair<double, size_t> LitShareAndColours(const QImage& image) {
    long lit = 0;
    std::set<QRgb> across;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            lit += (image.pixel(x, y) & 0xFFFFFF) != 0;
            if (y == image.height() / 2) across.insert(image.pixel(x, y));
        }
    return {image.isNull() ? 0.0 : double(lit) / (image.width() * image.height()), across.size()};
}

TEST(MovieWindowOnX, ARealWindowShowsTheMovingVideo) {
    Xvfb xvfb;
    KALVOR_REQUIRE_XVFB(xvfb);
    TempEnvironment env;
    media::AviSpec spec;
    spec.seconds = 20.0;  // still playing however long a busy machine takes
    spec.audio = media::AudioCodec::None;
    ASSERT_TRUE(media::MakeAvi(env.Path("clip.avi"), spec));
    XcbApplication application("kplayback_xvfb_tests");

    TestMovieHost host;
    host.settings.movieRect = WinRect{40, 40, 360, 280};
    SilentWindowSinks sinks;
    auto movie = std::make_unique<CKalvorMovie>(host);
    movie->SetSinkFactory(&sinks);
    movie->InitGraph();
    movie->CreateGraph();
    movie->mediaPath = env.Path("clip.avi");
    ASSERT_EQ(movie->OpenMedia(), 1);
    EXPECT_TRUE(movie->EffectsSpliced());
    ASSERT_TRUE(qttest::WaitUntil([&] { return movie->isVisible(); }, 30000));
    movie->Play();

    // A picture shows, then another one.
    QScreen* screen = movie->screen();
    ASSERT_NE(screen, nullptr);
    QImage first, second;
    const auto shows = [&](QImage& shot) {
        shot = screen->grabWindow(movie->winId()).toImage();
        return LitShareAndColours(shot).first > 0.5;
    };
    EXPECT_TRUE(qttest::WaitUntil([&] { return shows(first); }, 30000));
    EXPECT_TRUE(qttest::WaitUntil([&] { return shows(second) && second != first; }, 30000));
    EXPECT_EQ(first.size(), QSize(320, 240));
    EXPECT_GT(LitShareAndColours(first).first, 0.5);
    EXPECT_GE(LitShareAndColours(first).second, 6u);
    EXPECT_GT(LitShareAndColours(second).first, 0.5);
    EXPECT_NE(first, second);
}

}  // namespace
