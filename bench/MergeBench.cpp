// Seconds for korc's merge-video job beside a plain GStreamer pipeline that decodes the same
// two fragments, joins them with concat and writes the same kind of AVI (MPEG-4 video through
// avenc_mpeg4 and PCM audio), in the same run. korc's job runs through its real pages,
// answered by a script, and the real progress dialog on Qt's offscreen platform; its video also
// passes the effects element. Run by hand:
//   build/bench/merge_bench [seconds of each fragment, default 30]
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

int RunMerge(const std::string& folder, const std::vector<JobFragmentRecord>& records,
             const CodecCatalogue& catalogue) {
    JobFile file;
    file.header.kind = static_cast<int32_t>(JobKind::MergeVideo);
    file.effects = DefaultEffectParams();
    file.fragments = records;
    // With audio, no audio encoder, the preselected MPEG-4 video encoder.
    return RunJobFile(folder, file, {"name merged", "forward", "row 0", "forward", "forward"},
                      catalogue);
}

bool MakeFragment(const std::string& path, int seconds, const char* pattern) {
    const std::string frames = std::to_string(seconds * 25);
    const std::string buffers = std::to_string(long(seconds) * 44100 / 1024);
    return RunLaunch(std::string("videotestsrc pattern=") + pattern + " num-buffers=" + frames +
                     " ! video/x-raw,width=320,height=240,framerate=25/1 ! avenc_mpeg4 ! "
                     "mpeg4videoparse ! m. audiotestsrc num-buffers=" +
                     buffers +
                     " samplesperbuffer=1024 ! audio/x-raw,rate=44100,channels=2,format=S16LE ! "
                     "m. avimux name=m ! filesink location=" +
                     path);
}

}  // namespace

int main(int argc, char** argv) {
    StartBench();
    QApplication application(argc, argv);
    const int seconds = argc > 1 ? std::max(2, std::atoi(argv[1])) : 30;

    const std::string folder = MakeBenchFolder("/tmp/korc-merge-bench-XXXXXX");
    if (folder.empty()) return 1;
    const std::string a = folder + "/a.avi", b = folder + "/b.avi";
    if (!MakeFragment(a, seconds, "smpte") || !MakeFragment(b, seconds, "ball")) return 1;
    const CodecCatalogue catalogue = CodecCatalogue::Build();

    auto branch = [](const std::string& path, int n) {
        // concat takes its inputs one after the other: the waiting stream must not stall
        // the demuxer.
        const std::string d = "d" + std::to_string(n),
                          queue = " ! queue max-size-buffers=0 max-size-bytes=0 max-size-time=0";
        return "filesrc location=" + path + " ! avidemux name=" + d + " " + d + ".video_0" + queue +
               " ! avdec_mpeg4 ! v. " + d + ".audio_0" + queue + " ! a. ";
    };
    const double korc = Seconds([&] {
        return RunMerge(folder, {Record(a, 0, seconds), Record(b, 0, seconds)}, catalogue) == 0;
    });
    const double plain = Seconds([&] {
        return RunLaunch(
            "concat name=v ! videoconvert ! avenc_mpeg4 ! mpeg4videoparse ! queue ! "
            "m. concat name=a ! audioconvert ! queue ! m. avimux name=m ! "
            "filesink location=" +
            folder + "/plain.avi " + branch(a, 1) + branch(b, 2));
    });
    std::printf("two fragments of %d s, 320x240 at 25/1 with 44.1 kHz stereo\n", seconds);
    std::printf("%-22s %10s %10s %7s\n", "job", "korc s", "plain s", "ratio");
    std::printf("%-22s %10.3f %10.3f %7.2f  %s\n", "merge 2, MPEG-4 + PCM", korc, plain,
                korc / plain, "2 x avidemux ! avdec_mpeg4 ! concat ! avenc_mpeg4 ! avimux");
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
