#pragma once

// Entering and leaving full screen: the video window over the whole screen, the main and
// playlist windows out of the way, the chosen display mode while it lasts, and on the way
// back every rectangle, window and mode as it was. The windows are reached through an
// interface, so the order of the steps runs and is tested without them.

#include "common/WinRect.h"
#include "platform/display/ModeSwitch.h"
#include "player/playback/MovieHooks.h"
#include "player/settings/PlayerSettings.h"

enum class FullScreenWindow { Main, Movie, Playlist };

// The windows that the video window shows over the picture at the screen's edges.
struct RevealState {
    bool main = false;
    bool effects = false;
    bool playlist = false;
    WinRect savedMain{};  // the main window's rectangle from before it was revealed
};

// The player's windows as full screen moves them.
class IFullScreenWindows {
public:
    virtual ~IFullScreenWindows() = default;
    virtual void Show(FullScreenWindow window, bool shown) = 0;
    // Stacking only: above the normal windows or among them; visibility and geometry stay.
    virtual void SetTopmost(FullScreenWindow window, bool topmost) = 0;
    // Moves the window's top-left corner; its size stays.
    virtual void PlaceAt(FullScreenWindow window, int left, int top) = 0;
    // The video window to rect, repainted; as the window that covers the screen when
    // fullScreen.
    virtual void MoveMovie(const WinRect& rect, bool fullScreen) = 0;
    virtual void FocusMovie() = 0;
    virtual bool HasVideoWindow() const = 0;
    virtual void SetVideoWindowPosition() = 0;
    virtual void FitVideoRect(int edge) = 0;
    // The playlist window follows the settings' playlistRect.
    virtual void LayoutPlaylist() = 0;
    virtual void HideEffectControls() = 0;
    virtual void HideTip() = 0;
    // The screen's rectangle. After a switch to width x height the server reports the new
    // size a little later: the wait for it is bounded. 0 x 0: as it is now.
    virtual WinRect ScreenRect(int width, int height) = 0;
    virtual RevealState Reveals() const = 0;
    virtual void ForgetReveals() = 0;
    // The main and playlist windows are hidden by the user's command.
    virtual bool Hidden() const = 0;
};

class FullScreen : public IDisplayModeSwitch {
public:
    // modes may be null: full screen then keeps the display mode. Not owned.
    FullScreen(PlayerSettings& settings, IFullScreenWindows& windows, IModeSwitch* modes)
        : settings_(settings), windows_(windows), modes_(modes) {}

    // Enters when windowed, leaves when in full screen.
    void ToggleFullScreen();
    // Puts the windows revealed over the picture back and hides the video window; before
    // leaving full screen for a file without picture.
    void TakeBackRevealedWindows();

    // IDisplayModeSwitch, for every open of a file.
    void RestoreDisplayMode() override;
    void SwitchDisplayMode() override;
    bool ModeSwitched() const { return modes_ && modes_->Switched(); }

    // The playlist's rectangle from before full screen: in full screen the settings hold
    // zeros there, and what is written to disk must be this.
    WinRect PlaylistWindowedRect() const {
        return settings_.fullScreen == 1 ? savedPlaylistRect_ : settings_.playlistRect;
    }

private:
    void Enter();
    void Leave();
    // True when a mode is chosen and not in force yet.
    bool WantsSwitch() const;
    void PutMainBack(const WinRect& saved);

    PlayerSettings& settings_;
    IFullScreenWindows& windows_;
    IModeSwitch* modes_;
    WinRect savedPlaylistRect_{};
};
