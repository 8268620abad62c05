#pragma once

// The player's hot-key hook on libkrkeys: every key press of the X session reaches the main
// window as a HotKeyEvent. While the options dialog captures keys the hook is suspended, so
// the keys being assigned do not also run their old actions.

#include "player/shell/HotKeyHook.h"

class KrKeysHook : public IHotKeyHook {
public:
    ~KrKeysHook() override;

    bool Install(QWidget* window) override;
    void Remove() override;
    void Suspend() override;
    void Resume() override;

    bool Installed() const { return window_ != nullptr; }
    bool Suspended() const { return suspended_; }

private:
    QWidget* window_ = nullptr;  // the window given to Install, until Remove
    bool suspended_ = false;
};
