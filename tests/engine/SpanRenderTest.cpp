// A job without timeline features renders its one span through a plain decoding graph instead
// of a timeline, and must hand its back end the same streams: the same pictures and sound at
// the same times, as many of them, and a stream running from 0. Each case renders one span
// both ways, as users' media have them (key frames seconds apart and a start between two,
// MP3 without a length header, mono, odd sizes), and compares what reached the group pads.

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/SpanRender.h"
#include "platform/editing/RenderEngine.h"
#include "platform/editing/Timeline.h"
#include "support/MediaGenerator.h"
#include "support/TempEnvironment.h"

namespace {

using editing::GroupFormat;
using editing::GroupKind;

struct Unit {
    GstClockTime pts = GST_CLOCK_TIME_NONE;
    std::vector<uint8_t> bytes;
};

// What reached one group's end: each buffer's time and bytes, and the first segment.
struct Stream {
    std::vector<Unit> units;
    GstClockTime segmentStart = GST_CLOCK_TIME_NONE;
};

// The group's raw format as the back end asks for it: I420 frames, 16-bit PCM.
const char* SinkCaps(GroupKind kind) {
    return kind == GroupKind::Video ? "video/x-raw, format=(string)I420"
                                    : "audio/x-raw, format=(string)S16LE";
}

GstPadProbeReturn NoteSegment(GstPad*, GstPadProbeInfo* info, gpointer stream) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    auto* s = static_cast<Stream*>(stream);
    if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT && !GST_CLOCK_TIME_IS_VALID(s->segmentStart)) {
        const GstSegment* segment = nullptr;
        gst_event_parse_segment(event, &segment);
        // Where the stream's own time says the output starts: the running time of its start.
        s->segmentStart = gst_segment_to_running_time(segment, GST_FORMAT_TIME, segment->start);
    }
    return GST_PAD_PROBE_OK;
}

// Links an appsink to each group pad, readies and runs the graph to its end, and collects.
std::vector<Stream> Render(editing::GroupRender& render, const std::vector<GroupFormat>& groups) {
    std::vector<Stream> streams(groups.size());
    std::vector<GstElement*> sinks;
    for (size_t i = 0; i < groups.size(); ++i) {
        GstElement* sink = gst_element_factory_make("appsink", nullptr);
        media::CapsRef caps(gst_caps_from_string(SinkCaps(groups[i].kind)));
        g_object_set(sink, "sync", FALSE, "caps", caps.get(), nullptr);
        gst_bin_add(GST_BIN(render.Graph()), sink);
        GstPad* input = gst_element_get_static_pad(sink, "sink");
        gst_pad_add_probe(input, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, NoteSegment, &streams[i],
                          nullptr);
        media::PadRef output = render.GroupOutputPin(static_cast<int>(i));
        EXPECT_EQ(gst_pad_link(output.get(), input), GST_PAD_LINK_OK);
        gst_object_unref(input);
        sinks.push_back(sink);
    }
    std::string error;
    EXPECT_TRUE(render.Ready(&error)) << error;
    gst_element_set_state(render.Graph(), GST_STATE_PLAYING);
    // Drains every sink while waiting, so that none blocks the others; bounded.
    std::vector<bool> ended(sinks.size(), false);
    for (int round = 0; round < 60000 && std::find(ended.begin(), ended.end(), false) != ended.end();
         ++round) {
        for (size_t i = 0; i < sinks.size(); ++i) {
            if (ended[i]) continue;
            GstSample* sample =
                gst_app_sink_try_pull_sample(GST_APP_SINK(sinks[i]), GST_MSECOND);
            if (!sample) {
                ended[i] = gst_app_sink_is_eos(GST_APP_SINK(sinks[i]));
                continue;
            }
            GstBuffer* buffer = gst_sample_get_buffer(sample);
            GstMapInfo map;
            Unit unit;
            unit.pts = GST_BUFFER_PTS(buffer);
            if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
                unit.bytes.assign(map.data, map.data + map.size);
                gst_buffer_unmap(buffer, &map);
            }
            streams[i].units.push_back(std::move(unit));
            gst_sample_unref(sample);
        }
    }
    gst_element_set_state(render.Graph(), GST_STATE_NULL);
    return streams;
}

std::vector<Stream> ByTimeline(const std::string& path, double inPoint, double duration,
                               const std::vector<GroupFormat>& groups) {
    editing::Timeline timeline;
    std::string error;
    for (const GroupFormat& group : groups) EXPECT_GE(timeline.AddGroup(group, &error), 0) << error;
    EXPECT_EQ(timeline.AddTrack(&error), 0) << error;
    EXPECT_TRUE(timeline.AddSource(0, {path, 0.0, inPoint, duration, true}, &error)) << error;
    editing::RenderEngine engine;
    EXPECT_TRUE(engine.ConnectFrontEnd(timeline, &error)) << error;
    return Render(engine, groups);
}

std::vector<Stream> ByPlainGraph(const std::string& path, double inPoint, double duration,
                                 const std::vector<GroupFormat>& groups) {
    SpanRender span;
    std::string error;
    EXPECT_TRUE(span.Build(path, inPoint, duration, groups, &error)) << error;
    return Render(span, groups);
}

// All units of a stream as one run of bytes.
std::vector<uint8_t> Joined(const Stream& stream) {
    std::vector<uint8_t> all;
    for (const Unit& unit : stream.units) all.insert(all.end(), unit.bytes.begin(), unit.bytes.end());
    return all;
}

