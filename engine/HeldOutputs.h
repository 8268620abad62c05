#pragma once

// A reader's outputs (a demuxer, or the decoding bin around one), each holding its buffers back
// until released, so that the reader can be sought before anything it read reaches the rest of
// the graph. Its pads appear on the reader's streaming thread; one that appears after the
// release is not held.

#include <gst/gst.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/media/GstRef.h"

class HeldOutputs {
public:
    // Create before the reader adds its pads. firstHeld, when given, is called once, on a
    // streaming thread, as the first buffer is held back.
    explicit HeldOutputs(GstElement* reader, std::function<void()> firstHeld = {});
    ~HeldOutputs();
    HeldOutputs(const HeldOutputs&) = delete;
    HeldOutputs& operator=(const HeldOutputs&) = delete;

    // Until the reader says it has added all its pads, five seconds at the most.
    bool WaitForAllPads();
    void Release();

private:
    static GstPadProbeReturn OnHeld(GstPad*, GstPadProbeInfo*, gpointer self);
    static void OnPadAdded(GstElement*, GstPad* pad, gpointer self);
    static void OnNoMorePads(GstElement*, gpointer self);

    media::ElementRef reader_;
    const std::function<void()> firstHeld_;
    std::atomic<bool> firstSeen_{false};
    gulong padAdded_ = 0, noMorePads_ = 0;
    std::mutex mutex_;  // guards the fields below against the streaming thread
    std::condition_variable ready_;
    std::vector<std::pair<media::PadRef, gulong>> held_;
    bool allPads_ = false;
    bool released_ = false;
};
