// Frames per second of the effects element at 1920x1080 BGRx on one thread: each effect
// alone, the colour adjustments, everything together and subtitles; beside them GStreamer's
// own elements doing the same work on the same frames (videobalance with the same four
// adjustments, textoverlay with the same text, videoflip, videocrop ! videoscale), with the
// ratio and the goal. Then the worst subtitle cues at 3840x2160 and the cost of the element
// passing through in a pipeline.
//
// Every row is measured once per round, the rounds alternating over all rows so that a
// change in the machine's load meets every row alike; each measurement starts with a few
// frames of warm-up. Figures are medians over the rounds; a ratio is the median of the
// ratios within each round. Run by hand from a Release tree, pinned for the one-core figure:
//   taskset -c 2 build-rel/bench/effects_bench [frames] [rounds]
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

constexpr int kWidth = 1920, kHeight = 1080, kSources = 4, kWarmUp = 3;
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

// The number of rows of the output that differ from the frame that went in.
int ChangedRows(GstBuffer* in, GstBuffer* out) {
    GstMapInfo a, b;
    if (!gst_buffer_map(in, &a, GST_MAP_READ)) return 0;
    if (!gst_buffer_map(out, &b, GST_MAP_READ)) {
        gst_buffer_unmap(in, &a);
        return 0;
    }
    int changed = 0;
    const size_t row = size_t(kWidth) * 4;
    if (a.size == b.size)
        for (size_t at = 0; at + row <= a.size; at += row)
            changed += std::memcmp(a.data + at, b.data + at, row) != 0;
    gst_buffer_unmap(out, &b);
    gst_buffer_unmap(in, &a);
    return changed;
}

struct Rate {
    double fps = 0;
    int rows = 0;  // rows changed in the last frame
};

// Frames per second of one harnessed element; each frame is a fresh writable copy made off
// the clock, as a decoder would hand it over, and before(i) runs off the clock too.
Rate Measure(GstHarness* harness, const std::vector<GstBuffer*>& frames, int count,
             const std::function<void(int)>& before = {}) {
    gst_harness_set_src_caps_str(harness, kCaps);
    double seconds = 0;
    Rate rate;
    for (int i = 0; i < count + kWarmUp; ++i) {
        const GstBuffer* source = frames[i % frames.size()];
        GstBuffer* in = gst_buffer_copy_deep(source);
        GST_BUFFER_PTS(in) = gst_util_uint64_scale(i, GST_SECOND, 25);
        GST_BUFFER_DURATION(in) = GST_SECOND / 25;
        if (before) before(i);
        const auto start = std::chrono::steady_clock::now();
        GstBuffer* out = gst_harness_push_and_pull(harness, in);
        const auto end = std::chrono::steady_clock::now();
        if (i >= kWarmUp) seconds += std::chrono::duration<double>(end - start).count();
        if (out) {
            if (i == count + kWarmUp - 1)
                rate.rows = ChangedRows(const_cast<GstBuffer*>(source), out);
            gst_buffer_unref(out);
        }
    }
    rate.fps = seconds > 0 ? count / seconds : 0;
    return rate;
}

using Setup = std::function<void(IKalvorVT&)>;

Rate MeasureKalvorVT(const std::vector<GstBuffer*>& frames, int count, const Setup& setup) {
    GstHarness* harness = gst_harness_new(kKalvorVTFactory);
    auto control = CKalvorVTControl::ForElement(harness->element);
    setup(*control);
    control->Apply();
    const Rate rate = Measure(harness, frames, count);
    control.reset();
    gst_harness_teardown(harness);
    return rate;
}

Rate MeasureElement(const std::vector<GstBuffer*>& frames, int count, const std::string& line) {
    GstHarness* harness = gst_harness_new_parse(line.c_str());
    const Rate rate = Measure(harness, frames, count);
    gst_harness_teardown(harness);
    return rate;
}

// The two lines every subtitle row shows; the changing rows number their cues.
std::string CueText(int cue) {
    return cue < 0 ? "A subtitle line on every frame\nand a second one below it"
                   : "Cue number " + std::to_string(cue) + " of this run\nand its second line";
}

