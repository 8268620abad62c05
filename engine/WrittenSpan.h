#pragma once

// How much of its span a job's graph handed to the file: for each stream entering the writer,
// the running time from its first buffer to the end of its last. An input cut short while it
// is read ends its stream early and the graph still reaches its end; only this tells.

#include <gst/gst.h>

#include <mutex>
#include <vector>

#include "engine/PageDriver.h"

class WrittenSpan {
public:
    WrittenSpan() = default;
    ~WrittenSpan();  // the graph must be down: its threads call in here
    WrittenSpan(const WrittenSpan&) = delete;
    WrittenSpan& operator=(const WrittenSpan&) = delete;

    // Watches what enters the muxer that feeds the file, or, without one, the graph's sinks;
    // inputs the muxer is given later are watched too.
    void Watch(const ProgressGraph& graph);
    // The shortest stream's seconds; 0 when nothing reached the file.
    double Seconds() const;

private:
    struct Stream {
        GstPad* pad = nullptr;
        gulong probe = 0;
        GstSegment segment;
        GstClockTime first = GST_CLOCK_TIME_NONE;  // running time
        GstClockTime end = 0;
    };

    void WatchPad(GstPad* pad);
    static void OnPadAdded(GstElement*, GstPad* pad, gpointer self);
    static GstPadProbeReturn OnData(GstPad* pad, GstPadProbeInfo* info, gpointer self);

    GstElement* muxer_ = nullptr;
    gulong padAdded_ = 0;
    mutable std::mutex mutex_;  // the graph's threads write, the job's thread reads
    std::vector<Stream> streams_;
};
