#include "engine/WrittenSpan.h"

#include <algorithm>

WrittenSpan::~WrittenSpan() {
    if (muxer_) {
        if (padAdded_) g_signal_handler_disconnect(muxer_, padAdded_);
        gst_object_unref(muxer_);
    }
    for (Stream& stream : streams_) {
        gst_pad_remove_probe(stream.pad, stream.probe);
        gst_object_unref(stream.pad);
    }
}

void WrittenSpan::Watch(const ProgressGraph& graph) {
    if (graph.positionSource) {
        muxer_ = GST_ELEMENT(gst_object_ref(graph.positionSource));
        padAdded_ =
            g_signal_connect(muxer_, "pad-added", G_CALLBACK(&WrittenSpan::OnPadAdded), this);
        GstIterator* pads = gst_element_iterate_sink_pads(muxer_);
        GValue item = G_VALUE_INIT;
        while (gst_iterator_next(pads, &item) == GST_ITERATOR_OK) {
            WatchPad(GST_PAD(g_value_get_object(&item)));
            g_value_reset(&item);
        }
        g_value_unset(&item);
        gst_iterator_free(pads);
        return;
    }
    if (!GST_IS_BIN(graph.pipeline)) return;
    GstIterator* sinks = gst_bin_iterate_sinks(GST_BIN(graph.pipeline));
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(sinks, &item) == GST_ITERATOR_OK) {
        if (GstPad* pad =
                gst_element_get_static_pad(GST_ELEMENT(g_value_get_object(&item)), "sink")) {
            WatchPad(pad);
            gst_object_unref(pad);
        }
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(sinks);
}

void WrittenSpan::WatchPad(GstPad* pad) {
    if (GST_PAD_DIRECTION(pad) != GST_PAD_SINK) return;
    std::lock_guard lock(mutex_);
    Stream stream;
    stream.pad = GST_PAD(gst_object_ref(pad));
    gst_segment_init(&stream.segment, GST_FORMAT_TIME);
    stream.probe = gst_pad_add_probe(
        pad,
        static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST |
                                     GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
        &WrittenSpan::OnData, this, nullptr);
    streams_.push_back(stream);
}

void WrittenSpan::OnPadAdded(GstElement*, GstPad* pad, gpointer self) {
    static_cast<WrittenSpan*>(self)->WatchPad(pad);
}

GstPadProbeReturn WrittenSpan::OnData(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
    auto* self = static_cast<WrittenSpan*>(data);
    std::lock_guard lock(self->mutex_);
    auto stream = std::find_if(self->streams_.begin(), self->streams_.end(),
                               [pad](const Stream& s) { return s.pad == pad; });
    if (stream == self->streams_.end()) return GST_PAD_PROBE_OK;
    if (info->type & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
        GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
        if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) {
            const GstSegment* segment = nullptr;
            gst_event_parse_segment(event, &segment);
            if (segment->format == GST_FORMAT_TIME)
                gst_segment_copy_into(segment, &stream->segment);
        }
        return GST_PAD_PROBE_OK;
    }
    auto note = [&](GstBuffer* buffer) {
        const GstClockTime time =
            GST_BUFFER_PTS_IS_VALID(buffer) ? GST_BUFFER_PTS(buffer) : GST_BUFFER_DTS(buffer);
        if (!GST_CLOCK_TIME_IS_VALID(time)) return;
        const GstClockTime start =
            gst_segment_to_running_time(&stream->segment, GST_FORMAT_TIME, time);
        if (!GST_CLOCK_TIME_IS_VALID(start)) return;
        const GstClockTime duration = GST_BUFFER_DURATION(buffer);
        const GstClockTime end = start + (GST_CLOCK_TIME_IS_VALID(duration) ? duration : 0);
        if (!GST_CLOCK_TIME_IS_VALID(stream->first) || start < stream->first) stream->first = start;
        stream->end = std::max(stream->end, end);
    };
    if (info->type & GST_PAD_PROBE_TYPE_BUFFER) {
        note(GST_PAD_PROBE_INFO_BUFFER(info));
    } else if (GstBufferList* list = GST_PAD_PROBE_INFO_BUFFER_LIST(info)) {
        for (guint i = 0; i < gst_buffer_list_length(list); ++i) note(gst_buffer_list_get(list, i));
    }
    return GST_PAD_PROBE_OK;
}

double WrittenSpan::Seconds() const {
    std::lock_guard lock(mutex_);
    // An input the muxer was given but never fed is no stream of the file.
    GstClockTime shortest = GST_CLOCK_TIME_NONE;
    for (const Stream& stream : streams_) {
        if (!GST_CLOCK_TIME_IS_VALID(stream.first)) continue;
        shortest = std::min(shortest, stream.end > stream.first ? stream.end - stream.first : 0);
    }
    return GST_CLOCK_TIME_IS_VALID(shortest) ? double(shortest) / GST_SECOND : 0.0;
}
