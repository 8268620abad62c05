#pragma once

// The real renderers: xvimagesink where the X server offers XVideo, else ximagesink; the
// audio device of the settings from the output catalogue.

#include "player/playback/SinkFactory.h"

class CSystemSinks : public ISinkFactory {
public:
    GstElement* CreateVideoRenderer() override;
    GstElement* CreateAudioSink(const std::string& device) override;
};
