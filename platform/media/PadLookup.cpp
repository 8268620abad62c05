#include "platform/media/PadLookup.h"

namespace media {
namespace {

enum class Want { Any, Free, Linked };

PadRef Find(GstElement* element, PadDirection direction, Want want) {
    if (!element) return {};
    GstIterator* pads = direction == PadDirection::Input ? gst_element_iterate_sink_pads(element)
                                                         : gst_element_iterate_src_pads(element);
    PadRef found;
    GValue item = G_VALUE_INIT;
    bool done = false;
    while (!done) {
        switch (gst_iterator_next(pads, &item)) {
            case GST_ITERATOR_OK: {
                auto* pad = GST_PAD(g_value_get_object(&item));
                const bool linked = gst_pad_is_linked(pad);
                if (want == Want::Any || (want == Want::Linked) == linked) {
                    found = PadRef::Share(pad);
                    done = true;
                }
                g_value_reset(&item);
                break;
            }
            case GST_ITERATOR_RESYNC:
                gst_iterator_resync(pads);
                break;
            default:
                done = true;
                break;
        }
    }
    g_value_unset(&item);
    gst_iterator_free(pads);
    return found;
}

}  // namespace

PadRef FindPin(GstElement* element, PadDirection direction) {
    return Find(element, direction, Want::Any);
}

PadRef FindFreePin(GstElement* element, PadDirection direction) {
    return Find(element, direction, Want::Free);
}

PadRef FindConnectedPin(GstElement* element, PadDirection direction) {
    return Find(element, direction, Want::Linked);
}

PadRef FindOrRequestFreePin(GstElement* element, PadDirection direction, GstPad* peer) {
    if (!element) return {};
    const GstPadDirection wanted = direction == PadDirection::Input ? GST_PAD_SINK : GST_PAD_SRC;
    if (peer) {
        if (GST_PAD_DIRECTION(peer) == wanted || gst_pad_is_linked(peer)) return {};
        // Finds a free compatible pad or requests one from a template that fits the peer.
        return PadRef(gst_element_get_compatible_pad(element, peer, nullptr));
    }
    if (PadRef free = FindFreePin(element, direction)) return free;
    for (const GList* item = gst_element_class_get_pad_template_list(GST_ELEMENT_GET_CLASS(element));
         item; item = item->next) {
        auto* templ = GST_PAD_TEMPLATE(item->data);
        if (GST_PAD_TEMPLATE_DIRECTION(templ) != wanted ||
            GST_PAD_TEMPLATE_PRESENCE(templ) != GST_PAD_REQUEST)
            continue;
        if (GstPad* pad = gst_element_request_pad(element, templ, nullptr, nullptr))
            return PadRef(pad);
    }
    return {};
}

}  // namespace media
