#include "player/shell/RangeEndStop.h"

#include <cmath>

namespace {

// Truncation toward zero, for values that may be damaged.
int64_t Whole(double value) {
    if (!std::isfinite(value) || std::fabs(value) > 1e15) return INT64_MIN / 2;
    return static_cast<int64_t>(value);
}

}  // namespace

bool RangeEndStop::Check(double rangeEnd, double position, int64_t now) {
    if (countdown_ != 0 || rangeEnd < 0.0) return false;
    const int64_t end = Whole(rangeEnd), at = Whole(position);
    if (end != at + 1 && end != at) return false;
    const int64_t rest = Whole(rangeEnd * 100.0) - Whole(position * 100.0);
    if (rest <= 0) return false;
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
