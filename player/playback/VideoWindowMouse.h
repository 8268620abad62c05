#pragma once

// The video window's mouse: resizing by the 15-pixel border band, moving by the inside with
// docking to the main window, and in full screen the screen edges that reveal the main
// window (bottom), the effect controls (top) and the playlist (left) until the mouse comes
// back inside. The window and the main window are reached through interfaces, so the rules
// run without windows.

#include <Qt>
#include <cstdint>

#include "common/WinRect.h"
#include "player/playback/VideoWindowOwner.h"
#include "player/settings/PlayerSettings.h"

// The video window as its mouse handling sees it.
class IVideoMouseTarget {
public:
    virtual ~IVideoMouseTarget() = default;
    // The window's rectangle on the screen.
    virtual WinRect WindowRect() const = 0;
    virtual void MoveWindow(const WinRect& rect) = 0;
    virtual void SetCursorShape(Qt::CursorShape shape) = 0;
    // Shows the cursor over the picture again.
    virtual void ShowCursor() = 0;
    // Puts the video window above the others again.
    virtual void RaiseWindow() = 0;
    virtual void FitVideoRect(int edge) = 0;
    virtual void SetVideoWindowPosition() = 0;
    virtual bool RendererPlaced() const = 0;
    virtual void ClearRendererPlaced() = 0;
};

class VideoWindowMouse {
public:
    static constexpr int kCursorTicks = 6;  // ticks of the main window's timer until it hides

    VideoWindowMouse(PlayerSettings& settings, IVideoMouseTarget& window)
        : settings_(settings), window_(window) {}

    // The main window; reveals and the cursor countdown wait for it. Not owned.
    void SetOwner(IVideoWindowOwner* owner) { owner_ = owner; }

    // Client pixels of the video window.
    void OnLButtonDown(int x, int y);
    void OnMouseMove(int x, int y);
    void OnLButtonUp();

    bool Resizing() const { return resizing_; }
    bool Moving() const { return moving_; }
    int ResizeEdge() const { return resizeEdge_; }
    bool MainRevealed() const { return mainRevealed_; }
    bool EffectsRevealed() const { return effectsRevealed_; }
    bool PlaylistRevealed() const { return playlistRevealed_; }
    // The main window's rectangle from before it was revealed.
    const WinRect& SavedMainRect() const { return savedMainRect_; }
    // Leaving full screen has put the revealed windows back itself: nothing is left to
    // conceal at the next move.
    void ForgetReveals() { mainRevealed_ = effectsRevealed_ = playlistRevealed_ = false; }

    static Qt::CursorShape CursorOf(int resizeEdge);

private:
    void Hover(int x, int y);
    void Reveal(int x, int y);
    void BackInside();
    void ConcealAll();
    void Drag(int x, int y);
    void Resize(int x, int y);

    PlayerSettings& settings_;
    IVideoMouseTarget& window_;
    IVideoWindowOwner* owner_ = nullptr;

    int resizeEdge_ = -1;  // -1 until the first move
    bool resizing_ = false;
    bool moving_ = false;
    int lastX_ = -1, lastY_ = -1;
    int dragStartX_ = 0, dragStartY_ = 0;
    bool mainRevealed_ = false;
    bool effectsRevealed_ = false;
    bool playlistRevealed_ = false;
    WinRect savedMainRect_{};
};
