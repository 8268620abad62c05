#pragma once

// The hot-key list's work copy and its capture rules: which key with which modifiers a
// slot may take, the text a slot shows, and that no two slots share a code.

#include <array>
#include <cstdint>
#include <string>

#include "player/settings/PlayerSettings.h"

namespace hotkeys {

// The list's action names, in slot order.
extern const std::array<const char*, kHotKeySlots> kActionNames;

// The text LoadControls shows: "Shift + ", "Ctrl + ", "Alt + ", "Win + " as held, then
// the key's name from the capture tables; empty for 0.
std::string LoadText(int32_t code);

}  // namespace hotkeys

class HotKeyCapture {
public:
    void Load(const int32_t (&hotKeys)[kHotKeySlots]);
    void Store(int32_t (&hotKeys)[kHotKeySlots]) const;
    int32_t Code(int slot) const { return work_[static_cast<size_t>(slot)]; }

    // A key pressed on the row of slot (-1: no row, nothing happens) with the HotKeyCode
    // modifier bits held. Backspace clears the slot; a key of the tables whose code no slot
    // holds yet is stored. True when the slot changed; text then has its new text (built
    // with "Win + " before "Alt + ").
    bool Capture(int slot, uint16_t vk, uint32_t modifiers, std::string& text);

private:
    bool Holds(int32_t code) const;
    std::array<int32_t, kHotKeySlots> work_{};
};
