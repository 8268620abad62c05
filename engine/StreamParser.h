#pragma once

// A parser after an encoder whose output carries no timing avimux can use (avenc_mpeg4 gives
// frames without the stream's headers in its caps): the registry's best parser for the
// encoder's output.

#include <gst/gst.h>

#include <string>

#include "platform/media/GstRef.h"

// The registry's best parser for a stream of these caps; empty when none is wanted (pictures
// carry their own size) or none is installed.
std::string ParserFactoryFor(const GstCaps* caps);

// Adds the parser for what the encoder makes to the bin and links the encoder to it; returns
// the pin to go on from: the parser's output, or the encoder's own when no parser is wanted
// (pictures, which carry their own size) or none is installed. Empty, with error, when the
// parser cannot be linked.
media::PadRef AddEncoderParser(GstBin* graph, GstElement* encoder, std::string* error);
