#include "player/playback/ZoomSteps.h"

#include <algorithm>
#include <cmath>

namespace zoomsteps {

namespace {

// One axis held inside 0..full - 1 with a size of at least 1.
void Normalize(int32_t& start, int32_t& size, int32_t full) {
    const int32_t last = full - 1;
    start = std::clamp(start, 0, last - 1);
    size = std::clamp(size, 1, last - start);
}

// The area's side grows or shrinks to wanted about its centre; what one end cannot take,
// the other end takes.
void Resize(int32_t& start, int32_t& size, int32_t wanted, int32_t full) {
    if (wanted >= full - 1) {
        // Halving an odd change would leave a pixel out: "Zoom Out" is the whole picture.
        start = 0;
        size = full - 1;
        return;
    }
    const int32_t d = (wanted - size) / 2;
    int32_t a = d;  // the left (top) end's share
    int32_t b = d;  // the right (bottom) end's share
    if (start < a) {
        size += start;
        a -= start;
        start = 0;
    } else {
        size += a;
        start -= a;
        a = 0;
    }
    const int32_t room = full - start - size - 1;
    if (room < b) {
        b -= room;
        size = full - start - 1;
    } else {
        size += b;
        b = 0;
    }
    if (start < b) {
        size += start;
        start = 0;
    } else {
        size += b;
        start -= b;
    }
    if (full - start - 1 - size < a) {
        size = full - start - 1;
    } else {
        size += a;
    }
    Normalize(start, size, full);
}

int32_t Wanted(int32_t position, int32_t full) {
    const int32_t g = kBarMaximum - std::clamp(position, 0, kBarMaximum);
    const double side = std::trunc(g / double{kBarMaximum} * (full - 1));
    return std::max(1, static_cast<int32_t>(side));
}

}  // namespace

ZoomArea FromParams(const EffectParams& params) {
    return {params.zoomLeft, params.zoomTop, params.zoomWidth, params.zoomHeight};
}

void ToParams(EffectParams& params, const ZoomArea& area) {
    params.zoomLeft = area.left;
    params.zoomTop = area.top;
    params.zoomWidth = area.width;
    params.zoomHeight = area.height;
}

bool CanZoom(int32_t videoWidth, int32_t videoHeight) {
    return videoWidth >= 2 && videoHeight >= 2;
}

int32_t BarPosition(const ZoomArea& area, int32_t videoWidth, int32_t videoHeight) {
    if (!CanZoom(videoWidth, videoHeight)) return 0;
    const double share =
        (double(area.width) / (videoWidth - 1) + double(area.height) / (videoHeight - 1)) / 2;
    const double position = std::trunc(kBarMaximum * (1 - share));
    return static_cast<int32_t>(std::clamp(position, 0.0, double{kBarMaximum}));
}

ZoomArea KeepInside(ZoomArea area, int32_t videoWidth, int32_t videoHeight) {
    if (!CanZoom(videoWidth, videoHeight)) return area;
    area.left = std::min(area.left, videoWidth - 1);
    area.top = std::min(area.top, videoHeight - 1);
    if (area.left + area.width > videoWidth - 1) area.width = videoWidth - 1 - area.left;
    if (area.top + area.height > videoHeight - 1) area.height = videoHeight - 1 - area.top;
    Normalize(area.left, area.width, videoWidth);
    Normalize(area.top, area.height, videoHeight);
    return area;
}

ZoomArea StepTo(ZoomArea area, int32_t position, int32_t videoWidth, int32_t videoHeight) {
    if (!CanZoom(videoWidth, videoHeight)) return area;
    area = KeepInside(area, videoWidth, videoHeight);
    Resize(area.left, area.width, Wanted(position, videoWidth), videoWidth);
    Resize(area.top, area.height, Wanted(position, videoHeight), videoHeight);
    return area;
}

namespace {

int32_t ClampStart(int32_t value, int32_t size, int32_t full) {
    return std::clamp(value, 0, std::max(0, full - size - 1));
}

int32_t ClampSize(int32_t value, int32_t start, int32_t full) {
    return std::clamp(value, 1, std::max(1, full - start - 1));
}

}  // namespace

ZoomArea SetLeft(ZoomArea area, int32_t value, int32_t videoWidth) {
    if (videoWidth >= 2) area.left = ClampStart(value, area.width, videoWidth);
    return area;
}

ZoomArea SetTop(ZoomArea area, int32_t value, int32_t videoHeight) {
    if (videoHeight >= 2) area.top = ClampStart(value, area.height, videoHeight);
    return area;
}

ZoomArea SetWidth(ZoomArea area, int32_t value, int32_t videoWidth) {
    if (videoWidth >= 2) area.width = ClampSize(value, area.left, videoWidth);
    return area;
}

ZoomArea SetHeight(ZoomArea area, int32_t value, int32_t videoHeight) {
    if (videoHeight >= 2) area.height = ClampSize(value, area.top, videoHeight);
    return area;
}

ZoomArea SpinVertical(ZoomArea area, int32_t step, int32_t videoHeight) {
    const int64_t top = int64_t{area.top} + step;
    if (top >= 0 && top + area.height <= videoHeight - 1) area.top = static_cast<int32_t>(top);
    return area;
}

ZoomArea SpinHorizontal(ZoomArea area, int32_t step, int32_t videoWidth) {
    const int64_t left = int64_t{area.left} - step;
    if (left >= 0 && left + area.width <= videoWidth - 1) area.left = static_cast<int32_t>(left);
    return area;
}

}  // namespace zoomsteps
