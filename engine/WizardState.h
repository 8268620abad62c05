#pragma once

// The state of one korc run, shared by the job loader, the runner, the wizard pages, the
// progress dialog and the graph helpers. One object, passed by reference.

#include <cstdint>
#include <string>
#include <vector>

#include "common/JobFile.h"

// One input fragment of the job, in file order.
struct InputFragment {
    std::string path;
    double start = 0.0;
    double end = 0.0;
};

struct WizardState {
    JobHeader header{};
    EffectParams effects{};
    std::vector<JobFragmentRecord> fragmentRecords;
    int32_t jobKind = 0;
    uint32_t ownerWindow = 0;  // the player's window (X11 id), owner of every dialog; 0 for none
    std::vector<InputFragment> inputFragments;  // the InputFragmentTable
};
