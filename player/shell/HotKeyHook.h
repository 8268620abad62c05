#pragma once

// The global hot-key hook: once installed, every key press of the session reaches the
// given window as a hot-key message.

#include <QWidget>

class IHotKeyHook {
public:
    virtual ~IHotKeyHook() = default;
    virtual bool Install(QWidget* window) = 0;
    // No message arrives after it returns; the process may end then.
    virtual void Remove() = 0;
    // No message arrives from Suspend until Resume (the options dialog captures keys then).
    virtual void Suspend() = 0;
    virtual void Resume() = 0;
};
