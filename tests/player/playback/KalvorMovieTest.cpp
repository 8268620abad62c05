// The video window's graph on generated media: what is built for video and audio files, the
// transport, volume, how the end of a medium reaches the window, and what the effects
// element draws: edited effects and subtitles.

#include <gst/app/gstappsink.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <tuple>
#include <vector>

#include "platform/media/BusEvent.h"
#include "platform/media/GstRef.h"
#include "player/playback/AudioOutput.h"
#include "player/playback/KalvorMovie.h"
#include "support/MediaGenerator.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"
#include "tests/player/playback/MovieTestHost.h"

namespace {

// "upstream > downstream" around the named element of a bin, or "absent".
std::string Around(GstElement* bin, const char* name) {
    media::ElementRef element(gst_bin_get_by_name(GST_BIN(bin), name));
    if (!element) return "absent";
    std::string names[2];
    const char* pads[2] = {"sink", "src"};
    for (int i = 0; i < 2; ++i) {
        media::PadRef pad(gst_element_get_static_pad(element.get(), pads[i]));
        media::PadRef peer(pad ? gst_pad_get_peer(pad.get()) : nullptr);
        media::ElementRef parent(peer ? gst_pad_get_parent_element(peer.get()) : nullptr);
        if (parent) names[i] = GST_OBJECT_NAME(parent.get());
    }
    return names[0] + " > " + names[1];
}

GstState StateOf(GstElement* element) {
    GstState state = GST_STATE_VOID_PENDING;
    gst_element_get_state(element, &state, nullptr, 30 * GST_SECOND);
    return state;
}

// Stream count, video, audio, width, height and frame rate as the open stored them.
auto Facts(const CKalvorMovie& m) {
    return std::tuple(m.streamCount, m.hasVideo, m.hasAudio, m.videoWidth, m.videoHeight,
                      m.frameRate);
}

class KalvorMovieTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        media_ = std::make_unique<TempEnvironment>();
        media::AviSpec clip{.seconds = 1.0, .width = 160, .height = 120};
        ASSERT_TRUE(media::MakeAvi(Media("short.avi"), clip));
        clip.seconds = 3.0;
        ASSERT_TRUE(media::MakeAvi(Media("three.avi"), clip));
        ASSERT_TRUE(media::MakeWav(Media("tone.wav"), {.seconds = 1.0}));
        ASSERT_TRUE(media::MakePicture(Media("still.png"), 64, 48, media::PictureFormat::Png));
        ASSERT_TRUE(media::RunPipeline(
            "videotestsrc num-buffers=10 ! jpegenc ! filesink location=" + Media("frames.mjpeg")));
        std::string noise(8000, '\0');
        std::mt19937 random(3);
        for (char& c : noise) c = static_cast<char>(random());
        TempEnvironment::WriteFile(Media("noise.bin"), noise);
        TempEnvironment::WriteFile(Media("song.MID"), noise);
        ASSERT_EQ(mkdir(Media("subs").c_str(), 0755), 0);
        clip.seconds = 3.0;
        ASSERT_TRUE(media::MakeAvi(Media("subs/film.avi"), clip));
        TempEnvironment::WriteFile(Media("subs/film.srt"),
                                   "1\n00:00:01,000 --> 00:00:02,000\nWWWWWW\n\n");
        TempEnvironment::WriteFile(Media("subs/other.srt"),
                                   "1\n00:00:00,200 --> 00:00:00,800\nMMMMMM\n\n");
    }
    static void TearDownTestSuite() { media_.reset(); }
    static std::string Media(const char* name) { return media_->Path(name); }

    void SetUp() override {
        host_.settings.movieRect = WinRect{10, 20, 330, 260};
        movie_ = std::make_unique<CKalvorMovie>(host_);
        movie_->SetSinkFactory(&sinks_);
        movie_->InitGraph();
    }
    // The main window's order of calls for every file.
    int Open(const std::string& path) {
        movie_->ReleaseGraph();
        movie_->CreateGraph();
        movie_->mediaPath = path;
        return movie_->OpenMedia();
    }
    // The bytes of the picture the renderer holds since the last seek; empty when none came.
    std::string Picture() {
        GstSample* sample =
            gst_app_sink_try_pull_preroll(GST_APP_SINK(movie_->Renderer()), 30 * GST_SECOND);
        if (!sample) return {};
        GstMapInfo map;
        std::string bytes;
        if (gst_buffer_map(gst_sample_get_buffer(sample), &map, GST_MAP_READ)) {
            bytes.assign(reinterpret_cast<const char*>(map.data), map.size);
            gst_buffer_unmap(gst_sample_get_buffer(sample), &map);
        }
        gst_sample_unref(sample);
        return bytes;
    }
    std::string PictureAt(double seconds) {
        movie_->SetPosition(seconds);
        return Picture();
    }
    // The segment of the renderer's latest picture; rate 0 when none came.
    GstSegment LatestSegment() {
        GstSample* sample =
            gst_app_sink_try_pull_sample(GST_APP_SINK(movie_->Renderer()), 30 * GST_SECOND);
        GstSegment segment{};
        if (sample) gst_segment_copy_into(gst_sample_get_segment(sample), &segment);
        if (sample) gst_sample_unref(sample);
        return segment;
    }

    static std::unique_ptr<TempEnvironment> media_;
    TestMovieHost host_;
    ClockedAppSinks sinks_;
    std::unique_ptr<CKalvorMovie> movie_;
};

