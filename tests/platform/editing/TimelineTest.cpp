// A timeline renders its sources back to back in the group's format: what comes out of a
// group's pad is counted and checked against what was placed.

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "platform/editing/RenderEngine.h"
#include "platform/editing/Timeline.h"
#include "support/MediaGenerator.h"
#include "support/TempEnvironment.h"

namespace {

using editing::GroupFormat;
using editing::GroupKind;
using editing::SourceSpan;

// What one group delivered.
struct Delivered {
    int64_t units = 0;  // samples per channel, or frames
    std::string caps;
};

// Links an appsink to each group's pad, runs the graph to its end and counts.
// stopAfterMs: sends end-of-stream to the graph then, as a user's stop does; the sinks then
// run at the clock's pace so that the stop lands in the middle.
std::vector<Delivered> Render(editing::Timeline& timeline, std::string* error,
                              int stopAfterMs = -1) {
    editing::RenderEngine engine;
    if (!engine.ConnectFrontEnd(timeline, error)) return {};
    std::vector<Delivered> delivered(static_cast<size_t>(timeline.GroupCount()));
    std::vector<GstElement*> sinks;
    for (int group = 0; group < timeline.GroupCount(); ++group) {
        GstElement* sink = gst_element_factory_make("appsink", nullptr);
        g_object_set(sink, "sync", stopAfterMs >= 0, "emit-signals", FALSE, nullptr);
        gst_bin_add(GST_BIN(engine.Graph()), sink);
        media::PadRef output = engine.GroupOutputPin(group);
        GstPad* input = gst_element_get_static_pad(sink, "sink");
        EXPECT_EQ(gst_pad_link(output.get(), input), GST_PAD_LINK_OK);
        gst_object_unref(input);
        sinks.push_back(sink);
    }
    gst_element_set_state(engine.Graph(), GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(engine.Graph());
    // Drains the sinks while waiting, so that neither blocks the other.
    bool ended = false;
    const gint64 started = g_get_monotonic_time();
    bool stopped = false;
    for (int tick = 0; tick < 600 && !ended; ++tick) {
        if (stopAfterMs >= 0 && !stopped &&
            g_get_monotonic_time() - started >= stopAfterMs * 1000) {
            stopped = true;
            gst_element_send_event(engine.Graph(), gst_event_new_eos());
        }
        for (size_t i = 0; i < sinks.size(); ++i) {
            // A few at a time: a sink at the clock's pace never runs dry.
            for (int pulled = 0; pulled < 8; ++pulled) {
                GstSample* sample =
                    gst_app_sink_try_pull_sample(GST_APP_SINK(sinks[i]), 10 * GST_MSECOND);
                if (!sample) break;
                GstCaps* caps = gst_sample_get_caps(sample);
                const GstStructure* s = gst_caps_get_structure(caps, 0);
                int channels = 0;
                const bool audio = gst_structure_get_int(s, "channels", &channels);
                const gsize bytes = gst_buffer_get_size(gst_sample_get_buffer(sample));
                delivered[i].units += audio ? int64_t(bytes) / (2 * channels) : 1;
                gchar* text = gst_caps_to_string(caps);
                delivered[i].caps = text;
                g_free(text);
                gst_sample_unref(sample);
            }
        }
        if (GstMessage* message = gst_bus_timed_pop_filtered(
                bus, 10 * GST_MSECOND,
                static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR))) {
            if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
                GError* failure = nullptr;
                gst_message_parse_error(message, &failure, nullptr);
                *error = failure ? failure->message : "error";
                if (failure) g_error_free(failure);
            }
            ended = true;
            gst_message_unref(message);
        }
    }
    gst_object_unref(bus);
    if (!ended) *error = "the timeline did not end";
    for (size_t i = 0; i < sinks.size(); ++i) {
        while (GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sinks[i]), 0)) {
            const GstStructure* s = gst_caps_get_structure(gst_sample_get_caps(sample), 0);
            int channels = 1;
            const bool audio = gst_structure_get_int(s, "channels", &channels);
            const gsize bytes = gst_buffer_get_size(gst_sample_get_buffer(sample));
            delivered[i].units += audio ? int64_t(bytes) / (2 * channels) : 1;
            gst_sample_unref(sample);
        }
    }
    return delivered;
}

class TimelineTest : public TempFolderTest {};

TEST_F(TimelineTest, AudioSourcesOfOtherRatesComeOutBackToBackInTheGroupFormat) {
    const struct {
        int rate, channels;
        double seconds, inPoint, duration;
    } sources[] = {{22050, 1, 3.0, 0.5, 2.0}, {48000, 2, 2.0, 0.0, 1.5}, {44100, 2, 4.0, 1.0, 2.5}};
    editing::Timeline timeline;
    std::string error;
    ASSERT_EQ(
        timeline.AddGroup({.kind = GroupKind::Audio, .sampleRate = 32000, .channels = 2}, &error),
        0)
        << error;
    ASSERT_EQ(timeline.AddTrack(&error), 0) << error;
    double at = 0.0;
    for (size_t i = 0; i < std::size(sources); ++i) {
        const std::string path = env_.Path("tone" + std::to_string(i) + ".wav");
        ASSERT_TRUE(media::MakeWav(path, {.seconds = sources[i].seconds,
                                          .rate = sources[i].rate,
                                          .channels = sources[i].channels}));
        ASSERT_TRUE(
            timeline.AddSource(0, {path, at, sources[i].inPoint, sources[i].duration}, &error))
            << error;
        at += sources[i].duration;
    }
    EXPECT_NEAR(timeline.Length(), 6.0, 1e-6);

    const std::vector<Delivered> out = Render(timeline, &error);
    ASSERT_TRUE(error.empty()) << error;
    ASSERT_EQ(out.size(), 1u);
    EXPECT_NEAR(double(out[0].units), 6.0 * 32000, 1024) << out[0].caps;
    EXPECT_NE(out[0].caps.find("rate=(int)32000"), std::string::npos) << out[0].caps;
    EXPECT_NE(out[0].caps.find("channels=(int)2"), std::string::npos) << out[0].caps;
    EXPECT_NE(out[0].caps.find("S16LE"), std::string::npos) << out[0].caps;
}

