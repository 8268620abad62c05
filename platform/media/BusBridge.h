#pragma once

// Carries a pipeline's bus messages to a QObject as posted BusEvents. The messages are taken
// on the thread that posts them (the bus's sync handler) and never touch the receiver there;
// after the bridge is destroyed nothing more is posted.

#include <gst/gst.h>

#include <QObject>
#include <cstdint>
#include <memory>

#include "platform/media/GstRef.h"

namespace media {

class BusBridge {
public:
    // Posts the messages whose type is in mask; the others are dropped unseen.
    BusBridge(GstElement* pipeline, QObject* receiver, uint64_t generation, GstMessageType mask);
    ~BusBridge();
    BusBridge(const BusBridge&) = delete;
    BusBridge& operator=(const BusBridge&) = delete;

    uint64_t Generation() const { return generation_; }

    // A number no pipeline of this process has carried before.
    static uint64_t NextGeneration();

private:
    struct Target;
    static GstBusSyncReply OnSyncMessage(GstBus* bus, GstMessage* message, gpointer data);
    static void DeleteTarget(gpointer data);

    BusRef bus_;
    uint64_t generation_;
    // Shared with the sync handler; the bus frees it after the handler's last call.
    Target* target_;
};

}  // namespace media
