// The element holds every effect value as a property built from the effect table, passes
// frames through untouched while every effect is neutral, draws effects and subtitles on
// frames as they flow, and takes property writes from other threads meanwhile.

#include <gst/app/gstappsink.h>
#include <gst/check/gstharness.h>
#include <gst/video/video.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
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

class KalvorVTElement : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        gst_init(nullptr, nullptr);
        ASSERT_TRUE(RegisterKalvorVTStatic());
    }
    void SetUp() override {
        element_ = media::ElementRef(gst_element_factory_make(kKalvorVTFactory, nullptr));
        ASSERT_TRUE(element_);
    }
    media::ElementRef element_;
};

TEST_F(KalvorVTElement, EveryTableFieldIsAPropertyStartingAtItsStartValue) {
    GObjectClass* klass = G_OBJECT_GET_CLASS(element_.get());
    for (const EffectField& field : EffectFields()) {
        if (field.property.empty()) continue;
        GParamSpec* spec = g_object_class_find_property(klass, field.property.data());
        ASSERT_NE(spec, nullptr) << field.property;
        GValue value = G_VALUE_INIT;
        g_value_init(&value, spec->value_type);
        g_object_get_property(G_OBJECT(element_.get()), field.property.data(), &value);
        switch (field.type) {
            case EffectFieldType::Int32:
                EXPECT_EQ(g_value_get_int(&value), int(field.startValue)) << field.property;
                EXPECT_EQ(G_PARAM_SPEC_INT(spec)->minimum, int(field.minimum)) << field.property;
                EXPECT_EQ(G_PARAM_SPEC_INT(spec)->maximum, int(field.maximum)) << field.property;
                break;
            case EffectFieldType::Double:
                EXPECT_DOUBLE_EQ(g_value_get_double(&value), field.startValue) << field.property;
                break;
            case EffectFieldType::Text:
                EXPECT_STREQ(g_value_get_string(&value), "Arial");
                break;
            case EffectFieldType::Handle:
                break;
        }
        g_value_unset(&value);
    }
    for (const char* extra : {"position", "frame-rate", "subtitle-file", "subtitle-mode"})
        EXPECT_NE(g_object_class_find_property(klass, extra), nullptr) << extra;
}

TEST_F(KalvorVTElement, ControlOperationsLandInTheirPropertiesClampedToRange) {
    auto control = CKalvorVTControl::ForElement(element_.get());
    ASSERT_TRUE(control);
    media::ElementRef other(gst_element_factory_make("identity", nullptr));
    EXPECT_FALSE(CKalvorVTControl::ForElement(other.get()));  // only for the effects element
    control->SetZoom(1, 2, 30, 40, 5, 6, 1);
    control->SetTextPosition(100, 200, 300);   // left, vertical, right
    control->SetHueSaturation(500, -500, 20);  // out of range: clamped
    control->SetTimeShift(12.6);
    control->SetTimeMultiplier(2.5);
    control->SetTextColor(1, 2, 255);
    control->SetFontFace("DejaVu Sans");
    control->SetSubtitleFile("/tmp/film.srt");
    control->SetSubtitleMode(0);
    control->SetPosition(12.5);

    gint left, top, width, height, extra1, extra2, active, leftBound, vertical, rightBound, hue,
        saturation, intensity, shift, red, blue, mode;
    gdouble multiplier, position;
    gchar* face = nullptr;
    gchar* subtitles = nullptr;
    g_object_get(element_.get(), "zoom-left", &left, "zoom-top", &top, "zoom-width", &width,
                 "zoom-height", &height, "zoom-extra1", &extra1, "zoom-extra2", &extra2,
                 "zoom-active", &active, "left-bound", &leftBound, "text-vertical", &vertical,
                 "right-bound", &rightBound, "hue", &hue, "saturation", &saturation, "intensity",
                 &intensity, "time-shift", &shift, "time-multiplier", &multiplier, "text-red", &red,
                 "text-blue", &blue, "font-face", &face, "subtitle-file", &subtitles,
                 "subtitle-mode", &mode, "position", &position, nullptr);
    EXPECT_EQ((std::array{left, top, width, height, extra1, extra2, active}),
              (std::array{1, 2, 30, 40, 5, 6, 1}));
    EXPECT_EQ((std::array{leftBound, vertical, rightBound}), (std::array{100, 200, 300}));
    EXPECT_EQ((std::array{hue, saturation, intensity}), (std::array{180, -100, 20}));
    EXPECT_EQ(shift, 13);
    EXPECT_DOUBLE_EQ(multiplier, 2.5);
    EXPECT_EQ(red, 1);
    EXPECT_EQ(blue, 255);
    EXPECT_STREQ(face, "DejaVu Sans");
    EXPECT_STREQ(subtitles, "/tmp/film.srt");
    EXPECT_EQ(mode, 0);
    EXPECT_DOUBLE_EQ(position, 12.5);
    g_free(face);
    g_free(subtitles);
}

