#pragma once

// How the effect block reaches the effects element: one group at a time, or the whole
// block in the fixed order both programs use when a graph is built.

#include "common/EffectParams.h"
#include "kalvorvt/IKalvorVT.h"

// Calls the one operation of the group with the block's fields (zoomActive as stored).
void SendEffectGroup(IKalvorVT& control, const EffectParams& params, EffectCode code);

// Every group in order with the filter mode after hue/saturation, then subtitles off,
// Apply, the frame rate, and subtitles "none" until a subtitle file is loaded.
void PushEffectBlock(IKalvorVT& control, const EffectParams& params, int32_t filterMode,
                     double frameRate);
