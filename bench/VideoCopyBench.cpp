// korc's fast video extraction beside `ffmpeg -c copy` doing the same cut, both as whole
// processes started as a user starts them (korc on a job file, its pages answered by a script
// on Qt's offscreen platform), in alternating rounds after a warm-up; medians, and the outputs
// checked alike with ffprobe: the compressed video copied alone, and with the sound decoded
// to PCM beside it. Run by hand:
//   build/bench/video_copy_bench [seconds of input, default 60] [rounds, default 7]
// Without ffmpeg and ffprobe on PATH it says so and skips. The figures go into reviews, not
// into tests.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/ProcessRace.h"
#include "common/JobFile.h"

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(20, std::atoi(argv[1])) : 60;
    const int rounds = RoundsArgument(argc, argv, 2);
    const std::optional<BenchTools> tools = FindTools("video_copy_bench");
    if (!tools) return 0;
    const std::string &ffmpeg = tools->ffmpeg, &ffprobe = tools->ffprobe;
    StartBench();
    const std::string folder = MakeBenchFolder("/tmp/korc-copy-bench-XXXXXX");
    if (folder.empty()) return 1;
    const std::string input = folder + "/in.avi";
    // A key frame every 5 s, so that the cut's start, a multiple of 5 s, is one for both.
    if (!RunLaunch("videotestsrc num-buffers=" + std::to_string(seconds * 25) +
                   " ! video/x-raw,width=640,height=480,framerate=25/1 ! avenc_mpeg4 "
                   "bitrate=2000000 gop-size=125 ! mpeg4videoparse ! queue ! m. audiotestsrc "
                   "num-buffers=" +
                   std::to_string(seconds * 48000 / 1024 + 1) +
                   " samplesperbuffer=1024 ! audio/x-raw,rate=48000,channels=2 ! lamemp3enc ! "
                   "mpegaudioparse ! queue ! m. avimux name=m ! filesink location=" +
                   input))
        return 1;
    const int from = seconds / 10 / 5 * 5 + 5, to = seconds - 5;
    const std::string s = std::to_string(from), t = std::to_string(to - from);
    auto out = [&](const std::string& name) { return folder + "/" + name; };

    const std::vector<Race> races = {
        {"fast extraction, video only",
         KorcRun(folder, "cv", BenchJob(JobKind::ExtractVideo, {Record(input, from, to)}),
                 {"name cv", "click 211", "click 212", "forward"}, out("cv.avi")),
         FfmpegRun(ffmpeg, {"-ss", s, "-t", t, "-i", input, "-an", "-c", "copy", out("fcv.avi")},
                   out("fcv.avi"))},
        {"fast extraction, with PCM",
         KorcRun(folder, "ca", BenchJob(JobKind::ExtractVideo, {Record(input, from, to)}),
                 {"name ca", "click 212", "forward", "row 0", "forward"}, out("ca.avi")),
         FfmpegRun(ffmpeg,
                   {"-ss", s, "-t", t, "-i", input, "-c:v", "copy", "-c:a", "pcm_s16le",
                    out("fca.avi")},
                   out("fca.avi"))},
    };
    std::printf("%d s of 640x480 MPEG-4 at 25 fps (a key frame every 5 s) with 48 kHz stereo "
                "MP3 in AVI;\nthe fragment from %d s to %d s\n",
                seconds, from, to);
    const bool same = RunRaces(races, rounds, ffprobe, folder);
    return EndBench(folder, same);
}
