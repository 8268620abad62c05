#include "engine/StreamParser.h"

#include <cstring>

#include "engine/GraphHelpers.h"

namespace {

// The encoder's output template caps.
media::CapsRef OutputCaps(GstElement* encoder) {
    media::PadRef output = GetPin(encoder, PadDirection::Output);
    if (!output) return {};
    return media::CapsRef(gst_pad_get_pad_template_caps(output.get()));
}

bool IsPicture(const GstCaps* caps) {
    for (guint i = 0; i < gst_caps_get_size(caps); ++i)
        if (std::strncmp(gst_structure_get_name(gst_caps_get_structure(caps, i)), "image/", 6) != 0)
            return false;
    return true;
}

}  // namespace

media::PadRef AddEncoderParser(GstBin* graph, GstElement* encoder, std::string* error) {
    media::PadRef output = GetPin(encoder, PadDirection::Output);
    media::CapsRef caps = OutputCaps(encoder);
    if (!caps || gst_caps_is_any(caps.get()) || gst_caps_is_empty(caps.get()) ||
        IsPicture(caps.get()))
        return output;
    GList* parsers =
        gst_element_factory_list_get_elements(GST_ELEMENT_FACTORY_TYPE_PARSER, GST_RANK_MARGINAL);
    GList* fitting = gst_element_factory_list_filter(parsers, caps.get(), GST_PAD_SINK, FALSE);
    fitting = g_list_sort(fitting, gst_plugin_feature_rank_compare_func);
    std::string factory;
    if (fitting) factory = gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(fitting->data));
    gst_plugin_feature_list_free(fitting);
    gst_plugin_feature_list_free(parsers);
    if (factory.empty()) return output;

    media::ElementRef parser = AddFilter(graph, factory.c_str(), nullptr, error);
    if (!parser) return {};
    media::PadRef input = GetPin(parser.get(), PadDirection::Input);
    if (LinkOutcome linked = ConnectDirect(output.get(), input.get()); !linked) {
        if (error) *error = linked.error;
        return {};
    }
    return GetPin(parser.get(), PadDirection::Output);
}