TEST_F(KalvorVTElement, AnOverlongFontFaceIsCutOnACharacterBoundary) {
    std::string face;
    while (face.size() < 300) face += "\xC3\xA9";  // two-byte characters
    g_object_set(element_.get(), "font-face", face.c_str(), nullptr);
    gchar* stored = nullptr;
    g_object_get(element_.get(), "font-face", &stored, nullptr);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(std::strlen(stored), 254u);
    EXPECT_TRUE(g_utf8_validate(stored, -1, nullptr));
    g_free(stored);
}

// A harness around one element with BGRx frames of a fixed size, filled with one value.
class Frames {
public:
    Frames(int width, int height, int fps = 10) : width_(width), height_(height), fps_(fps) {
        harness_ = gst_harness_new(kKalvorVTFactory);
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
    GstElement* Element() { return harness_->element; }

    // Pushes frame number index (its timestamp index / fps) with every byte set to fill,
    // or the pattern given, and returns what came out.
    std::vector<uint8_t> Push(int index, uint8_t fill,
                              const std::vector<uint8_t>* pattern = nullptr,
                              bool* sameBuffer = nullptr) {
        const gsize size = gsize(width_) * height_ * 4;
        GstBuffer* in = gst_harness_create_buffer(harness_, size);
        gst_buffer_fill(in, 0, pattern ? pattern->data() : std::vector<uint8_t>(size, fill).data(),
                        size);
        GST_BUFFER_PTS(in) = gst_util_uint64_scale(index, GST_SECOND, fps_);
        GST_BUFFER_DURATION(in) = GST_SECOND / fps_;
        GstBuffer* out = gst_harness_push_and_pull(harness_, in);
        std::vector<uint8_t> bytes(size);
        if (!out) return {};
        if (sameBuffer) *sameBuffer = out == in;
        gst_buffer_extract(out, 0, bytes.data(), size);
        gst_buffer_unref(out);
        return bytes;
    }

    // True when the bottom third of the frame differs from fill anywhere.
    bool TextBandChanged(const std::vector<uint8_t>& bytes, uint8_t fill) const {
        for (size_t i = size_t(width_) * 4 * (height_ * 2 / 3); i < bytes.size(); ++i)
            if (i % 4 != 3 && bytes[i] != fill) return true;
        return false;
    }

private:
    GstHarness* harness_;
    std::unique_ptr<IKalvorVT> control_;
    int width_, height_, fps_;
};

TEST_F(KalvorVTElement, AnInactiveElementPassesTheVeryBuffersItIsGiven) {
    Frames frames(16, 8);
    std::vector<uint8_t> pattern(16 * 8 * 4);
    for (size_t i = 0; i < pattern.size(); ++i) pattern[i] = uint8_t(i * 7);
    bool same = false;
    EXPECT_EQ(frames.Push(0, 0, &pattern, &same), pattern);
    EXPECT_TRUE(same);
    // Effects on, then back to neutral: passthrough returns.
    frames.Control().SetInvert(1);
    EXPECT_NE(frames.Push(1, 0, &pattern), pattern);
    frames.Control().SetInvert(0);
    EXPECT_EQ(frames.Push(2, 0, &pattern, &same), pattern);
    EXPECT_TRUE(same);
}

TEST_F(KalvorVTElement, EffectsChangeFlowingFramesAndHoldFromTheNextFrame) {
    Frames frames(8, 8);
    frames.Control().SetInvert(1);
    EXPECT_EQ(frames.Push(0, 40)[0], 215);
    frames.Control().SetInvert(0);
    frames.Control().SetContrastBrightness(16, 256);
    EXPECT_EQ(frames.Push(1, 40)[0], 255);
    frames.Control().SetContrastBrightness(16, 0);

    // A marked quadrant zoomed to fill the frame, then flipped: the mark stays everywhere.
    std::vector<uint8_t> quadrant(8 * 8 * 4, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) quadrant[(y * 8 + x) * 4 + 2] = 250;  // red
    frames.Control().SetZoom(0, 0, 3, 3, 7, 7, 1);
    frames.Control().SetFlipHorizontal(1);
    const auto zoomed = frames.Push(2, 0, &quadrant);
    for (size_t i = 2; i < zoomed.size(); i += 4) ASSERT_EQ(zoomed[i], 250) << i;
    frames.Control().SetZoom(0, 0, 7, 7, 7, 7, 1);  // the whole picture: no zoom
    const auto flipped = frames.Push(3, 0, &quadrant);
    EXPECT_EQ(flipped[2], 0);                      // top left is now empty
    EXPECT_EQ(flipped[(0 * 8 + 7) * 4 + 2], 250);  // the mark went to the top right

    // Filter mode 0 turns the effects off.
    frames.Control().SetFilterMode(0);
    bool same = false;
    EXPECT_EQ(frames.Push(4, 0, &quadrant, &same), quadrant);
    EXPECT_TRUE(same);
}

TEST_F(KalvorVTElement, FramesAreWholeWhileAnotherThreadWritesProperties) {
    Frames frames(16, 8);
    IKalvorVT& control = frames.Control();
    std::atomic<bool> running{true};
    std::thread writer([&] {
        int i = 0;
        while (running) {
            control.SetInvert(i % 2);
            control.SetFontFace(i % 2 ? "Arial" : "DejaVu Sans");
            control.SetPosition(i * 0.04);
            control.Apply();
            ++i;
        }
    });
    for (int frame = 0; frame < 50; ++frame) {
        const auto out = frames.Push(frame, 30);
        ASSERT_FALSE(out.empty());
        const uint8_t first = out[0];
        ASSERT_TRUE(first == 30 || first == 225) << int(first);
        for (size_t i = 0; i < out.size(); ++i)
            if (i % 4 != 3) {
                ASSERT_EQ(out[i], first) << i;  // never half a frame of each
            }
    }
    running = false;
    writer.join();
}

class KalvorVTSubtitles : public TempFolderTest {
protected:
    static void SetUpTestSuite() {
        gst_init(nullptr, nullptr);
        ASSERT_TRUE(RegisterKalvorVTStatic());
    }
    std::string Write(const std::string& name, const std::string& content) {
        const std::string path = env_.Path(name);
        TempEnvironment::WriteFile(path, content);
        return path;
    }
    // The frame numbers (of count frames) whose text band shows something.
    static std::vector<int> Shown(Frames& frames, int count, uint8_t fill = 90) {
        std::vector<int> shown;
        for (int i = 0; i < count; ++i)
            if (frames.TextBandChanged(frames.Push(i, fill), fill)) shown.push_back(i);
        return shown;
    }
    static std::vector<int> Range(int first, int last) {
        std::vector<int> range;
        for (int i = first; i <= last; ++i) range.push_back(i);
        return range;
    }
};

TEST_F(KalvorVTSubtitles, AnSrtCueShowsExactlyBetweenItsTimesUnderShiftAndMultiplier) {
    const std::string srt = Write("cues.srt", "1\n00:00:01,000 --> 00:00:02,000\nHello world\n");
    const struct {
        double shift, multiplier;
        int first, last;  // frames at 10 per second
    } cases[] = {{0, 1, 10, 19}, {1, 1, 20, 29}, {0, 2, 20, 39}, {-1, 1.5, 5, 19}};
    for (const auto& c : cases) {
        Frames frames(320, 240);
        frames.Control().SetTimeShift(c.shift);
        frames.Control().SetTimeMultiplier(c.multiplier);
        frames.Control().SetSubtitleFile(srt);
        EXPECT_EQ(Shown(frames, 45), Range(c.first, c.last)) << c.shift << " " << c.multiplier;
    }
}

TEST_F(KalvorVTSubtitles, AMicroDvdFileIsTimedByTheFrameRate) {
    Frames frames(320, 240, 25);
    frames.Control().SetFrameRate(25.0);
    frames.Control().SetSubtitleFile(Write("cues.sub", "{25}{50}Hello|world\n"));
    EXPECT_EQ(Shown(frames, 60), Range(25, 49));
}

TEST_F(KalvorVTSubtitles, ModeTwoHidesAndABinaryFileShowsNothing) {
    Frames frames(320, 240);
    frames.Control().SetSubtitleFile(Write("cues.srt", "1\n00:00:00,000 --> 00:00:09,000\nHi\n"));
    EXPECT_EQ(Shown(frames, 2), Range(0, 1));
    frames.Control().SetSubtitleMode(2);
    EXPECT_EQ(Shown(frames, 2), Range(1, 0));
    frames.Control().SetSubtitleMode(0);

    std::string binary(4096, '\0');
    for (size_t i = 0; i < binary.size(); ++i) binary[i] = char(i * 31 + 7);
    frames.Control().SetSubtitleFile(Write("film.srt", binary));
    bool same = false;
    const auto out = frames.Push(3, 90, nullptr, &same);
    EXPECT_FALSE(frames.TextBandChanged(out, 90));
    EXPECT_TRUE(same);
}

TEST_F(KalvorVTSubtitles, FontSettingsWaitForApply) {
    Frames frames(320, 240);
    frames.Control().SetSubtitleFile(Write("cues.srt", "1\n00:00:00,000 --> 00:00:09,000\nHi\n"));
    const auto small = frames.Push(0, 90);
    frames.Control().SetFontSize(60);
    EXPECT_EQ(frames.Push(1, 90), small);
    frames.Control().Apply();
    EXPECT_NE(frames.Push(2, 90), small);
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
    GstElement* vt = gst_bin_get_by_name(GST_BIN(pipeline.get()), "vt");
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline.get()), "sink");
    auto control = CKalvorVTControl::ForElement(vt);
    control->SetFrameRate(25.0);
    control->SetSubtitleFile(srt);
    ASSERT_EQ(gst_element_set_state(pipeline.get(), GST_STATE_PLAYING), GST_STATE_CHANGE_ASYNC);

    std::vector<int> shown;
    double lastSeen = 0;
    for (int i = 0;; ++i) {
        GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink), 5 * GST_SECOND);
        if (!sample) break;
        GstBuffer* buffer = gst_sample_get_buffer(sample);
        GstMapInfo map;
        gst_buffer_map(buffer, &map, GST_MAP_READ);
        bool changed = false;
        for (gsize k = map.size * 2 / 3; k < map.size && !changed; ++k)
            changed = k % 4 != 3 && map.data[k] != 0x5a;
        gst_buffer_unmap(buffer, &map);
        const int frame = int(GST_BUFFER_PTS(buffer) * 25 / GST_SECOND);
        if (changed) shown.push_back(frame);
        lastSeen = double(GST_BUFFER_PTS(buffer)) / GST_SECOND;
        gst_sample_unref(sample);
        control->SetPosition(lastSeen - 0.2);  // what the job's progress reads, late
        ASSERT_LT(i, 200);
    }
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    control.reset();
    gst_object_unref(vt);
    gst_object_unref(sink);
    EXPECT_GT(lastSeen, 2.9);
    EXPECT_EQ(shown, Range(25, 49));
}

}  // namespace
