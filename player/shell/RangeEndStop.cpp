#include "player/shell/RangeEndStop.h"

#include <algorithm>
#include <cmath>

namespace {

// Truncation toward zero, for values that may be damaged.
int64_t Whole(double value) {
    if (!std::isfinite(value) || std::fabs(value) > 1e15) return INT64_MIN / 2;
    return static_cast<int64_t>(value);
}

}  // namespace

bool RangeEndStop::Check(double rangeEnd, double position, int64_t now, double rate) {
    if (countdown_ != 0 || rangeEnd < 0.0) return false;
    const int64_t end = Whole(rangeEnd), at = Whole(position);
    if (end != at + 1 && end != at) return false;
    const int64_t media = Whole(rangeEnd * 100.0) - Whole(position * 100.0);
    if (media <= 0) return false;
    // The wall-clock hundredths until the medium gets there; never less than one tick.
    if (!std::isfinite(rate) || rate <= 0.0) rate = 1.0;
    const int64_t rest = std::max<int64_t>(1, std::llround(static_cast<double>(media) / rate));
    countdown_ = rest;
    remaining_ = rest;
    start_ = now;
    return true;
}

bool RangeEndStop::Tick(int64_t now) {
    if (countdown_ > 0) --countdown_;
    if (start_ + remaining_ < now) countdown_ = 0;
    return countdown_ == 0;
}
