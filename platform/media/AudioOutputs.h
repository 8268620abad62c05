#pragma once

// The audio output catalogue: the display names of the system's audio sinks, which the
// settings keep as the chosen device, and the sink element for such a name.

#include <gst/gst.h>

#include <string>
#include <vector>

namespace media {

// The settings' name for "the system's default output".
inline constexpr char kAutodetectDevice[] = "AUTODETECT";

class AudioOutputs {
public:
    // Display names of the Audio/Sink devices, in the monitor's order.
    static std::vector<std::string> Names();
    // A new sink for the device with exactly this display name; nullptr for "AUTODETECT"
    // and for names no device carries (the caller then takes the default sink).
    static GstElement* CreateSink(const std::string& name);
};

}  // namespace media
