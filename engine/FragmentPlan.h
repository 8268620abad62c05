#pragma once

// Where a job's fragments go on its timeline: each checked against its input, cut to the
// input's length, and placed one after the other.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "engine/WizardState.h"

struct PlacedFragment {
    size_t index = 0;      // in the job's fragment list
    double start = 0.0;    // on the timeline
    double inPoint = 0.0;  // in the input
    double duration = 0.0;
};

struct FragmentPlan {
    std::vector<PlacedFragment> placed;
    double length = 0.0;  // of the timeline
    std::string error;    // set when a fragment's range is not usable; nothing is placed then
};

// fragments: the job's ranges; lengths: each input's length in seconds (0 when unknown);
// used: which fragments go on the timeline (those with the stream the job writes). A start
// below 0 or an end not after the start refuses the job; an end past the input's length is
// cut to it; a fragment that is empty after the cut is dropped.
FragmentPlan PlanFragments(const std::vector<InputFragment>& fragments,
                           const std::vector<double>& lengths, const std::vector<uint8_t>& used);
