// The effects element: its control, pass-through while neutral, effects and subtitles on
// flowing frames, and property writes from other threads.

#include <fcntl.h>
#include <gst/app/gstappsink.h>
#include <gst/check/gstharness.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/EffectParams.h"
#include "kalvorvt/GstKalvorVT.h"
#include "kalvorvt/KalvorVTControl.h"
#include "platform/media/GstRef.h"
#include "support/TempEnvironment.h"

namespace {

void RegisterOnce() {
    gst_init(nullptr, nullptr);
    ASSERT_TRUE(RegisterKalvorVTStatic());
}

std::string Text(GstElement* element, const char* property) {
    gchar* value = nullptr;
    g_object_get(element, property, &value, nullptr);
    std::string text = value ? value : "";
    g_free(value);
    return text;
}

class KalvorVTElement : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterOnce(); }
};

TEST_F(KalvorVTElement, ControlOperationsLandInTheirPropertiesClampedAndCut) {
    media::ElementRef element(gst_element_factory_make(kKalvorVTFactory, nullptr));
    media::ElementRef other(gst_element_factory_make("identity", nullptr));
    EXPECT_FALSE(CKalvorVTControl::ForElement(other.get()));  // only for the effects element
    auto control = CKalvorVTControl::ForElement(element.get());
    ASSERT_TRUE(control);
    control->SetZoom(1, 2, 30, 40, 5, 6, 1);
    control->SetTextPosition(100, 200, 300);   // left, vertical, right
    control->SetHueSaturation(500, -500, 20);  // out of range: clamped
    control->SetTimeShift(12.6);
    control->SetTextColor(1, 2, 255);
    control->SetFontFace("DejaVu Sans");
    const std::pair<const char*, int> expected[] = {
        {"zoom-left", 1},       {"zoom-top", 2},      {"zoom-width", 30}, {"zoom-height", 40},
        {"zoom-extra1", 5},     {"zoom-extra2", 6},   {"zoom-active", 1}, {"left-bound", 100},
        {"text-vertical", 200}, {"right-bound", 300}, {"hue", 180},       {"saturation", -100},
        {"intensity", 20},      {"time-shift", 13},   {"text-red", 1},    {"text-blue", 255}};
    for (const auto& [name, want] : expected) {
        gint value = 0;
        g_object_get(element.get(), name, &value, nullptr);
        EXPECT_EQ(value, want) << name;
    }
    EXPECT_EQ(Text(element.get(), "font-face"), "DejaVu Sans");

    std::string face;
    while (face.size() < 300) face += "\xC3\xA9";  // two-byte characters
    control->SetFontFace(face);
    const std::string stored = Text(element.get(), "font-face");
    EXPECT_EQ(stored.size(), 254u);
    EXPECT_TRUE(g_utf8_validate(stored.c_str(), -1, nullptr));
}

TEST_F(KalvorVTElement, EveryEffectFieldIsAPropertyWhoseDescriptionGivesItsRange) {
    GObjectClass* klass = G_OBJECT_CLASS(g_type_class_ref(GST_TYPE_KALVORVT));
    for (const EffectField& field : EffectFields()) {
        if (field.property.empty()) continue;
        GParamSpec* spec = g_object_class_find_property(klass, field.property.data());
        ASSERT_TRUE(spec) << field.property;
        const std::string blurb = g_param_spec_get_blurb(spec);
        EXPECT_GT(blurb.size(), 30u) << field.property;
        if (!G_IS_PARAM_SPEC_INT(spec)) continue;
        const auto* range = G_PARAM_SPEC_INT(spec);
        if (range->minimum == G_MININT) continue;  // a mode the block only carries
        for (int bound : {range->minimum, range->maximum})
            EXPECT_NE(blurb.find(std::to_string(bound)), std::string::npos)
                << field.property << ": " << blurb;
    }
    g_type_class_unref(klass);
}

// True when the bottom third of a BGRx frame (of a height divisible by 3) differs from fill.
bool BandChanged(const uint8_t* bytes, size_t size, uint8_t fill) {
    for (size_t i = size * 2 / 3; i < size; ++i)
        if (i % 4 != 3 && bytes[i] != fill) return true;
    return false;
}

