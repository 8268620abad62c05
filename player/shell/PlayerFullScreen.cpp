#include "player/shell/PlayerFullScreen.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <QWidget>

#include "platform/ui/ColorRef.h"
#include "platform/ui/NativeWindow.h"
#include "player/playback/EffectControls.h"
#include "player/playback/KalvorMovie.h"
#include "player/playlist/KalvorPlaylist.h"
#include "player/shell/HKTip.h"
#include "player/shell/PlaybackWindow.h"

namespace {

std::unique_ptr<IModeSwitch> SystemModeSwitch() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    return std::make_unique<XRandrModeSwitch>();
}

}  // namespace

PlayerFullScreen::PlayerFullScreen(FullScreenParts parts)
    : PlayerFullScreen(std::move(parts), SystemModeSwitch()) {}

PlayerFullScreen::PlayerFullScreen(FullScreenParts parts, std::unique_ptr<IModeSwitch> modes)
    : parts_(std::move(parts)),
      modes_(std::move(modes)),
      sequence_(parts_.settings, *this, modes_.get()) {
    if (parts_.video) parts_.video->SetDisplayModeSwitch(&sequence_);
}

PlayerFullScreen::~PlayerFullScreen() {
    if (parts_.video) parts_.video->SetDisplayModeSwitch(nullptr);
    sequence_.RestoreDisplayMode();
}

QWidget* PlayerFullScreen::Widget(FullScreenWindow window) const {
    switch (window) {
        case FullScreenWindow::Main:
            return &parts_.main;
        case FullScreenWindow::Movie:
            return parts_.movie ? parts_.movie->Widget() : nullptr;
        case FullScreenWindow::Playlist:
            return parts_.playlist;
    }
    return nullptr;
}

void PlayerFullScreen::Show(FullScreenWindow window, bool shown) {
    if (QWidget* w = Widget(window)) w->setVisible(shown);
}

// Qt gives a window whose stay-on-top flag changed a new native window at its next show;
// the video sink would go on drawing into the old one. The window manager is told instead.
void PlayerFullScreen::SetTopmost(FullScreenWindow window, bool topmost) {
    QWidget* w = Widget(window);
    if (!w) return;
    nativewindow::SetKeepAbove(w, topmost);
    if (w->isVisible()) w->raise();
}

void PlayerFullScreen::PlaceAt(FullScreenWindow window, int left, int top) {
    if (QWidget* w = Widget(window)) w->move(left, top);
}

// The window manager is told by the full-screen state; the geometry is set as well, since
// without a window manager nobody else does it.
void PlayerFullScreen::MoveMovie(const WinRect& rect, bool fullScreen) {
    QWidget* w = Widget(FullScreenWindow::Movie);
    if (!w) return;
    Qt::WindowStates states = w->windowState();
    states.setFlag(Qt::WindowFullScreen, fullScreen);
    w->setWindowState(states);
    if (rect.Width() > 0 && rect.Height() > 0) w->setGeometry(colorref::ToQRect(rect));
    w->update();
}

void PlayerFullScreen::FocusMovie() {
    QWidget* w = Widget(FullScreenWindow::Movie);
    if (!w || !w->isVisible()) return;
    w->activateWindow();
    w->setFocus();
}

bool PlayerFullScreen::HasVideoWindow() const {
    return parts_.video && parts_.video->HasVideoWindow() == 1;
}

void PlayerFullScreen::SetVideoWindowPosition() {
    if (parts_.video) parts_.video->SetVideoWindowPosition();
}

void PlayerFullScreen::FitVideoRect(int edge) {
    if (parts_.video) parts_.video->FitVideoRect(edge);
}

void PlayerFullScreen::LayoutPlaylist() {
    if (parts_.playlist) parts_.playlist->LayoutPlaylist();
}

void PlayerFullScreen::HideEffectControls() {
    if (parts_.effects) parts_.effects->hide();
}

void PlayerFullScreen::HideTip() {
    if (parts_.tip) parts_.tip->HideTip();
}

// A switch changes the primary output; the screen the video window is on otherwise.
WinRect PlayerFullScreen::ScreenRect(int width, int height) {
    if (width > 0 && height > 0) {
        const QSize wanted(width, height);
        QDeadlineTimer deadline(kScreenChangeWaitMs);
        for (;;) {
            QScreen* screen = QGuiApplication::primaryScreen();
            if ((screen && screen->geometry().size() == wanted) || deadline.hasExpired()) break;
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
            QThread::msleep(10);
        }
        QScreen* screen = QGuiApplication::primaryScreen();
        return screen ? colorref::FromQRect(screen->geometry()) : WinRect{};
    }
    QWidget* movie = Widget(FullScreenWindow::Movie);
    QScreen* screen = movie ? movie->screen() : QGuiApplication::primaryScreen();
    return screen ? colorref::FromQRect(screen->geometry()) : WinRect{};
}

RevealState PlayerFullScreen::Reveals() const {
    RevealState state;
    if (const CKalvorMovie* video = parts_.video) {
        const VideoWindowMouse& mouse = video->Mouse();
        state = {mouse.MainRevealed(), mouse.EffectsRevealed(), mouse.PlaylistRevealed(),
                 mouse.SavedMainRect()};
    }
    return state;
}

void PlayerFullScreen::ForgetReveals() {
    if (parts_.video) parts_.video->Mouse().ForgetReveals();
}
