#pragma once

// Renders a timeline inside our own pipeline: the timeline element is added to it, and each
// group's output pad is handed out for the job to link to its encoders, muxer and writer.

#include <string>

#include "platform/editing/Timeline.h"
#include "platform/media/GstRef.h"

namespace editing {

class RenderEngine {
public:
    RenderEngine();
    ~RenderEngine();
    RenderEngine(const RenderEngine&) = delete;
    RenderEngine& operator=(const RenderEngine&) = delete;

    // Puts the timeline into the graph with everything placed on it so far. Once only; the
    // timeline must outlive the engine's graph.
    bool ConnectFrontEnd(Timeline& timeline, std::string* error);
    // The graph the job adds its back end to and runs.
    GstElement* Graph() const { return pipeline_.get(); }
    // The output pad of the group, numbered in the order the groups were added.
    media::PadRef GroupOutputPin(int group) const;

private:
    media::ElementRef pipeline_;
    Timeline* timeline_ = nullptr;
};

}  // namespace editing
