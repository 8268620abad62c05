#pragma once

// The steps of opening a file that belong to full screen: the display modes. Optional; an
// absent hook's steps are skipped.

class IDisplayModeSwitch {
public:
    virtual ~IDisplayModeSwitch() = default;
    // Puts the desktop's display mode back when full screen had switched it.
    virtual void RestoreDisplayMode() = 0;
    // Switches to the chosen full-screen mode when in full screen and not switched yet.
    virtual void SwitchDisplayMode() = 0;
};
