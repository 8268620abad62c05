#include "RecordingPages.h"

#include <chrono>
#include <thread>

#include "engine/WizardState.h"

namespace {

GstPadProbeReturn Hold(GstPad*, GstPadProbeInfo*, gpointer ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(GPOINTER_TO_INT(ms)));
    return GST_PAD_PROBE_OK;
}

}  // namespace

ProgressOutcome RecordingPages::RunProgress(WizardState& state, const ProgressGraph& graph) {
    events.push_back("run");
    runs.push_back({state.startSeconds, state.endSeconds, state.progressBase, state.stepCaption,
                    state.autoClose});
    if (holdMs > 0 && graph.positionSource) {
        GstIterator* pads = gst_element_iterate_sink_pads(graph.positionSource);
        GValue item = G_VALUE_INIT;
        while (gst_iterator_next(pads, &item) == GST_ITERATOR_OK) {
            gst_pad_add_probe(GST_PAD(g_value_get_object(&item)), GST_PAD_PROBE_TYPE_BUFFER, Hold,
                              GINT_TO_POINTER(holdMs), nullptr);
            g_value_reset(&item);
        }
        g_value_unset(&item);
        gst_iterator_free(pads);
    }
    return CScriptedPageDriver::RunProgress(state, graph);
}

void RecordingPages::ConfigureEncoder(WizardState& state, GstElement* encoder) {
    GstElementFactory* factory = gst_element_get_factory(encoder);
    events.push_back(std::string("settings ") +
                     (factory ? gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)) : "?"));
    CScriptedPageDriver::ConfigureEncoder(state, encoder);
}
