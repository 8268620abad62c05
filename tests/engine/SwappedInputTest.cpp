// A job reads the inputs it checked before its pages through the descriptors it checked:
// a name swapped meanwhile for a FIFO, whose open waits for a writer, is never opened again,
// and the output holds what the checked file holds.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "CapturedMessages.h"
#include "KorcProcess.h"
#include "RecordingPages.h"
#include "SharedCatalogue.h"
#include "engine/JobLoader.h"
#include "engine/JobObject.h"
#include "engine/JobRunner.h"
#include "engine/WizardState.h"
#include "platform/media/MediaProbe.h"
#include "support/MediaGenerator.h"
#include "support/TempEnvironment.h"

namespace {

// At the first page, after the job checked its inputs, each name becomes a FIFO.
class SwappingPages : public RecordingPages {
public:
    SwappingPages(std::vector<std::string> script, std::vector<std::string> names)
        : RecordingPages(Catalogue(), std::move(script)), names_(std::move(names)) {}

    PageResult ShowPage(WizardPageId page, WizardState& state) override {
        if (!swapped) {
            swapped = true;
            for (const std::string& name : names_) {
                const std::string fifo = name + ".fifo";
                swapped = swapped && mkfifo(fifo.c_str(), 0600) == 0 &&
                          std::rename(fifo.c_str(), name.c_str()) == 0;
            }
        }
        return RecordingPages::ShowPage(page, state);
    }

    bool swapped = false;

private:
    std::vector<std::string> names_;
};

// Whoever opens one of the FIFOs for reading is seen: a writer's non-blocking open of a FIFO
// succeeds only while a reader has it open, and the writer's close then ends that reader's wait
// with an empty stream, so that a fault fails the job instead of holding it forever.
class FifoWatch {
public:
    explicit FifoWatch(std::vector<std::string> names) : names_(std::move(names)) {
        thread_ = std::thread([this] {
            while (!stop_) {
                for (const std::string& name : names_) {
                    const int fd = ::open(name.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                    if (fd < 0) continue;
                    struct stat info {};
                    if (::fstat(fd, &info) == 0 && S_ISFIFO(info.st_mode)) opened = true;
                    ::close(fd);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
    }
    ~FifoWatch() {
        stop_ = true;
        thread_.join();
    }

    std::atomic<bool> opened{false};

private:
    std::vector<std::string> names_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class SwappedInputTest : public TempFolderTest {};

TEST_F(SwappedInputTest, EveryJobKindReadsTheFileItCheckedAndNeverOpensTheFifo) {
    // Made once; each case links its inputs' names to them afresh.
    const std::string made = env_.Path("made");
    ASSERT_EQ(mkdir(made.c_str(), 0700), 0);
    ASSERT_TRUE(media::MakeAvi(made + "/v.avi", {.seconds = 4.0, .width = 64, .height = 48}));
    ASSERT_TRUE(media::MakeAvi(made + "/w.avi", {.seconds = 2.0, .width = 64, .height = 48}));
    ASSERT_TRUE(media::MakeWav(made + "/a.wav", {.seconds = 6.0, .rate = 8000, .channels = 1}));
    ASSERT_TRUE(media::MakeWav(made + "/b.wav", {.seconds = 3.0, .rate = 8000, .channels = 1}));
    const std::string video = env_.Path("v.avi"), other = env_.Path("w.avi"),
                      tone = env_.Path("a.wav"), high = env_.Path("b.wav");
    struct Case {
        const char* what;
        JobKind kind;
        std::vector<JobFragment> fragments;
        std::vector<std::string> script;
        const char* written;
        double seconds;  // of the checked files' content
    };
    const Case cases[] = {
        {"extract audio",
         JobKind::ExtractAudio,
         {{tone, 1, 5}},
         {"name out", "forward", "row 0", "forward"},
         "out.wav",
         4.0},
        {"merge audio",
         JobKind::MergeAudio,
         {{tone, 0, 2}, {high, 1, 3}, {tone, 4, 5}},
         {"name out", "forward", "row 0", "forward"},
         "out.wav",
         5.0},
        {"extract video",
         JobKind::ExtractVideo,
         {{video, 1, 3}},
         {"name out", "click 211", "forward", "row 0", "forward"},
         "out.avi",
         2.0},
        {"copy video in two phases",
         JobKind::ExtractVideo,
         {{video, 0, 3}},
         {"name out", "click 212", "forward", "row 0", "forward"},
         "out.avi",
         3.0},
        {"merge video",
         JobKind::MergeVideo,
         {{video, 0, 1}, {other, 0, 2}},
         {"name out", "forward", "row 0", "forward", "row 0", "forward"},
         "out.avi",
         3.0},
        {"mix",
         JobKind::MixVideoAudio,
         {{other, 0, 2}, {tone, 0, 3}},
         {"name out", "forward", "row 0", "forward", "row 0", "forward"},
         "out.avi",
         3.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> names;
        for (const JobFragment& fragment : c.fragments) {
            if (std::find(names.begin(), names.end(), fragment.path) != names.end()) continue;
            names.push_back(fragment.path);
            std::remove(fragment.path.c_str());
            const std::string original = made + fragment.path.substr(fragment.path.rfind('/'));
            ASSERT_EQ(link(original.c_str(), fragment.path.c_str()), 0);
        }
        std::remove(env_.Path(c.written).c_str());
        CapturedMessages messages;
        const std::string job = env_.Path("KORCP.SPF");
        TempEnvironment::WriteFile(job, JobBytes(c.kind, c.fragments));
        JobObject object;
        WizardState state;
        ASSERT_EQ(LoadJobFile(job, object, state), JobLoad::Loaded);
        SwappingPages pages(c.script, names);
        int code = -1;
        bool opened = false;
        {
            FifoWatch watch(names);
            code = CJobRunner(pages, Catalogue()).RunJob(object, state);
            opened = watch.opened;
        }
        EXPECT_TRUE(pages.swapped);
        EXPECT_FALSE(opened) << "a FIFO put over an input's name was opened";
        ASSERT_EQ(code, 0) << (messages.shown.empty() ? "" : messages.shown[0].text);
        media::MediaProbe probe;
        media::MediaFacts facts;
        ASSERT_TRUE(probe.Probe(env_.Path(c.written), facts)) << probe.LastError();
        EXPECT_NEAR(facts.duration, c.seconds, 0.2);
    }
}

}  // namespace
