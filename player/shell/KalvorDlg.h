#pragma once

// The player's main window. It owns the settings record and, as the player grows, every
// other window; it receives the launch requests of later instances.

#include <QDialog>

#include <string>

#include "player/shell/LaunchRequest.h"
#include "player/shell/PlayerFolders.h"
#include "player/shell/PlayerSettings.h"

class CKalvorParent;

// What a launch request opens: a playlist into the playlist window, or a media file into
// the video window. Provided by those windows; without one, requests only change settings.
class ILaunchTarget {
public:
    virtual ~ILaunchTarget() = default;
    virtual void OpenPlaylistAndPlay(const std::string& path) = 0;
    virtual void OpenMediaAndPlay(const std::string& path) = 0;
};

// True when a launch path names a playlist: at least 5 characters ending in "pls" or "m3u"
// in any case.
bool IsPlaylistPath(const std::string& path);

class CKalvorDlg : public QDialog, public ILaunchRequestHandler {
    Q_OBJECT
public:
    CKalvorDlg(CKalvorParent* parent, PlayerFolders folders);
    ~CKalvorDlg() override;

    // The start-up steps of the main window; false when the player must end (the reason
    // has been shown to the user).
    bool OnInitDialog();

    void OnLaunchRequest(const LaunchRequest& request) override;
    void ApplyLaunchRequest(int32_t flags, const std::string& path);

    // Folds the live state into the record's image and writes options.cfg.
    bool SaveOptions();
    // The one way out of the player.
    void ExitPlayer();

    PlayerSettings& Settings() { return m_settings; }
    const PlayerFolders& Folders() const { return m_folders; }
    const std::string& CurrentFile() const { return m_currentFile; }
    double CurrentPosition() const { return m_currentPosition; }
    void SetCurrentFile(const std::string& path) { m_currentFile = path; }
    void SetLaunchFlags(int32_t flags) { m_launchFlags = flags; }
    void SetBusy(bool busy) { m_busy = busy ? 1 : 0; }
    bool IsBusy() const { return m_busy != 0; }
    void SetLaunchTarget(ILaunchTarget* target) { m_launchTarget = target; }

protected:
    void closeEvent(QCloseEvent* event) override;
    // Escape must not hide the main window: the player ends only through ExitPlayer.
    void reject() override;

private:
    bool ReadOptions();
    void ResumeLastMovie();

    CKalvorParent* m_parent;
    PlayerFolders m_folders;
    PlayerSettings m_settings{};
    int32_t m_launchFlags = 0;
    // 1 while starting up and while a received request is applied: requests that arrive
    // then are answered without being acted on.
    int32_t m_busy = 1;
    std::string m_currentFile;
    double m_currentPosition = 0.0;
    ILaunchTarget* m_launchTarget = nullptr;
};
