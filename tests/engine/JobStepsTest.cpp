// A job's run decides whether its output survives: a run the dialog reports as failed, or one
// it finished while marking the job failed, must leave no output, and only a whole or stopped
// run may be committed.

#include <gst/gst.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

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
    WizardState seen;

private:
    ProgressOutcome outcome_;
    int32_t failedByRun_;
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
