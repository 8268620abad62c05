#pragma once

// The key a key press names for the hot-key list. On X11 it is the key's level-0 symbol
// (Shift+8 is Shift and 8, not '*'), the keypad following NumLock, exactly as the global
// hot-key library reads the same key later; elsewhere Qt's key.

#include <cstdint>

class QKeyEvent;

struct CapturedKey {
    uint16_t vk = 0;         // 0: a key without a virtual-key number
    uint32_t modifiers = 0;  // HotKeyCode bits held, the key's own bit left out
};

CapturedKey CaptureKeyOf(const QKeyEvent& event);
