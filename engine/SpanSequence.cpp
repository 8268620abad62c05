#include "engine/SpanSequence.h"

#include <algorithm>
#include <cmath>

#include "engine/GraphHelpers.h"
#include "engine/HeldSeek.h"
#include "platform/media/StateWait.h"

SpanSequence::SpanSequence() : pipeline_(gst_pipeline_new("korc-graph")) {
    gst_segment_init(&segment_, GST_FORMAT_TIME);
}

SpanSequence::~SpanSequence() {
    // Down before the spans go: their probes point into them.
    if (pipeline_) media::ForceNull(pipeline_.get());
}

bool SpanSequence::Build(const std::vector<Span>& spans, const editing::GroupFormat& group,
                         std::string* error) {
    GstBin* graph = GST_BIN(pipeline_.get());
    joiner_ = AddFilter(graph, "concat", nullptr, error);
    filler_ = joiner_ ? AddFilter(graph, "audiorate", nullptr, error) : media::ElementRef();
    if (!filler_ || !AddStopCatcher(error)) return false;
    // Each span's times come as its own, from 0; the probe below puts them at its place.
    g_object_set(joiner_.get(), "adjust-base", FALSE, nullptr);
    if (!gst_element_link(joiner_.get(), filler_.get())) {
        if (error) *error = "Cannot join the fragments one after the other.";
        return false;
    }
    GstClockTime place = 0;
    for (const Span& span : spans) {
        auto render = std::make_unique<SpanRender>(graph);
        if (!render->Build(span.path, span.inPoint, span.duration, {group}, error)) return false;
        media::PadRef output = render->GroupOutputPin(0);
        media::PadRef input(gst_element_request_pad_simple(joiner_.get(), "sink_%u"));
        if (!input || gst_pad_link(output.get(), input.get()) != GST_PAD_LINK_OK) {
            if (error) *error = "Cannot join the fragments one after the other.";
            return false;
        }
        spans_.push_back(std::move(render));
        inputs_.push_back(std::move(input));
        places_.push_back(place);
        place += static_cast<GstClockTime>(std::llround(std::max(0.0, span.duration) * GST_SECOND));
    }
    media::PadRef joined = GetPin(joiner_.get(), PadDirection::Output);
    gst_pad_add_probe(joined.get(),
                      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER |
                                                   GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM |
                                                   GST_PAD_PROBE_TYPE_EVENT_FLUSH),
                      OnJoined, this, nullptr);
    gst_pad_add_probe(joined.get(), GST_PAD_PROBE_TYPE_QUERY_UPSTREAM, OnPositionQuery, this,
                      nullptr);
    return true;
}

// The user's stop is an end of stream sent to the graph's sources; the spans queued behind the
// current one would still play out after it. An element in the stream cannot take it from the
// window's thread: its input is locked by the streaming thread for each buffer, again and
// again, so the end would wait, and the window with it, until the current span is done. The
// catcher is a source of its own that nothing streams through; it only notes the stop.
bool SpanSequence::AddStopCatcher(std::string* error) {
    GstBin* graph = GST_BIN(pipeline_.get());
    // An element takes an event only on an input that is linked.
    media::ElementRef before = AddFilter(graph, "identity", nullptr, error);
    stopCatcher_ = before ? AddFilter(graph, "identity", nullptr, error) : media::ElementRef();
    if (!stopCatcher_) return false;
    if (!gst_element_link(before.get(), stopCatcher_.get())) {
        if (error) *error = "Cannot build the joined fragments' stop.";
        return false;
    }
    GST_OBJECT_FLAG_SET(stopCatcher_.get(), GST_ELEMENT_FLAG_SOURCE);
    media::PadRef input = GetPin(stopCatcher_.get(), PadDirection::Input);
    gst_pad_add_probe(input.get(), GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, OnStop, this, nullptr);
    return true;
}

GstPadProbeReturn SpanSequence::OnStop(GstPad*, GstPadProbeInfo* info, gpointer data) {
    if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_EOS)
        static_cast<SpanSequence*>(data)->stopping_ = true;
    return GST_PAD_PROBE_DROP;
}

media::PadRef SpanSequence::GroupOutputPin(int group) const {
    if (group != 0 || !filler_) return {};
    return GetPin(filler_.get(), PadDirection::Output);
}

