// On a real X server, dragging the video window's border resizes the window to the picture's
// aspect and the picture fills the new size.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <memory>

#include "player/playback/KalvorMovie.h"
#include "support/MediaGenerator.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"
#include "support/XcbApplication.h"
#include "support/Xvfb.h"
#include "tests/player/playback/MovieTestHost.h"

namespace {

// The share of the window's pixels that the picture covers (the test pattern has no black).
double LitShare(const QImage& image) {
    if (image.isNull()) return 0.0;
    long lit = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) lit += (image.pixel(x, y) & 0xFFFFFF) != 0;
    return double(lit) / (image.width() * image.height());
}

QSize EffectsFrameSize(GstElement* effects) {
    GstPad* pad = effects ? gst_element_get_static_pad(effects, "src") : nullptr;
    GstCaps* caps = pad ? gst_pad_get_current_caps(pad) : nullptr;
    int width = 0, height = 0;
    if (caps) {
        gst_structure_get_int(gst_caps_get_structure(caps, 0), "width", &width);
        gst_structure_get_int(gst_caps_get_structure(caps, 0), "height", &height);
        gst_caps_unref(caps);
    }
    if (pad) gst_object_unref(pad);
    return {width, height};
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

TEST(VideoWindowOnX, DraggingTheBorderResizesThePicture) {
    Xvfb xvfb;
    KALVOR_REQUIRE_XVFB(xvfb);
    TempEnvironment env;
    media::AviSpec spec{.seconds = 20.0, .width = 160, .height = 120};
    spec.audio = media::AudioCodec::None;
    ASSERT_TRUE(media::MakeAvi(env.Path("clip.avi"), spec));
    XcbApplication application("kvideowindow_xvfb_tests");

    TestMovieHost host;
    host.settings.movieRect = WinRect{40, 100, 360, 340};
    host.settings.mainRect = WinRect{700, 700, 1000, 800};
    host.settings.aspectMode = 2;  // 4:3
    SilentWindowSinks sinks;
    auto movie = std::make_unique<CKalvorMovie>(host);
    movie->SetSinkFactory(&sinks);
    movie->OnInitDialog();
    movie->InitGraph();
    movie->CreateGraph();
    movie->mediaPath = env.Path("clip.avi");
    ASSERT_EQ(movie->OpenMedia(), 1);
    ASSERT_TRUE(qttest::WaitUntil([&] { return movie->isVisible(); }, 30000));
    movie->Play();

    QScreen* screen = movie->screen();
    ASSERT_NE(screen, nullptr);
    QImage before;
    EXPECT_TRUE(qttest::WaitUntil(
        [&] {
            before = screen->grabWindow(movie->winId()).toImage();
            return LitShare(before) > 0.9;
        },
        30000));
    EXPECT_EQ(before.size(), QSize(320, 240));
    EXPECT_GT(LitShare(before), 0.9);  // the 160 x 120 source fills the window

    // Hover the right band, press, drag the right edge out to 480 pixels, release.
    SendMouse(movie.get(), QEvent::MouseMove, {310, 120}, Qt::NoButton);
    SendMouse(movie.get(), QEvent::MouseButtonPress, {310, 120}, Qt::LeftButton);
    SendMouse(movie.get(), QEvent::MouseMove, {480, 120}, Qt::LeftButton);
    SendMouse(movie.get(), QEvent::MouseButtonRelease, {480, 120}, Qt::NoButton);
    EXPECT_EQ(host.settings.movieRect, (WinRect{40, 40, 520, 400}));  // 4:3, taller by halves
    ASSERT_TRUE(qttest::WaitUntil([&] { return movie->size() == QSize(480, 360); }, 30000));
    EXPECT_EQ(movie->RenderRectangle(), QRect(0, 0, 480, 360));

    QImage after;
    EXPECT_TRUE(qttest::WaitUntil(
        [&] {
            after = screen->grabWindow(movie->winId()).toImage();
            return after.size() == QSize(480, 360) && LitShare(after) > 0.9;
        },
        30000));
    EXPECT_EQ(after.size(), QSize(480, 360));
    EXPECT_GT(LitShare(after), 0.9);
    // The effects still work on the source's pixels: the scaling comes after them.
    EXPECT_EQ(EffectsFrameSize(movie->EffectsFilter()), QSize(160, 120));
}

}  // namespace
