#include "player/shell/KrKeysHook.h"

#include "krkeys/KrKeys.h"

// The library's watch thread must be gone before the process ends.
KrKeysHook::~KrKeysHook() { Remove(); }

bool KrKeysHook::Install(QWidget* window) {
    window_ = window;
    suspended_ = false;
    return window && setMyHook(window);
}

void KrKeysHook::Remove() {
    if (!window_) return;
    if (!suspended_) clearMyHook(window_);
    window_ = nullptr;
    suspended_ = false;
}

void KrKeysHook::Suspend() {
    if (!window_ || suspended_) return;
    clearMyHook(window_);
    suspended_ = true;
}

void KrKeysHook::Resume() {
    if (!window_ || !suspended_) return;
    suspended_ = false;
    setMyHook(window_);
}
