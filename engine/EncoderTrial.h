#pragma once

// Whether an encoder works here, asked of the encoder itself rather than read off its
// description: it is opened on a raw format, fed a moment of blank pictures or silence,
// and what it makes is parsed and decoded again as a player of the written file would.
// Everything runs on the calling thread, element by element, without a graph or a stream
// thread; each step is one call into the element.

#include <gst/gst.h>

#include "platform/media/GstRef.h"

// The caps of what the encoder made, when a picture or a sound came back out of the decoder
// that takes it; nothing when the encoder refused every format of raw that it lists, made
// nothing, or made what nothing here decodes.
media::CapsRef TryEncoder(GstElementFactory* factory, const GstCaps* raw);
