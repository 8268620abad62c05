#pragma once

// The video window's apply operation apart from the window: one group of the effect block
// by its code, and whether the change shows only once a paused picture is drawn again.

#include <cstdint>

#include "common/EffectParams.h"
#include "kalvorvt/IKalvorVT.h"

// Sends the group of code (1..27) with the block's fields; the zoom group's zoomActive is
// recomputed and stored first. The font face, size, bold, italic and underline groups are
// followed by Apply. Returns true when the caller must refresh a paused picture; codes out
// of range send nothing and return false.
bool ApplyEffectCode(IKalvorVT& control, EffectParams& params, int32_t code, int32_t videoWidth,
                     int32_t videoHeight);
