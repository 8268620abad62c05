#include "kalvorvt/SubtitleClock.h"

#include <algorithm>
#include <cmath>

double SubtitleClock::Frame(double streamSeconds) {
    if (!std::isfinite(streamSeconds)) return streamSeconds;
    lastStream_ = streamSeconds;
    haveFrame_ = true;
    return streamSeconds + offset_;
}

void SubtitleClock::SetPosition(double mediaSeconds) {
    if (!haveFrame_ || !std::isfinite(mediaSeconds)) return;
    const double candidate = mediaSeconds - lastStream_;
    if (std::abs(candidate - offset_) > kTolerance)
        offset_ = candidate;
    else
        offset_ = std::max(offset_, candidate);
}
