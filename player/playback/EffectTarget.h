#pragma once

// What the effect controls need of the video window: its live effect block, its apply
// operation (the only way to the effects element), the open video's size, and its place on
// top once the controls hide in full screen. The player's is MovieEffectTarget; tests record.

#include <cstdint>

#include "common/EffectParams.h"

class IEffectTarget {
public:
    virtual ~IEffectTarget() = default;
    virtual EffectParams& Effects() = 0;
    virtual int ApplyEffect(int code) = 0;
    virtual int32_t VideoWidth() const = 0;
    virtual int32_t VideoHeight() const = 0;
    // The controls were hidden: in full screen the video window goes back on top.
    virtual void AfterToolHidden() = 0;
};
