#include "player/playback/FilterPageList.h"

#include "platform/media/EncoderProperties.h"

namespace {

bool HasLinkedSinkPad(GstElement* element) {
    bool linked = false;
    GST_OBJECT_LOCK(element);
    for (GList* pad = element->sinkpads; pad && !linked; pad = pad->next) {
        linked = gst_pad_is_linked(GST_PAD(pad->data));
    }
    GST_OBJECT_UNLOCK(element);
    return linked;
}

bool Listed(GstElement* element) {
    return !GST_IS_BIN(element) && HasLinkedSinkPad(element) &&
           !EditableProperties(G_OBJECT(element)).empty();
}

}  // namespace

GstElement* FilterPageList::Element(size_t index) const {
    return index < elements_.size() ? elements_[index].get() : nullptr;
}

void FilterPageList::Release() {
    elements_.clear();
    names_.clear();
}

size_t FilterPageList::Refill(GstElement* graph) {
    Release();
    if (!graph || !GST_IS_BIN(graph)) return 0;
    GstIterator* it = gst_bin_iterate_recurse(GST_BIN(graph));
    GValue item = G_VALUE_INIT;
    // A graph that changes under the walk starts it over; a few tries are plenty.
    for (int tries = 0; tries < 4 && elements_.size() < kMaximum;) {
        const GstIteratorResult result = gst_iterator_next(it, &item);
        if (result == GST_ITERATOR_OK) {
            auto* element = GST_ELEMENT(g_value_get_object(&item));
            if (Listed(element)) {
                elements_.push_back(media::ElementRef::Share(element));
                gchar* name = gst_object_get_name(GST_OBJECT(element));
                names_.emplace_back(name ? name : "");
                g_free(name);
            }
            g_value_reset(&item);
        } else if (result == GST_ITERATOR_RESYNC) {
            gst_iterator_resync(it);
            Release();
            ++tries;
        } else {
            break;
        }
    }
    g_value_unset(&item);
    gst_iterator_free(it);
    return elements_.size();
}
