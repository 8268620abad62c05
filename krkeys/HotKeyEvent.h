#pragma once

// The hot-key message, posted to the window that setMyHook was given and delivered on that
// window's thread: Code() is wParam (the HotKeyCode), Kind() is lParam (0 for a first press,
// 1 for the same press and for each auto-repeat).

#include <QEvent>

#include <cstdint>

#include "krkeys/Export.h"

namespace krkeys {
inline constexpr char kMessageName[] = "UWM_KRKEYS_MSG-44E531B1_14D3_11d5_A025_006067718D04";
}

class KRKEYS_EXPORT HotKeyEvent : public QEvent {
public:
    HotKeyEvent(uint32_t code, intptr_t kind);
    ~HotKeyEvent() override;

    // The event type registered for kMessageName, the same for the library and the player.
    static QEvent::Type EventType();

    uint32_t Code() const { return code_; }
    intptr_t Kind() const { return kind_; }

private:
    uint32_t code_;
    intptr_t kind_;
};
