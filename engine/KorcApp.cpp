#include "engine/KorcApp.h"

#include <cstdio>

#include "engine/JobLoader.h"
#include "engine/JobObject.h"
#include "engine/WizardState.h"

int CKORCApp::InitInstance(const std::vector<std::string>& args) {
    JobObject job;
    WizardState state;
    // The player reads nothing back, so standard error is the only place to say why.
    std::string why;
    if (LoadJobFile(KorcCommandLine(args), job, state, &why) != JobLoad::Loaded) {
        std::fprintf(stderr, "korc: %s\n", why.c_str());
        if (refused_) refused_(why);
        return kExitNoJob;
    }
    if (!runner_) {
        std::fprintf(stderr, "korc: no job runner was given\n");
        return kExitNoRunner;
    }
    return runner_->RunJob(job, state);
}
