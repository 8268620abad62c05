// The video window's graph on generated media: what gets built for video and audio files,
// the transport, volume, and how the end of a medium reaches the window.

#include <gst/app/gstappsink.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <chrono>
#include <cstring>
#include <memory>
#include <random>
#include <thread>

#include "platform/media/BusEvent.h"
#include "player/playback/KalvorMovie.h"
#include "support/MediaGenerator.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"

namespace {

class FakeHost : public IMovieHost {
public:
    FakeHost() {
        std::strcpy(settings.audioDevice, "AUTODETECT");
        settings.movieRect = WinRect{10, 20, 330, 260};
    }
    PlayerSettings& Settings() override { return settings; }
    void EnableMainWindow(bool enable) override {
        enabled = enable;
        ++enableCalls;
    }
    void StopRangeEndTimer() override { ++rangeTimerStops; }
    void AfterEndOfMedia() override {
        ++endsOfMedia;
        endOnMainThread = QThread::currentThread() == QCoreApplication::instance()->thread();
    }

    PlayerSettings settings{};
    bool enabled = true;
    int enableCalls = 0;
    int rangeTimerStops = 0;
    int endsOfMedia = 0;
    bool endOnMainThread = false;
};

// An app sink in place of the window renderer and a fake sink in place of the sound card,
// both running against the clock like the real ones.
class TestSinks : public ISinkFactory {
public:
    GstElement* CreateVideoRenderer() override {
        GstElement* sink = gst_element_factory_make("appsink", nullptr);
        // Nobody pulls most samples: the sink must neither stall nor wait for them at the end.
        g_object_set(sink, "sync", TRUE, "max-buffers", 1u, "drop", TRUE, "wait-on-eos", FALSE,
                     nullptr);
        return sink;
    }
    GstElement* CreateAudioSink(const std::string&) override {
        GstElement* sink = gst_element_factory_make("fakesink", nullptr);
        g_object_set(sink, "sync", TRUE, nullptr);
        return sink;
    }
};

std::string ParentName(GstPad* pad) {
    if (!pad) return "";
    GstPad* peer = gst_pad_get_peer(pad);
    if (!peer) return "";
    GstElement* parent = gst_pad_get_parent_element(peer);
    std::string name = parent ? GST_OBJECT_NAME(parent) : "";
    if (parent) gst_object_unref(parent);
    gst_object_unref(peer);
    return name;
}

// The names of the elements upstream and downstream of a named element in the video bin.
struct Neighbours {
    std::string up, down;
};

Neighbours NeighboursOf(GstElement* bin, const char* name) {
    GstElement* element = gst_bin_get_by_name(GST_BIN(bin), name);
    if (!element) return {"absent", "absent"};
    GstPad* sink = gst_element_get_static_pad(element, "sink");
    GstPad* src = gst_element_get_static_pad(element, "src");
    Neighbours result{ParentName(sink), ParentName(src)};
    if (sink) gst_object_unref(sink);
    if (src) gst_object_unref(src);
    gst_object_unref(element);
    return result;
}

GstState StateOf(GstElement* element) {
    GstState state = GST_STATE_VOID_PENDING;
    gst_element_get_state(element, &state, nullptr, 2 * GST_SECOND);
    return state;
}

class KalvorMovieTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        media_ = std::make_unique<TempEnvironment>();
        media::AviSpec shortClip;
        shortClip.seconds = 1.0;
        shortClip.width = 160;
        shortClip.height = 120;
        ASSERT_TRUE(media::MakeAvi(Media("short.avi"), shortClip));
        media::AviSpec longClip = shortClip;
        longClip.seconds = 3.0;
        ASSERT_TRUE(media::MakeAvi(Media("three.avi"), longClip));
        media::AudioSpec tone;
        tone.seconds = 1.0;
        ASSERT_TRUE(media::MakeWav(Media("tone.wav"), tone));
        std::string noise(8000, '\0');
        std::mt19937 random(3);
        for (char& c : noise) c = static_cast<char>(random());
        TempEnvironment::WriteFile(Media("noise.bin"), noise);
        TempEnvironment::WriteFile(Media("song.MID"), noise);
    }
    static void TearDownTestSuite() { media_.reset(); }
    static std::string Media(const char* name) { return media_->Path(name); }

    void SetUp() override {
        movie_ = std::make_unique<CKalvorMovie>(host_);
        movie_->SetSinkFactory(&sinks_);
        movie_->InitGraph();
    }
    void TearDown() override { movie_.reset(); }

    // The main window's order of calls for every file.
    int Open(const std::string& path) {
        movie_->ReleaseGraph();
        movie_->CreateGraph();
        movie_->mediaPath = path;
        return movie_->OpenMedia();
    }

    static std::unique_ptr<TempEnvironment> media_;
    FakeHost host_;
    TestSinks sinks_;
    std::unique_ptr<CKalvorMovie> movie_;
};