TEST_F(TimelineTest, AVideoAndAnAudioGroupEachGetTheirStreamInTheirOwnFormat) {
    const std::string avi = env_.Path("clip.avi");
    ASSERT_TRUE(media::MakeAvi(avi, {.seconds = 3.0, .width = 320, .height = 240}));
    editing::Timeline timeline;
    std::string error;
    ASSERT_EQ(
        timeline.AddGroup(
            {.kind = GroupKind::Video, .width = 160, .height = 120, .framesPerSecond = 10}, &error),
        0);
    ASSERT_EQ(
        timeline.AddGroup({.kind = GroupKind::Audio, .sampleRate = 22050, .channels = 1}, &error),
        1);
    ASSERT_EQ(timeline.AddTrack(&error), 0);
    ASSERT_TRUE(timeline.AddSource(0, {avi, 0.0, 1.0, 2.0}, &error)) << error;

    const std::vector<Delivered> out = Render(timeline, &error);
    ASSERT_TRUE(error.empty()) << error;
    ASSERT_EQ(out.size(), 2u);
    EXPECT_NEAR(double(out[0].units), 20, 1);
    EXPECT_NE(out[0].caps.find("width=(int)160, height=(int)120"), std::string::npos)
        << out[0].caps;
    EXPECT_NEAR(double(out[1].units), 2.0 * 22050, 1024);
    EXPECT_NE(out[1].caps.find("channels=(int)1"), std::string::npos) << out[1].caps;
}

TEST_F(TimelineTest, AStopEndsTheOutputWhereItIsInsteadOfAtTheNextSource) {
    editing::Timeline timeline;
    std::string error;
    ASSERT_EQ(
        timeline.AddGroup({.kind = GroupKind::Audio, .sampleRate = 8000, .channels = 1}, &error),
        0);
    ASSERT_EQ(timeline.AddTrack(&error), 0);
    const std::string wav = env_.Path("tone.wav");
    ASSERT_TRUE(media::MakeWav(wav, {.seconds = 4.0, .rate = 8000, .channels = 1}));
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(timeline.AddSource(0, {wav, 4.0 * i, 0, 4}, &error));

    const std::vector<Delivered> out = Render(timeline, &error, 600);
    ASSERT_TRUE(error.empty()) << error;
    ASSERT_EQ(out.size(), 1u);
    EXPECT_GT(out[0].units, 0);
    // Short of the first source's end: a stop passed over runs at least to there.
    EXPECT_LT(out[0].units, 4 * 8000) << "the stop was passed over";
}

TEST_F(TimelineTest, IncompleteFormatsAndBadSourcesAreRefusedWithAReason) {
    const GroupFormat incomplete[] = {
        {.kind = GroupKind::Audio, .sampleRate = 0, .channels = 2},
        {.kind = GroupKind::Audio, .sampleRate = 44100, .channels = 0},
        {.kind = GroupKind::Video, .width = 320, .height = 0, .framesPerSecond = 25},
        {.kind = GroupKind::Video, .width = 320, .height = 240, .framesPerSecond = 0},
        {.kind = GroupKind::Video, .width = -320, .height = 240, .framesPerSecond = 25},
    };
    editing::Timeline timeline;
    std::string error;
    for (const GroupFormat& format : incomplete) {
        error.clear();
        EXPECT_FALSE(editing::RestrictionCaps(format));
        EXPECT_EQ(timeline.AddGroup(format, &error), -1);
        EXPECT_FALSE(error.empty());
    }
    ASSERT_EQ(timeline.AddTrack(&error), 0);
    const std::string wav = env_.Path("tone.wav");
    ASSERT_TRUE(media::MakeWav(wav, {.seconds = 1.0}));
    TempEnvironment::WriteFile(env_.Path("text.wav"), std::string(4000, 'x'));
    const std::tuple<int, SourceSpan> bad[] = {
        {1, {wav, 0, 0, 1}},                      // no such track
        {0, {wav, 0, 0, 0}},                      // no length
        {0, {env_.Path("text.wav"), 0, 0, 1}},    // not media
        {0, {env_.Path("absent.wav"), 0, 0, 1}},  // no file
    };
    for (const auto& [track, span] : bad) {
        error.clear();
        EXPECT_FALSE(timeline.AddSource(track, span, &error)) << span.path;
        EXPECT_FALSE(error.empty()) << span.path;
    }
}

}  // namespace
