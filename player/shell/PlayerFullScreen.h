#pragma once

// Full screen on the player's own windows: the main window's children as the sequence moves
// them, and the XRandR switcher for the display mode (none off X). It also serves the video
// window's opens as their display-mode hook while it exists.

#include <memory>

#include "player/shell/FullScreen.h"
#include "player/shell/KalvorDlg.h"

class QWidget;

class PlayerFullScreen : public IFullScreenSwitch, public IFullScreenWindows {
public:
    // How long the screen's new size may take to arrive after a switch.
    static constexpr int kScreenChangeWaitMs = 2000;

    // After the main window made its children. modes: the display-mode switcher; by
    // default XRandR's on X and none elsewhere.
    explicit PlayerFullScreen(CKalvorDlg& dlg);
    PlayerFullScreen(CKalvorDlg& dlg, std::unique_ptr<IModeSwitch> modes);
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
    bool Hidden() const override { return dlg_.Hidden(); }

private:
    QWidget* Widget(FullScreenWindow window) const;

    CKalvorDlg& dlg_;
    std::unique_ptr<IModeSwitch> modes_;
    FullScreen sequence_;
};
