#pragma once

// Pad lookups on an element by direction, each returning a referenced pad or nothing.

#include <gst/gst.h>

#include "platform/media/GstRef.h"

namespace media {

enum class PadDirection { Input = 0, Output = 1 };

// The first pad of the direction.
PadRef FindPin(GstElement* element, PadDirection direction);
// The first pad of the direction that is not linked.
PadRef FindFreePin(GstElement* element, PadDirection direction);
// The first pad of the direction that is linked.
PadRef FindConnectedPin(GstElement* element, PadDirection direction);

}  // namespace media
