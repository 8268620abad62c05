#pragma once

// A graph brought to its first picture at a point inside its input: the element that reads
// the input (a demuxer, or the decoding bin around one) is sought while its outputs hold
// their buffers back, so that nothing from before the point reaches an encoder or a muxer.

#include <gst/gst.h>

#include <vector>

// Call with the graph built and in NULL, with the element's outputs yet to appear. Brings the
// graph to PAUSED, seeks the element with the flags to start .. end (seconds of the input)
// once all its outputs are there, then lets them go; true once the graph has prerolled at
// the point. On false the graph is left as it is.
bool SeekHeld(GstBin* graph, GstElement* reader, GstSeekFlags flags, double start, double end);

// The same for several readers in one graph, each sought to its own span; all of them hold
// their buffers until every one has been sought.
struct HeldSpan {
    GstElement* reader = nullptr;
    double start = 0.0;
    double end = 0.0;
};
bool SeekAllHeld(GstBin* graph, const std::vector<HeldSpan>& spans, GstSeekFlags flags);
