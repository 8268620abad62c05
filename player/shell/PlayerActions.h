#pragma once

// The main window's actions that are built apart from it: help and the play-range end
// timer. Until one is set, these actions do nothing.

class IPlayerActions {
public:
    virtual ~IPlayerActions() = default;
    virtual void ShowHelp(int contextId) = 0;
    virtual void StopRangeEndTimer() = 0;
};
