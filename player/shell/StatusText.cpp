#include "player/shell/StatusText.h"

#include <algorithm>
#include <cmath>

namespace statustext {

// Rounded: 0.29 is stored as 0.28999..., which a plain cut shows as 28.
std::string VolumeText(double volume) {
    const double percent = std::isfinite(volume) ? std::clamp(volume, 0.0, 1.0) * 100.0 : 0.0;
    return "Volume - " + std::to_string(std::lround(percent)) + "%";
}

std::string RepeatText(int32_t repeatMode) {
    switch (repeatMode) {
        case 1:
            return "Repeat One";
        case 2:
            return "Repeat Off";
        default:
            return "Repeat All";
    }
}

std::string Text(int kind, const std::string& title, const std::string& time, double volume,
                 int32_t repeatMode) {
    switch (kind) {
        case kVolume:
            return VolumeText(volume);
        case kRepeat:
            return RepeatText(repeatMode);
        default:
            return title + "   " + time;
    }
}

}  // namespace statustext
