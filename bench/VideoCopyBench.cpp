// Seconds of korc's fast video extraction beside a plain copy remux of the same AVI in the
// same run: the compressed video demuxed and muxed again as it is, alone and with the audio
// decoded to PCM. The job runs through its real pages, answered by a script, and the real
// progress dialog on Qt's offscreen platform. Run by hand:
//   build/bench/video_copy_bench [seconds of input, default 60]
// The figures go into reviews, not into tests.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "common/EffectParams.h"
#include "engine/CodecCatalogue.h"
#include "engine/ExtractVideoJob.h"
#include "engine/JobObject.h"
#include "engine/ScriptedPageDriver.h"
#include "engine/WizardState.h"

namespace {

bool RunFast(const std::string& folder, const std::string& input, double seconds,
             const std::vector<std::string>& script, const CodecCatalogue& catalogue) {
    JobObject job;
    job.paths[0] = input;
    job.start = 0.0;
    job.end = seconds;
    WizardState state;
    state.jobKind = static_cast<int32_t>(JobKind::ExtractVideo);
    state.effects = DefaultEffectParams();
    state.outputFolder = folder;
    state.withAudio = 1;
    CScriptedPageDriver pages(catalogue, script);
    return CExtractVideoJob(job, state, pages, catalogue).Run() == JobEnd::Done;
}

}  // namespace

int main(int argc, char** argv) {
    StartBench();
    QApplication application(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const int seconds = argc > 1 ? std::max(4, std::atoi(argv[1])) : 60;

    const std::string folder = MakeBenchFolder("/tmp/korc-bench-XXXXXX");
    if (folder.empty()) return 1;
    const std::string input = folder + "/in.avi";
    if (!RunLaunch("videotestsrc num-buffers=" + std::to_string(seconds * 25) +
                   " ! video/x-raw,width=640,height=480,framerate=25/1 ! avenc_mpeg4 "
                   "bitrate=2000000 ! mpeg4videoparse ! m. audiotestsrc num-buffers=" +
                   std::to_string(seconds * 44100 / 1024) +
                   " samplesperbuffer=1024 ! audio/x-raw,rate=44100,channels=2,format=S16LE ! "
                   "m. avimux name=m ! filesink location=" +
                   input))
        return 1;
    const CodecCatalogue catalogue = CodecCatalogue::Build();
    const std::string source = "filesrc location=" + input + " ! avidemux name=d ";

    const std::vector<BenchRow> rows = {
        {"video only",
         [&] {
             return RunFast(folder, input, seconds, {"name a", "click 211", "click 212", "forward"},
                            catalogue);
         },
         [&] {
             return RunLaunch(source + "d.video_0 ! avimux ! filesink location=" + folder +
                              "/r1.avi");
         },
         "avidemux ! avimux"},
        {"with PCM audio",
         [&] {
             return RunFast(folder, input, seconds,
                            {"name b", "click 212", "forward", "row 0", "forward"}, catalogue);
         },
         [&] {
             return RunLaunch(source +
                              "d.video_0 ! queue ! m.video_0 d.audio_0 ! queue ! decodebin ! "
                              "audioconvert ! m.audio_0 avimux name=m ! filesink location=" +
                              folder + "/r2.avi");
         },
         "avidemux ! avimux, audio through decodebin"},
    };
    std::printf("%d s of 640x480 MPEG-4 at 25 fps with 44.1 kHz stereo PCM\n", seconds);
    TimeRows("fast extraction", 16, rows);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