// Mean absolute difference of two pictures' bytes; 255 when their sizes differ.
double MeanDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size() || a.empty()) return 255.0;
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i) sum += std::abs(int(a[i]) - int(b[i]));
    return sum / double(a.size());
}

// Mean absolute difference of 16-bit samples over what both hold; huge when nothing overlaps.
double SampleDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    const size_t n = std::min(a.size(), b.size()) / 2;
    if (n == 0) return 1e9;
    double sum = 0;
    for (size_t i = 0; i < n; ++i) {
        const int x = int16_t(a[2 * i] | a[2 * i + 1] << 8), y = int16_t(b[2 * i] | b[2 * i + 1] << 8);
        sum += std::abs(x - y);
    }
    return sum / double(n);
}

struct Case {
    const char* name;
    std::string file;
    double inPoint;
    double duration;
    std::vector<GroupFormat> groups;
    // Resampled sound may start its filter up to a sample apart (about a thousand on these
    // tones); a sound a few samples early or late differs by several thousand.
    double soundTolerance = 2.0;
};

class SpanRenderTest : public TempFolderTest {};

TEST_F(SpanRenderTest, APlainSpanGivesTheTimelinesPicturesAndSoundAtItsTimes) {
    const std::string mpeg4 = env_.Path("keyframes.avi"), jpeg = env_.Path("odd.avi"),
                      mp3 = env_.Path("vbr.mp3");
    media::AviSpec keyframes{.seconds = 6.0, .width = 318, .height = 238, .framesPerSecond = 25,
                             .video = media::VideoCodec::Mpeg4, .audio = media::AudioCodec::Mp3,
                             .audioRate = 48000, .pattern = "ball"};
    keyframes.keyFrameInterval = 75;  // 3 s apart: the span starts between two
    keyframes.bFrames = 2;
    // The AVI muxer writes variable-rate MP3 with the header of a constant rate, which times
    // the sound by its bytes; the MP3 file below is the variable-rate case.
    keyframes.mp3 = media::Mp3Mode::Cbr;
    media::AviSpec odd{.seconds = 4.0, .width = 175, .height = 97, .framesPerSecond = 15,
                       .audioRate = 22050};
    odd.audioChannels = 1;
    ASSERT_TRUE(media::MakeAvi(mpeg4, keyframes));
    ASSERT_TRUE(media::MakeAvi(jpeg, odd));
    ASSERT_TRUE(media::MakeMp3(
        mp3, {.seconds = 5.0, .rate = 48000, .channels = 1, .mp3 = media::Mp3Mode::Vbr}));

    const GroupFormat video318{.kind = GroupKind::Video, .width = 318, .height = 238,
                               .framesPerSecond = 25};
    const GroupFormat video175{.kind = GroupKind::Video, .width = 175, .height = 97,
                               .framesPerSecond = 15};
    const GroupFormat stereo48{.kind = GroupKind::Audio, .sampleRate = 48000, .channels = 2};
    const GroupFormat mono22{.kind = GroupKind::Audio, .sampleRate = 22050, .channels = 1};
    const GroupFormat stereo44{.kind = GroupKind::Audio, .sampleRate = 44100, .channels = 2};
    const Case cases[] = {
        {"MPEG-4 and MP3 from between two key frames", mpeg4, 1.8, 3.0, {video318, stereo48}},
        {"its sound alone, resampled", mpeg4, 2.0, 2.5, {stereo44}, 2500.0},
        {"odd size, mono PCM", jpeg, 1.0, 2.0, {video175, mono22}},
        {"MP3 without a length header", mp3, 1.5, 2.0, {stereo48}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<Stream> timeline = ByTimeline(c.file, c.inPoint, c.duration, c.groups);
        const std::vector<Stream> plain = ByPlainGraph(c.file, c.inPoint, c.duration, c.groups);
        ASSERT_EQ(plain.size(), timeline.size());
        for (size_t g = 0; g < c.groups.size(); ++g) {
            const Stream &p = plain[g], &t = timeline[g];
            ASSERT_FALSE(t.units.empty());
            ASSERT_FALSE(p.units.empty());
            EXPECT_EQ(p.segmentStart, 0u) << "the plain stream runs from 0";
            EXPECT_EQ(p.units.front().pts, t.units.front().pts);
            if (c.groups[g].kind == GroupKind::Video) {
                // Frame for frame at the same times, the same pictures.
                ASSERT_EQ(p.units.size(), t.units.size());
                EXPECT_EQ(p.units.size(), size_t(std::lround(c.duration * c.groups[g].framesPerSecond)));
                for (size_t f = 0; f < p.units.size(); ++f) {
                    EXPECT_EQ(p.units[f].pts, t.units[f].pts) << "frame " << f;
                    // Another picture would differ by tens; the two ways of scaling the colours
                    // of an odd-sized frame differ by about one.
                    EXPECT_LT(MeanDifference(p.units[f].bytes, t.units[f].bytes), 3.0)
                        << "frame " << f;
                }
            } else {
                // The same samples, however the buffers are cut.
                const std::vector<uint8_t> a = Joined(p), b = Joined(t);
                const size_t expected = size_t(std::lround(c.duration * c.groups[g].sampleRate)) *
                                        size_t(c.groups[g].channels) * 2;
                EXPECT_NEAR(double(a.size()), double(expected), 8.0 * c.groups[g].channels);
                EXPECT_NEAR(double(a.size()), double(b.size()), 8.0 * c.groups[g].channels);
                EXPECT_LT(SampleDifference(a, b), c.soundTolerance);
            }
        }
    }
}

}  // namespace
