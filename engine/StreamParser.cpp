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

// Some picture encoders mark their pictures as depending on the one before, which they never
// do: the muxer's index would then name no key frame at all.
GstPadProbeReturn MarkWhole(GstPad*, GstPadProbeInfo* info, gpointer) {
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    if (!GST_BUFFER_FLAG_IS_SET(buffer, GST_BUFFER_FLAG_DELTA_UNIT)) return GST_PAD_PROBE_OK;
    buffer = gst_buffer_make_writable(buffer);
    GST_BUFFER_FLAG_UNSET(buffer, GST_BUFFER_FLAG_DELTA_UNIT);
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
    return GST_PAD_PROBE_OK;
}

}  // namespace

std::string ParserFactoryFor(const GstCaps* caps) {
    if (!caps || gst_caps_is_any(caps) || gst_caps_is_empty(caps) || IsPicture(caps)) return {};
    GList* parsers =
        gst_element_factory_list_get_elements(GST_ELEMENT_FACTORY_TYPE_PARSER, GST_RANK_MARGINAL);
    GList* fitting = gst_element_factory_list_filter(parsers, caps, GST_PAD_SINK, FALSE);
    fitting = g_list_sort(fitting, gst_plugin_feature_rank_compare_func);
    std::string factory;
    if (fitting) factory = gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(fitting->data));
    gst_plugin_feature_list_free(fitting);
    gst_plugin_feature_list_free(parsers);
    return factory;
}

media::PadRef AddEncoderParser(GstBin* graph, GstElement* encoder, std::string* error) {
    media::PadRef output = GetPin(encoder, PadDirection::Output);
    media::CapsRef caps = OutputCaps(encoder);
    if (caps && !gst_caps_is_empty(caps.get()) && IsPicture(caps.get())) {
        gst_pad_add_probe(output.get(), GST_PAD_PROBE_TYPE_BUFFER, MarkWhole, nullptr, nullptr);
        return output;
    }
    const std::string factory = ParserFactoryFor(caps.get());
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
