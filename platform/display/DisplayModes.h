#pragma once

// The screen's display modes, for the options dialog's full-screen choice. Reading only:
// switching belongs to full screen, which builds on the same mode description.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct DisplayMode {
    int width = 0;
    int height = 0;
    int refresh = 0;  // Hz, rounded
    int bitsPerPixel = 0;
    bool operator==(const DisplayMode&) const = default;
};

namespace displaymode {

// "%dx%d %dHz %d bits", the form the settings' choice is shown and read in.
std::string Format(const DisplayMode& mode);
// The four numbers of that form, as a scanf of it would take them; nothing unless all four
// are there. Numbers past the int range saturate.
std::optional<DisplayMode> Parse(const std::string& text);
// Hz from a mode line: the dot clock over the frame's pixels, a double-scanned mode
// counting its lines twice, an interlaced one half; 0 for an empty frame.
int RefreshRate(uint64_t dotClock, unsigned hTotal, unsigned vTotal, bool doubleScan,
                bool interlace);
// Largest first, each distinct mode once.
void SortModes(std::vector<DisplayMode>& modes);

}  // namespace displaymode

class IDisplayModes {
public:
    virtual ~IDisplayModes() = default;
    // Empty when the display cannot tell.
    virtual std::vector<DisplayMode> Modes() = 0;
};

// The modes of the X screen's connected outputs, through XRandR, on a connection of its
// own opened for each call (DISPLAY, or the given name).
class XRandrDisplayModes : public IDisplayModes {
public:
    explicit XRandrDisplayModes(std::string displayName = {})
        : displayName_(std::move(displayName)) {}
    std::vector<DisplayMode> Modes() override;

private:
    std::string displayName_;
};
