#pragma once

// libkrkeys.so: the player's hot keys while another application has the focus. It watches
// every key press on the X server without grabbing any (the focused window still gets its
// keys) and posts each as a HotKeyEvent to the window it was given.
//
// Both calls belong on the window's thread. The window must outlive the hook: call
// clearMyHook before the window is destroyed and before the process ends.

#include <QObject>

#include "krkeys/Export.h"
#include "krkeys/HotKeyEvent.h"

// Starts delivering hot-key messages to window; called again while installed, it moves the
// delivery to that window. False (reported once on the log) when the X server cannot be
// watched; the player does not need the result.
KRKEYS_EXPORT bool setMyHook(QObject* window);

// Stops the watch and waits for its thread, a bounded time. From its return until the next
// setMyHook no message arrives, including ones posted before but not yet delivered. The
// window is the one given to setMyHook; the hook is removed whichever window is named.
KRKEYS_EXPORT void clearMyHook(QObject* window);
