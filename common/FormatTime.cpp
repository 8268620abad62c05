#include "common/FormatTime.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

std::string FormatTime(double seconds) {
    // Values come from playlist files too; anything a conversion to an integer could not
    // hold is shown as no time rather than converted.
    if (!(seconds >= 0.0) || !std::isfinite(seconds)) return std::string(8, ' ');
    constexpr double kLimit = 9.0e18;
    const int64_t whole =
        seconds < kLimit ? static_cast<int64_t>(seconds) : int64_t{9000000000000000000};
    char text[40];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(whole / 3600),
                  static_cast<long long>(whole % 3600 / 60), static_cast<long long>(whole % 60));
    return text;
}
