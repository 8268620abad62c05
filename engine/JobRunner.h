#pragma once

// korc's job runner: prepares the run's state, dispatches on the job kind, runs one job and
// gives the process's exit code.

#include "engine/CodecCatalogue.h"
#include "engine/KorcApp.h"
#include "engine/PageDriver.h"

class CJobRunner : public IJobRunner {
public:
    CJobRunner(IPageDriver& pages, const CodecCatalogue& catalogue)
        : pages_(pages), catalogue_(catalogue) {}

    // 0 after a job done, stopped by the user or cancelled on a page; otherwise non-zero.
    int RunJob(JobObject& job, WizardState& state) override;

private:
    void Prologue(const JobObject& job, WizardState& state);
    int ExtractImage(const JobObject& job, WizardState& state);

    IPageDriver& pages_;
    const CodecCatalogue& catalogue_;
};
