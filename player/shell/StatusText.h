#pragma once

// The texts of the on-screen tip: the title and time, the volume in per cent, the repeat
// mode.

#include <cstdint>
#include <string>

namespace statustext {

enum Kind : int { kTitleAndTime = 0, kVolume = 1, kRepeat = 2 };

// "Volume - 29%": the volume (0..1) in whole per cent, rounded.
std::string VolumeText(double volume);
// "Repeat All", "Repeat One" or "Repeat Off".
std::string RepeatText(int32_t repeatMode);
// The text of kind; title and time are the main window's as they show now.
std::string Text(int kind, const std::string& title, const std::string& time, double volume,
                 int32_t repeatMode);

}  // namespace statustext
