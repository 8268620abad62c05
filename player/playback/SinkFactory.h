#pragma once

// Where the graph's renderers come from. The player uses SystemSinks; tests put app sinks
// or fake sinks in their place.

#include <gst/gst.h>

#include <string>

class ISinkFactory {
public:
    virtual ~ISinkFactory() = default;
    // A new video renderer (floating reference); it may implement GstVideoOverlay.
    virtual GstElement* CreateVideoRenderer() = 0;
    // A new audio sink for the settings' device name; nullptr leaves the graph's default.
    virtual GstElement* CreateAudioSink(const std::string& device) = 0;
};