std::unique_ptr<TempEnvironment> KalvorMovieTest::media_;

TEST_F(KalvorMovieTest, AviOpensWithTheEffectsElementSplicedAndEachOpenSplicesANewOne) {
    ASSERT_EQ(Open(Media("short.avi")), 1);
    EXPECT_EQ(Around(movie_->VideoSink(), "KalvorVT"), "KRColour Space > Renderer Converter");
    EXPECT_EQ(Around(movie_->VideoSink(), "Renderer Converter"), "KalvorVT > Video Renderer");
    EXPECT_TRUE(movie_->EffectsSpliced());
    EXPECT_EQ(Facts(*movie_), std::tuple(2, 1, 1, 160, 120, 25.0));
    EXPECT_EQ(std::pair(movie_->effectParams.zoomWidth, movie_->effectParams.zoomExtra2),
              std::pair(159, 119));
    EXPECT_NEAR(movie_->duration, 1.0, 0.05);
    EXPECT_EQ(std::pair(movie_->HasVideoWindow(), movie_->HasMedia()), std::pair(1, 1));
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
    EXPECT_EQ(std::pair(contrast, rate), std::pair(16, 25.0));

    media::ElementRef first = media::ElementRef::Share(movie_->EffectsFilter());
    const uint64_t firstGeneration = movie_->Generation();
    ASSERT_EQ(Open(Media("three.avi")), 1);
    EXPECT_NE(movie_->EffectsFilter(), first.get());
    EXPECT_GT(movie_->Generation(), firstGeneration);
    EXPECT_EQ(Around(movie_->VideoSink(), "KalvorVT"), "KRColour Space > Renderer Converter");
    EXPECT_NEAR(movie_->duration, 3.0, 0.05);
    // The first graph let its element go: only our reference is left.
    EXPECT_EQ(GST_OBJECT_REFCOUNT_VALUE(first.get()), 1);
    EXPECT_EQ(GST_OBJECT_PARENT(first.get()), nullptr);
}

TEST_F(KalvorMovieTest, WavOpensWithoutRendererOrEffectsHidesTheWindowAndTakesTheVolume) {
    movie_->show();
    ASSERT_EQ(Open(Media("tone.wav")), 1);
    EXPECT_EQ(Around(movie_->VideoSink(), "KalvorVT"), "absent");
    EXPECT_EQ(Around(movie_->VideoSink(), "Video Renderer"), "absent");
    EXPECT_EQ(std::tuple(movie_->hasVideo, movie_->hasAudio, movie_->audioSampleRate,
                         movie_->audioChannels),
              std::tuple(0, 1, 44100, int16_t(2)));
    EXPECT_EQ(std::pair(movie_->HasVideoWindow(), movie_->HasMedia()), std::pair(0, 1));
    EXPECT_FALSE(movie_->isVisible());
    EXPECT_FALSE(movie_->ScreenSaverHeld());
    EXPECT_EQ(StateOf(movie_->Graph()), GST_STATE_PAUSED);

    for (double volume : {0.0, 0.5, 1.0}) {  // reaches the graph as linear gain
        movie_->SetVolume(volume);
        EXPECT_EQ(movie_->LastVolumeValue(), AudioOutput::VolumeValue(volume));
        gdouble gain = -1;
        g_object_get(movie_->Graph(), "volume", &gain, nullptr);
        EXPECT_NEAR(gain, AudioOutput::VolumeGain(movie_->LastVolumeValue()), 1e-6);
    }
}

