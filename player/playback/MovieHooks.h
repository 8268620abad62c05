#pragma once

// The steps of opening a file that belong to other parts of the video window: full-screen
// display modes and picture geometry. Each is optional; an absent
// hook's step is skipped.

class IDisplayModeSwitch {
public:
    virtual ~IDisplayModeSwitch() = default;
    // Puts the desktop's display mode back when full screen had switched it.
    virtual void RestoreDisplayMode() = 0;
    // Switches to the chosen full-screen mode when in full screen and not switched yet.
    virtual void SwitchDisplayMode() = 0;
};

class IVideoGeometry {
public:
    virtual ~IVideoGeometry() = default;
    virtual void FitVideoRect(int mode) = 0;
    virtual void SetVideoWindowPosition() = 0;
};
