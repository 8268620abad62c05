#include "common/FormatTime.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

std::string FormatTime(double seconds) {
    // Values come from playlist files too; anything a conversion to an integer could not
    // hold is no time at all, never a clamped or overflowed one.
    constexpr double kLimit = 9.0e18;
    if (!(seconds >= 0.0) || !(seconds < kLimit)) return std::string(8, ' ');
    const auto whole = static_cast<int64_t>(seconds);
    char text[40];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(whole / 3600),
                  static_cast<long long>(whole % 3600 / 60), static_cast<long long>(whole % 60));
    return text;
}
