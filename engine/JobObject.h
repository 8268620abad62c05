#pragma once

// One korc run's job: the current fragment (the last one read), the output and scratch
// path slots that the pages and the runner fill, the logo and the subtitle file.

#include <array>
#include <cstdint>
#include <string>

struct WizardState;

class JobObject {
public:
    static constexpr int kPathSlots = 6;  // 0 the current input; 1-5 the runner's outputs and scratch files

    double end = 0.0;
    double start = 0.0;
    std::array<std::string, kPathSlots> paths;
    int32_t logoX = 0;
    int32_t logoY = 0;
    std::string logoPath;
    std::string subtitlesPath;

    // Appends the current fragment (slot 0, start, end) to the state's fragment table.
    int AddInputFragment(WizardState& state) const;
    // The runner's end-of-job hook.
    int Finish() { return 0; }
};