std::unique_ptr<TempEnvironment> KalvorMovieTest::media_;

TEST_F(KalvorMovieTest, AviOpensWithTheEffectsElementBetweenTheConvertersAndTheRenderer) {
    ASSERT_EQ(Open(Media("short.avi")), 1);
    GstElement* bin = movie_->VideoSinkBin();
    const Neighbours effects = NeighboursOf(bin, "KalvorVT");
    EXPECT_EQ(effects.up, "KRColour Space");
    EXPECT_EQ(effects.down, "Renderer Converter");
    EXPECT_EQ(NeighboursOf(bin, "Renderer Converter").down, "Video Renderer");
    EXPECT_TRUE(movie_->EffectsSpliced());

    EXPECT_EQ(movie_->streamCount, 2);
    EXPECT_EQ(movie_->hasVideo, 1);
    EXPECT_EQ(movie_->hasAudio, 1);
    EXPECT_EQ(movie_->videoWidth, 160);
    EXPECT_EQ(movie_->videoHeight, 120);
    EXPECT_DOUBLE_EQ(movie_->frameRate, 25.0);
    EXPECT_EQ(movie_->effectParams.zoomWidth, 159);
    EXPECT_EQ(movie_->effectParams.zoomExtra2, 119);
    EXPECT_NEAR(movie_->duration, 1.0, 0.05);
    EXPECT_EQ(movie_->HasVideoWindow(), 1);
    EXPECT_EQ(movie_->HasMedia(), 1);

    // Opened means stopped at the start, with the window shown where the settings say.
    EXPECT_EQ(StateOf(movie_->Graph()), GST_STATE_PAUSED);
    EXPECT_EQ(movie_->GetPosition(), 0.0);
    EXPECT_TRUE(movie_->isVisible());
    EXPECT_EQ(movie_->geometry(), QRect(10, 20, 320, 240));
    EXPECT_TRUE(movie_->ScreenSaverHeld());
    EXPECT_TRUE(host_.enabled);
    EXPECT_GE(host_.rangeTimerStops, 1);

    // The whole effect block reached the element at open.
    gint contrast = 0;
    gdouble rate = 0;
    g_object_get(movie_->EffectsFilter(), "contrast", &contrast, "frame-rate", &rate, nullptr);
    EXPECT_EQ(contrast, 16);
    EXPECT_DOUBLE_EQ(rate, 25.0);
}

TEST_F(KalvorMovieTest, WavOpensWithoutRendererOrEffectsAndHidesTheWindow) {
    movie_->show();
    ASSERT_EQ(Open(Media("tone.wav")), 1);
    GstElement* bin = movie_->VideoSinkBin();
    EXPECT_EQ(NeighboursOf(bin, "KalvorVT").up, "absent");
    EXPECT_EQ(NeighboursOf(bin, "Video Renderer").up, "absent");
    EXPECT_EQ(movie_->hasVideo, 0);
    EXPECT_EQ(movie_->hasAudio, 1);
    EXPECT_EQ(movie_->audioSampleRate, 44100);
    EXPECT_EQ(movie_->audioChannels, 2);
    EXPECT_EQ(movie_->HasVideoWindow(), 0);
    EXPECT_EQ(movie_->HasMedia(), 1);
    EXPECT_FALSE(movie_->isVisible());
    EXPECT_FALSE(movie_->ScreenSaverHeld());
    EXPECT_EQ(StateOf(movie_->Graph()), GST_STATE_PAUSED);
}

