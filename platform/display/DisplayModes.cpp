#include "platform/display/DisplayModes.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace displaymode {
namespace {

// One "%d": optional blanks, a sign, digits; saturated like strtol, then to int.
bool ScanInt(const char*& p, int& value) {
    while (*p == ' ' || *p == '\t' || *p == '\n') ++p;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(p, &end, 10);
    if (end == p) return false;
    p = end;
    value = static_cast<int>(std::clamp<long>(v, INT_MIN, INT_MAX));
    return true;
}

// A literal of the format; a blank in it matches any run of blanks, none included.
bool ScanLiteral(const char*& p, const char* literal) {
    for (; *literal; ++literal) {
        if (*literal == ' ') {
            while (*p == ' ' || *p == '\t' || *p == '\n') ++p;
        } else if (*p == *literal) {
            ++p;
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string Format(const DisplayMode& m) {
    return std::to_string(m.width) + "x" + std::to_string(m.height) + " " +
           std::to_string(m.refresh) + "Hz " + std::to_string(m.bitsPerPixel) + " bits";
}

std::optional<DisplayMode> Parse(const std::string& text) {
    DisplayMode m;
    const char* p = text.c_str();
    if (ScanInt(p, m.width) && ScanLiteral(p, "x") && ScanInt(p, m.height) && ScanLiteral(p, " ") &&
        ScanInt(p, m.refresh) && ScanLiteral(p, "Hz ") && ScanInt(p, m.bitsPerPixel))
        return m;
    return std::nullopt;
}

int RefreshRate(uint64_t dotClock, unsigned hTotal, unsigned vTotal, bool doubleScan,
                bool interlace) {
    double lines = static_cast<double>(vTotal);
    if (doubleScan) lines *= 2;
    if (interlace) lines /= 2;
    const double pixels = static_cast<double>(hTotal) * lines;
    if (pixels <= 0) return 0;
    return static_cast<int>(std::lround(static_cast<double>(dotClock) / pixels));
}

void SortModes(std::vector<DisplayMode>& modes) {
    auto key = [](const DisplayMode& m) {
        return std::tuple(m.width, m.height, m.refresh, m.bitsPerPixel);
    };
    std::sort(modes.begin(), modes.end(),
              [&](const DisplayMode& a, const DisplayMode& b) { return key(a) > key(b); });
    modes.erase(std::unique(modes.begin(), modes.end()), modes.end());
}

}  // namespace displaymode
