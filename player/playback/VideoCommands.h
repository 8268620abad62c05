#pragma once

// The video window's menu commands as one table: each entry's id, label and what it does
// (a main-window command, an aspect mode, a zoom, a playback rate, the media information).
// The context menu is built from it and every choice is dispatched through it.

#include <cstdint>
#include <optional>
#include <span>

namespace videocommands {

enum class Kind : uint8_t {
    Execute,     // the main window's ExecuteCommand(button, code)
    Aspect,      // aspectMode := a
    Zoom,        // a/b of the source size
    RateSet,     // rate := value
    RateScale,   // rate := rate * value
    Properties,  // the media information box
    SubMenu,     // opens a sub-menu; chosen on its own it does nothing
};

struct Command {
    int32_t id;
    const char* label;
    Kind kind;
    int a;
    int b;
    double value;
    int icon;  // the icon's resource number; 0 for none
};

inline constexpr int32_t kPlay = 5001, kStop = 5002, kPause = 5003, kNext = 5004, kPrevious = 5005,
                         kOpen = 5006, kLoadSubtitles = 5007, kFullscreen = 5008,
                         kAspectMenu = 5009, kEffectControls = 5010, kOptions = 5011,
                         kRateMenu = 5012, kProperties = 5013, kExit = 5014, kBegin = 5015,
                         kEnd = 5016, kOriginal = 5017, kWide = 5018, kStandard = 5019,
                         kCustom = 5020, kQuarterSize = 5021, kHalfSize = 5022, kSourceSize = 5023,
                         kDoubleSize = 5024, kTripleSize = 5025, kQuadrupleSize = 5026,
                         kHalfRate = 5027, kNormalRate = 5028, kDoubleRate = 5029,
                         kFasterRate = 5030, kSlowerRate = 5031, kFitToScreen = 5032;

// What the graph accepts as a playback rate.
inline constexpr double kMinRate = 0.1;
inline constexpr double kMaxRate = 8.0;

std::span<const Command> Commands();
const Command* Find(int32_t id);

// The menu entry that shows an aspect mode; a mode that is not one of the five shows as
// "Fit to screen", which is how it acts.
int32_t AspectItem(int32_t aspectMode);

// The rate a rate command leads to from current, kept within kMinRate..kMaxRate; none for
// other commands.
std::optional<double> RateAfter(const Command& command, double current);

}  // namespace videocommands