TEST_F(KalvorMovieTest, EveryOpenAfterCreateGraphSplicesItsOwnNewElement) {
    ASSERT_EQ(Open(Media("short.avi")), 1);
    GstElement* first = movie_->EffectsFilter();
    gst_object_ref(first);
    const uint64_t firstGeneration = movie_->Generation();

    ASSERT_EQ(Open(Media("three.avi")), 1);
    EXPECT_NE(movie_->EffectsFilter(), first);
    EXPECT_GT(movie_->Generation(), firstGeneration);
    EXPECT_EQ(NeighboursOf(movie_->VideoSinkBin(), "KalvorVT").up, "KRColour Space");
    EXPECT_EQ(NeighboursOf(movie_->VideoSinkBin(), "KalvorVT").down, "Renderer Converter");
    EXPECT_NEAR(movie_->duration, 3.0, 0.05);
    // The first graph let its element go: only our reference is left.
    EXPECT_EQ(GST_OBJECT_REFCOUNT_VALUE(first), 1);
    EXPECT_EQ(GST_OBJECT_PARENT(first), nullptr);
    gst_object_unref(first);
}

TEST_F(KalvorMovieTest, UnplayableFileReturnsZeroWithTheMainWindowEnabledAgain) {
    ASSERT_EQ(Open(Media("noise.bin")), 0);
    EXPECT_TRUE(host_.enabled);
    EXPECT_GE(host_.enableCalls, 2);
    // Unreadable by the probe: taken for a 640x480 picture at 25 frames per second.
    EXPECT_EQ(movie_->streamCount, 0);
    EXPECT_EQ(movie_->hasVideo, 1);
    EXPECT_EQ(movie_->videoWidth, 640);
    EXPECT_EQ(movie_->videoHeight, 480);
    EXPECT_DOUBLE_EQ(movie_->frameRate, 25.0);
    EXPECT_EQ(movie_->effectParams.zoomWidth, 639);
    // A failed open leaves a graph that the next file replaces as usual.
    EXPECT_EQ(Open(Media("short.avi")), 1);
}

TEST_F(KalvorMovieTest, UnreadableMidiNameIsNeitherPictureNorSound) {
    EXPECT_EQ(Open(Media("song.MID")), 0);
    EXPECT_EQ(movie_->isMidi, 1);
    EXPECT_EQ(movie_->hasVideo, 0);
    EXPECT_EQ(movie_->hasAudio, 0);
    EXPECT_FALSE(movie_->isVisible());
    EXPECT_FALSE(movie_->ScreenSaverHeld());
}

TEST(KalvorMovieRules, MidiNamesVolumeValuesAndTheRewindRule) {
    for (const char* name : {"a.mid", "A.MID", "x.Mid", "mid"})
        EXPECT_TRUE(CKalvorMovie::IsMidiName(name)) << name;
    for (const char* name : {"", "d", "id", "a.midi", "a.avi"})
        EXPECT_FALSE(CKalvorMovie::IsMidiName(name)) << name;

    const struct {
        double volume;
        int32_t value;
    } volumes[] = {{0.0, -10000}, {0.5, -1257},   {1.0, -7},    {0.01, -8312},
                   {2.0, -7},     {-1.0, -10000}, {NAN, -10000}};
    for (const auto& v : volumes)
        EXPECT_EQ(CKalvorMovie::VolumeValue(v.volume), v.value) << v.volume;
    EXPECT_EQ(CKalvorMovie::VolumeGain(-10000), 0.0);
    EXPECT_NEAR(CKalvorMovie::VolumeGain(-2000), 0.1, 1e-12);
    EXPECT_LE(CKalvorMovie::VolumeGain(500), 1.0);

    EXPECT_TRUE(CKalvorMovie::RewindsOnPlay(90.9, 89.2));
    EXPECT_TRUE(CKalvorMovie::RewindsOnPlay(3.0, 3.0));
    EXPECT_FALSE(CKalvorMovie::RewindsOnPlay(90.9, 88.9));
    EXPECT_FALSE(CKalvorMovie::RewindsOnPlay(0.0, 0.5));  // length unknown
}

