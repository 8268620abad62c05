#pragma once

// Where the player's windows are and which one is on top: the windows docked to the main
// window follow it, and over a full-screen picture the windows its edges reveal come up
// topmost and go back to their own place and layer. Made once the windows exist.

#include <QPoint>

#include "common/WinRect.h"
#include "player/shell/PlayerFullScreen.h"

class WindowArrangement {
public:
    explicit WindowArrangement(FullScreenParts windows) : windows_(std::move(windows)) {}

    // The player's own full screen, once made: it alone changes the native stacking.
    void SetFullScreen(PlayerFullScreen* fullScreen) { fullScreen_ = fullScreen; }

    // Moves the main window by delta and keeps the settings' rectangles current; the docked
    // windows go along, except a full-screen video window, which covers the desktop.
    void DragMainWindowBy(const QPoint& delta);
    void MoveMainWindowBy(int dx, int dy);

    void SetMainTopmost(bool topmost);
    void SetMovieTopmost(bool topmost);
    // After a dialog in full screen, the picture goes back over everything.
    void RaiseMovieInFullScreen();
    // Main and movie windows topmost by alwaysOnTop, a shown tip above them.
    void RestoreZOrder();
    // In full screen the picture and the main window over it go back on top, without
    // taking the focus from where the user left it.
    void AfterOptionsClosed();

    // The windows the full-screen picture's edges reveal.
    void RevealMainWindow(const WinRect& rect);
    void ConcealMainWindow(const WinRect& rect);
    void RevealEffectControls(const WinRect& rect);
    void ConcealEffectControls();
    WinRect PlaylistWindowRect() const;
    void RevealPlaylist();
    void ConcealPlaylist();

private:
    FullScreenParts windows_;
    PlayerFullScreen* fullScreen_ = nullptr;
};
