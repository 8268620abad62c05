// Frames per second of the effects element at 1920x1080 on one thread: pass-through, each
// effect alone, the point effects together, everything together and subtitles; and, on
// the same frames, GStreamer's own videobalance, videoflip and videocrop ! videoscale for
// comparison; and the time of the worst subtitle cues at 3840x2160. Run by hand:
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
#include <cstring>
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

std::string SrtTime(int milliseconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d,%03d", milliseconds / 3600000,
                  milliseconds / 60000 % 60, milliseconds / 1000 % 60, milliseconds % 1000);
    return text;
}

// True when the lower third of the output differs from the frame that went in.
bool LowerThirdChanged(GstBuffer* in, GstBuffer* out) {
    GstMapInfo a, b;
    if (!gst_buffer_map(in, &a, GST_MAP_READ)) return false;
    if (!gst_buffer_map(out, &b, GST_MAP_READ)) {
        gst_buffer_unmap(in, &a);
        return false;
    }
    const size_t from = a.size / 3 * 2;
    const bool changed =
        a.size == b.size && std::memcmp(a.data + from, b.data + from, a.size - from);
    gst_buffer_unmap(out, &b);
    gst_buffer_unmap(in, &a);
    return changed;
}

struct Rate {
    double fps = 0;
    int changed = 0;  // frames whose lower third came out changed
};

// Frames per second of one element; each frame is a fresh writable copy made off the clock,
// as a decoder would hand it over.
Rate Measure(GstHarness* harness, const std::vector<GstBuffer*>& frames, int count) {
    gst_harness_set_src_caps_str(harness, kCaps);
    double seconds = 0;
    Rate rate;
    for (int i = 0; i < count + 2; ++i) {
        const GstBuffer* source = frames[i % frames.size()];
        GstBuffer* in = gst_buffer_copy_deep(source);
        GST_BUFFER_PTS(in) = gst_util_uint64_scale(i, GST_SECOND, 25);
        GST_BUFFER_DURATION(in) = GST_SECOND / 25;
        const auto start = std::chrono::steady_clock::now();
        GstBuffer* out = gst_harness_push_and_pull(harness, in);
        const auto end = std::chrono::steady_clock::now();
        if (i >= 2) seconds += std::chrono::duration<double>(end - start).count();  // warm-up
        if (out) {
            if (i >= 2 && LowerThirdChanged(const_cast<GstBuffer*>(source), out)) ++rate.changed;
            gst_buffer_unref(out);
        }
    }
    rate.fps = seconds > 0 ? count / seconds : 0;
    return rate;
}

Rate MeasureKalvorVT(const std::vector<GstBuffer*>& frames, int count,
                     const std::function<void(IKalvorVT&)>& setup) {
    GstHarness* harness = gst_harness_new(kKalvorVTFactory);
    auto control = CKalvorVTControl::ForElement(harness->element);
    setup(*control);
    control->Apply();
    const Rate rate = Measure(harness, frames, count);
    control.reset();
    gst_harness_teardown(harness);
    return rate;
}

double MeasureElement(const std::vector<GstBuffer*>& frames, int count, const char* description) {
    GstHarness* harness = gst_harness_new_parse(description);
    const double fps = Measure(harness, frames, count).fps;
    gst_harness_teardown(harness);
    return fps;
}

// The zoom row's area and the same crop for videocrop: the zoom maps the frame's first and
// last columns and rows onto the area's first and last ones.
constexpr int kZoomLeft = 200, kZoomTop = 100, kZoomWidth = 1400, kZoomHeight = 800;

void Zoom(IKalvorVT& c) {
    c.SetZoom(kZoomLeft, kZoomTop, kZoomWidth, kZoomHeight, kWidth - 1, kHeight - 1, 1);
}

std::string CropAndScale() {
    return "videocrop left=" + std::to_string(kZoomLeft) +
           " right=" + std::to_string(kWidth - 1 - kZoomLeft - kZoomWidth) +
           " top=" + std::to_string(kZoomTop) +
           " bottom=" + std::to_string(kHeight - 1 - kZoomTop - kZoomHeight) +
           " ! videoscale method=bilinear ! capsfilter caps=video/x-raw,width=" +
           std::to_string(kWidth) + ",height=" + std::to_string(kHeight);
}

