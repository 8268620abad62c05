#pragma once

// Grabs the decoded frame shown at a chosen time of a file, after the job's effects, as a
// 24-bit bottom-up frame block. Every wait is bounded: a file that does not decode, has no
// video or ends before the time comes back as a failure with its reason.

#include <string>

#include "engine/BmpFile.h"

class JobObject;
struct WizardState;

inline constexpr int kGrabWaitMs = 10000;

enum class GrabResult {
    Grabbed,
    NoVideo,   // the file has no video stream
    Reported,  // its video could not be linked; the effects splice said why
    Failed,    // error holds why
};

// waitMs bounds each wait on the graph (its demuxer ready to be sought, the picture).
GrabResult GrabFrame(const JobObject& job, const WizardState& state, const std::string& inputPath,
                     double seconds, FrameBlock* frame, std::string* error,
                     int waitMs = kGrabWaitMs);
