#pragma once

// What hands a job its output groups as raw streams inside its graph: a rendered timeline,
// or a plain decoding of the one span a job without timeline features needs. The job links
// its back end to the group pads and runs the graph.

#include <gst/gst.h>

#include <string>

#include "platform/media/GstRef.h"

namespace editing {

class GroupRender {
public:
    virtual ~GroupRender() = default;
    // The graph the job adds its back end to and runs.
    virtual GstElement* Graph() const = 0;
    // The output pad of the group, numbered in the order the groups were given.
    virtual media::PadRef GroupOutputPin(int group) const = 0;
    // Called once the back end is linked, before the graph runs; false (and error) when the
    // graph cannot be readied.
    virtual bool Ready(std::string* error) = 0;
};

}  // namespace editing
