#pragma once

// The main window's actions that are built apart from it: the command dispatcher, help,
// the play-range timer and what follows the end of a medium. Until one is set, these
// actions do nothing.

class IPlayerActions {
public:
    virtual ~IPlayerActions() = default;
    // button 0..6: a fixed skin button; 7 or more: code is the extra command.
    virtual void ExecuteCommand(int button, int code) = 0;
    virtual void ShowHelp(int contextId) = 0;
    virtual void StopRangeEndTimer() = 0;
    virtual void AfterEndOfMedia() = 0;
};
