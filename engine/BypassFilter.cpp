#include "engine/BypassFilter.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include "engine/GraphError.h"
#include "engine/GraphHelpers.h"
#include "platform/media/GstRef.h"
#include "platform/media/StateWait.h"

namespace {

constexpr auto kPadsWait = std::chrono::seconds(5);

bool IsDemuxer(GstElement* element) {
    GstElementFactory* factory = gst_element_get_factory(element);
    const char* klass =
        factory ? gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS) : nullptr;
    return klass && std::strstr(klass, "Demux");
}

media::ElementRef FindDemuxer(GstBin* graph) {
    for (media::ElementRef& element : SnapshotElements(graph, true)) {
        if (IsDemuxer(element.get())) return std::move(element);
    }
    return {};
}

// The demuxer's outputs, each holding its buffers back until released. Its pads appear on
// the demuxer's streaming thread.
class HeldOutputs {
public:
    explicit HeldOutputs(GstElement* demuxer) : demuxer_(demuxer) {
        padAdded_ = g_signal_connect(demuxer, "pad-added", G_CALLBACK(OnPadAdded), this);
        noMorePads_ = g_signal_connect(demuxer, "no-more-pads", G_CALLBACK(OnNoMorePads), this);
    }
    ~HeldOutputs() {
        g_signal_handler_disconnect(demuxer_, padAdded_);
        g_signal_handler_disconnect(demuxer_, noMorePads_);
        Release();
    }
    bool WaitForAllPads() {
        std::unique_lock lock(mutex_);
        return ready_.wait_for(lock, kPadsWait, [this] { return allPads_; });
    }
    void Release() {
        std::lock_guard lock(mutex_);
        for (auto& [pad, probe] : held_) gst_pad_remove_probe(pad.get(), probe);
        held_.clear();
    }

private:
    static GstPadProbeReturn Hold(GstPad*, GstPadProbeInfo*, gpointer) { return GST_PAD_PROBE_OK; }
    static void OnPadAdded(GstElement*, GstPad* pad, gpointer self) {
        auto* outputs = static_cast<HeldOutputs*>(self);
        if (!GST_PAD_IS_SRC(pad)) return;
        const gulong probe = gst_pad_add_probe(
            pad, static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BLOCK | GST_PAD_PROBE_TYPE_BUFFER),
            Hold, nullptr, nullptr);
        std::lock_guard lock(outputs->mutex_);
        outputs->held_.emplace_back(media::PadRef::Share(pad), probe);
    }
    static void OnNoMorePads(GstElement*, gpointer self) {
        auto* outputs = static_cast<HeldOutputs*>(self);
        std::lock_guard lock(outputs->mutex_);
        outputs->allPads_ = true;
        outputs->ready_.notify_all();
    }

    GstElement* demuxer_;
    gulong padAdded_ = 0, noMorePads_ = 0;
    std::mutex mutex_;  // guards held_ and allPads_ against the streaming thread
    std::condition_variable ready_;
    std::vector<std::pair<media::PadRef, gulong>> held_;
    bool allPads_ = false;
};

bool SeekHeld(GstBin* graph, GstElement* demuxer, double start, double end) {
    HeldOutputs outputs(demuxer);
    if (gst_element_set_state(GST_ELEMENT(graph), GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE ||
        !outputs.WaitForAllPads())
        return false;
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT |
                                                 GST_SEEK_FLAG_SNAP_BEFORE);
    const bool sought = gst_element_seek(demuxer, 1.0, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET,
                                         static_cast<gint64>(start * GST_SECOND), GST_SEEK_TYPE_SET,
                                         static_cast<gint64>(end * GST_SECOND));
    outputs.Release();
    return sought && media::WaitForState(GST_ELEMENT(graph));
}

}  // namespace

FastCut BypassFilterClass(GstBin* graph, bool seek, double start, double end,
                          uint32_t ownerWindow) {
    if (!seek) return FastCut::NotAsked;
    media::ElementRef demuxer = graph ? FindDemuxer(graph) : media::ElementRef();
    if (!demuxer) return FastCut::NothingToCut;
    if (end > start && start >= 0 && SeekHeld(graph, demuxer.get(), start, end))
        return FastCut::Sought;
    media::ForceNull(GST_ELEMENT(graph));
    ShowOwnedWarning(ownerWindow, kFastModeCaption, kFastModeWarning);
    return FastCut::Unsupported;
}
