#include "player/options/CaptureKey.h"

#include <QGuiApplication>
#include <QKeyEvent>

#include "platform/keys/KeyTable.h"

// Xlib's macros (Bool, Status) break Qt's headers: Xlib comes last.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace {

Display* XDisplay() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

uint16_t VirtualKeyOfKeycode(Display* display, unsigned keycode) {
    unsigned consumed = 0;
    KeySym sym = NoSymbol;
    if (!XkbLookupKeySym(display, static_cast<KeyCode>(keycode), 0, &consumed, &sym)) return 0;
    if (IsKeypadKey(sym)) {
        const unsigned numLock = XkbKeysymToModifiers(display, XK_Num_Lock);
        XkbStateRec state{};
        if (numLock != 0 && XkbGetState(display, XkbUseCoreKbd, &state) == Success &&
            (state.locked_mods & numLock) != 0)
            XkbLookupKeySym(display, static_cast<KeyCode>(keycode), numLock, &consumed, &sym);
    }
    return keytable::FromKeysym(static_cast<uint32_t>(sym));
}

}  // namespace

CapturedKey CaptureKeyOf(const QKeyEvent& event) {
    CapturedKey key;
    const quint32 keycode = event.nativeScanCode();
    Display* display = XDisplay();
    if (display && keycode >= 8 && keycode <= 255)
        key.vk = VirtualKeyOfKeycode(display, keycode);
    else
        key.vk = keytable::FromQtKey(event.key(), event.modifiers() & Qt::KeypadModifier);
    key.modifiers = keytable::ModifierBits(event.modifiers()) & ~keytable::ModifierOf(key.vk);
    return key;
}
