#include "platform/editing/RenderEngine.h"

#include <ges/ges.h>

#include "platform/editing/EditingInit.h"
#include "platform/media/StateWait.h"

namespace editing {
namespace {

// The timeline's sources take an end-of-stream as the end of the current source only and go
// on with the next one, so a stop would write the whole timeline. The graph ends each group's
// stream at its output pad instead: the pad is held at its next item, and its peer is sent
// the end-of-stream from the streaming thread.
struct RenderPipeline {
    GstPipeline parent;
};
struct RenderPipelineClass {
    GstPipelineClass parent_class;
};

G_DEFINE_TYPE(RenderPipeline, render_pipeline, GST_TYPE_PIPELINE)

GstPadProbeReturn EndAtPad(GstPad* pad, GstPadProbeInfo* info, gpointer) {
    // The timeline's own end is let through: then there is nothing left to end.
    if (GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
        (info->type & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) &&
        GST_EVENT_TYPE(event) == GST_EVENT_EOS)
        return GST_PAD_PROBE_REMOVE;
    if (GstPad* peer = gst_pad_get_peer(pad)) {
        gst_pad_send_event(peer, gst_event_new_eos());
        gst_object_unref(peer);
    }
    // Held until the graph goes down: nothing more of the timeline reaches the output.
    return GST_PAD_PROBE_OK;
}

void EndTimelineOutputs(GstElement* timeline) {
    GstIterator* pads = gst_element_iterate_src_pads(timeline);
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(pads, &item) == GST_ITERATOR_OK) {
        gst_pad_add_probe(GST_PAD(g_value_get_object(&item)),
                          static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BLOCK_DOWNSTREAM),
                          EndAtPad, nullptr, nullptr);
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(pads);
}

gboolean RenderPipelineSendEvent(GstElement* element, GstEvent* event) {
    if (GST_EVENT_TYPE(event) != GST_EVENT_EOS)
        return GST_ELEMENT_CLASS(render_pipeline_parent_class)->send_event(element, event);
    gst_event_unref(event);
    GstIterator* children = gst_bin_iterate_elements(GST_BIN(element));
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(children, &item) == GST_ITERATOR_OK) {
        auto* child = GST_ELEMENT(g_value_get_object(&item));
        if (GES_IS_TIMELINE(child)) EndTimelineOutputs(child);
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(children);
    return TRUE;
}

void render_pipeline_class_init(RenderPipelineClass* klass) {
    GST_ELEMENT_CLASS(klass)->send_event = RenderPipelineSendEvent;
}

void render_pipeline_init(RenderPipeline*) {}

}  // namespace

RenderEngine::RenderEngine() {
    if (InitEditing())
        pipeline_ = media::ElementRef(
            GST_ELEMENT(g_object_new(render_pipeline_get_type(), "name", "korc-graph", nullptr)));
}

RenderEngine::~RenderEngine() {
    // The graph is never left running: its threads would outlive the timeline's objects.
    if (pipeline_) media::ForceNull(pipeline_.get());
}

bool RenderEngine::ConnectFrontEnd(Timeline& timeline, std::string* error) {
    auto fail = [&](const char* text) {
        if (error) *error = text;
        return false;
    };
    if (!pipeline_) return fail("The editing library cannot be started.");
    if (timeline_) return fail("The graph already holds a timeline.");
    if (!timeline.Element() || timeline.GroupCount() == 0)
        return fail("The timeline has no output group.");
    // Sources placed before the commit are what the timeline's compositions hold.
    ges_timeline_commit_sync(timeline.Get());
    if (!gst_bin_add(GST_BIN(pipeline_.get()), timeline.Element()))
        return fail("Cannot add the timeline to the graph.");
    timeline_ = &timeline;
    return true;
}

media::PadRef RenderEngine::GroupOutputPin(int group) const {
    if (!timeline_) return {};
    GESTrack* track = timeline_->Group(group);
    if (!track) return {};
    return media::PadRef::Share(ges_timeline_get_pad_for_track(timeline_->Get(), track));
}

}  // namespace editing
