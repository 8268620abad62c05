#pragma once

// Spans of files one after the other as the one group a timeline holding them back to back
// would give, without the editing library: each span decoded plainly (SpanRender) and put at
// its place, as one segment from 0, so that an encoder behind it sees no join. Where a span's
// sound ends before the span does, silence fills the rest, as a timeline's background does.
// For a job of a few sound fragments and nothing else; each span is a reader of its own, so a
// job of many fragments goes through a timeline instead.

#include <gst/gst.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "engine/SpanRender.h"
#include "platform/editing/GroupRender.h"
#include "platform/editing/Timeline.h"
#include "platform/media/GstRef.h"

class SpanSequence : public editing::GroupRender {
public:
    // The most spans one sequence reads; each holds a reader and its threads.
    static constexpr size_t kMostSpans = 16;

    struct Span {
        std::string path;
        double inPoint = 0.0;
        double duration = 0.0;
    };

    SpanSequence();
    ~SpanSequence() override;
    SpanSequence(const SpanSequence&) = delete;
    SpanSequence& operator=(const SpanSequence&) = delete;

    // The spans in their order, each converted to the group's format.
    bool Build(const std::vector<Span>& spans, const editing::GroupFormat& group,
               std::string* error);

    GstElement* Graph() const override { return pipeline_.get(); }
    media::PadRef GroupOutputPin(int group) const override;
    // Every span sought to its start; nothing from before a span's start goes out.
    bool Ready(std::string* error) override;

private:
    bool AddStopCatcher(std::string* error);
    GstClockTime PlaceOfActiveSpan() const;
    static GstPadProbeReturn OnStop(GstPad*, GstPadProbeInfo* info, gpointer self);
    static GstPadProbeReturn OnJoined(GstPad* pad, GstPadProbeInfo* info, gpointer self);
    static GstPadProbeReturn OnPositionQuery(GstPad*, GstPadProbeInfo* info, gpointer self);

    media::ElementRef pipeline_;
    media::ElementRef joiner_;  // concat
    media::ElementRef filler_;  // audiorate: silence where the times jump
    // The user's stop, as the end of stream the graph's sources are sent, taken by an element
    // outside the stream; the joined stream ends at its next buffer.
    media::ElementRef stopCatcher_;
    std::atomic<bool> stopping_{false};
    bool ended_ = false;  // the joiner's streaming thread's
    std::vector<std::unique_ptr<SpanRender>> spans_;
    std::vector<media::PadRef> inputs_;  // the joiner's, one for each span
    std::vector<GstClockTime> places_;   // where each span starts in the joined stream
    // Kept by the joiner's streaming thread: the segment the current span's buffers come in
    // and its span's place, whether the joined segment went out since the last flush.
    GstSegment segment_{};
    GstClockTime place_ = 0;
    bool segmentSent_ = false;
    // The joined stream's time reached, for the progress display.
    std::atomic<GstClockTime> reached_{0};
};
