#pragma once

// Makes the main window's child windows and tray icon as start-up asks for them. The player
// uses this one; tests derive from it to record the order or to put a recorder in place of
// the video window.

#include <QSystemTrayIcon>

#include <memory>

#include "player/options/KalvorOptions.h"
#include "player/playback/EffectControls.h"
#include "player/playlist/KalvorPlaylist.h"
#include "player/shell/HKTip.h"
#include "player/shell/PlaybackWindow.h"
#include "player/wizard/KalvorWizard.h"

class IMovieHost;

class PlayerWindowFactory {
public:
    virtual ~PlayerWindowFactory() = default;

    // The video window, a window of its own owned by owner.
    virtual std::unique_ptr<IPlaybackWindow> CreatePlaybackWindow(IMovieHost& host, QWidget* owner);
    // The later windows take the video window as their parent.
    virtual std::unique_ptr<CEffectControls> CreateEffectControls(IPlaybackWindow* movie,
                                                                  QWidget* parent);
    // The main window is the host of each of these.
    virtual std::unique_ptr<CKalvorOptions> CreateOptions(IOptionsHost* host, QWidget* parent);
    virtual std::unique_ptr<CKalvorWizard> CreateWizard(IWizardHost& host, QWidget* parent);
    virtual std::unique_ptr<CKalvorPlaylist> CreatePlaylist(IPlaylistWindowHost& host,
                                                            QWidget* parent);
    virtual std::unique_ptr<CHKTip> CreateTip(QWidget* parent);
    // Nothing when the desktop has no notification area.
    virtual std::unique_ptr<QSystemTrayIcon> CreateTrayIcon(QWidget* main);
};
