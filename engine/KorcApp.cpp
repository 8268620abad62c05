#include "engine/KorcApp.h"

#include <cstdio>

#include "engine/JobLoader.h"
#include "engine/JobObject.h"
#include "engine/WizardState.h"

int CKORCApp::InitInstance(const std::vector<std::string>& args) {
    JobObject job;
    WizardState state;
    // A run without a readable job ends silently: the player reads nothing back.
    if (LoadJobFile(KorcCommandLine(args), job, state) != JobLoad::Loaded) return kExitNoJob;
    if (!runner_) {
        std::fprintf(stderr, "korc: this build cannot run jobs yet\n");
        return kExitNoRunner;
    }
    return runner_->RunJob(job, state);
}
