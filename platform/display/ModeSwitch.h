#pragma once

// Switching the screen to the full-screen display mode and putting back the one it showed.
// A change of mode outlives the process on X, so whoever switches must restore: the X
// switcher also restores when it goes. X cannot change the depth; a mode is chosen by its
// size and refresh rate only.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/display/DisplayModes.h"

namespace displaymode {

// The index of the mode of exactly width x height whose rate is nearest refresh (the first
// of equals); nothing when no mode has that size.
std::optional<size_t> Nearest(const std::vector<DisplayMode>& modes, int width, int height,
                              int refresh);

}  // namespace displaymode

class IModeSwitch {
public:
    virtual ~IModeSwitch() = default;
    // True when the screen shows a mode of that size afterwards. While switched, a second
    // call changes nothing and keeps the mode to restore.
    virtual bool Switch(int width, int height, int refresh) = 0;
    // Puts back the mode found by the first Switch; one attempt, then not switched any more.
    virtual bool Restore() = 0;
    virtual bool Switched() const = 0;
};

// Switches the CRTC of the primary output (else of the first connected output that shows
// something), on a connection of its own opened for each call (DISPLAY, or the given name).
// The screen's size follows the mode when that CRTC is the only one in use.
class XRandrModeSwitch : public IModeSwitch {
public:
    explicit XRandrModeSwitch(std::string displayName = {});
    ~XRandrModeSwitch() override;
    XRandrModeSwitch(const XRandrModeSwitch&) = delete;
    XRandrModeSwitch& operator=(const XRandrModeSwitch&) = delete;

    bool Switch(int width, int height, int refresh) override;
    bool Restore() override;
    bool Switched() const override { return saved_.has_value(); }

private:
    // What the screen showed before the switch.
    struct Saved {
        unsigned long crtc = 0;
        unsigned long mode = 0;
        int x = 0, y = 0;
        int rotation = 0;
        std::vector<unsigned long> outputs;
        int screenWidth = 0, screenHeight = 0;
        int screenWidthMm = 0, screenHeightMm = 0;
    };

    std::string displayName_;
    std::optional<Saved> saved_;
};
