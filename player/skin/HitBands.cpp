#include "player/skin/HitBands.h"

#include <algorithm>

int HitBands::Band(int64_t x) const {
    if (width_ <= 0 || x < 0 || x >= width_) return -1;
    return static_cast<int>(x * kBands / width_);
}

void HitBands::Add(int button, int32_t x, int32_t width) {
    if (width_ <= 0) return;
    // 64-bit: positions and widths come from a skin's text and may be anything.
    const int64_t left = int64_t{x} * kBands / width_;
    const int64_t right = (int64_t{x} + std::max<int32_t>(width, 0)) * kBands / width_;
    const int64_t first = std::clamp<int64_t>(left, 0, kBands - 1);
    const int64_t last = std::clamp<int64_t>(first + (right - left), first, kBands - 1);
    for (int64_t band = first; band <= last; ++band) lists_[band].push_back(button);
}
