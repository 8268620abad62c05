// A job's run decides whether its output survives: a run the dialog reports as failed, or one
// it finished while marking the job failed, must leave no output, and only a whole or stopped
// run may be committed.

#include <gst/gst.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/JobSteps.h"

namespace {

// Answers the progress dialog with a fixed outcome, as if the run ended so, and notes what
// the dialog was shown.
class FixedProgress : public IPageDriver {
public:
    FixedProgress(ProgressOutcome outcome, int32_t failedByRun)
        : outcome_(outcome), failedByRun_(failedByRun) {}
    PageResult ShowPage(WizardPageId, WizardState&) override { return PageResult::Cancelled; }
    ProgressOutcome RunProgress(WizardState& state, const ProgressGraph& graph) override {
        seen = state;
        gst_element_set_state(graph.pipeline, GST_STATE_PAUSED);
        state.jobFailed = failedByRun_;
        return outcome_;
    }
    bool RunInBackground(WizardState&, const BackgroundWork&) override { return false; }
    WizardState seen;

private:
    ProgressOutcome outcome_;
    int32_t failedByRun_;
};

// Answers the pages in the given order and notes which pages were shown.
class AnsweringPages : public IPageDriver {
public:
    explicit AnsweringPages(std::vector<PageResult> answers) : answers_(std::move(answers)) {}
    PageResult ShowPage(WizardPageId page, WizardState&) override {
        shown.push_back(page);
        return next_ < answers_.size() ? answers_[next_++] : PageResult::Cancelled;
    }
    ProgressOutcome RunProgress(WizardState&, const ProgressGraph&) override {
        return ProgressOutcome::Finished;
    }
    bool RunInBackground(WizardState&, const BackgroundWork&) override { return false; }
    std::vector<WizardPageId> shown;

private:
    std::vector<PageResult> answers_;
    size_t next_ = 0;
};

TEST(JobSteps, OnlyAWholeOrStoppedRunKeepsItsOutputAndTheGraphEndsDown) {
    gst_init(nullptr, nullptr);
    const std::string folder =
        std::filesystem::temp_directory_path() / ("korc-steps-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    struct Case {
        ProgressOutcome dialog;
        int32_t failedByRun;
        ProgressOutcome expected;
    };
    const Case cases[] = {
        {ProgressOutcome::Finished, 0, ProgressOutcome::Finished},
        {ProgressOutcome::Stopped, 0, ProgressOutcome::Stopped},
        {ProgressOutcome::Finished, 1, ProgressOutcome::Failed},
        {ProgressOutcome::Stopped, 1, ProgressOutcome::Failed},
        {ProgressOutcome::Failed, 0, ProgressOutcome::Failed},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(n);
        const std::string path = folder + "/out" + std::to_string(n++) + ".wav";
        OutputFile output;
        std::string error;
        ASSERT_TRUE(output.Create(path, &error)) << error;
        GstElement* pipeline = gst_pipeline_new(nullptr);
        gst_object_ref_sink(pipeline);
        WizardState state;
        state.autoClose = 1;
        FixedProgress pages(c.dialog, c.failedByRun);

        EXPECT_EQ(RunJobGraph(pages, state, {pipeline, nullptr}, path, 7 * GST_SECOND, output),
                  c.expected);

        EXPECT_EQ(pages.seen.progressBase, 7 * GST_SECOND);
        EXPECT_EQ(pages.seen.autoClose, 0);
        EXPECT_EQ(pages.seen.destination, path);
        GstState now = GST_STATE_VOID_PENDING;
        gst_element_get_state(pipeline, &now, nullptr, 0);
        EXPECT_EQ(now, GST_STATE_NULL);
        const bool failed = c.expected == ProgressOutcome::Failed;
        EXPECT_EQ(state.jobFailed, failed ? 1 : 0);
        EXPECT_EQ(std::filesystem::exists(output.TemporaryPath()), !failed);
        if (!failed) {
            EXPECT_TRUE(output.Commit(&error)) << error;
        }
        EXPECT_EQ(std::filesystem::exists(path), !failed);
        gst_object_unref(pipeline);
    }
    std::filesystem::remove_all(folder);
}

}  // namespace

TEST(JobSteps, BackReturnsToThePageShownBeforeAndSkippedCodecPagesAreNeverShown) {
    constexpr auto A = PageResult::Accepted, B = PageResult::Back, C = PageResult::Cancelled;
    constexpr auto F = WizardPageId::Mix, Au = WizardPageId::AudioCodec,
                   V = WizardPageId::VideoCodec;
    struct Case {
        bool audio, video;
        std::vector<PageResult> answers;
        std::vector<WizardPageId> shown;
        JobEnd end;
    };
    const Case cases[] = {
        {true, true, {A, B, A, A, A}, {F, Au, F, Au, V}, JobEnd::Done},
        {true, true, {A, A, B, B, C}, {F, Au, V, Au, F}, JobEnd::Cancelled},
        {false, true, {A, B, A, A}, {F, V, F, V}, JobEnd::Done},
        {true, false, {A, A}, {F, Au}, JobEnd::Done},
        {false, false, {A}, {F}, JobEnd::Done},
        {true, true, {A, C}, {F, Au}, JobEnd::Cancelled},
    };
    for (const Case& c : cases) {
        AnsweringPages pages(c.answers);
        WizardState state;
        const JobEnd end = ShowJobPages(pages, state, F, [&] {
            CodecSteps steps;
            steps.audio = c.audio;
            steps.video = c.video;
            return steps;
        });
        EXPECT_EQ(end, c.end);
        EXPECT_EQ(pages.shown, c.shown);
    }
}
