#include "engine/GraphHelpers.h"

#include <cstring>
#include <vector>

namespace {

std::string PadName(GstPad* pad) {
    std::string name;
    if (GstElement* parent = gst_pad_get_parent_element(pad)) {
        name = GST_ELEMENT_NAME(parent);
        gst_object_unref(parent);
    }
    return name + ":" + GST_PAD_NAME(pad);
}

enum class RawKind { None, Video, Audio };

RawKind RawKindOf(GstCaps* caps) {
    if (!caps || gst_caps_is_any(caps) || gst_caps_is_empty(caps)) return RawKind::None;
    const char* name = gst_structure_get_name(gst_caps_get_structure(caps, 0));
    if (std::strcmp(name, "video/x-raw") == 0) return RawKind::Video;
    if (std::strcmp(name, "audio/x-raw") == 0) return RawKind::Audio;
    return RawKind::None;
}

LinkOutcome Failed(GstPad* output, GstPad* input, const std::string& why) {
    return {false, "Cannot connect " + PadName(output) + " to " + PadName(input) + ": " + why};
}

void Discard(GstBin* graph, const std::vector<media::ElementRef>& elements) {
    for (const auto& element : elements) {
        gst_element_set_state(element.get(), GST_STATE_NULL);
        gst_bin_remove(graph, element.get());
    }
}

std::string Describe(GstElement* element) {
    GstElementFactory* factory = gst_element_get_factory(element);
    const char* kind =
        factory ? gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_LONGNAME)
                : nullptr;
    std::string text = std::string("\"") + GST_ELEMENT_NAME(element) + "\"";
    return kind ? text + " (" + kind + ")" : text;
}

std::string CapsText(GstCaps* caps) {
    gchar* text = gst_caps_to_string(caps);
    std::string copy = text ? text : "";
    g_free(text);
    return copy;
}

}  // namespace

std::string RefusedFormat(GstBin* graph) {
    std::string offeredRefused, nothingInCommon;
    for (const media::ElementRef& element : SnapshotElements(graph, true)) {
        GstIterator* pads = gst_element_iterate_sink_pads(element.get());
        GValue item = G_VALUE_INIT;
        while (gst_iterator_next(pads, &item) == GST_ITERATOR_OK) {
            auto* pad = GST_PAD(g_value_get_object(&item));
            media::PadRef peer(gst_pad_get_peer(pad));
            media::CapsRef taken(gst_pad_get_current_caps(pad));
            if (peer && !taken && offeredRefused.empty()) {
                // Offered (the format waits on the peer) but not taken.
                if (media::CapsRef offered(gst_pad_get_current_caps(peer.get())); offered)
                    offeredRefused =
                        Describe(element.get()) +
                        " refused the format it was given: " + CapsText(offered.get()) + ".";
            }
            if (peer && !taken && nothingInCommon.empty()) {
                // Elements that pass the question on answer for what lies behind them: only
                // one that takes something itself can be the one that refused.
                media::CapsRef accepts(gst_pad_query_caps(pad, nullptr));
                media::CapsRef gives(gst_pad_query_caps(peer.get(), nullptr));
                if (!gst_caps_is_empty(accepts.get()) &&
                    !gst_caps_can_intersect(accepts.get(), gives.get()))
                    nothingInCommon =
                        Describe(element.get()) +
                        " takes nothing of what it was offered: " + CapsText(gives.get()) + ".";
            }
            g_value_reset(&item);
        }
        g_value_unset(&item);
        gst_iterator_free(pads);
    }
    return offeredRefused.empty() ? nothingInCommon : offeredRefused;
}

bool HasConnectedPin(GstElement* filter, PadDirection direction) {
    return static_cast<bool>(media::FindConnectedPin(filter, direction));
}

media::PadRef GetFreePin(GstElement* filter, PadDirection direction, GstPad* peer) {
    return media::FindOrRequestFreePin(filter, direction, peer);
}

media::PadRef GetPin(GstElement* filter, PadDirection direction) {
    return media::FindPin(filter, direction);
}

