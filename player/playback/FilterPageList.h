#pragma once

// The graph's elements whose settings the user can open from the media information box:
// leaf elements fed through a linked sink pad (so no sources) that have editable
// properties, at most 50, in the graph's order. The list holds a reference to each, and
// lets them all go at every refill and when the graph is released, so a later "Properties"
// never reaches an element of a pipeline that is gone.

#include <gst/gst.h>

#include <string>
#include <vector>

#include "platform/media/GstRef.h"

class FilterPageList {
public:
    static constexpr size_t kMaximum = 50;

    // Drops the old list, then lists graph's elements; graph may be null.
    size_t Refill(GstElement* graph);
    void Release();

    size_t Count() const { return elements_.size(); }
    // nullptr past the end.
    GstElement* Element(size_t index) const;
    const std::string& Name(size_t index) const { return names_.at(index); }

private:
    std::vector<media::ElementRef> elements_;
    std::vector<std::string> names_;
};
