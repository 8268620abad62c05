#include "platform/media/BusEvent.h"

#include <utility>

namespace media {

BusEvent::BusEvent(uint64_t generation, MessageRef message)
    : QEvent(EventType()), generation_(generation), message_(std::move(message)) {}

QEvent::Type BusEvent::EventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

}  // namespace media
