// Frames per second of the effects element at 1920x1080 on one thread: pass-through, each
// effect alone, the point effects together, everything together and subtitles; and, on
// the same frames, GStreamer's own videobalance and videoflip for comparison. Run by hand:
//   build/bench/effects_bench [frames]
// The figures go into reviews, not into tests.

#include <gst/check/gstharness.h>
#include <gst/gst.h>
#include <unistd.h>

#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "kalvorvt/GstKalvorVT.h"
#include "kalvorvt/KalvorVTControl.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080, kSources = 4;
constexpr char kCaps[] = "video/x-raw,format=BGRx,width=1920,height=1080,framerate=25/1";

// A few frames with gradients, edges and noise, so no effect meets a trivial picture.
std::vector<GstBuffer*> MakeFrames() {
    std::mt19937 random(7);
    std::vector<GstBuffer*> frames;
    for (int n = 0; n < kSources; ++n) {
        GstBuffer* buffer = gst_buffer_new_allocate(nullptr, size_t(kWidth) * kHeight * 4, nullptr);
        GstMapInfo map;
        gst_buffer_map(buffer, &map, GST_MAP_WRITE);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                guint8* p = map.data + (size_t(y) * kWidth + x) * 4;
                const int noise = int(random() % 24);
                p[0] = guint8((x / 8 + n * 40 + noise) & 255);
                p[1] = guint8(((x + y) / 12 + noise) & 255);
                p[2] = guint8((((x / 64 + y / 64) % 2) * 160 + noise + n * 10) & 255);
                p[3] = 255;
            }
        gst_buffer_unmap(buffer, &map);
        frames.push_back(buffer);
    }
    return frames;
}

// Frames per second of one element; each frame is a fresh writable copy made off the clock,
// as a decoder would hand it over.
double Measure(GstHarness* harness, const std::vector<GstBuffer*>& frames, int count) {
    gst_harness_set_src_caps_str(harness, kCaps);
    double seconds = 0;
    for (int i = 0; i < count + 2; ++i) {
        GstBuffer* in = gst_buffer_copy_deep(frames[i % frames.size()]);
        GST_BUFFER_PTS(in) = gst_util_uint64_scale(i, GST_SECOND, 25);
        GST_BUFFER_DURATION(in) = GST_SECOND / 25;
        const auto start = std::chrono::steady_clock::now();
        GstBuffer* out = gst_harness_push_and_pull(harness, in);
        const auto end = std::chrono::steady_clock::now();
        if (out) gst_buffer_unref(out);
        if (i >= 2) seconds += std::chrono::duration<double>(end - start).count();  // warm-up
    }
    return seconds > 0 ? count / seconds : 0;
}

double MeasureKalvorVT(const std::vector<GstBuffer*>& frames, int count,
                       const std::function<void(IKalvorVT&)>& setup) {
    GstHarness* harness = gst_harness_new(kKalvorVTFactory);
    auto control = CKalvorVTControl::ForElement(harness->element);
    setup(*control);
    control->Apply();
    const double fps = Measure(harness, frames, count);
    control.reset();
    gst_harness_teardown(harness);
    return fps;
}

double MeasureElement(const std::vector<GstBuffer*>& frames, int count, const char* description) {
    GstHarness* harness = gst_harness_new_parse(description);
    const double fps = Measure(harness, frames, count);
    gst_harness_teardown(harness);
    return fps;
}

// Seconds for a decoded-video-like 1080p pipeline with or without the element in it.
double PipelineSeconds(bool withElement, int count) {
    const std::string line = "videotestsrc num-buffers=" + std::to_string(count) +
                             " pattern=ball ! video/x-raw,format=I420,width=1920,height=1080 ! "
                             "videoconvert ! video/x-raw,format=BGRx ! " +
                             (withElement ? "kalvorvt ! " : "") + "fakesink sync=false";
    GstElement* pipeline = gst_parse_launch(line.c_str(), nullptr);
    if (!pipeline) return 0;
    const auto start = std::chrono::steady_clock::now();
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, 120 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const auto end = std::chrono::steady_clock::now();
    if (message) gst_message_unref(message);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return std::chrono::duration<double>(end - start).count();
}

void PointEffects(IKalvorVT& c) {
    c.SetContrastBrightness(20, 15);
    c.SetColorBalance(10, 0, 20);
    c.SetHueSaturation(30, 40, 10);
    c.SetInvert(1);
}

