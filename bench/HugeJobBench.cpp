// Seconds for korc's jobs of 5,000 fragments, the most a job file holds, spread over a few
// one-second files: how long until the first page has been answered (the run ends on the
// codec page after it), and how long until the graph writes, when a stop ends it. The jobs run
// through their real pages, answered by a script, on Qt's offscreen platform. Run by hand:
//   build/bench/huge_job_bench [distinct files, default 2] [fragments, default 5000]
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

struct Kind {
    const char* name;
    JobKind kind;
    std::vector<std::string> toWriting;  // the pages' answers up to the progress dialog
};

}  // namespace

int main(int argc, char** argv) {
    StartBench();
    QApplication application(argc, argv);
    const int files = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2;
    const int count = argc > 2 ? std::clamp(std::atoi(argv[2]), 1, kMaxJobFragments) : 5000;

    const std::string folder = MakeBenchFolder("/tmp/korc-huge-bench-XXXXXX");
    if (folder.empty()) return 1;
    std::vector<std::string> paths;
    for (int i = 0; i < files; ++i) {
        paths.push_back(folder + "/f" + std::to_string(i) + ".avi");
        if (!RunLaunch("videotestsrc num-buffers=25 ! video/x-raw,width=64,height=48,"
                       "framerate=25/1 ! jpegenc ! m. audiotestsrc num-buffers=44 "
                       "samplesperbuffer=1024 ! audio/x-raw,rate=44100,channels=2,format=S16LE ! "
                       "m. avimux name=m ! filesink location=" +
                       paths.back()))
            return 1;
    }
    JobFile file;
    file.effects = DefaultEffectParams();
    for (int i = 0; i < count; ++i)
        file.fragments.push_back(Record(paths[size_t(i) % paths.size()], 0, 1));
    const CodecCatalogue catalogue = CodecCatalogue::Build();

    const Kind kinds[] = {
        {"merge video",
         JobKind::MergeVideo,
         {"name out", "click 211", "forward", "row 0", "forward", "stop"}},
        {"merge audio", JobKind::MergeAudio, {"name out", "forward", "row 0", "forward", "stop"}},
        {"mix, audio only",
         JobKind::MixVideoAudio,
         {"name out", "click 211", "forward", "row 0", "forward", "stop"}},
    };
    std::printf("%d fragments of 1 s over %d files of 64x48 JPEG video and 44.1 kHz PCM\n", count,
                files);
    std::printf("%-18s %14s %14s\n", "job", "first page s", "writing s");
    for (const Kind& k : kinds) {
        file.header.kind = static_cast<int32_t>(k.kind);
        const double page = Seconds([&] {
            return RunJobFile(folder, file, {"name out", "forward", "cancel"}, catalogue) == 0;
        });
        const double writing =
            Seconds([&] { return RunJobFile(folder, file, k.toWriting, catalogue) == 0; });
        std::printf("%-18s %14.3f %14.3f\n", k.name, page, writing);
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