TEST_F(KalvorMovieTest, TransportOnAThreeSecondClip) {
    ASSERT_EQ(Open(Media("three.avi")), 1);
    GstElement* graph = movie_->Graph();

    movie_->Play();
    EXPECT_EQ(StateOf(graph), GST_STATE_PLAYING);
    EXPECT_EQ(movie_->paused, 0);
    movie_->TogglePause();
    EXPECT_EQ(StateOf(graph), GST_STATE_PAUSED);
    EXPECT_EQ(movie_->paused, 1);
    movie_->TogglePause();
    EXPECT_EQ(StateOf(graph), GST_STATE_PLAYING);
    EXPECT_EQ(movie_->paused, 0);

    movie_->Stop();
    EXPECT_EQ(StateOf(graph), GST_STATE_PAUSED);
    EXPECT_NEAR(movie_->GetPosition(), 0.0, 1e-3);

    movie_->SetPosition(1.2);
    EXPECT_NEAR(movie_->GetPosition(), 1.2, 0.04);  // within a frame

    // Within a whole second of the end, Play starts over; further away it does not.
    movie_->SetPosition(2.5);
    movie_->Play();
    EXPECT_LT(movie_->GetPosition(), 1.0);
    movie_->TogglePause();
    movie_->SetPosition(1.0);
    movie_->Play();
    EXPECT_GE(movie_->GetPosition(), 1.0);

    // The rate reaches the renderer in its segment.
    movie_->SetRate(1.5);
    GstSample* sample =
        gst_app_sink_try_pull_sample(GST_APP_SINK(movie_->Renderer()), 2 * GST_SECOND);
    ASSERT_NE(sample, nullptr);
    EXPECT_DOUBLE_EQ(gst_sample_get_segment(sample)->rate, 1.5);
    gst_sample_unref(sample);
    // A seek keeps the chosen rate.
    movie_->SetPosition(0.5);
    sample = gst_app_sink_try_pull_sample(GST_APP_SINK(movie_->Renderer()), 2 * GST_SECOND);
    ASSERT_NE(sample, nullptr);
    EXPECT_DOUBLE_EQ(gst_sample_get_segment(sample)->rate, 1.5);
    gst_sample_unref(sample);
    // The next graph starts at the normal rate.
    ASSERT_EQ(Open(Media("three.avi")), 1);
    EXPECT_EQ(movie_->rate, 1.0);
}

TEST_F(KalvorMovieTest, VolumeReachesTheGraphAsLinearGain) {
    ASSERT_EQ(Open(Media("tone.wav")), 1);
    for (double volume : {0.0, 0.5, 1.0}) {
        movie_->SetVolume(volume);
        EXPECT_EQ(movie_->LastVolumeValue(), CKalvorMovie::VolumeValue(volume));
        gdouble gain = -1;
        g_object_get(movie_->Graph(), "volume", &gain, nullptr);
        EXPECT_NEAR(gain, CKalvorMovie::VolumeGain(movie_->LastVolumeValue()), 1e-6);
    }
}

TEST_F(KalvorMovieTest, EndOfMediaReachesTheWindowOnceOnTheUserInterfaceThread) {
    ASSERT_EQ(Open(Media("short.avi")), 1);
    const int stopsBefore = host_.rangeTimerStops;
    movie_->Play();
    ASSERT_TRUE(qttest::WaitUntil([&] { return host_.endsOfMedia > 0; }, 6000));
    qttest::Pump(300);
    EXPECT_EQ(host_.endsOfMedia, 1);
    EXPECT_TRUE(host_.endOnMainThread);
    EXPECT_EQ(host_.rangeTimerStops, stopsBefore + 1);
    EXPECT_EQ(StateOf(movie_->Graph()), GST_STATE_PAUSED);
    // Meanwhile the position timer kept the effects element's clock going.
    gdouble clock = 0;
    g_object_get(movie_->EffectsFilter(), "position", &clock, nullptr);
    EXPECT_GT(clock, 0.4);
}

