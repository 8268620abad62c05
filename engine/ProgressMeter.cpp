#include "engine/ProgressMeter.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kNsPerSecond = 1e9;

// Truncates toward zero into int32, saturating, with NaN as 0.
int32_t WholeSeconds(double seconds) {
    if (!(seconds == seconds)) return 0;
    if (seconds >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (seconds <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(seconds);
}

}  // namespace

ProgressMeter::ProgressMeter(double start, double end, int64_t baseNs)
    : span_(end - start), baseNs_(baseNs) {
    total_ = span_ > 0 ? WholeSeconds(span_) : 0;
}

int32_t ProgressMeter::Elapsed(int64_t positionNs) const {
    const double seconds =
        (static_cast<double>(positionNs) - static_cast<double>(baseNs_)) / kNsPerSecond;
    int32_t elapsed = WholeSeconds(seconds);
    if (!(span_ > 0)) return 0;
    // Only the end of the graph shows the whole span.
    if (elapsed >= span_) elapsed = WholeSeconds(span_ * 0.985);
    return elapsed < 0 ? 0 : elapsed;
}

std::string ProgressMeter::SavedText(int32_t elapsed) const {
    return "Saved: " + std::to_string(elapsed) + " of " + std::to_string(total_) + " seconds";
}

std::string ProgressMeter::PercentText(int32_t elapsed) const {
    const int32_t percent = span_ > 0 ? WholeSeconds(elapsed / span_ * 100.0) : 0;
    return std::to_string(percent) + "% complete";
}