TEST_F(KalvorMovieTest, UnplayableFilesAndAMissingGraphFailWithTheMainWindowEnabledAgain) {
    ASSERT_EQ(Open(Media("noise.bin")), 0);
    EXPECT_TRUE(host_.enabled);
    EXPECT_GE(host_.enableCalls, 2);
    // Unreadable by the probe: taken for a 640x480 picture at 25 frames per second.
    EXPECT_EQ(Facts(*movie_), std::tuple(0, 1, 0, 640, 480, 25.0));
    EXPECT_EQ(movie_->effectParams.zoomWidth, 639);

    EXPECT_EQ(Open(Media("song.MID")), 0);  // an unreadable MIDI name: neither picture nor sound
    EXPECT_EQ(std::tuple(movie_->isMidi, movie_->hasVideo, movie_->hasAudio), std::tuple(1, 0, 0));
    EXPECT_FALSE(movie_->isVisible());
    EXPECT_FALSE(movie_->ScreenSaverHeld());
    EXPECT_EQ(Open(Media("short.avi")), 1);  // the next file replaces a failed graph as usual

    movie_->CloseGraph();
    EXPECT_EQ(movie_->Play(), 1);
    EXPECT_EQ(movie_->GetPosition(), 0.0);
    host_.enabled = false;
    movie_->mediaPath = Media("short.avi");
    EXPECT_EQ(movie_->OpenMedia(), 0);
    EXPECT_TRUE(host_.enabled);
}

TEST(KalvorMovieRules, MidiNamesVolumeValuesAndTheRewindRule) {
    for (const char* name : {"a.mid", "A.MID", "x.Mid", "mid"})
        EXPECT_TRUE(CKalvorMovie::IsMidiName(name)) << name;
    for (const char* name : {"", "d", "id", "a.midi", "a.avi"})
        EXPECT_FALSE(CKalvorMovie::IsMidiName(name)) << name;
    const std::pair<double, int32_t> volumes[] = {{0.0, -10000}, {0.5, -1257}, {1.0, -7},
                                                  {0.01, -8312}, {2.0, -7},    {-1.0, -10000},
                                                  {NAN, -10000}};
    for (const auto& [volume, value] : volumes)
        EXPECT_EQ(AudioOutput::VolumeValue(volume), value) << volume;
    EXPECT_EQ(AudioOutput::VolumeGain(-10000), 0.0);
    EXPECT_NEAR(AudioOutput::VolumeGain(-2000), 0.1, 1e-12);
    EXPECT_LE(AudioOutput::VolumeGain(500), 1.0);
    EXPECT_TRUE(CKalvorMovie::RewindsOnPlay(90.9, 89.2));
    EXPECT_TRUE(CKalvorMovie::RewindsOnPlay(3.0, 3.0));
    EXPECT_FALSE(CKalvorMovie::RewindsOnPlay(90.9, 88.9));
    EXPECT_FALSE(CKalvorMovie::RewindsOnPlay(0.0, 0.5));  // length unknown
}

TEST_F(KalvorMovieTest, TransportOnAThreeSecondClip) {
    ASSERT_EQ(Open(Media("three.avi")), 1);
    GstElement* graph = movie_->Graph();
    movie_->Play();
    EXPECT_EQ(std::pair(StateOf(graph), movie_->paused), std::pair(GST_STATE_PLAYING, 0));
    movie_->TogglePause();
    EXPECT_EQ(std::pair(StateOf(graph), movie_->paused), std::pair(GST_STATE_PAUSED, 1));
    movie_->TogglePause();
    EXPECT_EQ(std::pair(StateOf(graph), movie_->paused), std::pair(GST_STATE_PLAYING, 0));
    movie_->Stop();
    EXPECT_EQ(StateOf(graph), GST_STATE_PAUSED);
    EXPECT_NEAR(movie_->GetPosition(), 0.0, 1e-3);
    movie_->SetPosition(1.2);
    EXPECT_NEAR(movie_->GetPosition(), 1.2, 0.04);  // within a frame

    // Within a whole second of the end, Play starts over; further away it does not.
    movie_->SetPosition(2.5);
    movie_->Play();
    EXPECT_EQ(LatestSegment().start, 0u) << "played on from 2.5 s";
    movie_->TogglePause();
    movie_->SetPosition(1.0);
    movie_->Play();
    EXPECT_GE(movie_->GetPosition(), 1.0);

    movie_->SetRate(1.5);  // reaches the renderer in its segment, and a seek keeps it
    EXPECT_EQ(LatestSegment().rate, 1.5);
    movie_->SetPosition(0.5);
    EXPECT_EQ(LatestSegment().rate, 1.5);
    ASSERT_EQ(Open(Media("three.avi")), 1);  // the next graph starts at the normal rate
    EXPECT_EQ(movie_->rate, 1.0);
}

