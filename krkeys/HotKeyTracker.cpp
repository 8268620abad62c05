#include "krkeys/HotKeyTracker.h"

#include "platform/keys/KeyTable.h"

HotKeyTracker::Messages HotKeyTracker::Press(uint8_t keycode, uint16_t vk) {
    const bool repeat = down_.test(keycode);
    down_.set(keycode);
    modifierOf_[keycode] = keytable::ModifierOf(vk);

    Messages out;
    if (vk == 0) return out;
    // A modifier's own press does not count itself: Ctrl alone is 0x11, not 0x20011.
    const uint32_t code = vk | HeldModifiersExcept(keycode);
    if (!repeat) out.items[out.count++] = {code, 0};
    out.items[out.count++] = {code, 1};
    return out;
}

void HotKeyTracker::Release(uint8_t keycode) {
    down_.reset(keycode);
    modifierOf_[keycode] = 0;
}

uint32_t HotKeyTracker::HeldModifiersExcept(uint8_t keycode) const {
    uint32_t bits = 0;
    for (size_t k = 0; k < modifierOf_.size(); ++k) {
        if (k != keycode) bits |= modifierOf_[k];
    }
    return bits;
}
