#pragma once

// A list control's owner that lends it a settings record and does nothing else: for tests
// of a list, or of a dialog over one, that need no playlist window.

#include "player/playlist/ListCtrlOwner.h"
#include "player/settings/PlayerSettings.h"

struct QuietListOwner : IListCtrlOwner {
    PlayerSettings settings{};
    PlayerSettings& Settings() override { return settings; }
    void ProbeVisibleDurations() override {}
    void FillTimeFields() override {}
    void UpdateJobButtons() override {}
    void PlaySelected() override {}
    double PlaybackPosition() override { return -1.0; }
    void ShowListMenu(const QPoint&) override {}
    void ResetHoverCaption() override {}
};
