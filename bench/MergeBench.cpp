// korc's merge-video job beside ffmpeg doing the same merge with the same codecs and settings,
// both as whole processes started as a user starts them (korc on a job file, its pages
// answered by a script on Qt's offscreen platform), in alternating rounds after a warm-up;
// medians, and the outputs checked alike with ffprobe. Run by hand:
//   build/bench/merge_bench [seconds of each fragment, default 30] [rounds, default 7]
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

namespace {

bool MakeFragment(const std::string& path, int seconds, const char* pattern) {
    return RunLaunch(std::string("videotestsrc pattern=") + pattern +
                     " num-buffers=" + std::to_string(seconds * 25) +
                     " ! video/x-raw,width=640,height=480,framerate=25/1 ! avenc_mpeg4 "
                     "bitrate=2000000 gop-size=125 ! mpeg4videoparse ! queue ! m. audiotestsrc "
                     "num-buffers=" +
                     std::to_string(seconds * 48000 / 1024 + 1) +
                     " samplesperbuffer=1024 ! audio/x-raw,rate=48000,channels=2 ! lamemp3enc "
                     "! mpegaudioparse ! queue ! m. avimux name=m ! filesink location=" +
                     path);
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 30;
    const int rounds = RoundsArgument(argc, argv, 2);
    const std::optional<BenchTools> tools = FindTools("merge_bench");
    if (!tools) return 0;
    const std::string &ffmpeg = tools->ffmpeg, &ffprobe = tools->ffprobe;
    StartBench();
    const std::string folder = MakeBenchFolder("/tmp/korc-merge-bench-XXXXXX");
    if (folder.empty()) return 1;
    const std::string a = folder + "/a.avi", b = folder + "/b.avi";
    if (!MakeFragment(a, seconds, "smpte") || !MakeFragment(b, seconds, "ball")) return 1;
    auto out = [&](const std::string& name) { return folder + "/" + name; };
    const std::string t = std::to_string(seconds);
    const std::vector<JobFragmentRecord> both = {Record(a, 0, seconds), Record(b, 0, seconds)};
    auto ffmpegMerge = [&](const std::vector<std::string>& audio, const std::string& output) {
        std::vector<std::string> args = {
            "-t", t, "-i", a, "-t", t, "-i", b, "-filter_complex",
            "[0:v][0:a][1:v][1:a]concat=n=2:v=1:a=1[v][a]", "-map", "[v]", "-map", "[a]",
            "-c:v", "mpeg4", "-q:v", "1", "-g", "60"};
        args.insert(args.end(), audio.begin(), audio.end());
        args.push_back(output);
        return FfmpegRun(ffmpeg, args, output);
    };

    const std::vector<Race> races = {
        {"merge x2, MPEG-4 + PCM",
         KorcRun(folder, "mp", BenchJob(JobKind::MergeVideo, both), {"name mp", "forward", "row 0", "forward", "forward"},
                 out("mp.avi")),
         ffmpegMerge({"-c:a", "pcm_s16le"}, out("fmp.avi"))},
        {"merge x2, MPEG-4 + MP3",
         KorcRun(folder, "mm", BenchJob(JobKind::MergeVideo, both), {"name mm", "forward", "forward", "forward"},
                 out("mm.avi")),
         ffmpegMerge({"-c:a", "libmp3lame", "-b:a", "128k", "-ar", "48000", "-ac", "2"},
                     out("fmm.avi"))},
    };
    std::printf("two fragments of %d s, 640x480 MPEG-4 at 25 fps (a key frame every 5 s) with 48 "
                "kHz stereo MP3 in AVI\n",
                seconds);
    const bool same = RunRaces(races, rounds, ffprobe, folder);
    return EndBench(folder, same);
}
