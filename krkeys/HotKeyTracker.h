#pragma once

// Turns the raw stream of key presses and releases into hot-key messages. A first press
// gives two messages, kind 0 then kind 1; a press of a key that is already down (the
// server's auto-repeat) gives one of kind 1; a release gives none. Modifiers are tracked by
// key, so releasing one of two held Shift keys leaves Shift down.

#include <array>
#include <bitset>
#include <cstdint>

class HotKeyTracker {
public:
    struct Message {
        uint32_t code;  // HotKeyCode
        int kind;       // 0 one-shot, 1 repeating
        bool operator==(const Message&) const = default;
    };
    struct Messages {
        std::array<Message, 2> items{};
        int count = 0;
        const Message* begin() const { return items.data(); }
        const Message* end() const { return items.data() + count; }
    };

    // keycode: the X keycode; vk: its virtual key from the key table, 0 when it has none.
    Messages Press(uint8_t keycode, uint16_t vk);
    void Release(uint8_t keycode);

private:
    uint32_t HeldModifiersExcept(uint8_t keycode) const;

    std::bitset<256> down_;
    std::array<uint32_t, 256> modifierOf_{};  // the bit a held modifier key stands for
};