// A harness around one element taking BGRx frames of a fixed size.
class Frames {
public:
    Frames(int width, int height, int fps = 10)
        : harness_(gst_harness_new(kKalvorVTFactory)), width_(width), height_(height), fps_(fps) {
        gst_harness_set_src_caps_str(
            harness_, ("video/x-raw,format=BGRx,width=" + std::to_string(width) + ",height=" +
                       std::to_string(height) + ",framerate=" + std::to_string(fps) + "/1")
                          .c_str());
        control_ = CKalvorVTControl::ForElement(harness_->element);
    }
    ~Frames() {
        control_.reset();
        gst_harness_teardown(harness_);
    }
    IKalvorVT& Control() { return *control_; }

    // Pushes frame number index with every byte set to fill (or the pattern given) and
    // returns what came out; same tells whether the very buffer came back.
    std::vector<uint8_t> Push(int index, uint8_t fill,
                              const std::vector<uint8_t>* pattern = nullptr, bool* same = nullptr) {
        const gsize size = gsize(width_) * height_ * 4;
        GstBuffer* in = gst_harness_create_buffer(harness_, size);
        gst_buffer_fill(in, 0, pattern ? pattern->data() : std::vector<uint8_t>(size, fill).data(),
                        size);
        GST_BUFFER_PTS(in) = gst_util_uint64_scale(index, GST_SECOND, fps_);
        GST_BUFFER_DURATION(in) = GST_SECOND / fps_;
        GstBuffer* out = gst_harness_push_and_pull(harness_, in);
        if (!out) return {};
        if (same) *same = out == in;
        std::vector<uint8_t> bytes(size);
        gst_buffer_extract(out, 0, bytes.data(), size);
        gst_buffer_unref(out);
        return bytes;
    }

    bool TextBandChanged(const std::vector<uint8_t>& bytes, uint8_t fill) const {
        return BandChanged(bytes.data(), bytes.size(), fill);
    }

private:
    GstHarness* harness_;
    std::unique_ptr<IKalvorVT> control_;
    int width_, height_, fps_;
};

TEST_F(KalvorVTElement, EffectsHoldFromTheNextFrameAndNeutralFramesPassUntouched) {
    Frames frames(8, 8);
    std::vector<uint8_t> quadrant(8 * 8 * 4, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) quadrant[(y * 8 + x) * 4 + 2] = 250;  // red
    bool same = false;
    EXPECT_EQ(frames.Push(0, 0, &quadrant, &same), quadrant);
    EXPECT_TRUE(same);

    frames.Control().SetInvert(1);
    EXPECT_EQ(frames.Push(1, 40)[0], 215);
    frames.Control().SetInvert(0);
    frames.Control().SetContrastBrightness(16, 256);
    EXPECT_EQ(frames.Push(2, 40)[0], 255);
    frames.Control().SetContrastBrightness(16, 0);
    same = false;
    EXPECT_EQ(frames.Push(3, 0, &quadrant, &same), quadrant);  // neutral again
    EXPECT_TRUE(same);

    // The marked quadrant zoomed to fill the frame, then flipped: the mark stays everywhere.
    frames.Control().SetZoom(0, 0, 3, 3, 7, 7, 1);
    frames.Control().SetFlipHorizontal(1);
    const auto zoomed = frames.Push(4, 0, &quadrant);
    for (size_t i = 2; i < zoomed.size(); i += 4) ASSERT_EQ(zoomed[i], 250) << i;
    frames.Control().SetZoom(0, 0, 7, 7, 7, 7, 1);  // the whole picture: no zoom
    const auto flipped = frames.Push(5, 0, &quadrant);
    EXPECT_EQ(flipped[2], 0);            // top left is now empty
    EXPECT_EQ(flipped[7 * 4 + 2], 250);  // the mark went to the top right

    frames.Control().SetFilterMode(0);  // turns the effects off
    same = false;
    EXPECT_EQ(frames.Push(6, 0, &quadrant, &same), quadrant);
    EXPECT_TRUE(same);
}

TEST_F(KalvorVTElement, FramesAreWholeWhileAnotherThreadWritesProperties) {
    Frames frames(16, 8);
    IKalvorVT& control = frames.Control();
    std::atomic<bool> running{true};
    std::thread writer([&] {
        for (int i = 0; running; ++i) {
            control.SetInvert(i % 2);
            control.SetFontFace(i % 2 ? "Arial" : "DejaVu Sans");
            control.SetPosition(i * 0.04);
            control.Apply();
        }
    });
    for (int frame = 0; frame < 50; ++frame) {
        const auto out = frames.Push(frame, 30);
        ASSERT_FALSE(out.empty());
        ASSERT_TRUE(out[0] == 30 || out[0] == 225) << int(out[0]);
        for (size_t i = 0; i < out.size(); ++i)
            if (i % 4 != 3) {
                ASSERT_EQ(out[i], out[0]) << i;  // never half a frame of each
            }
    }
    running = false;
    writer.join();
}

