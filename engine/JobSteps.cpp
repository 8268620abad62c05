#include "engine/JobSteps.h"

#include "engine/GraphError.h"
#include "platform/media/StateWait.h"

namespace {

constexpr char kRunCaption[] = "Kalvor Wizard - Media Processing";

}  // namespace

JobEnd FailJob(WizardState& state, OutputFile& output, const std::string& text) {
    ReportGraphError(state.ownerWindow, text);
    state.jobFailed = 1;
    output.Discard();
    return JobEnd::Failed;
}

ProgressOutcome RunJobGraph(IPageDriver& pages, WizardState& state, const ProgressGraph& graph,
                            const std::string& destination, int64_t progressBase,
                            OutputFile& output) {
    state.progressBase = progressBase;
    state.autoClose = 0;
    state.stepCaption = kRunCaption;
    state.destination = destination;
    const ProgressOutcome outcome = pages.RunProgress(state, graph);
    media::ForceNull(graph.pipeline);
    if (outcome == ProgressOutcome::Failed || state.jobFailed == 1) {
        output.Discard();
        state.jobFailed = 1;
        return ProgressOutcome::Failed;
    }
    return outcome;
}
