#include "engine/HeldOutputs.h"

#include <chrono>

namespace {

constexpr auto kPadsWait = std::chrono::seconds(5);

}  // namespace

HeldOutputs::HeldOutputs(GstElement* reader, std::function<void()> firstHeld)
    : reader_(media::ElementRef::Share(reader)), firstHeld_(std::move(firstHeld)) {
    padAdded_ = g_signal_connect(reader, "pad-added", G_CALLBACK(OnPadAdded), this);
    noMorePads_ = g_signal_connect(reader, "no-more-pads", G_CALLBACK(OnNoMorePads), this);
}

HeldOutputs::~HeldOutputs() {
    g_signal_handler_disconnect(reader_.get(), padAdded_);
    g_signal_handler_disconnect(reader_.get(), noMorePads_);
    Release();
}

bool HeldOutputs::WaitForAllPads() {
    std::unique_lock lock(mutex_);
    return ready_.wait_for(lock, kPadsWait, [this] { return allPads_; });
}

void HeldOutputs::Release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    for (auto& [pad, probe] : held_) gst_pad_remove_probe(pad.get(), probe);
    held_.clear();
}

GstPadProbeReturn HeldOutputs::OnHeld(GstPad*, GstPadProbeInfo*, gpointer self) {
    auto* outputs = static_cast<HeldOutputs*>(self);
    if (outputs && !outputs->firstSeen_.exchange(true)) outputs->firstHeld_();
    return GST_PAD_PROBE_OK;
}

void HeldOutputs::OnPadAdded(GstElement*, GstPad* pad, gpointer self) {
    auto* outputs = static_cast<HeldOutputs*>(self);
    if (!GST_PAD_IS_SRC(pad)) return;
    std::lock_guard lock(outputs->mutex_);
    if (outputs->released_) return;
    const gulong probe = gst_pad_add_probe(
        pad, static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BLOCK | GST_PAD_PROBE_TYPE_BUFFER),
        OnHeld, outputs->firstHeld_ ? outputs : nullptr, nullptr);
    outputs->held_.emplace_back(media::PadRef::Share(pad), probe);
}

void HeldOutputs::OnNoMorePads(GstElement*, gpointer self) {
    auto* outputs = static_cast<HeldOutputs*>(self);
    std::lock_guard lock(outputs->mutex_);
    outputs->allPads_ = true;
    outputs->ready_.notify_all();
}
