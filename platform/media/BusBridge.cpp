#include "platform/media/BusBridge.h"

#include <QCoreApplication>
#include <atomic>
#include <mutex>

#include "platform/media/BusEvent.h"

namespace media {

struct BusBridge::Target {
    std::mutex lock;  // guards receiver against the bridge's destruction
    QObject* receiver;
    uint64_t generation;
    GstMessageType mask;
};

BusBridge::BusBridge(GstElement* pipeline, QObject* receiver, uint64_t generation,
                     GstMessageType mask)
    : bus_(gst_element_get_bus(pipeline)),
      generation_(generation),
      target_(new Target{{}, receiver, generation, mask}) {
    gst_bus_set_sync_handler(bus_.get(), &BusBridge::OnSyncMessage, target_,
                             &BusBridge::DeleteTarget);
}

BusBridge::~BusBridge() {
    {
        std::lock_guard<std::mutex> guard(target_->lock);
        target_->receiver = nullptr;
    }
    // Drops the bus's reference to the handler; a call still running keeps target_ alive.
    gst_bus_set_sync_handler(bus_.get(), nullptr, nullptr, nullptr);
}

uint64_t BusBridge::NextGeneration() {
    static std::atomic<uint64_t> next{1};
    return next++;
}

GstBusSyncReply BusBridge::OnSyncMessage(GstBus*, GstMessage* message, gpointer data) {
    auto* target = static_cast<Target*>(data);
    if ((GST_MESSAGE_TYPE(message) & target->mask) != 0) {
        std::lock_guard<std::mutex> guard(target->lock);
        if (target->receiver) {
            QCoreApplication::postEvent(
                target->receiver, new BusEvent(target->generation, MessageRef::Share(message)));
        }
    }
    return GST_BUS_DROP;
}

void BusBridge::DeleteTarget(gpointer data) { delete static_cast<Target*>(data); }

}  // namespace media
