#pragma once

// What Qt has no call for on a top-level window that another component draws into: the
// stacking state told to the window manager without Qt re-creating the window (it does at
// the next show after its flags change, and the renderer would draw into the old one), a
// black background for what nobody draws, and a round trip that lets another connection
// see this one's changes. Off X11 each does what Qt can, or nothing.

class QWidget;

namespace nativewindow {

// Keeps the window above the normal windows, or among them; its widget flags follow.
void SetKeepAbove(QWidget* window, bool above);

// Areas of the window that are exposed or uncovered are cleared to black by the server.
void SetBlackBackground(QWidget* window);

// Returns once the server has carried out every request this program sent it, so that a
// renderer on its own connection reads the window's geometry as it is now.
void SyncWithServer();

}  // namespace nativewindow
