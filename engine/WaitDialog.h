#pragma once

// The window shown while a job's long preparation runs on a thread of its own: what it is
// doing, how far it got, and a button that stops it. It appears only when the work takes a
// while, so that quick work shows nothing.

#include <QDialog>
#include <atomic>
#include <cstdint>

#include "engine/PageDriver.h"
#include "platform/ui/DialogUnits.h"

inline constexpr int kWaitText = 250;
inline constexpr int kWaitBar = 251;
inline constexpr int kShowWaitAfterMs = 300;

class CWaitDialog : public QDialog {
public:
    CWaitDialog(const BackgroundWork& work, std::atomic<bool>& stop, QWidget* parent = nullptr);

    void Show(int done);
    // The button, Escape and the close box ask the work to stop; the window stays until it has.
    void reject() override;

private:
    const BackgroundWork& work_;
    std::atomic<bool>& stop_;
    const DialogUnits units_;
};

// Runs the work on a thread of its own while this thread goes on answering the window system;
// the wait window, owned by the X11 window ownerWindow, shows once the work takes a while.
// False when the user stopped the work.
bool RunWithWaitDialog(const BackgroundWork& work, uint32_t ownerWindow);