// Answers every caps query with nothing, so that no format can be agreed through the pad.
GstPadProbeReturn RefuseCaps(GstPad*, GstPadProbeInfo* info, gpointer) {
    GstQuery* query = GST_PAD_PROBE_INFO_QUERY(info);
    if (GST_QUERY_TYPE(query) == GST_QUERY_CAPS) {
        GstCaps* none = gst_caps_new_empty();
        gst_query_set_caps_result(query, none);
        gst_caps_unref(none);
        return GST_PAD_PROBE_HANDLED;
    }
    if (GST_QUERY_TYPE(query) == GST_QUERY_ACCEPT_CAPS) {
        gst_query_set_accept_caps_result(query, FALSE);
        return GST_PAD_PROBE_HANDLED;
    }
    return GST_PAD_PROBE_OK;
}

TEST_F(KalvorMovieTest, AnEffectsElementThatCannotBeSplicedLeavesThePictureWithoutEffects) {
    movie_->ReleaseGraph();
    movie_->CreateGraph();
    GstPad* pad = gst_element_get_static_pad(movie_->EffectsFilter(), "sink");
    gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_QUERY_DOWNSTREAM, RefuseCaps, nullptr, nullptr);
    gst_object_unref(pad);
    movie_->mediaPath = Media("short.avi");

    ASSERT_EQ(movie_->OpenMedia(), 1);
    EXPECT_FALSE(movie_->EffectsSpliced());
    EXPECT_EQ(NeighboursOf(movie_->VideoSinkBin(), "Renderer Converter").up, "KRColour Space");
    EXPECT_EQ(NeighboursOf(movie_->VideoSinkBin(), "Renderer Converter").down, "Video Renderer");
    EXPECT_EQ(movie_->HasVideoWindow(), 1);
    EXPECT_EQ(StateOf(movie_->Graph()), GST_STATE_PAUSED);
    // The picture still reaches the renderer.
    GstSample* preroll =
        gst_app_sink_try_pull_preroll(GST_APP_SINK(movie_->Renderer()), GST_SECOND);
    ASSERT_NE(preroll, nullptr);
    gst_sample_unref(preroll);
}

TEST_F(KalvorMovieTest, AnEndPostedByOneFileNeverReachesTheGraphOfTheNext) {
    ASSERT_EQ(Open(Media("short.avi")), 1);
    const uint64_t oldGeneration = movie_->Generation();
    movie_->Play();
    // The end is posted while the user-interface thread is busy elsewhere.
    std::this_thread::sleep_for(std::chrono::milliseconds(1800));
    ASSERT_EQ(Open(Media("three.avi")), 1);
    qttest::Pump(300);
    EXPECT_EQ(host_.endsOfMedia, 0);

    QCoreApplication::postEvent(
        movie_.get(),
        new media::BusEvent(oldGeneration, media::MessageRef(gst_message_new_eos(nullptr))));
    qttest::Pump(50);
    EXPECT_EQ(host_.endsOfMedia, 0);
    QCoreApplication::postEvent(
        movie_.get(),
        new media::BusEvent(movie_->Generation(), media::MessageRef(gst_message_new_eos(nullptr))));
    qttest::Pump(50);
    EXPECT_EQ(host_.endsOfMedia, 1);
}

TEST_F(KalvorMovieTest, WithoutAGraphOpeningFailsAndTheMainWindowIsEnabledAgain) {
    movie_->CloseGraph();
    EXPECT_EQ(movie_->Play(), 1);
    EXPECT_EQ(movie_->GetPosition(), 0.0);
    movie_->mediaPath = Media("short.avi");
    EXPECT_EQ(movie_->OpenMedia(), 0);
    EXPECT_TRUE(host_.enabled);
}

}  // namespace