// textoverlay drawing what the element draws by default: bold text of a ninth of the
// picture's third, outlined, on a shaded bar, centred at the bottom. A changing cue is set
// before each frame, off the clock.
Rate MeasureTextOverlay(const std::vector<GstBuffer*>& frames, int count, bool changing) {
    GstElement* overlay = gst_element_factory_make("textoverlay", nullptr);
    if (!overlay) return {};
    g_object_set(overlay, "text", CueText(-1).c_str(), "font-desc", "Sans Bold 36px", "auto-resize",
                 FALSE, "draw-outline", TRUE, "shaded-background", TRUE, nullptr);
    gst_util_set_object_arg(G_OBJECT(overlay), "valignment", "bottom");
    gst_util_set_object_arg(G_OBJECT(overlay), "halignment", "center");
    GstHarness* harness = gst_harness_new_with_element(overlay, "video_sink", "src");
    gst_object_unref(overlay);
    std::function<void(int)> before;
    if (changing)
        before = [&](int i) {
            g_object_set(harness->element, "text", CueText(i).c_str(), nullptr);
        };
    const Rate rate = Measure(harness, frames, count, before);
    gst_harness_teardown(harness);
    return rate;
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

// The like-for-like colour adjustments: contrast 20/16, brightness +15 of 255, hue +30
// degrees, saturation +40 %, in each element's own units.
void FourAdjustments(IKalvorVT& c) {
    c.SetContrastBrightness(20, 15);
    c.SetHueSaturation(30, 40, 0);
}
constexpr char kFourBalance[] =
    "videobalance contrast=1.25 brightness=0.0588 hue=0.1667 saturation=1.4";
void HueAndSaturation(IKalvorVT& c) { c.SetHueSaturation(30, 40, 0); }
constexpr char kHueSaturationBalance[] = "videobalance hue=0.1667 saturation=1.4";

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

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// One measured row: its figures of every round and the rows changed in the last frame.
struct Row {
    std::string name;
    std::function<Rate()> measure;
    std::vector<double> fps;
    int rows = 0;

    void Run() {
        const Rate rate = measure();
        fps.push_back(rate.fps);
        rows = rate.rows;
    }
    double Fps() const { return Median(fps); }
};

// The median over the rounds of a / b within each round.
double RatioOf(const Row& a, const Row& b) {
    std::vector<double> ratios;
    for (size_t r = 0; r < std::min(a.fps.size(), b.fps.size()); ++r)
        if (b.fps[r] > 0) ratios.push_back(a.fps[r] / b.fps[r]);
    return Median(ratios);
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
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const auto frames = MakeFrames();

    // One cue held over every frame (drawn once, then laid on each frame), and a new cue on
    // every frame (drawn anew each time).
    const std::string folder = "/tmp/effects_bench_" + std::to_string(getpid());
    const std::string subtitles = folder + ".srt", changing = folder + "_changing.srt";
    std::ofstream(subtitles) << "1\n00:00:00,000 --> 10:00:00,000\n" << CueText(-1) << "\n";
    {
        std::ofstream file(changing);
        for (int i = 0; i < count + kWarmUp; ++i)
            file << i + 1 << "\n"
                 << SrtTime(i * 40) << " --> " << SrtTime(i * 40 + 40) << "\n"
                 << CueText(i) << "\n\n";
    }

    std::vector<Row> rows;
    auto element = [&](const std::string& name, Setup setup) {
        rows.push_back(
            {name, [&frames, count, setup] { return MeasureKalvorVT(frames, count, setup); }});
        return rows.size() - 1;
    };
    auto other = [&](const std::string& name, std::function<Rate()> measure) {
        rows.push_back({name, std::move(measure)});
        return rows.size() - 1;
    };
    auto balance = [&](const char* line) {
        return [&frames, count, line] { return MeasureElement(frames, count, line); };
    };

    const size_t firstAlone = rows.size();
    element("pass-through", [](IKalvorVT&) {});
    element("contrast/brightness", [](IKalvorVT& c) { c.SetContrastBrightness(22, 30); });
    element("sharpen", [](IKalvorVT& c) { c.SetSharpen(24); });
    element("blur", [](IKalvorVT& c) { c.SetBlur(1); });
    element("double blur", [](IKalvorVT& c) { c.SetBlur(2); });
    element("emboss", [](IKalvorVT& c) { c.SetEmboss(1); });
    element("smooth", [](IKalvorVT& c) { c.SetSmooth(800); });
    element("invert", [](IKalvorVT& c) { c.SetInvert(1); });
    element("grayscale", [](IKalvorVT& c) { c.SetGrayscale(1); });
    element("flip vertical", [](IKalvorVT& c) { c.SetFlipVertical(1); });
    element("colour balance", [](IKalvorVT& c) { c.SetColorBalance(10, 0, 30); });
    element("image correction 7", [](IKalvorVT& c) { c.SetImageCorrection(7, 60); });
    element("image correction 11", [](IKalvorVT& c) { c.SetImageCorrection(11, 60); });
    element("hue/saturation/intensity", [](IKalvorVT& c) { c.SetHueSaturation(30, 40, 10); });
    element("point effects together", PointEffects);
    const size_t all = element("all effects together", AllEffects);
    element("all but emboss (it replaces the convolutions)", [](IKalvorVT& c) {
        AllEffects(c);
        c.SetEmboss(0);
    });
    element("subtitles (one cue) and all effects", [&](IKalvorVT& c) {
        AllEffects(c);
        c.SetSubtitleFile(subtitles);
    });
    const size_t endAlone = rows.size();

    struct Pair {
        size_t ours, theirs;
        const char* goal;  // nullptr: no goal, shown for comparison
        double minimum;
    };
    std::vector<Pair> pairs;
    auto pair = [&](size_t ours, size_t theirs, const char* goal = nullptr, double minimum = 0) {
        pairs.push_back({ours, theirs, goal, minimum});
    };
    pair(element("brightness, contrast, hue, saturation", FourAdjustments),
         other("videobalance, the same four", balance(kFourBalance)), ">= 4", 4);
    pair(element("hue, saturation", HueAndSaturation),
         other("videobalance hue, saturation", balance(kHueSaturationBalance)), ">= 4", 4);
    pair(element("subtitles: one cue on every frame",
                 [&](IKalvorVT& c) { c.SetSubtitleFile(subtitles); }),
         other("textoverlay, the same cue",
               [&frames, count] { return MeasureTextOverlay(frames, count, false); }),
         ">= 1", 1);
    pair(element("subtitles: a new cue on every frame",
                 [&](IKalvorVT& c) { c.SetSubtitleFile(changing); }),
         other("textoverlay, the text set anew each frame",
               [&frames, count] { return MeasureTextOverlay(frames, count, true); }),
         ">= 1", 1);
    pair(element("flip horizontal", [](IKalvorVT& c) { c.SetFlipHorizontal(1); }),
         other("videoflip horizontal", [&frames, count] {
             return MeasureElement(frames, count, "videoflip video-direction=horiz");
         }));
    pair(element("zoom", Zoom), other("videocrop ! videoscale method=bilinear", [&frames, count] {
             return MeasureElement(frames, count, CropAndScale());
         }));

    // The pipeline's cost of the element passing through, alternating with the same pipeline
    // without it.
    const int pipelineFrames = std::max(count, 100);
    std::vector<double> without, with;

    for (int round = 0; round < rounds; ++round) {
        std::fprintf(stderr, "round %d of %d\r", round + 1, rounds);
        for (auto& row : rows) row.Run();
        without.push_back(PipelineSeconds(false, pipelineFrames));
        with.push_back(PipelineSeconds(true, pipelineFrames));
    }
    std::remove(subtitles.c_str());
    std::remove(changing.c_str());

    std::printf(
        "kalvorvt at %dx%d BGRx, one thread; %d frames a measurement after %d of "
        "warm-up,\n%d rounds alternating over all rows, medians\n",
        kWidth, kHeight, count, kWarmUp, rounds);
    for (size_t i = firstAlone; i < endAlone; ++i) {
        std::printf("  %-46s %9.1f fps", rows[i].name.c_str(), rows[i].Fps());
        if (i == all)
            std::printf("   goal >= 120 fps: %.2f of it%s", rows[i].Fps() / 120,
                        rows[i].Fps() >= 120 ? "" : "  MISSED");
        std::printf("\n");
    }
    std::printf(
        "Beside GStreamer on the same frames; ratio = kalvorvt fps / GStreamer fps, the "
        "median of the rounds' ratios\n");
    for (const auto& p : pairs) {
        const Row &ours = rows[p.ours], &theirs = rows[p.theirs];
        const double ratio = RatioOf(ours, theirs);
        std::printf("  %-38s %8.1f fps | %-41s %8.1f fps | ratio %6.2f", ours.name.c_str(),
                    ours.Fps(), theirs.name.c_str(), theirs.Fps(), ratio);
        if (p.goal) std::printf("  goal %s%s", p.goal, ratio >= p.minimum ? "" : "  MISSED");
        if (ours.name.starts_with("subtitles"))
            std::printf("  (rows drawn %d and %d)", ours.rows, theirs.rows);
        std::printf("\n");
    }

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

    const double plain = Median(without), passing = Median(with);
    std::printf(
        "1080p pipeline (videotestsrc ! videoconvert ! ... ! fakesink), %d frames, "
        "medians\n",
        pipelineFrames);
    std::printf("  without kalvorvt %.3f s, with it passing through %.3f s: %+.1f%%\n", plain,
                passing, plain > 0 ? (passing - plain) / plain * 100 : 0);

    for (GstBuffer* frame : frames) gst_buffer_unref(frame);
    return 0;
}