class KalvorVTSubtitles : public TempFolderTest {
protected:
    static void SetUpTestSuite() { RegisterOnce(); }
    std::string Write(const std::string& name, const std::string& content) {
        TempEnvironment::WriteFile(env_.Path(name), content);
        return env_.Path(name);
    }
    // The frame numbers (of count frames) whose text band shows something.
    static std::vector<int> Shown(Frames& frames, int count) {
        std::vector<int> shown;
        for (int i = 0; i < count; ++i)
            if (frames.TextBandChanged(frames.Push(i, 90), 90)) shown.push_back(i);
        return shown;
    }
    static std::vector<int> Range(int first, int last) {
        std::vector<int> range;
        for (int i = first; i <= last; ++i) range.push_back(i);
        return range;
    }
};

TEST_F(KalvorVTSubtitles, ACueShowsExactlyBetweenItsTimesUnderShiftAndMultiplier) {
    const char* srt = "1\n00:00:01,000 --> 00:00:02,000\nHello world\n";
    const struct {
        const char *name, *content;
        int fps;
        double shift, multiplier;
        int first, last;
    } cases[] = {{"cues.srt", srt, 10, 0, 1, 10, 19},
                 {"cues.srt", srt, 10, 1, 1, 20, 29},
                 {"cues.srt", srt, 10, 0, 2, 20, 39},
                 {"cues.srt", srt, 10, -1, 1.5, 5, 19},
                 {"cues.sub", "{25}{50}Hello|world\n", 25, 0, 1, 25, 49}};  // MicroDVD frames
    for (const auto& c : cases) {
        Frames frames(320, 240, c.fps);
        frames.Control().SetFrameRate(c.fps);
        frames.Control().SetTimeShift(c.shift);
        frames.Control().SetTimeMultiplier(c.multiplier);
        frames.Control().SetSubtitleFile(Write(c.name, c.content));
        EXPECT_EQ(Shown(frames, 60), Range(c.first, c.last))
            << c.name << " " << c.shift << " " << c.multiplier;
    }
}

TEST_F(KalvorVTSubtitles, ModeTwoHidesFontsWaitForApplyAndABinaryFileShowsNothing) {
    Frames frames(320, 240);
    frames.Control().SetSubtitleFile(Write("cues.srt", "1\n00:00:00,000 --> 00:00:09,000\nHi\n"));
    const auto small = frames.Push(0, 90);
    EXPECT_TRUE(frames.TextBandChanged(small, 90));
    frames.Control().SetSubtitleMode(2);
    EXPECT_FALSE(frames.TextBandChanged(frames.Push(1, 90), 90));
    frames.Control().SetSubtitleMode(0);
    frames.Control().SetFontSize(60);
    EXPECT_EQ(frames.Push(2, 90), small);
    frames.Control().Apply();
    EXPECT_NE(frames.Push(3, 90), small);

    std::string binary(4096, '\0');
    for (size_t i = 0; i < binary.size(); ++i) binary[i] = char(i * 31 + 7);
    frames.Control().SetSubtitleFile(Write("film.srt", binary));
    bool same = false;
    EXPECT_FALSE(frames.TextBandChanged(frames.Push(4, 90, nullptr, &same), 90));
    EXPECT_TRUE(same);
}

TEST_F(KalvorVTSubtitles, APositionThatJumpsReanchorsTheMediaClock) {
    Frames frames(320, 240);
    frames.Control().SetSubtitleFile(Write("cues.srt", "1\n00:01:00,000 --> 00:01:01,000\nLate\n"));
    EXPECT_EQ(Shown(frames, 3), Range(1, 0));
    frames.Control().SetPosition(60.2);  // the media clock reads 60.2 s at the frame of 0.2 s
    EXPECT_TRUE(frames.TextBandChanged(frames.Push(3, 90), 90));
    EXPECT_FALSE(frames.TextBandChanged(frames.Push(13, 90), 90));  // 61.3 s: over
}

