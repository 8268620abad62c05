// On a real X server the effect controls change the played picture: a user's move of the
// brightness bar reaches the effects element through the video window, and the frames the
// renderer receives get brighter. The video window's "Properties" fills its media box from
// the open file and lets the listed elements go with the graph.

#include <gst/app/gstappsink.h>
#include <gtest/gtest.h>

#include <QAbstractSlider>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QScreen>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "player/playback/EffectControls.h"
#include "player/playback/KalvorMovie.h"
#include "player/playback/MovieEffectTarget.h"
#include "player/playback/MovieMediaInfo.h"
#include "player/playback/VideoCommands.h"
#include "support/MediaGenerator.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"
#include "support/XcbApplication.h"
#include "support/Xvfb.h"
#include "tests/player/playback/MovieTestHost.h"

namespace {

// The renderer is an app sink taking grey frames, so the test reads what the element made.
class AppSinks : public ISinkFactory {
public:
    GstElement* sink = nullptr;
    GstElement* CreateVideoRenderer() override {
        sink = gst_element_factory_make("appsink", nullptr);
        GstCaps* caps = gst_caps_from_string("video/x-raw,format=GRAY8");
        g_object_set(sink, "caps", caps, "max-buffers", 1, "drop", TRUE, nullptr);
        gst_caps_unref(caps);
        return sink;
    }
    GstElement* CreateAudioSink(const std::string&) override {
        return gst_element_factory_make("fakesink", nullptr);
    }
};

// The mean grey level of the newest frame; -1 when none came within a second.
double MeanOfNewestFrame(GstElement* sink) {
    GstSample* sample = nullptr;
    for (int i = 0; i < 3; ++i) {  // drop what waited from before the change
        if (sample) gst_sample_unref(sample);
        sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink), GST_SECOND);
        if (!sample) return -1;
    }
    GstMapInfo map;
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    double mean = -1;
    if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        double sum = 0;
        for (gsize i = 0; i < map.size; ++i) sum += map.data[i];
        mean = map.size ? sum / double(map.size) : -1;
        gst_buffer_unmap(buffer, &map);
    }
    gst_sample_unref(sample);
    return mean;
}

TEST(EffectControlsOnX, TheBrightnessBarBrightensThePlayedFramesAndPropertiesListsTheGraph) {
    Xvfb xvfb;
    KALVOR_REQUIRE_XVFB(xvfb);
    TempEnvironment env;
    media::AviSpec spec;
    spec.seconds = 20.0;
    spec.audio = media::AudioCodec::None;
    ASSERT_TRUE(media::MakeAvi(env.Path("clip.avi"), spec));
    XcbApplication application("keffectcontrols_xvfb_tests");

    TestMovieHost host;
    host.settings.movieRect = WinRect{40, 40, 360, 280};
    AppSinks sinks;
    auto movie = std::make_unique<CKalvorMovie>(host);
    movie->SetSinkFactory(&sinks);
    movie->OnInitDialog();
    movie->InitGraph();
    movie->CreateGraph();
    movie->mediaPath = env.Path("clip.avi");
    ASSERT_EQ(movie->OpenMedia(), 1);
    ASSERT_TRUE(movie->EffectsSpliced());
    movie->Play();
    const double before = MeanOfNewestFrame(sinks.sink);
    ASSERT_GE(before, 0);

    CEffectControls controls(std::make_unique<MovieEffectTarget>(*movie));
    controls.show();
    ASSERT_TRUE(qttest::WaitUntil([&] { return controls.isVisible(); }, 30000));
    auto* brightness = qobject_cast<QAbstractSlider*>(controls.Control(1066));
    brightness->setSliderPosition(400);  // a drag: brightness 144
    EXPECT_EQ(movie->effectParams.brightness, 144);
    double after = -1;
    EXPECT_TRUE(qttest::WaitUntil(
        [&] {
            after = MeanOfNewestFrame(sinks.sink);
            return after > before + 40;
        },
        30000))
        << "before " << before << ", after " << after;

    controls.ShowPage(7);
    qttest::Pump(300);
    if (const char* shot = std::getenv("KALVOR_EFFECTS_SHOT")) {
        controls.screen()->grabWindow(controls.winId()).save(QString::fromLocal8Bit(shot));
    }

    movie->OnMenuCommand(videocommands::kProperties);
    CKalvorMovie& window = *movie;
    auto* box = window.findChild<CMediaProperties*>();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->ValueText(1187), "320x240");
    EXPECT_GT(box->FilterBox()->count(), 0);
    movie->ReleaseGraph();
    EXPECT_EQ(box->Filters().Count(), 0u);
    movie->CloseGraph();
}

}  // namespace
