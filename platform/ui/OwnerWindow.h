#pragma once

// korc's dialogs belong to the player's window, which lives in another process: on X11 a
// dialog is made transient for that window by its id.

#include <cstdint>
#include <functional>

class QWidget;

namespace ownerwindow {

// True when the id names a window that exists on the X display in use.
bool Exists(uint32_t x11Window);

// Makes the widget's window transient for the X11 window. A zero or stale id, or a
// platform other than X11, leaves the widget as it is, so it still shows.
void MakeTransientFor(QWidget* widget, uint32_t x11Window);

// Runs show, on the user-interface thread, so that every dialog it shows without a parent
// (a message box that the message sink builds, say) is made transient for the X11 window.
// Parenting to a stand-in widget would make the box transient for the stand-in instead.
void ShowOwned(uint32_t x11Window, const std::function<void()>& show);

}  // namespace ownerwindow
