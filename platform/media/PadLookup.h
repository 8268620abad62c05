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
// The first free pad of the direction; when there is none, a pad requested from one of the
// element's request templates (a muxer's inputs). With a peer, only a pad whose caps can
// take the peer's (or, requested, a template that can) is returned.
PadRef FindOrRequestFreePin(GstElement* element, PadDirection direction, GstPad* peer = nullptr);

}  // namespace media
