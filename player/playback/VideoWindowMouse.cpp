#include "player/playback/VideoWindowMouse.h"

#include "player/playback/VideoGeometry.h"

namespace vg = videogeometry;

Qt::CursorShape VideoWindowMouse::CursorOf(int resizeEdge) {
    switch (resizeEdge) {
        case vg::kCornerEdge:
            return Qt::SizeFDiagCursor;
        case vg::kBottomEdge:
        case vg::kTopEdge:
            return Qt::SizeVerCursor;
        case vg::kRightEdge:
        case vg::kLeftEdge:
            return Qt::SizeHorCursor;
        default:
            return Qt::ArrowCursor;
    }
}

void VideoWindowMouse::OnLButtonDown(int x, int y) {
    if (settings_.fullScreen == 1) return;
    const WinRect& movie = settings_.movieRect;
    if (vg::InResizeBand(x, y, movie.Width(), movie.Height())) {
        resizing_ = true;
    } else if (vg::Inside(x, y, movie.Width(), movie.Height())) {
        moving_ = true;
        dragStartX_ = x;
        dragStartY_ = y;
    }
}

void VideoWindowMouse::OnMouseMove(int x, int y) {
    if (!resizing_ && (x != lastX_ || y != lastY_)) {
        settings_.movieRect = window_.WindowRect();
        if (settings_.fullScreen == 1)
            Reveal(x, y);
        else
            Hover(x, y);
        const WinRect& movie = settings_.movieRect;
        if (vg::Inside(x, y, movie.Width(), movie.Height())) BackInside();
        lastX_ = x;
        lastY_ = y;
    }
    if (settings_.fullScreen == 1) return;
    if (moving_) Drag(x, y);
    if (resizing_ && (x != lastX_ || y != lastY_)) Resize(x, y);
}

void VideoWindowMouse::OnLButtonUp() {
    if (settings_.fullScreen == 1) return;
    if (resizing_) {
        settings_.movieRect = window_.WindowRect();
        resizing_ = false;
    }
    moving_ = false;
}

void VideoWindowMouse::Hover(int x, int y) {
    const WinRect& movie = settings_.movieRect;
    const auto edge = vg::HoverEdge(x, y, movie.Width(), movie.Height());
    if (!edge) return;
    if (window_.RendererPlaced()) window_.ClearRendererPlaced();
    window_.SetCursorShape(CursorOf(*edge));
    resizeEdge_ = *edge;
}

// Each edge reveals its window once; it stays until the mouse comes back inside.
void VideoWindowMouse::Reveal(int x, int y) {
    if (!owner_) return;
    const WinRect screen = settings_.movieRect;
    const vg::RevealBands bands = vg::BandsAt(x, y, screen.Width(), screen.Height());
    if (bands.bottom && !mainRevealed_) {
        savedMainRect_ = settings_.mainRect;
        owner_->RevealMainWindow(vg::MainRevealRect(screen, savedMainRect_));
        window_.SetCursorShape(Qt::ArrowCursor);
        mainRevealed_ = true;
    }
    if (bands.top && !effectsRevealed_) {
        owner_->RevealEffectControls(vg::EffectsRevealRect(screen));
        effectsRevealed_ = true;
    }
    if (bands.left && !playlistRevealed_) {
        settings_.playlistRect =
            vg::PlaylistRevealRect(screen, settings_.playlistRect, owner_->PlaylistWindowRect());
        owner_->RevealPlaylist();
        window_.SetCursorShape(Qt::ArrowCursor);
        playlistRevealed_ = true;
    }
}

void VideoWindowMouse::BackInside() {
    if (!window_.RendererPlaced()) window_.SetVideoWindowPosition();
    if (owner_) {
        if (owner_->CursorCountdown() < 1) {
            window_.SetCursorShape(Qt::ArrowCursor);
            window_.ShowCursor();
        }
        owner_->SetCursorCountdown(kCursorTicks);
    }
    ConcealAll();
    if (resizeEdge_ != vg::kNoEdge) window_.SetCursorShape(Qt::ArrowCursor);
    resizeEdge_ = vg::kNoEdge;
}

// Only what was revealed is put back, and only once.
void VideoWindowMouse::ConcealAll() {
    if (!owner_) return;
    if (mainRevealed_) {
        owner_->ConcealMainWindow(savedMainRect_);
        window_.RaiseWindow();
        mainRevealed_ = false;
    }
    if (effectsRevealed_) {
        owner_->ConcealEffectControls();
        effectsRevealed_ = false;
    }
    if (playlistRevealed_) {
        owner_->ConcealPlaylist();
        playlistRevealed_ = false;
    }
}

void VideoWindowMouse::Drag(int x, int y) {
    const int dx = x - dragStartX_;
    const int dy = y - dragStartY_;
    WinRect& movie = settings_.movieRect;
    movie = {movie.left + dx, movie.top + dy, movie.right + dx, movie.bottom + dy};
    const bool withMain = settings_.moveWithMovieWindow == 1;
    if (!withMain) {
        const vg::Snap snap = vg::SnapToControlWindow(movie, settings_.mainRect);
        movie = snap.movie;
        settings_.movieDockSide = snap.dockSide;
    }
    window_.MoveWindow(movie);
    if (withMain && owner_) owner_->MoveMainWindowBy(dx, dy);
}

void VideoWindowMouse::Resize(int x, int y) {
    settings_.movieRect = vg::DragEdge(window_.WindowRect(), resizeEdge_, x, y);
    window_.FitVideoRect(vg::FitEdgeOf(resizeEdge_));
    window_.SetVideoWindowPosition();
    window_.MoveWindow(settings_.movieRect);
    window_.SetCursorShape(CursorOf(resizeEdge_));
    lastX_ = x;
    lastY_ = y;
}
