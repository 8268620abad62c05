#include "engine/HeldSeek.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/media/GstRef.h"
#include "platform/media/StateWait.h"

namespace {

constexpr auto kPadsWait = std::chrono::seconds(5);

// The reader's outputs, each holding its buffers back until released. Its pads appear on
// the reader's streaming thread.
class HeldOutputs {
public:
    explicit HeldOutputs(GstElement* reader) : reader_(reader) {
        padAdded_ = g_signal_connect(reader, "pad-added", G_CALLBACK(OnPadAdded), this);
        noMorePads_ = g_signal_connect(reader, "no-more-pads", G_CALLBACK(OnNoMorePads), this);
    }
    ~HeldOutputs() {
        g_signal_handler_disconnect(reader_, padAdded_);
        g_signal_handler_disconnect(reader_, noMorePads_);
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

    GstElement* reader_;
    gulong padAdded_ = 0, noMorePads_ = 0;
    std::mutex mutex_;  // guards held_ and allPads_ against the streaming thread
    std::condition_variable ready_;
    std::vector<std::pair<media::PadRef, gulong>> held_;
    bool allPads_ = false;
};

}  // namespace

bool SeekHeld(GstBin* graph, GstElement* reader, GstSeekFlags flags, double start, double end) {
    return SeekAllHeld(graph, {{reader, start, end}}, flags);
}

bool SeekAllHeld(GstBin* graph, const std::vector<HeldSpan>& spans, GstSeekFlags flags) {
    std::vector<std::unique_ptr<HeldOutputs>> outputs;
    outputs.reserve(spans.size());
    for (const HeldSpan& span : spans) outputs.push_back(std::make_unique<HeldOutputs>(span.reader));
    if (gst_element_set_state(GST_ELEMENT(graph), GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE)
        return false;
    for (auto& held : outputs)
        if (!held->WaitForAllPads()) return false;
    bool sought = true;
    for (const HeldSpan& span : spans)
        sought = sought && gst_element_seek(span.reader, 1.0, GST_FORMAT_TIME, flags,
                                            GST_SEEK_TYPE_SET,
                                            static_cast<gint64>(span.start * GST_SECOND),
                                            GST_SEEK_TYPE_SET,
                                            static_cast<gint64>(span.end * GST_SECOND));
    for (auto& held : outputs) held->Release();
    return sought && media::WaitForState(GST_ELEMENT(graph));
}
