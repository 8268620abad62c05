#pragma once

// Splices the effects element into a job's video path: upstream ! "KRVTColour Space" !
// "KalvorVT" ! downstream, with the job's effect block and subtitle file.

#include <gst/gst.h>

#include "engine/JobObject.h"
#include "engine/WizardState.h"

inline constexpr char kSubtitleConverterName[] = "KRVTColour Space";
inline constexpr char kEffectsFilterName[] = "KalvorVT";

enum class SubtitleInsert {
    Inserted,   // the video runs through the effects element
    Bypassed,   // the insert failed (reported); upstream is linked straight to downstream
    Failed,     // not even that link could be made (reported)
};

// Whether the splice would change a picture: effects that are not neutral on the job's output
// frames (filter mode 1, the output size), or a subtitle file. Without either the element
// would only pass the frames on, and the video goes to its encoder as it is.
bool JobChangesPictures(const JobObject& job, const WizardState& state);

// frameRate: what the element's subtitle clock counts frames by (0 for a still image).
// The element looks cues up at its frames' own stream time plus clockOffset seconds, set
// once here: an extracted fragment's output counts from 0 while its cues count in the
// input's time. Nothing else moves the clock, so the cues do not depend on how fast the
// job runs.
SubtitleInsert InsertSubtitleFilter(const JobObject& job, const WizardState& state, GstBin* graph,
                                    GstPad* upstream, GstPad* downstream, double frameRate,
                                    double clockOffset = 0.0);