void AllEffects(IKalvorVT& c) {
    PointEffects(c);
    c.SetGrayscale(1);
    c.SetSharpen(20);
    c.SetBlur(2);
    c.SetEmboss(1);
    c.SetSmooth(800);
    c.SetImageCorrection(7, 60);
    c.SetFlipVertical(1);
    c.SetFlipHorizontal(1);
    c.SetZoom(200, 100, 1400, 800, kWidth - 1, kHeight - 1, 1);
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication application(argc, argv);  // subtitles need fonts
    gst_init(nullptr, nullptr);
    if (!RegisterKalvorVTStatic()) {
        std::fprintf(stderr, "effects_bench: no kalvorvt element\n");
        return 1;
    }
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    const auto frames = MakeFrames();

    const std::string subtitles = "/tmp/effects_bench_" + std::to_string(getpid()) + ".srt";
    std::ofstream(subtitles) << "1\n00:00:00,000 --> 10:00:00,000\nA subtitle line on every "
                                "frame\nand a second one below it\n";

    const struct {
        const char* name;
        std::function<void(IKalvorVT&)> setup;
    } cases[] = {
        {"pass-through", [](IKalvorVT&) {}},
        {"contrast/brightness", [](IKalvorVT& c) { c.SetContrastBrightness(22, 30); }},
        {"sharpen", [](IKalvorVT& c) { c.SetSharpen(24); }},
        {"blur", [](IKalvorVT& c) { c.SetBlur(1); }},
        {"double blur", [](IKalvorVT& c) { c.SetBlur(2); }},
        {"emboss", [](IKalvorVT& c) { c.SetEmboss(1); }},
        {"smooth", [](IKalvorVT& c) { c.SetSmooth(800); }},
        {"invert", [](IKalvorVT& c) { c.SetInvert(1); }},
        {"grayscale", [](IKalvorVT& c) { c.SetGrayscale(1); }},
        {"flip vertical", [](IKalvorVT& c) { c.SetFlipVertical(1); }},
        {"flip horizontal", [](IKalvorVT& c) { c.SetFlipHorizontal(1); }},
        {"colour balance", [](IKalvorVT& c) { c.SetColorBalance(10, 0, 30); }},
        {"image correction 7", [](IKalvorVT& c) { c.SetImageCorrection(7, 60); }},
        {"image correction 11", [](IKalvorVT& c) { c.SetImageCorrection(11, 60); }},
        {"zoom", [](IKalvorVT& c) { c.SetZoom(200, 100, 1400, 800, kWidth - 1, kHeight - 1, 1); }},
        {"hue/saturation/intensity", [](IKalvorVT& c) { c.SetHueSaturation(30, 40, 10); }},
        {"point effects together", PointEffects},
        {"all effects together", AllEffects},
        {"all but emboss (it replaces the convolutions)",
         [](IKalvorVT& c) {
             AllEffects(c);
             c.SetEmboss(0);
         }},
        {"subtitles", [&](IKalvorVT& c) { c.SetSubtitleFile(subtitles); }},
        {"subtitles and all effects",
         [&](IKalvorVT& c) {
             AllEffects(c);
             c.SetSubtitleFile(subtitles);
         }},
    };
    std::printf("kalvorvt at %dx%d BGRx, one thread, %d frames each\n", kWidth, kHeight, count);
    double pointFps = 0, flipFps = 0;
    for (const auto& c : cases) {
        const double fps = MeasureKalvorVT(frames, count, c.setup);
        std::printf("  %-46s %9.1f fps\n", c.name, fps);
        if (std::string(c.name) == "point effects together") pointFps = fps;
        if (std::string(c.name) == "flip horizontal") flipFps = fps;
    }
    std::remove(subtitles.c_str());

    const double balance = MeasureElement(
        frames, count, "videobalance contrast=1.25 brightness=0.06 hue=0.17 saturation=1.4");
    const double flip = MeasureElement(frames, count, "videoflip video-direction=horiz");
    std::printf("GStreamer on the same frames\n");
    std::printf("  %-46s %9.1f fps   kalvorvt point effects / videobalance = %.2f\n",
                "videobalance (4 adjustments)", balance, balance > 0 ? pointFps / balance : 0);
    std::printf("  %-46s %9.1f fps   kalvorvt flip horizontal / videoflip = %.2f\n",
                "videoflip horizontal", flip, flip > 0 ? flipFps / flip : 0);

    // The best of three runs each, alternating, as the pipeline's own time varies.
    const int pipelineFrames = std::max(count, 100);
    double without = 1e9, with = 1e9;
    for (int run = 0; run < 3; ++run) {
        without = std::min(without, PipelineSeconds(false, pipelineFrames));
        with = std::min(with, PipelineSeconds(true, pipelineFrames));
    }
    std::printf("1080p pipeline (videotestsrc ! videoconvert ! ... ! fakesink), %d frames\n",
                pipelineFrames);
    std::printf("  without kalvorvt %.3f s, with it passing through %.3f s: %+.1f%%\n", without,
                with, without > 0 ? (with - without) / without * 100 : 0);

    for (GstBuffer* frame : frames) gst_buffer_unref(frame);
    return 0;
}