std::vector<media::ElementRef> SnapshotElements(GstBin* graph, bool recursive) {
    std::vector<media::ElementRef> elements;
    GstIterator* it = recursive ? gst_bin_iterate_recurse(graph) : gst_bin_iterate_elements(graph);
    GValue item = G_VALUE_INIT;
    bool done = false;
    while (!done) {
        switch (gst_iterator_next(it, &item)) {
            case GST_ITERATOR_OK:
                elements.push_back(media::ElementRef::Share(GST_ELEMENT(g_value_get_object(&item))));
                g_value_reset(&item);
                break;
            case GST_ITERATOR_RESYNC:
                elements.clear();
                gst_iterator_resync(it);
                break;
            default:
                done = true;
                break;
        }
    }
    g_value_unset(&item);
    gst_iterator_free(it);
    return elements;
}

int RemoveUnconnectedFilters(GstBin* graph) {
    const std::vector<media::ElementRef> children = SnapshotElements(graph, false);
    int removed = 0;
    for (const auto& child : children) {
        if (HasConnectedPin(child.get(), PadDirection::Input) ||
            HasConnectedPin(child.get(), PadDirection::Output))
            continue;
        gst_element_set_state(child.get(), GST_STATE_NULL);
        if (gst_bin_remove(graph, child.get())) ++removed;
    }
    return removed;
}

media::ElementRef AddFilter(GstBin* graph, const char* factory, const char* name,
                            std::string* error) {
    media::ElementRef element(gst_element_factory_make(factory, name));
    if (!element) {
        if (error) *error = std::string("The GStreamer element \"") + factory + "\" is not installed.";
        return {};
    }
    if (!gst_bin_add(graph, element.get())) {
        if (error) *error = std::string("Cannot add \"") + (name ? name : factory) + "\" to the graph.";
        return {};
    }
    gst_element_sync_state_with_parent(element.get());
    return element;
}

LinkOutcome ConnectDirect(GstPad* output, GstPad* input) {
    if (!output || !input) return {false, "A pin to connect is missing."};
    const GstPadLinkReturn result = gst_pad_link(output, input);
    if (result != GST_PAD_LINK_OK) return Failed(output, input, gst_pad_link_get_name(result));
    return {true, {}};
}

LinkOutcome ConnectIntelligent(GstBin* graph, GstPad* output, GstPad* input) {
    if (!output || !input) return {false, "A pin to connect is missing."};
    media::CapsRef produced(gst_pad_query_caps(output, nullptr));
    media::CapsRef accepted(gst_pad_query_caps(input, nullptr));
    const bool unknown = gst_caps_is_any(produced.get()) || gst_caps_is_any(accepted.get());
    if (unknown || gst_caps_can_intersect(produced.get(), accepted.get())) {
        if (gst_pad_link(output, input) == GST_PAD_LINK_OK) return {true, {}};
    }

    RawKind kind = RawKindOf(produced.get());
    if (kind == RawKind::None) kind = RawKindOf(accepted.get());
    if (kind == RawKind::None) return Failed(output, input, "the formats do not match");
    const std::vector<const char*> factories =
        kind == RawKind::Video ? std::vector<const char*>{"videoconvert"}
                               : std::vector<const char*>{"audioconvert", "audioresample"};

    std::vector<media::ElementRef> chain;
    for (const char* factory : factories) {
        std::string error;
        media::ElementRef element = AddFilter(graph, factory, nullptr, &error);
        if (!element) {
            Discard(graph, chain);
            return Failed(output, input, error);
        }
        chain.push_back(std::move(element));
    }
    GstPad* from = output;
    media::PadRef held;
    for (const auto& element : chain) {
        media::PadRef sink = GetPin(element.get(), PadDirection::Input);
        if (gst_pad_link(from, sink.get()) != GST_PAD_LINK_OK) {
            Discard(graph, chain);
            return Failed(output, input, "no converter can join the formats");
        }
        held = GetPin(element.get(), PadDirection::Output);
        from = held.get();
    }
    if (gst_pad_link(from, input) != GST_PAD_LINK_OK) {
        Discard(graph, chain);
        return Failed(output, input, "no converter can join the formats");
    }
    return {true, {}};
}

const char* FactoryKlass(GstElementFactory* factory) {
    const char* klass =
        factory ? gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS) : nullptr;
    return klass ? klass : "";
}
