#pragma once

// The text a user or a log sees for a GStreamer failure: the GError's message.

#include <gst/gst.h>

#include <string>

namespace media {

std::string ErrorText(const GError* error);
// The error or warning text of an ERROR or WARNING message; empty for other messages.
std::string ErrorText(GstMessage* message);

}  // namespace media
