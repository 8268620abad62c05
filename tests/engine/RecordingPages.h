#pragma once

// korc's unattended page driver with additions for tests: it notes what each run of the
// progress dialog is given when it begins and which encoders it was asked to show the
// settings of, in order, and it can hold every buffer that reaches the muxer for a while,
// as a slow or busy machine would.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/ScriptedPageDriver.h"

class RecordingPages : public CScriptedPageDriver {
public:
    using CScriptedPageDriver::CScriptedPageDriver;

    struct Run {
        double start = 0.0;
        double end = 0.0;
        int64_t base = 0;
        std::string caption;
        int32_t autoClose = 0;
    };
    std::vector<Run> runs;
    // "settings <encoder factory>" and "run", in the order they came.
    std::vector<std::string> events;
    int holdMs = 0;  // per buffer the muxer gets; 0 holds nothing

    ProgressOutcome RunProgress(WizardState& state, const ProgressGraph& graph) override;
    void ConfigureEncoder(WizardState& state, GstElement* encoder) override;
};
