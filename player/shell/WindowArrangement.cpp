#include "player/shell/WindowArrangement.h"

#include <QWidget>

#include "platform/ui/ColorRef.h"
#include "platform/ui/NativeWindow.h"
#include "player/playback/EffectControls.h"
#include "player/playlist/KalvorPlaylist.h"
#include "player/shell/HKTip.h"
#include "player/shell/PlaybackWindow.h"

void WindowArrangement::DragMainWindowBy(const QPoint& delta) {
    QWidget& main = windows_.main;
    PlayerSettings& settings = windows_.settings;
    main.move(main.pos() + delta);
    const bool moveMovie = settings.movieDockSide != 0 || settings.moveWithMovieWindow == 1;
    if (moveMovie && settings.fullScreen == 0 && windows_.movie) {
        QWidget* movie = windows_.movie->Widget();
        movie->move(movie->pos() + delta);
        settings.movieRect = colorref::FromQRect(movie->geometry());
    }
    if (settings.playlistDocked != 0 && windows_.playlist) {
        windows_.playlist->move(windows_.playlist->pos() + delta);
        settings.playlistRect = colorref::FromQRect(windows_.playlist->geometry());
    }
    settings.mainRect = colorref::FromQRect(main.geometry());
}

void WindowArrangement::MoveMainWindowBy(int dx, int dy) {
    windows_.main.move(windows_.main.pos() + QPoint(dx, dy));
    windows_.settings.mainRect = colorref::FromQRect(windows_.main.geometry());
}

// The full-screen sequence changes only the native window's stacking; a new native window
// would flicker over the picture.
void WindowArrangement::SetMainTopmost(bool topmost) {
    if (fullScreen_)
        fullScreen_->SetTopmost(FullScreenWindow::Main, topmost);
    else
        windows_.main.setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
}

void WindowArrangement::SetMovieTopmost(bool topmost) {
    if (fullScreen_)
        fullScreen_->SetTopmost(FullScreenWindow::Movie, topmost);
    else if (windows_.movie)
        nativewindow::SetKeepAbove(windows_.movie->Widget(), topmost);
}

void WindowArrangement::RaiseMovieInFullScreen() {
    if (windows_.settings.fullScreen != 1 || !windows_.movie) return;
    SetMovieTopmost(true);
    windows_.movie->Widget()->raise();
}

void WindowArrangement::RestoreZOrder() {
    const bool topmost = windows_.settings.alwaysOnTop == 1;
    SetMainTopmost(topmost);
    SetMovieTopmost(topmost);
    if (windows_.tip && windows_.tip->isVisible()) windows_.tip->raise();
}

void WindowArrangement::AfterOptionsClosed() {
    if (windows_.settings.fullScreen != 1) return;
    SetMovieTopmost(true);
    if (windows_.main.isVisible()) SetMainTopmost(true);
}

// Over a full-screen video the main window must stay on top while it is revealed; concealed,
// it goes back to its own place and layer.
void WindowArrangement::RevealMainWindow(const WinRect& rect) {
    SetMainTopmost(true);
    windows_.main.move(rect.left, rect.top);
    windows_.main.show();
    windows_.main.raise();
}

void WindowArrangement::ConcealMainWindow(const WinRect& rect) {
    SetMainTopmost(windows_.settings.alwaysOnTop == 1);
    windows_.main.move(rect.left, rect.top);
    windows_.main.hide();
}

void WindowArrangement::RevealEffectControls(const WinRect& rect) {
    if (!windows_.effects) return;
    windows_.effects->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    windows_.effects->show();
    windows_.effects->raise();
}

void WindowArrangement::ConcealEffectControls() {
    if (windows_.effects) windows_.effects->hide();
}

WinRect WindowArrangement::PlaylistWindowRect() const {
    return windows_.playlist ? colorref::FromQRect(windows_.playlist->geometry())
                             : windows_.settings.playlistRect;
}

void WindowArrangement::RevealPlaylist() {
    if (!windows_.playlist) return;
    windows_.playlist->LayoutPlaylist();
    windows_.playlist->show();
    windows_.playlist->raise();
}

void WindowArrangement::ConcealPlaylist() {
    if (windows_.playlist) windows_.playlist->hide();
}
