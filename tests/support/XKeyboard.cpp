#include "support/XKeyboard.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

XKeyboard::XKeyboard(const std::string& display)
    : display_(XOpenDisplay(display.empty() ? nullptr : display.c_str())) {}

XKeyboard::~XKeyboard() {
    if (display_) XCloseDisplay(display_);
}

void XKeyboard::Tap(unsigned long sym, unsigned long held) {
    const KeyCode heldCode = held == 0 ? 0 : XKeysymToKeycode(display_, held);
    const KeyCode code = XKeysymToKeycode(display_, sym);
    if (heldCode) XTestFakeKeyEvent(display_, heldCode, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    if (heldCode) XTestFakeKeyEvent(display_, heldCode, False, CurrentTime);
    XSync(display_, False);
}
