#pragma once

// Keys pressed on an X server through XTest, as a user's keyboard would press them,
// whichever window has the focus.

#include <string>

struct _XDisplay;

class XKeyboard {
public:
    // The server that display names; empty for the one DISPLAY names.
    explicit XKeyboard(const std::string& display = {});
    ~XKeyboard();
    XKeyboard(const XKeyboard&) = delete;
    XKeyboard& operator=(const XKeyboard&) = delete;

    // False when the server could not be reached.
    bool Ok() const { return display_ != nullptr; }
    // Presses and lets go of the key of sym (an X key symbol), with the key of held pressed
    // around it when held is not 0.
    void Tap(unsigned long sym, unsigned long held = 0);

private:
    _XDisplay* display_;
};
