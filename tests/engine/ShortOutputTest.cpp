// Outputs that cannot be whole. An input cut short while korc reads it ends its stream early,
// and the graph still reaches its end: the output then holds less than was asked for. A disk
// that fills up stops the writer. Each is a failure, said once with the file and the cause,
// and the short file never takes the output's name.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "CapturedMessages.h"
#include "SharedCatalogue.h"
#include "engine/JobObject.h"
#include "engine/JobRunner.h"
#include "engine/KorcApp.h"
#include "engine/ScriptedPageDriver.h"
#include "engine/WizardState.h"
#include "support/MediaGenerator.h"
#include "support/TempEnvironment.h"

namespace {

// The script's pages, then the input cut to a part of its bytes as the graph starts.
class TruncatingPages : public IPageDriver {
public:
    TruncatingPages(std::vector<std::string> script, std::string input, double keep)
        : pages_(Catalogue(), std::move(script)), input_(std::move(input)), keep_(keep) {}
    PageResult ShowPage(WizardPageId page, WizardState& state) override {
        return pages_.ShowPage(page, state);
    }
    bool RunInBackground(WizardState& state, const BackgroundWork& work) override {
        return pages_.RunInBackground(state, work);
    }
    ProgressOutcome RunProgress(WizardState& state, const ProgressGraph& graph) override {
        const off_t size = static_cast<off_t>(TempEnvironment::ReadFile(input_).size());
        if (keep_ < 1.0) {
            EXPECT_EQ(::truncate(input_.c_str(), off_t(size * keep_)), 0);
        }
        return pages_.RunProgress(state, graph);
    }

private:
    CScriptedPageDriver pages_;
    std::string input_;
    double keep_;
};

// The job of one fragment, 2 to 18 s of the input; korc's exit code.
int RunFrom2To18(IPageDriver& pages, JobKind kind, const std::string& input) {
    JobObject job;
    job.paths[0] = input;
    job.start = 2;
    job.end = 18;
    WizardState state;
    state.jobKind = static_cast<int32_t>(kind);
    state.effects = DefaultEffectParams();
    state.inputFragments = {{input, 2, 18}};
    return CJobRunner(pages, Catalogue()).RunJob(job, state);
}

class ShortOutputTest : public TempFolderTest {};

TEST_F(ShortOutputTest, AnInputCutWhileItIsReadFailsTheJobAndLeavesNoOutput) {
    const std::string out = env_.Path("out");
    ASSERT_EQ(mkdir(out.c_str(), 0700), 0);
    struct Case {
        const char* what;
        JobKind kind;
        const char* input;
        std::vector<std::string> script;
        double keep;  // of the input's bytes
        const char* written;
    };
    const Case cases[] = {
        {"extract audio, whole",
         JobKind::ExtractAudio,
         "tone.wav",
         {"name cut", "folder " + out, "forward", "row 0", "forward"},
         1.0,
         "cut.wav"},
        {"extract audio",
         JobKind::ExtractAudio,
         "tone.wav",
         {"name cut", "folder " + out, "forward", "row 0", "forward"},
         0.4,
         nullptr},
        {"extract audio to MP3",
         JobKind::ExtractAudio,
         "tone.wav",
         {"name cut", "folder " + out, "click 211", "forward", "forward"},
         0.4,
         nullptr},
        {"merge video",
         JobKind::MergeVideo,
         "clip.avi",
         {"name joined", "folder " + out, "forward", "row 0", "forward", "row 0", "forward"},
         0.4,
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string input = env_.Path(c.input);
        if (c.kind == JobKind::MergeVideo)
            ASSERT_TRUE(media::MakeAvi(input, {.seconds = 20.0, .width = 64, .height = 48}));
        else
            ASSERT_TRUE(media::MakeWav(input, {.seconds = 20.0, .rate = 22050, .channels = 1}));
        for (const std::string& name : TempEnvironment::Names(out))
            std::remove((out + "/" + name).c_str());
        CapturedMessages messages;
        TruncatingPages pages(c.script, input, c.keep);
        const int exitCode = RunFrom2To18(pages, c.kind, input);
        if (c.written) {
            EXPECT_EQ(exitCode, 0);
            EXPECT_TRUE(messages.shown.empty()) << messages.shown[0].text;
            EXPECT_EQ(TempEnvironment::Names(out), std::vector<std::string>{c.written});
            continue;
        }
        EXPECT_EQ(exitCode, kExitJobFailed);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].caption, "Kalvor");
        EXPECT_NE(messages.shown[0].text.find("of the 16 seconds"), std::string::npos)
            << messages.shown[0].text;
        EXPECT_TRUE(TempEnvironment::Names(out).empty()) << "a short output was kept";
    }
}

TEST_F(ShortOutputTest, AFullDiskDuringAnMp3JobNamesTheMp3AndTheCause) {
    const std::string input = env_.Path("tone.wav"), out = env_.Path("out");
    ASSERT_EQ(mkdir(out.c_str(), 0700), 0);
    ASSERT_TRUE(media::MakeWav(input, {.seconds = 20.0, .rate = 44100, .channels = 2}));
    CapturedMessages messages;
    CScriptedPageDriver pages(Catalogue(),
                              {"name cut", "folder " + out, "click 211", "forward", "forward"});
    int exitCode = -1;
    // 16 s of MP3 at 128 kbit/s is some 256 KB; the disk takes 100 KB.
    TempEnvironment::WithFileSizeLimit(100 * 1024, [&] {
        exitCode = RunFrom2To18(pages, JobKind::ExtractAudio, input);
        return true;
    });
    EXPECT_EQ(exitCode, kExitJobFailed);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "Kalvor");
    EXPECT_NE(messages.shown[0].text.find("Cannot write the MP3 file " + out +
                                          "/cut.mp3: " + std::strerror(EFBIG)),
              std::string::npos)
        << messages.shown[0].text;
    EXPECT_TRUE(TempEnvironment::Names(out).empty());
}

}  // namespace