// Milliseconds of the slowest of a few frames at 3840x2160, each showing one hostile cue
// for the first time (so each is drawn from scratch), no picture effect on.
double WorstCueMilliseconds(const std::string& folder, int fontSize,
                            const std::function<std::string(int)>& cueText) {
    constexpr int w = 3840, h = 2160, cues = 4;
    const std::string path = folder + "_hostile.srt";
    {
        std::ofstream file(path);
        for (int i = 0; i < cues; ++i)
            file << i + 1 << "\n"
                 << SrtTime(i * 1000) << " --> " << SrtTime(i * 1000 + 999) << "\n"
                 << cueText(i) << "\n\n";
    }
    GstHarness* harness = gst_harness_new(kKalvorVTFactory);
    auto control = CKalvorVTControl::ForElement(harness->element);
    control->SetFontSize(fontSize);
    control->SetSubtitleFile(path);
    control->Apply();
    gst_harness_set_src_caps_str(harness,
                                 "video/x-raw,format=BGRx,width=3840,height=2160,framerate=1/1");
    double worst = 0;
    for (int i = 0; i < cues; ++i) {
        GstBuffer* in = gst_harness_create_buffer(harness, size_t(w) * h * 4);
        gst_buffer_memset(in, 0, 60, size_t(w) * h * 4);
        GST_BUFFER_PTS(in) = GST_SECOND * i + GST_SECOND / 2;
        GST_BUFFER_DURATION(in) = GST_SECOND;
        const auto start = std::chrono::steady_clock::now();
        GstBuffer* out = gst_harness_push_and_pull(harness, in);
        const auto end = std::chrono::steady_clock::now();
        if (out) gst_buffer_unref(out);
        worst = std::max(worst, std::chrono::duration<double, std::milli>(end - start).count());
    }
    control.reset();
    gst_harness_teardown(harness);
    std::remove(path.c_str());
    return worst;
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
    Zoom(c);
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

    // One cue held over every frame (drawn once, then laid on each frame), and a new cue on
    // every frame (drawn anew each time).
    const std::string folder = "/tmp/effects_bench_" + std::to_string(getpid());
    const std::string subtitles = folder + ".srt", changing = folder + "_changing.srt";
    std::ofstream(subtitles) << "1\n00:00:00,000 --> 10:00:00,000\nA subtitle line on every "
                                "frame\nand a second one below it\n";
    {
        std::ofstream file(changing);
        for (int i = 0; i < count + 2; ++i)
            file << i + 1 << "\n"
                 << SrtTime(i * 40) << " --> " << SrtTime(i * 40 + 40) << "\nCue number " << i
                 << " of this run\nand its second line\n\n";
    }

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
        {"zoom", Zoom},
        {"hue/saturation/intensity", [](IKalvorVT& c) { c.SetHueSaturation(30, 40, 10); }},
        {"point effects together", PointEffects},
        {"all effects together", AllEffects},
        {"all but emboss (it replaces the convolutions)",
         [](IKalvorVT& c) {
             AllEffects(c);
             c.SetEmboss(0);
         }},
        {"subtitles: one cue on every frame", [&](IKalvorVT& c) { c.SetSubtitleFile(subtitles); }},
        {"subtitles: a new cue on every frame", [&](IKalvorVT& c) { c.SetSubtitleFile(changing); }},
        {"subtitles (one cue) and all effects",
         [&](IKalvorVT& c) {
             AllEffects(c);
             c.SetSubtitleFile(subtitles);
         }},
    };
    std::printf("kalvorvt at %dx%d BGRx, one thread, %d frames each\n", kWidth, kHeight, count);
    double pointFps = 0, flipFps = 0;
    for (const auto& c : cases) {
        const Rate rate = MeasureKalvorVT(frames, count, c.setup);
        const bool subtitled = std::string(c.name).starts_with("subtitles");
        std::printf("  %-46s %9.1f fps", c.name, rate.fps);
        if (subtitled) std::printf("   cue seen on %d of %d frames", rate.changed, count);
        std::printf("\n");
        if (std::string(c.name) == "point effects together") pointFps = rate.fps;
        if (std::string(c.name) == "flip horizontal") flipFps = rate.fps;
    }
    std::remove(subtitles.c_str());
    std::remove(changing.c_str());

    const double balance = MeasureElement(
        frames, count, "videobalance contrast=1.25 brightness=0.06 hue=0.17 saturation=1.4");
    const double flip = MeasureElement(frames, count, "videoflip video-direction=horiz");
    // Zoom and the crop and scale side by side, alternating, the best of three each.
    double zoomFps = 0, cropFps = 0;
    for (int run = 0; run < 3; ++run) {
        zoomFps = std::max(zoomFps, MeasureKalvorVT(frames, count, Zoom).fps);
        cropFps = std::max(cropFps, MeasureElement(frames, count, CropAndScale().c_str()));
    }
    std::printf("GStreamer on the same frames\n");
    std::printf("  %-46s %9.1f fps   kalvorvt point effects / videobalance = %.2f\n",
                "videobalance (4 adjustments)", balance, balance > 0 ? pointFps / balance : 0);
    std::printf("  %-46s %9.1f fps   kalvorvt flip horizontal / videoflip = %.2f\n",
                "videoflip horizontal", flip, flip > 0 ? flipFps / flip : 0);
    std::printf("  %-46s %9.1f fps   kalvorvt zoom (%.1f fps) / crop and scale = %.2f\n",
                "videocrop ! videoscale method=bilinear", cropFps, zoomFps,
                cropFps > 0 ? zoomFps / cropFps : 0);

    std::printf("Worst subtitle cues at 3840x2160, slowest of 4 first draws\n");
    const std::string longWord(1000, 'W');
    const struct {
        const char* name;
        int fontSize;
        std::function<std::string(int)> text;
    } hostile[] = {
        {"1,000-character word, default size", 12, [&](int i) { return longWord + char('0' + i); }},
        {"1,000-character word, size 100", 100, [&](int i) { return longWord + char('0' + i); }},
        {"1,000 characters of short words, size 100", 100,
         [](int i) {
             std::string text;
             while (text.size() < 1000) text += "Wide words ";
             return text + char('0' + i);
         }},
        {"500 lines of one character, size 100", 100,
         [](int i) {
             std::string text;
             for (int n = 0; n < 500; ++n) text += "W\n";
             return text + char('0' + i);
         }},
    };
    for (const auto& c : hostile)
        std::printf("  %-46s %9.1f ms\n", c.name, WorstCueMilliseconds(folder, c.fontSize, c.text));

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
