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

}  // namespace media
