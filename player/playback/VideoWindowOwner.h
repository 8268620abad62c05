#pragma once

// What the video window asks of the main window: its commands, full screen, the play
// sequencing, the shutdown after the last entry, the cursor countdown of its timer, and the
// windows that full screen reveals at the screen edges. The main window implements it.

#include "common/WinRect.h"

class IVideoWindowOwner {
public:
    virtual ~IVideoWindowOwner() = default;
    // button 0..6: a fixed button of the skin; 7: code is the extra command.
    virtual void ExecuteCommand(int button, int code) = 0;
    virtual void ToggleFullScreen() = 0;
    virtual void PlayNext() = 0;
    virtual void PlaySelected() = 0;
    // The shutdown option's end: the computer is switched off.
    virtual void ShutdownComputer() = 0;

    // Ticks of the main window's 500 ms timer until it hides the cursor over the video.
    virtual int CursorCountdown() const = 0;
    virtual void SetCursorCountdown(int ticks) = 0;

    // Moves the main window by the offset and keeps the settings' mainRect current.
    virtual void MoveMainWindowBy(int dx, int dy) = 0;

    // Full screen: the main window shown topmost at rect, then put back to rect and hidden.
    virtual void RevealMainWindow(const WinRect& rect) = 0;
    virtual void ConcealMainWindow(const WinRect& rect) = 0;
    virtual void RevealEffectControls(const WinRect& rect) = 0;
    virtual void ConcealEffectControls() = 0;
    // The playlist window's last known rectangle.
    virtual WinRect PlaylistWindowRect() const = 0;
    // Lays the playlist out from the settings' playlistRect and shows it at its left and
    // top without resizing; then hides it there again.
    virtual void RevealPlaylist() = 0;
    virtual void ConcealPlaylist() = 0;
    // The video window was activated: the main window, which takes the keys, is instead.
    virtual void ActivateMainWindow() {}
};
