#pragma once

// The zoomed area's arithmetic apart from the dialog: the bar's place for an area, an area
// grown or shrunk about its centre to a bar place, and the clamps of the four edits and
// the two spin buttons. W and H are the video's size in pixels; the area always keeps
// 0 <= left, left + width <= W - 1, width >= 1 (and the same for top, height and H). A
// video under 2 pixels wide or high has no area to choose: the bar rests at 0 and every
// step leaves the area as it is.

#include <cstdint>

#include "common/EffectParams.h"

namespace zoomsteps {

inline constexpr int32_t kBarMaximum = 1000;

struct ZoomArea {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 1;
    int32_t height = 1;
    bool operator==(const ZoomArea&) const = default;
};

ZoomArea FromParams(const EffectParams& params);
void ToParams(EffectParams& params, const ZoomArea& area);

bool CanZoom(int32_t videoWidth, int32_t videoHeight);

// 0 for the whole picture ("Zoom Out"), toward 1000 for smaller areas.
int32_t BarPosition(const ZoomArea& area, int32_t videoWidth, int32_t videoHeight);

// A stored area brought inside the picture before it is shown.
ZoomArea KeepInside(ZoomArea area, int32_t videoWidth, int32_t videoHeight);

// The area after the bar moved to position (0..1000).
ZoomArea StepTo(ZoomArea area, int32_t position, int32_t videoWidth, int32_t videoHeight);

// The edits: each clamps the typed value against the rest of the area and stores it.
ZoomArea SetLeft(ZoomArea area, int32_t value, int32_t videoWidth);
ZoomArea SetTop(ZoomArea area, int32_t value, int32_t videoHeight);
ZoomArea SetWidth(ZoomArea area, int32_t value, int32_t videoWidth);
ZoomArea SetHeight(ZoomArea area, int32_t value, int32_t videoHeight);

// The spin buttons: the area moved down by step (vertical) or left by step (horizontal),
// taken only when it stays inside the picture.
ZoomArea SpinVertical(ZoomArea area, int32_t step, int32_t videoHeight);
ZoomArea SpinHorizontal(ZoomArea area, int32_t step, int32_t videoWidth);

}  // namespace zoomsteps
