#pragma once

// Renders a timeline inside our own pipeline: the timeline element is added to it, and each
// group's output pad is handed out for the job to link to its encoders, muxer and writer.

#include <string>

#include "platform/editing/GroupRender.h"
#include "platform/editing/Timeline.h"
#include "platform/media/GstRef.h"

namespace editing {

class RenderEngine : public GroupRender {
public:
    RenderEngine();
    ~RenderEngine() override;
    RenderEngine(const RenderEngine&) = delete;
    RenderEngine& operator=(const RenderEngine&) = delete;

    // Puts the timeline into the graph with everything placed on it so far. Once only; the
    // timeline must outlive the engine's graph.
    bool ConnectFrontEnd(Timeline& timeline, std::string* error);
    GstElement* Graph() const override { return pipeline_.get(); }
    media::PadRef GroupOutputPin(int group) const override;
    // The timeline's graph runs as it was built.
    bool Ready(std::string*) override { return true; }

private:
    media::ElementRef pipeline_;
    Timeline* timeline_ = nullptr;
};

}  // namespace editing
