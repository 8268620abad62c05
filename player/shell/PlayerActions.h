#pragma once

// The main window's help, built apart from it. Until one is set, help shows nothing.

class IPlayerActions {
public:
    virtual ~IPlayerActions() = default;
    virtual void ShowHelp(int contextId) = 0;
};
