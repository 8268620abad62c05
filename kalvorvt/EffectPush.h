#pragma once

// How the effect block reaches the effects element: one group at a time, or the whole
// block in the fixed order both programs use when a graph is built.

#include <string>

#include "common/EffectParams.h"
#include "kalvorvt/IKalvorVT.h"

// Calls the one operation of the group with the block's fields (zoomActive as stored).
void SendEffectGroup(IKalvorVT& control, const EffectParams& params, EffectCode code);

// Every group in order, with the filter mode after hue/saturation: the loop both
// programs share.
void PushEffectGroups(IKalvorVT& control, const EffectParams& params, int32_t filterMode);

// The player's push at every open: the groups, then subtitles on, Apply, the frame rate,
// and subtitles "none" until a subtitle file is loaded.
void PushEffectBlock(IKalvorVT& control, const EffectParams& params, int32_t filterMode,
                     double frameRate);

// korc's push for a job: the groups with filter mode 1, subtitles shown only when the job
// names a file, Apply, the frame rate, then that file.
void PushJobEffectBlock(IKalvorVT& control, const EffectParams& params, double frameRate,
                        const std::string& subtitlesPath);
