#include "engine/BypassFilter.h"

#include <cstring>
#include <utility>

#include "engine/GraphError.h"
#include "engine/GraphHelpers.h"
#include "engine/HeldSeek.h"
#include "platform/media/GstRef.h"
#include "platform/media/StateWait.h"

namespace {

bool IsDemuxer(GstElement* element) {
    return std::strstr(FactoryKlass(gst_element_get_factory(element)), "Demux") != nullptr;
}

media::ElementRef FindDemuxer(GstBin* graph) {
    for (media::ElementRef& element : SnapshotElements(graph, true)) {
        if (IsDemuxer(element.get())) return std::move(element);
    }
    return {};
}

}  // namespace

FastCut BypassFilterClass(GstBin* graph, bool seek, double start, double end,
                          uint32_t ownerWindow) {
    if (!seek) return FastCut::NotAsked;
    media::ElementRef demuxer = graph ? FindDemuxer(graph) : media::ElementRef();
    if (!demuxer) return FastCut::NothingToCut;
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT |
                                                 GST_SEEK_FLAG_SNAP_BEFORE);
    if (end > start && start >= 0 && SeekHeld(graph, demuxer.get(), flags, start, end))
        return FastCut::Sought;
    media::ForceNull(GST_ELEMENT(graph));
    ShowOwnedWarning(ownerWindow, kFastModeCaption, kFastModeWarning);
    return FastCut::Unsupported;
}
