#pragma once

// The video window's effect controls: a small dialog of sliders over the effect block.
// Created hidden at start-up, with the video window as its parent; its controls and
// behaviour are built on this window.

#include <QDialog>

#include "player/shell/PlaybackWindow.h"

class CEffectControls : public QDialog {
    Q_OBJECT
public:
    CEffectControls(IPlaybackWindow* movie, QWidget* parent);
    ~CEffectControls() override;

    IPlaybackWindow* Movie() const { return movie_; }

private:
    IPlaybackWindow* movie_;
};
