#pragma once

// The video window as the effect controls see it: its live block, its apply operation and
// the open video's size.

#include "player/playback/EffectTarget.h"

class CKalvorMovie;

class MovieEffectTarget : public IEffectTarget {
public:
    explicit MovieEffectTarget(CKalvorMovie& movie) : movie_(movie) {}

    EffectParams& Effects() override;
    int ApplyEffect(int code) override;
    int32_t VideoWidth() const override;
    int32_t VideoHeight() const override;
    void AfterToolHidden() override;

private:
    CKalvorMovie& movie_;
};
