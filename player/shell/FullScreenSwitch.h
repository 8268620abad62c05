#pragma once

// Entering and leaving full screen, built with the video window's geometry. Without one,
// the player stays windowed.

class IFullScreenSwitch {
public:
    virtual ~IFullScreenSwitch() = default;
    virtual void ToggleFullScreen() = 0;
    // The windows shown over the full-screen picture go back, before leaving it for a
    // medium without a picture or after a failed open.
    virtual void TakeBackRevealedWindows() = 0;
};
