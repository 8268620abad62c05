#pragma once

// Full screen on the player's own windows: the main window's children as the sequence moves
// them, and the XRandR switcher for the display mode (none off X). It also serves the video
// window's opens as their display-mode hook while it exists.

#include <functional>
#include <memory>

#include "player/settings/PlayerSettings.h"
#include "player/shell/FullScreen.h"
#include "player/shell/FullScreenSwitch.h"

class CEffectControls;
class CHKTip;
class CKalvorMovie;
class CKalvorPlaylist;
class IPlaybackWindow;
class QWidget;

// What full screen moves, shows and hides, all made before it; a window the player runs
// without is null.
struct FullScreenParts {
    PlayerSettings& settings;
    QWidget& main;
    IPlaybackWindow* movie = nullptr;
    CKalvorMovie* video = nullptr;  // movie's window when it is the player's own
    CKalvorPlaylist* playlist = nullptr;
    CEffectControls* effects = nullptr;
    CHKTip* tip = nullptr;
    // True while the main and playlist windows are hidden by command.
    std::function<bool()> hidden;
};

class PlayerFullScreen : public IFullScreenSwitch, public IFullScreenWindows {
public:
    // How long the screen's new size may take to arrive after a switch.
    static constexpr int kScreenChangeWaitMs = 2000;

    // After the main window made its children. modes: the display-mode switcher; by
    // default XRandR's on X and none elsewhere.
    explicit PlayerFullScreen(FullScreenParts parts);
    PlayerFullScreen(FullScreenParts parts, std::unique_ptr<IModeSwitch> modes);
    // A switched mode is put back here at the latest.
    ~PlayerFullScreen() override;
    PlayerFullScreen(const PlayerFullScreen&) = delete;
    PlayerFullScreen& operator=(const PlayerFullScreen&) = delete;

    void ToggleFullScreen() override { sequence_.ToggleFullScreen(); }
    void TakeBackRevealedWindows() override { sequence_.TakeBackRevealedWindows(); }
    FullScreen& Sequence() { return sequence_; }

    // IFullScreenWindows
    void Show(FullScreenWindow window, bool shown) override;
    void SetTopmost(FullScreenWindow window, bool topmost) override;
    void PlaceAt(FullScreenWindow window, int left, int top) override;
    void MoveMovie(const WinRect& rect, bool fullScreen) override;
    void FocusMovie() override;
    bool HasVideoWindow() const override;
    void SetVideoWindowPosition() override;
    void FitVideoRect(int edge) override;
    void LayoutPlaylist() override;
    void HideEffectControls() override;
    void HideTip() override;
    WinRect ScreenRect(int width, int height) override;
    RevealState Reveals() const override;
    void ForgetReveals() override;
    bool Hidden() const override { return parts_.hidden && parts_.hidden(); }

private:
    QWidget* Widget(FullScreenWindow window) const;

    FullScreenParts parts_;
    std::unique_ptr<IModeSwitch> modes_;
    FullScreen sequence_;
};
