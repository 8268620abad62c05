#pragma once

// The global hot-key hook: once installed, every key press of the session reaches the
// given window as a hot-key message.

#include <QWidget>

class IHotKeyHook {
public:
    virtual ~IHotKeyHook() = default;
    virtual bool Install(QWidget* window) = 0;
    virtual void Remove() = 0;
};
