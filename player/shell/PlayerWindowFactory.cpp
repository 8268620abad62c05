#include "player/shell/PlayerWindowFactory.h"

#include "platform/system/ProcessLauncher.h"
#include "player/playback/MovieEffectTarget.h"
#include "player/shell/MoviePlayback.h"

std::unique_ptr<IPlaybackWindow> PlayerWindowFactory::CreatePlaybackWindow(IMovieHost& host,
                                                                           QWidget* owner) {
    return std::make_unique<MoviePlayback>(host, owner);
}

// The controls edit the player's video window; a stand-in window has no block to edit.
std::unique_ptr<CEffectControls> PlayerWindowFactory::CreateEffectControls(IPlaybackWindow* movie,
                                                                           QWidget* parent) {
    auto* video = movie ? qobject_cast<CKalvorMovie*>(movie->Widget()) : nullptr;
    if (!video) return std::make_unique<CEffectControls>(static_cast<IEffectTarget*>(nullptr), parent);
    return std::make_unique<CEffectControls>(std::make_unique<MovieEffectTarget>(*video), parent);
}

std::unique_ptr<CKalvorOptions> PlayerWindowFactory::CreateOptions(IOptionsHost* host,
                                                                   QWidget* parent) {
    return std::make_unique<CKalvorOptions>(host, parent);
}

std::unique_ptr<CKalvorWizard> PlayerWindowFactory::CreateWizard(IWizardHost& host,
                                                                 QWidget* parent) {
    return std::make_unique<CKalvorWizard>(host, DefaultProcessLauncher(), parent);
}

std::unique_ptr<CKalvorPlaylist> PlayerWindowFactory::CreatePlaylist(IPlaylistWindowHost& host,
                                                                     QWidget* parent) {
    return std::make_unique<CKalvorPlaylist>(host, parent);
}

std::unique_ptr<CHKTip> PlayerWindowFactory::CreateTip(QWidget* parent) {
    return std::make_unique<CHKTip>(parent);
}

std::unique_ptr<QSystemTrayIcon> PlayerWindowFactory::CreateTrayIcon(QWidget* main) {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return nullptr;
    auto tray = std::make_unique<QSystemTrayIcon>(main->windowIcon());
    tray->setToolTip("Kalvor");
    tray->show();
    return tray;
}