// korc renders faster than real time and reports a position read behind the element.
TEST_F(KalvorVTSubtitles, FasterThanRealTimeTheCueLandsOnItsFrames) {
    const std::string srt = Write("cues.srt", "1\n00:00:01,000 --> 00:00:02,000\nBurnt in\n");
    media::ElementRef pipeline(gst_parse_launch(
        "videotestsrc num-buffers=75 pattern=solid-color foreground-color=0xff5a5a5a ! "
        "video/x-raw,format=BGRx,width=320,height=240,framerate=25/1 ! kalvorvt name=vt ! "
        "appsink name=sink sync=false",
        nullptr));
    ASSERT_TRUE(pipeline);
    media::ElementRef vt(gst_bin_get_by_name(GST_BIN(pipeline.get()), "vt"));
    media::ElementRef sink(gst_bin_get_by_name(GST_BIN(pipeline.get()), "sink"));
    auto control = CKalvorVTControl::ForElement(vt.get());
    control->SetFrameRate(25.0);
    control->SetSubtitleFile(srt);
    ASSERT_EQ(gst_element_set_state(pipeline.get(), GST_STATE_PLAYING), GST_STATE_CHANGE_ASYNC);

    std::vector<int> shown;
    double lastSeen = 0;
    for (int i = 0; i < 200; ++i) {
        GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink.get()), 5 * GST_SECOND);
        if (!sample) break;
        GstBuffer* buffer = gst_sample_get_buffer(sample);
        GstMapInfo map;
        gst_buffer_map(buffer, &map, GST_MAP_READ);
        if (BandChanged(map.data, map.size, 0x5a))
            shown.push_back(int(GST_BUFFER_PTS(buffer) * 25 / GST_SECOND));
        gst_buffer_unmap(buffer, &map);
        lastSeen = double(GST_BUFFER_PTS(buffer)) / GST_SECOND;
        gst_sample_unref(sample);
        control->SetPosition(lastSeen - 0.2);  // what the job's progress reads, late
    }
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    EXPECT_GT(lastSeen, 2.9);
    EXPECT_EQ(shown, Range(25, 49));
}

TEST_F(KalvorVTSubtitles, ASubtitleFileThatIsAFifoIsRefusedAtOnceAndFramesFlowOn) {
    const std::string fifo = env_.Path("fifo.srt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    Frames frames(320, 240);
    frames.Control().SetSubtitleFile(Write("cues.srt", "1\n00:00:00,000 --> 00:00:09,000\nHi\n"));
    ASSERT_TRUE(frames.TextBandChanged(frames.Push(0, 90), 90));
    auto set = std::async(std::launch::async, [&] { frames.Control().SetSubtitleFile(fifo); });
    if (set.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
        const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);  // lets open() return
        if (writer >= 0) ::close(writer);
        set.wait();
        FAIL() << "setting a FIFO as the subtitle file blocked";
    }
    bool same = false;
    EXPECT_FALSE(frames.TextBandChanged(frames.Push(1, 90, nullptr, &same), 90));
    EXPECT_TRUE(same);  // nothing left to draw: the buffer passes through
}

// The rows of a frame where anything differs from fill.
int ChangedRows(const std::vector<uint8_t>& bytes, int width, uint8_t fill) {
    int rows = 0;
    const size_t stride = size_t(width) * 4;
    for (size_t at = 0; at + stride <= bytes.size(); at += stride)
        for (size_t i = 0; i < stride; ++i)
            if (i % 4 != 3 && bytes[at + i] != fill) {
                ++rows;
                break;
            }
    return rows;
}

TEST_F(KalvorVTSubtitles, AThousandCharacterWordOn4KVideoWrapsAndFinishes) {
    // Once took half a minute per cue and held the pipeline as long; the time is a figure
    // of effects_bench, here it must finish and break the word over several lines.
    Frames frames(3840, 2160, 1);
    frames.Control().SetSubtitleFile(
        Write("long.srt", "1\n00:00:00,000 --> 00:00:09,000\n" + std::string(1000, 'W') + "\n"));
    const auto shown = frames.Push(0, 90);
    ASSERT_FALSE(shown.empty());
    const int lineHeight = 12 * 2160 / 360;  // the default size on this frame
    EXPECT_GT(ChangedRows(shown, 3840, 90), 3 * lineHeight);
    EXPECT_LT(ChangedRows(shown, 3840, 90), 2160 / 2 + 40);
}

}  // namespace
