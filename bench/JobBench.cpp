// korc's jobs beside ffmpeg doing the same job with the same codecs and settings, both as whole
// processes started as a user starts them (korc on a job file, its pages answered by a
// script on Qt's offscreen platform), in alternating rounds after a warm-up; medians, and the
// outputs checked alike with ffprobe. Then korc's start to its first page. Run by hand:
//   build/bench/job_bench [seconds of input, default 60] [rounds, default 7]
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

// korc's MPEG-4 settings at the video page's defaults: quality 100 is the constant quantizer
// 1, a key frame every 60 frames.
const std::vector<std::string> kVideoSettings = {"-c:v", "mpeg4", "-q:v", "1", "-g", "60"};

std::vector<std::string> Joined(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(20, std::atoi(argv[1])) : 60;
    const int rounds = RoundsArgument(argc, argv, 2);
    const std::optional<BenchTools> tools = FindTools("job_bench");
    if (!tools) return 0;
    const std::string &ffmpeg = tools->ffmpeg, &ffprobe = tools->ffprobe;
    StartBench();
    const std::string folder = MakeBenchFolder("/tmp/korc-job-bench-XXXXXX");
    if (folder.empty()) return 1;
    // As users have them: a key frame every 5 s, 48 kHz MP3 sound; a mono MP3 of its own rate
    // without a Xing header to mix in.
    const std::string input = folder + "/in.avi", voice = folder + "/voice.mp3";
    if (!RunLaunch("videotestsrc pattern=ball num-buffers=" + std::to_string(seconds * 25) +
                   " ! video/x-raw,width=640,height=480,framerate=25/1 ! avenc_mpeg4 "
                   "bitrate=2000000 gop-size=125 ! mpeg4videoparse ! queue ! m. audiotestsrc "
                   "wave=pink-noise num-buffers=" +
                   std::to_string(seconds * 48000 / 1024 + 1) +
                   " samplesperbuffer=1024 ! audio/x-raw,rate=48000,channels=2 ! lamemp3enc "
                   "target=quality quality=4 ! mpegaudioparse ! queue ! m. avimux name=m ! "
                   "filesink location=" +
                   input) ||
        !RunLaunch("audiotestsrc freq=330 num-buffers=" +
                   std::to_string(seconds * 48000 / 1152 + 1) +
                   " samplesperbuffer=1152 ! audio/x-raw,rate=48000,channels=1 ! lamemp3enc "
                   "target=quality quality=6 ! filesink location=" +
                   voice))
        return 1;
    const int from = seconds / 6, to = seconds - seconds / 6, span = to - from, half = seconds / 3;
    const std::string s = std::to_string(from), t = std::to_string(span), h = std::to_string(half);
    auto out = [&](const std::string& name) { return folder + "/" + name; };

    const std::vector<Race> races = {
        {"extract audio, WAV",
         KorcRun(folder, "xa", BenchJob(JobKind::ExtractAudio, {Record(input, from, to)}),
                 {"name xa", "forward", "row 0", "forward"}, out("xa.wav")),
         FfmpegRun(ffmpeg, {"-ss", s, "-t", t, "-i", input, "-vn", "-c:a", "pcm_s16le", out("fa.wav")},
                   out("fa.wav"))},
        {"extract audio, MP3",
         KorcRun(folder, "xm", BenchJob(JobKind::ExtractAudio, {Record(input, from, to)}),
                 {"name xm", "click 211", "forward", "forward"}, out("xm.mp3")),
         FfmpegRun(ffmpeg,
                   {"-ss", s, "-t", t, "-i", input, "-vn", "-c:a", "libmp3lame", "-b:a", "128k",
                    "-ar", "48000", "-ac", "2", "-f", "wav", out("fm.mp3")},
                   out("fm.mp3"))},
        {"merge audio x3, WAV",
         KorcRun(folder, "ma",
                 BenchJob(JobKind::MergeAudio, {Record(input, 0, half), Record(input, half, 2 * half),
                                           Record(input, 0, half)}),
                 {"name ma", "forward", "row 0", "forward"}, out("ma.wav")),
         FfmpegRun(ffmpeg,
                   {"-t", h, "-i", input, "-ss", h, "-t", h, "-i", input, "-t", h, "-i", input,
                    "-filter_complex", "[0:a][1:a][2:a]concat=n=3:v=0:a=1", "-c:a", "pcm_s16le",
                    out("fma.wav")},
                   out("fma.wav"))},
        {"extract video, MPEG-4 + MP3",
         KorcRun(folder, "xv", BenchJob(JobKind::ExtractVideo, {Record(input, from, to)}),
                 {"name xv", "forward", "forward", "forward"}, out("xv.avi")),
         FfmpegRun(ffmpeg,
                   Joined(Joined({"-ss", s, "-t", t, "-i", input}, kVideoSettings),
                          {"-c:a", "libmp3lame", "-b:a", "128k", "-ar", "48000", "-ac", "2",
                           out("fv.avi")}),
                   out("fv.avi"))},
        {"mix, MPEG-4 + MP3",
         KorcRun(folder, "mx",
                 BenchJob(JobKind::MixVideoAudio, {Record(input, from, to), Record(voice, from, to)}),
                 {"name mx", "forward", "forward", "forward"}, out("mx.avi")),
         FfmpegRun(ffmpeg,
                   Joined(Joined({"-ss", s, "-t", t, "-i", input, "-ss", s, "-t", t, "-i", voice,
                                  "-filter_complex",
                                  "[0:a][1:a]amix=inputs=2:duration=longest:normalize=0[a]",
                                  "-map", "0:v", "-map", "[a]"},
                                 kVideoSettings),
                          {"-c:a", "libmp3lame", "-b:a", "128k", "-ar", "48000", "-ac", "2",
                           out("fmx.avi")}),
                   out("fmx.avi"))},
        {"still, BMP",
         KorcRun(folder, "st", BenchJob(JobKind::ExtractImage, {Record(input, 0, to)}),
                 {"name st", "forward"}, out("st.bmp")),
         FfmpegRun(ffmpeg,
                   {"-ss", std::to_string(to), "-i", input, "-frames:v", "1", "-pix_fmt", "bgr24",
                    out("fst.bmp")},
                   out("fst.bmp"))},
    };
    std::printf("%d s of 640x480 MPEG-4 at 25 fps (a key frame every 5 s) with 48 kHz stereo "
                "MP3 in AVI;\nfragments of %d s\n",
                seconds, span);
    const bool same = RunRaces(races, rounds, ffprobe, folder);

    // From korc's start until its first page is up: the page is cancelled at once, so this is
    // the whole run up to it and korc's way out after it.
    std::printf("\nkorc's start to its first page (the page cancelled at once), median of %d\n",
                rounds);
    const struct {
        const char* name;
        JobFile job;
    } firsts[] = {
        {"extract audio", BenchJob(JobKind::ExtractAudio, {Record(input, from, to)})},
        {"extract video", BenchJob(JobKind::ExtractVideo, {Record(input, from, to)})},
        {"merge video x2", BenchJob(JobKind::MergeVideo, {Record(input, 0, half), Record(input, half, seconds)})},
        {"still", BenchJob(JobKind::ExtractImage, {Record(input, 0, to)})},
    };
    for (const auto& first : firsts) {
        const ProgramRun run = KorcRun(folder, "first", first.job, {"cancel"}, {});
        TimeRun(run);
        std::vector<double> walls;
        for (int round = 0; round < rounds; ++round) walls.push_back(TimeRun(run).wall);
        const double wall = Median(walls);
        std::printf("  %-16s %6.0f ms  goal <= 150 ms%s\n", first.name, wall * 1000,
                    wall <= 0.150 ? "" : "  MISSED");
    }
    return EndBench(folder, same);
}
