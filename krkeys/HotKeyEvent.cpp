#include "krkeys/HotKeyEvent.h"

namespace {

// Qt registers event types by number only; the name picks the preferred number, so the
// type stays the same from run to run unless another registration took it first.
int HintFromName(const char* name) {
    uint32_t hash = 2166136261u;
    for (const char* c = name; *c; ++c) hash = (hash ^ static_cast<uint8_t>(*c)) * 16777619u;
    return QEvent::User + static_cast<int>(hash % (QEvent::MaxUser - QEvent::User + 1));
}

}  // namespace

HotKeyEvent::HotKeyEvent(uint32_t code, intptr_t kind) : QEvent(EventType()), code_(code), kind_(kind) {}

HotKeyEvent::~HotKeyEvent() = default;

QEvent::Type HotKeyEvent::EventType() {
    static const QEvent::Type type =
        static_cast<QEvent::Type>(QEvent::registerEventType(HintFromName(krkeys::kMessageName)));
    return type;
}