bool SpanSequence::Ready(std::string* error) {
    std::vector<HeldSpan> seeks;
    for (const auto& span : spans_) seeks.push_back(span->Seek());
    if (SeekAllHeld(GST_BIN(pipeline_.get()), seeks, SpanRender::kSeekFlags)) return true;
    media::ForceNull(pipeline_.get());
    if (error) *error = "The input cannot be read from the fragment's start.";
    return false;
}

// The joiner starts a segment for each span; an encoder would end its frame at every one.
// What goes on is one segment from 0, each buffer at its span's place plus its time in the
// span.
GstPadProbeReturn SpanSequence::OnJoined(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
    auto* self = static_cast<SpanSequence*>(data);
    if (info->type & GST_PAD_PROBE_TYPE_BUFFER) {
        // Stopped: the joined stream ends here. The buffers after it are refused downstream,
        // which ends the current span's reader too.
        if (self->stopping_ && !self->ended_) {
            self->ended_ = true;
            gst_pad_push_event(pad, gst_event_new_eos());
            return GST_PAD_PROBE_DROP;
        }
        GstBuffer* buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
        GST_PAD_PROBE_INFO_DATA(info) = buffer;
        for (GstClockTime* time : {&GST_BUFFER_PTS(buffer), &GST_BUFFER_DTS(buffer)}) {
            if (!GST_CLOCK_TIME_IS_VALID(*time)) continue;
            guint64 running = 0;
            *time = self->place_ + (gst_segment_to_running_time_full(
                                        &self->segment_, GST_FORMAT_TIME, *time, &running) > 0
                                        ? running
                                        : 0);
        }
        if (GST_BUFFER_PTS_IS_VALID(buffer)) {
            GstClockTime end = GST_BUFFER_PTS(buffer);
            if (GST_BUFFER_DURATION_IS_VALID(buffer)) end += GST_BUFFER_DURATION(buffer);
            self->reached_ = std::max<GstClockTime>(self->reached_, end);
        }
        return GST_PAD_PROBE_OK;
    }
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    switch (GST_EVENT_TYPE(event)) {
        case GST_EVENT_FLUSH_STOP:
            gst_segment_init(&self->segment_, GST_FORMAT_TIME);
            self->segmentSent_ = false;
            self->reached_ = 0;
            return GST_PAD_PROBE_OK;
        case GST_EVENT_SEGMENT: {
            const GstSegment* segment = nullptr;
            gst_event_parse_segment(event, &segment);
            gst_segment_copy_into(segment, &self->segment_);
            self->place_ = self->PlaceOfActiveSpan();
            if (self->segmentSent_) return GST_PAD_PROBE_DROP;
            self->segmentSent_ = true;
            GstSegment joined;
            gst_segment_init(&joined, GST_FORMAT_TIME);
            GstEvent* replacement = gst_event_new_segment(&joined);
            gst_event_set_seqnum(replacement, gst_event_get_seqnum(event));
            gst_event_unref(event);
            GST_PAD_PROBE_INFO_DATA(info) = replacement;
            return GST_PAD_PROBE_OK;
        }
        default:
            return GST_PAD_PROBE_OK;
    }
}

GstClockTime SpanSequence::PlaceOfActiveSpan() const {
    GstPad* active = nullptr;
    g_object_get(joiner_.get(), "active-pad", &active, nullptr);
    const media::PadRef held(active);
    for (size_t i = 0; i < inputs_.size(); ++i)
        if (inputs_[i].get() == active) return places_[i];
    return 0;
}

GstPadProbeReturn SpanSequence::OnPositionQuery(GstPad*, GstPadProbeInfo* info, gpointer data) {
    if (!(info->type & GST_PAD_PROBE_TYPE_PUSH)) return GST_PAD_PROBE_OK;
    GstQuery* query = GST_PAD_PROBE_INFO_QUERY(info);
    if (GST_QUERY_TYPE(query) != GST_QUERY_POSITION) return GST_PAD_PROBE_OK;
    GstFormat format = GST_FORMAT_UNDEFINED;
    gst_query_parse_position(query, &format, nullptr);
    if (format != GST_FORMAT_TIME) return GST_PAD_PROBE_OK;
    gst_query_set_position(
        query, format, static_cast<gint64>(static_cast<SpanSequence*>(data)->reached_.load()));
    return GST_PAD_PROBE_HANDLED;
}
