// On a real X server the renderer draws into the video window itself: a grab of that
// window shows the picture, and the picture moves.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <cstring>
#include <memory>

#include "player/playback/KalvorMovie.h"
#include "player/playback/SystemSinks.h"
#include "support/MediaGenerator.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"
#include "support/Xvfb.h"

namespace {

class Host : public IMovieHost {
public:
    Host() {
        std::strcpy(settings.audioDevice, "AUTODETECT");
        settings.movieRect = WinRect{40, 40, 360, 280};
    }
    PlayerSettings& Settings() override { return settings; }
    void EnableMainWindow(bool) override {}
    void StopRangeEndTimer() override {}
    void AfterEndOfMedia() override {}
    PlayerSettings settings{};
};

// The system's video renderer; a silent audio sink, since there is no sound card.
class WindowSinks : public ISinkFactory {
public:
    GstElement* CreateVideoRenderer() override { return system_.CreateVideoRenderer(); }
    GstElement* CreateAudioSink(const std::string&) override {
        return gst_element_factory_make("fakesink", nullptr);
    }

private:
    CSystemSinks system_;
};

// Share of pixels that are not black.
double LitShare(const QImage& image) {
    if (image.isNull()) return 0.0;
    long lit = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) != 0) ++lit;
        }
    }
    return double(lit) / (double(image.width()) * image.height());
}

// Number of distinct colours along the middle row: the test pattern's bars, not a plain
// window background.
int ColoursAcross(const QImage& image) {
    QList<QRgb> seen;
    for (int x = 0; x < image.width(); ++x) {
        const QRgb pixel = image.pixel(x, image.height() / 2);
        if (!seen.contains(pixel)) seen.append(pixel);
    }
    return int(seen.size());
}

TEST(MovieWindowOnX, ARealWindowShowsTheMovingVideo) {
    Xvfb xvfb;
    KALVOR_REQUIRE_XVFB(xvfb);
    TempEnvironment env;
    const std::string clip = env.Path("clip.avi");
    media::AviSpec spec;
    spec.seconds = 3.0;
    spec.audio = media::AudioCodec::None;
    ASSERT_TRUE(media::MakeAvi(clip, spec));

    qputenv("QT_QPA_PLATFORM", "xcb");
    int argc = 1;
    char name[] = "kplayback_xvfb_tests";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);

    Host host;
    WindowSinks sinks;
    auto movie = std::make_unique<CKalvorMovie>(host);
    movie->SetSinkFactory(&sinks);
    movie->InitGraph();
    movie->CreateGraph();
    movie->mediaPath = clip;
    ASSERT_EQ(movie->OpenMedia(), 1);
    EXPECT_TRUE(movie->EffectsSpliced());
    ASSERT_TRUE(qttest::WaitUntil([&] { return movie->isVisible(); }, 2000));
    movie->Play();
    qttest::Pump(600);

    QScreen* screen = movie->screen();
    ASSERT_NE(screen, nullptr);
    const QImage first = screen->grabWindow(movie->winId()).toImage();
    qttest::Pump(400);
    const QImage second = screen->grabWindow(movie->winId()).toImage();
    EXPECT_EQ(first.size(), QSize(320, 240));
    EXPECT_GT(LitShare(first), 0.5);
    EXPECT_GT(LitShare(second), 0.5);
    EXPECT_GE(ColoursAcross(first), 6);
    EXPECT_NE(first, second);
    movie.reset();
}

}  // namespace