TEST_F(KalvorMovieTest, AFileOfUnknownLengthAfterAThreeSecondClipReportsDurationZero) {
    const std::pair<const char*, int> cases[] = {
        {"still.png", 1}, {"frames.mjpeg", 1}, {"noise.bin", 0}};
    for (const auto& [name, opened] : cases) {
        ASSERT_EQ(Open(Media("three.avi")), 1);
        ASSERT_NEAR(movie_->duration, 3.0, 0.05);
        EXPECT_EQ(Open(Media(name)), opened) << name;
        EXPECT_EQ(movie_->duration, 0.0) << name;
    }
}

// Holds back the bus events of one graph from the window, as a busy window thread would
// leave them queued.
class HeldBusEvents : public QObject {
public:
    HeldBusEvents(QObject& window, uint64_t generation) : window_(window), generation_(generation) {
        window_.installEventFilter(this);
    }
    ~HeldBusEvents() override { window_.removeEventFilter(this); }
    std::vector<media::MessageRef> held;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &window_ || event->type() != media::BusEvent::EventType()) return false;
        const auto* bus = static_cast<media::BusEvent*>(event);
        if (bus->Generation() != generation_) return false;
        held.push_back(media::MessageRef::Share(bus->Message()));
        return true;
    }

private:
    QObject& window_;
    uint64_t generation_;
};

TEST_F(KalvorMovieTest, EndOfMediaReachesTheWindowOnceOnTheUiThreadAndOnlyFromItsOwnFile) {
    ASSERT_EQ(Open(Media("short.avi")), 1);
    const int stopsBefore = host_.rangeTimerStops;
    movie_->Play();
    ASSERT_TRUE(qttest::WaitUntil([&] { return host_.endsOfMedia > 0; }, 30000));
    qttest::Pump(300);
    EXPECT_EQ(host_.endsOfMedia, 1);
    EXPECT_TRUE(host_.endOnMainThread);
    EXPECT_EQ(host_.rangeTimerStops, stopsBefore + 1);
    EXPECT_EQ(StateOf(movie_->Graph()), GST_STATE_PAUSED);
    // Meanwhile the position timer keeps the effects element's clock going.
    const auto clock = [&] {
        gdouble position = 0;
        g_object_get(movie_->EffectsFilter(), "position", &position, nullptr);
        return position;
    };
    EXPECT_TRUE(qttest::WaitUntil([&] { return clock() > 0.4; }, 30000)) << clock();

    // File A's end arrives only after B has opened; then B's own end.
    ASSERT_EQ(Open(Media("short.avi")), 1);
    const uint64_t oldGeneration = movie_->Generation();
    std::vector<media::MessageRef> late;
    {
        HeldBusEvents busy(*movie_, oldGeneration);
        movie_->Play();
        ASSERT_TRUE(qttest::WaitUntil(
            [&] {
                return std::any_of(busy.held.begin(), busy.held.end(), [](const auto& message) {
                    return GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_EOS;
                });
            },
            30000));
        late = std::move(busy.held);
    }
    ASSERT_EQ(Open(Media("three.avi")), 1);
    for (media::MessageRef& message : late)
        QCoreApplication::postEvent(movie_.get(), new media::BusEvent(oldGeneration, std::move(message)));
    QCoreApplication::postEvent(
        movie_.get(),
        new media::BusEvent(movie_->Generation(), media::MessageRef(gst_message_new_eos(nullptr))));
    // Posted events arrive in their order: once B's end is in, A's came before it.
    ASSERT_TRUE(qttest::WaitUntil([&] { return host_.endsOfMedia >= 2; }, 30000));
    EXPECT_EQ(host_.endsOfMedia, 2);  // only B's own
}

// How many bytes of two pictures of one size differ.
size_t Differing(const std::string& a, const std::string& b) {
    EXPECT_EQ(a.size(), b.size());
    if (a.size() != b.size() || a.empty()) return 0;
    size_t count = 0;
    for (size_t i = 0; i < a.size(); ++i) count += a[i] != b[i];
    return count;
}

std::string HandOver() {
    return TempEnvironment::ReadFile(std::string(getenv("XDG_DATA_HOME")) + "/Kalvor/sub.txt");
}

