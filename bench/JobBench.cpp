// Seconds per audio job of korc, each beside a plain GStreamer pipeline that decodes the same
// input and writes the same kind of file, in the same run: extract a fragment as WAV and as
// MP3, and merge three fragments as WAV. The jobs run through their real pages, answered by a
// script, and the real progress dialog on Qt's offscreen platform. Run by hand:
//   build/bench/job_bench [seconds of input, default 60]
// The figures go into reviews, not into tests.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "common/JobFile.h"
#include "engine/CodecCatalogue.h"

namespace {

int RunJob(const std::string& folder, JobKind kind, const std::vector<JobFragmentRecord>& records,
           const std::vector<std::string>& script, const CodecCatalogue& catalogue) {
    JobFile file;
    file.header.kind = static_cast<int32_t>(kind);
    file.fragments = records;
    return RunJobFile(folder, file, script, catalogue);
}

}  // namespace

int main(int argc, char** argv) {
    StartBench();
    QApplication application(argc, argv);
    const int seconds = argc > 1 ? std::max(4, std::atoi(argv[1])) : 60;

    const std::string folder = MakeBenchFolder("/tmp/korc-bench-XXXXXX");
    if (folder.empty()) return 1;
    const std::string input = folder + "/in.wav";
    const long buffers = long(seconds) * 44100 / 1024;
    if (!RunLaunch("audiotestsrc wave=pink-noise num-buffers=" + std::to_string(buffers) +
                   " samplesperbuffer=1024 ! audio/x-raw,rate=44100,channels=2,format=S16LE ! "
                   "wavenc ! filesink location=" +
                   input))
        return 1;
    const CodecCatalogue catalogue = CodecCatalogue::Build();
    const int half = seconds / 2;
    const std::string plain = "filesrc location=" + input + " ! decodebin ! audioconvert ! ";

    const std::vector<BenchRow> rows = {
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
    TimeRows("job", 14, rows);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
