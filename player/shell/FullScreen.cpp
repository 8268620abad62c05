#include "player/shell/FullScreen.h"

using W = FullScreenWindow;

void FullScreen::ToggleFullScreen() {
    if (settings_.fullScreen == 1)
        Leave();
    else
        Enter();
}

bool FullScreen::WantsSwitch() const {
    return modes_ && settings_.displayWidth != 0 && settings_.displayHeight != 0 &&
           !modes_->Switched();
}

void FullScreen::Enter() {
    windows_.Show(W::Movie, false);
    // The depth cannot change on X: the stored bits are not used.
    const bool switched =
        WantsSwitch() &&
        modes_->Switch(settings_.displayWidth, settings_.displayHeight, settings_.displayRefresh);
    savedPlaylistRect_ = settings_.playlistRect;
    settings_.playlistRect = {};
    settings_.movieWindowedRect = settings_.movieRect;
    settings_.movieRect = switched
                              ? windows_.ScreenRect(settings_.displayWidth, settings_.displayHeight)
                              : windows_.ScreenRect(0, 0);
    windows_.MoveMovie(settings_.movieRect, true);
    settings_.fullScreen = 1;
    if (windows_.HasVideoWindow()) {
        windows_.SetVideoWindowPosition();
        windows_.FitVideoRect(0);
    }
    windows_.Show(W::Movie, true);
    windows_.SetTopmost(W::Movie, true);
    windows_.Show(W::Main, false);
    windows_.Show(W::Playlist, false);
    windows_.PlaceAt(W::Main, settings_.mainRect.left, settings_.mainRect.top);
    windows_.SetTopmost(W::Main, settings_.alwaysOnTop == 1);
}

void FullScreen::PutMainBack(const WinRect& saved) {
    settings_.mainRect = saved;
    windows_.Show(W::Main, false);
    windows_.PlaceAt(W::Main, saved.left, saved.top);
    windows_.SetTopmost(W::Main, settings_.alwaysOnTop == 1);
}

void FullScreen::Leave() {
    windows_.HideTip();
    RestoreDisplayMode();
    settings_.playlistRect = savedPlaylistRect_;
    windows_.LayoutPlaylist();
    // Everything revealed over the picture goes back, and the flags with it, so that the
    // next mouse move does not hide a window the user sees.
    const RevealState reveals = windows_.Reveals();
    if (reveals.main) PutMainBack(reveals.savedMain);
    if (reveals.effects) windows_.HideEffectControls();
    windows_.ForgetReveals();
    const bool hidden = windows_.Hidden();
    windows_.Show(W::Playlist, settings_.playlistVisible == 1 && !hidden);
    settings_.movieRect = settings_.movieWindowedRect;
    settings_.fullScreen = 0;
    if (windows_.HasVideoWindow()) {
        // Windowed, the fit drops the letterbox: the picture fills the window again.
        windows_.FitVideoRect(0);
        windows_.SetVideoWindowPosition();
    }
    windows_.SetTopmost(W::Movie, settings_.alwaysOnTop == 1);
    if (!hidden) windows_.Show(W::Main, true);
    windows_.MoveMovie(settings_.movieRect, false);
    windows_.FocusMovie();
}

void FullScreen::TakeBackRevealedWindows() {
    windows_.HideTip();
    const RevealState reveals = windows_.Reveals();
    const bool hidden = windows_.Hidden();
    const bool playlistShown = settings_.playlistVisible == 1 && !hidden;
    if (reveals.main) {
        PutMainBack(reveals.savedMain);
        windows_.SetTopmost(W::Movie, true);
        windows_.Show(W::Movie, true);
        if (!hidden) windows_.Show(W::Main, true);
    }
    if (reveals.effects) {
        windows_.SetTopmost(W::Movie, true);
        windows_.HideEffectControls();
    }
    if (reveals.playlist) {
        windows_.Show(W::Playlist, false);
        windows_.PlaceAt(W::Playlist, settings_.playlistRect.left, settings_.playlistRect.top);
        windows_.SetTopmost(W::Playlist, settings_.alwaysOnTop == 1);
        windows_.SetTopmost(W::Movie, true);
        windows_.Show(W::Playlist, playlistShown);
    }
    windows_.ForgetReveals();
    if (!hidden) windows_.Show(W::Main, true);
    windows_.Show(W::Playlist, playlistShown);
    windows_.Show(W::Movie, false);
}

void FullScreen::RestoreDisplayMode() {
    if (modes_ && modes_->Switched()) modes_->Restore();
}

void FullScreen::SwitchDisplayMode() {
    if (settings_.fullScreen == 1 && WantsSwitch())
        modes_->Switch(settings_.displayWidth, settings_.displayHeight, settings_.displayRefresh);
}
