// Seconds per audio job of korc, each beside a plain GStreamer pipeline that decodes the same
// input and writes the same kind of file, in the same run: extract a fragment as WAV and as
// MP3, and merge three fragments as WAV. The jobs run through their real pages, answered by a
// script, and the real progress dialog on Qt's offscreen platform. Run by hand:
//   build/bench/job_bench [seconds of input, default 60]
// The figures go into reviews, not into tests.

#include <gst/gst.h>
#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/JobFile.h"
#include "engine/CodecCatalogue.h"
#include "engine/JobLoader.h"
#include "engine/JobObject.h"
#include "engine/JobRunner.h"
#include "engine/ScriptedPageDriver.h"
#include "engine/WizardState.h"
#include "platform/ui/MessageSink.h"

namespace {

bool RunLaunch(const std::string& description) {
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
    if (!pipeline) {
        std::fprintf(stderr, "%s\n", error ? error->message : "cannot build the pipeline");
        if (error) g_error_free(error);
        return false;
    }
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, 600 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
    if (message) gst_message_unref(message);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok;
}

double Seconds(const std::function<bool()>& work) {
    const auto start = std::chrono::steady_clock::now();
    if (!work()) {
        std::fprintf(stderr, "a run failed\n");
        std::exit(1);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int RunJob(const std::string& folder, JobKind kind, const std::vector<JobFragmentRecord>& records,
           const std::vector<std::string>& script, const CodecCatalogue& catalogue) {
    JobFile file;
    file.header.kind = static_cast<int32_t>(kind);
    file.fragments = records;
    const std::string path = folder + "/KORCP.SPF";
    const std::string bytes = JobFileBytes(file);
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) return -1;
    std::fclose(out);
    JobObject job;
    WizardState state;
    if (LoadJobFile(path, job, state) != JobLoad::Loaded) return -1;
    CScriptedPageDriver pages(catalogue, script);
    CJobRunner runner(pages, catalogue);
    return runner.RunJob(job, state);
}

JobFragmentRecord Record(const std::string& path, int32_t start, int32_t end) {
    JobFragmentRecord record{};
    record.startSeconds = start;
    record.endSeconds = end;
    path.copy(record.path, sizeof record.path - 1);
    return record;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("KALVOR_MESSAGES", "stderr", 0);
    QApplication application(argc, argv);
    gst_init(nullptr, nullptr);
    const int seconds = argc > 1 ? std::max(4, std::atoi(argv[1])) : 60;

    char pattern[] = "/tmp/korc-bench-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) return 1;
    const std::string folder = made, input = folder + "/in.wav";
    const long buffers = long(seconds) * 44100 / 1024;
    if (!RunLaunch("audiotestsrc wave=pink-noise num-buffers=" + std::to_string(buffers) +
                   " samplesperbuffer=1024 ! audio/x-raw,rate=44100,channels=2,format=S16LE ! "
                   "wavenc ! filesink location=" +
                   input))
        return 1;
    const CodecCatalogue catalogue = CodecCatalogue::Build();
    const int half = seconds / 2;
    const std::string plain = "filesrc location=" + input + " ! decodebin ! audioconvert ! ";

    struct Row {
        const char* job;
        std::function<bool()> korc;
        std::function<bool()> reference;
        const char* referenceName;
    };
    const Row rows[] = {
        {"extract, WAV",
         [&] {
             return RunJob(folder, JobKind::ExtractAudio, {Record(input, 0, seconds)},
                           {"name a", "forward", "row 0", "forward"}, catalogue) == 0;
         },
         [&] { return RunLaunch(plain + "wavenc ! filesink location=" + folder + "/r.wav"); },
         "decodebin ! wavenc"},
        {"extract, MP3",
         [&] {
             return RunJob(folder, JobKind::ExtractAudio, {Record(input, 0, seconds)},
                           {"name b", "click 211", "forward", "forward"}, catalogue) == 0;
         },
         [&] {
             return RunLaunch(plain +
                              "lamemp3enc target=bitrate bitrate=128 cbr=true ! "
                              "filesink location=" +
                              folder + "/r.mp3");
         },
         "decodebin ! lamemp3enc"},
        {"merge 3, WAV",
         [&] {
             return RunJob(folder, JobKind::MergeAudio,
                           {Record(input, 0, half), Record(input, half, seconds),
                            Record(input, 0, half)},
                           {"name c", "forward", "row 0", "forward"}, catalogue) == 0;
         },
         [&] {
             return RunLaunch("concat name=c ! audioconvert ! wavenc ! filesink location=" +
                              folder + "/r3.wav " + "filesrc location=" + input +
                              " ! wavparse ! c. filesrc location=" + input + " ! wavparse ! c. " +
                              "filesrc location=" + input + " ! wavparse ! c.");
         },
         "3 x wavparse ! concat ! wavenc (1.5 x the audio)"},
    };
    std::printf("%d s of 44.1 kHz stereo input\n", seconds);
    std::printf("%-14s %10s %10s %7s  %s\n", "job", "korc s", "plain s", "ratio", "plain pipeline");
    for (const Row& row : rows) {
        const double korc = Seconds(row.korc), reference = Seconds(row.reference);
        std::printf("%-14s %10.3f %10.3f %7.2f  %s\n", row.job, korc, reference, korc / reference,
                    row.referenceName);
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
