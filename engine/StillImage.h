#pragma once

// The extract-image job: the frame at a chosen time of the input, with the job's effects,
// written as a BMP file or as a JPEG made from a temporary BMP.

#include <cstdint>
#include <string>

#include "engine/FrameGrab.h"

class JobObject;
struct WizardState;

// The temporary BMP of a JPEG output: this name with a part of the run's own before ".bmp",
// so that two runs at once do not write one file.
inline constexpr char kTemporaryBmpName[] = "owbmptmp.bmp";
inline constexpr char kNoVideoCaption[] = "Warning";
inline constexpr char kNoVideoText[] = "Video stream was not found!";

enum class StillFormat { Bmp, Jpeg };

struct StillImageRequest {
    std::string inputPath;
    std::string outputPath;
    double seconds = 0.0;  // the frame time in the input
    StillFormat format = StillFormat::Bmp;
    int32_t quality = 95;  // JPEG quality 1-100
};

// Runs the job once the image page was accepted. A failure is reported once, in a box
// owned by the state's owner window, and returned as false; an existing output file is then
// left as it was. waitMs bounds each wait on the decoder.
bool ExtractImageJob(const JobObject& job, const WizardState& state,
                     const StillImageRequest& request, int waitMs = kGrabWaitMs);