TEST_F(KalvorMovieTest, SubtitlesBesideTheFileShowAtTheirTimeAndAFileLoadedByCommandShowsToo) {
    const std::string film = Media("subs/film.avi"), beside = Media("subs/film.srt"),
                      other = Media("subs/other.srt");
    host_.settings.autoLoadSubtitles = 0;  // the pictures without subtitles
    ASSERT_EQ(Open(film), 1);
    EXPECT_EQ(movie_->subtitlePath, "");
    const std::string plainEarly = PictureAt(0.5), plainLate = PictureAt(1.5);
    ASSERT_FALSE(plainEarly.empty());
    ASSERT_GT(Differing(plainEarly, plainLate), 0u);  // the pattern moves

    host_.settings.autoLoadSubtitles = 1;
    ASSERT_EQ(Open(film), 1);
    EXPECT_EQ(movie_->subtitlePath, beside);
    EXPECT_EQ(HandOver(), beside + '\0');
    EXPECT_EQ(Differing(PictureAt(0.5), plainEarly), 0u);  // before the cue
    EXPECT_GT(Differing(PictureAt(1.5), plainLate), 100u);  // during it

    EXPECT_EQ(movie_->LoadSubtitles(other), 1);
    EXPECT_EQ(movie_->subtitlePath, other);
    EXPECT_EQ(HandOver(), other + '\0');
    EXPECT_GT(Differing(PictureAt(0.5), plainEarly), 100u);
    EXPECT_EQ(Differing(PictureAt(1.5), plainLate), 0u);  // the first file's cue is gone

    ASSERT_EQ(Open(Media("short.avi")), 1);  // a new file starts without subtitles
    EXPECT_EQ(movie_->subtitlePath, "");
    EXPECT_EQ(HandOver(), other + '\0');  // the hand-over is never deleted
    // Loading by command turns the display on even for a file without cues.
    gint mode = -1;
    g_object_get(movie_->EffectsFilter(), "subtitle-mode", &mode, nullptr);
    EXPECT_EQ(mode, 2);
    movie_->LoadSubtitles(Media("noise.bin"));
    g_object_get(movie_->EffectsFilter(), "subtitle-mode", &mode, nullptr);
    EXPECT_EQ(mode, 0);
}

TEST_F(KalvorMovieTest, AnEffectEditedWhilePausedShowsOnThePausedPicture) {
    ASSERT_EQ(Open(Media("three.avi")), 1);
    movie_->TogglePause();
    ASSERT_EQ(movie_->paused, 1);
    const std::string plain = PictureAt(1.0);
    ASSERT_FALSE(plain.empty());
    movie_->effectParams.invert = 1;
    movie_->ApplyEffect(static_cast<int>(EffectCode::Invert));
    EXPECT_GT(Differing(Picture(), plain), plain.size() / 2);
    EXPECT_NEAR(movie_->GetPosition(), 1.0, 0.04);  // drawn again where it was
    movie_->effectParams.invert = 0;
    movie_->ApplyEffect(static_cast<int>(EffectCode::Invert));
    EXPECT_EQ(Differing(Picture(), plain), 0u);
}

// Answers every caps query with nothing, so that no format can be agreed through the pad.
GstPadProbeReturn RefuseCaps(GstPad*, GstPadProbeInfo* info, gpointer) {
    GstQuery* query = GST_PAD_PROBE_INFO_QUERY(info);
    if (GST_QUERY_TYPE(query) == GST_QUERY_CAPS) {
        media::CapsRef none(gst_caps_new_empty());
        gst_query_set_caps_result(query, none.get());
        return GST_PAD_PROBE_HANDLED;
    }
    if (GST_QUERY_TYPE(query) != GST_QUERY_ACCEPT_CAPS) return GST_PAD_PROBE_OK;
    gst_query_set_accept_caps_result(query, FALSE);
    return GST_PAD_PROBE_HANDLED;
}

TEST_F(KalvorMovieTest, AnEffectsElementThatCannotBeSplicedLeavesThePictureWithoutEffects) {
    movie_->ReleaseGraph();
    movie_->CreateGraph();
    media::PadRef pad(gst_element_get_static_pad(movie_->EffectsFilter(), "sink"));
    gst_pad_add_probe(pad.get(), GST_PAD_PROBE_TYPE_QUERY_DOWNSTREAM, RefuseCaps, nullptr, nullptr);
    movie_->mediaPath = Media("short.avi");
    ASSERT_EQ(movie_->OpenMedia(), 1);
    EXPECT_FALSE(movie_->EffectsSpliced());
    EXPECT_EQ(Around(movie_->VideoSink(), "Renderer Converter"),
              "KRColour Space > Video Renderer");
    EXPECT_EQ(movie_->HasVideoWindow(), 1);
    EXPECT_EQ(StateOf(movie_->Graph()), GST_STATE_PAUSED);
    // The picture still reaches the renderer.
    GstSample* preroll =
        gst_app_sink_try_pull_preroll(GST_APP_SINK(movie_->Renderer()), 30 * GST_SECOND);
    ASSERT_NE(preroll, nullptr);
    gst_sample_unref(preroll);
}

}  // namespace
