#pragma once

// What the main window plays: the current file and position, the marked range and the title
// shown for them, and the steps that open, seek, stop and mark. The main window owns it,
// gives it the video window, the playlist and the wizard once they exist, and is its host.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "player/settings/MediaEntry.h"
#include "player/shell/FileDialogs.h"
#include "player/shell/PlayerCommands.h"

class IPlaybackWindow;
class IPlaylist;
class IWizardRows;
class MainSurface;
class QWidget;
class SkinResources;
class SkinToolTips;
struct PlayerSettings;

// True when a path opened or launched names a playlist: at least 5 characters ending in
// "pls" or "m3u" in any case.
bool IsPlaylistPath(const std::string& path);

// What the steps ask of the main window.
class IMainPlaybackHost {
public:
    virtual ~IMainPlaybackHost() = default;
    // The parent of the file dialogs.
    virtual QWidget* DialogOwner() = 0;
    // The surface changed: the main window paints it again.
    virtual void Redraw() = 0;
    virtual void ToggleFullScreen() = 0;
    // Leaves full screen with nothing left over the desktop.
    virtual void LeaveFullScreenForGood() = 0;
    // After a dialog in full screen, the picture goes back over everything.
    virtual void RaiseMovieInFullScreen() = 0;
    virtual void ReportProblem(const std::string& text) = 0;
    virtual void StopRangeEndTimer() = 0;
    virtual void PlaySelected() = 0;
    // Once the exit has begun nothing opens any more.
    virtual bool Exiting() const = 0;
};

class MainPlayback {
public:
    MainPlayback(PlayerSettings& settings, MainSurface& surface, const SkinResources& skin,
                 SkinToolTips& toolTips, IMainPlaybackHost& host);

    // Not owned; each may be null.
    void SetMovie(IPlaybackWindow* movie) { movie_ = movie; }
    void SetList(IPlaylist* list) { list_ = list; }
    void SetWizard(IWizardRows* wizard) { wizard_ = wizard; }
    // nullptr returns to Qt's own dialogs.
    void SetFileDialogs(IFileDialogs* dialogs) { dialogs_ = dialogs ? dialogs : &ownDialogs_; }

    const std::string& CurrentFile() const { return currentFile_; }
    double CurrentPosition() const { return currentPosition_; }
    void SetCurrentFile(const std::string& path) { currentFile_ = path; }
    void SetCurrentPosition(double seconds) { currentPosition_ = seconds; }
    const playercommands::Range& DisplayRange() const { return range_; }

    // Opens the current file at the current position and starts it as the options say.
    void OpenAndPlayCurrent();
    // Current file := the entry's path, current position := its begin, then the open.
    void LoadEntry(const MediaEntry& entry);
    // The file plays and becomes a new last row.
    void OpenMediaAndPlay(const std::string& path);
    // The playlist file's rows replace the list; then runs once they are in (a large file
    // arrives later). Nothing happens to the rows when it is no playlist.
    void OpenPlaylist(const std::string& path, std::function<void()> then);
    // The dropped files replace the playlist, whose first row then plays; nothing while
    // the playlist shows a filtered view.
    void DropFiles(const std::vector<std::string>& paths);
    // Current position := seconds, and the playback goes there.
    void SeekTo(double seconds);
    // As SeekTo, then the position the playback reports.
    double SeekMedia(double seconds);
    // Seconds; 0 when unknown or nothing is open.
    double MediaDuration() const;
    // The seek bar and the time follow the playback.
    void FollowPosition();
    // The title of the current file, fitted to the skin's title width, also as its tooltip.
    void SetTitle(const std::string& title);
    // After a skin change: the title fitted again and the range shown.
    void ShowTitleAndRange();

    // The commands of the buttons and keys.
    void TogglePause();
    void StopPlayback();
    void OpenMediaDialog();
    void OpenSubtitlesDialog();
    void Forward();
    void Rewind();
    void MarkRange(bool end);

private:
    // path as a new last row, marked as playing, its range end the row's.
    void AppendPlayingRow(const std::string& path);
    void AfterFailedOpen();
    void SeekCommand(double target);

    PlayerSettings& settings_;
    MainSurface& surface_;
    const SkinResources& skin_;
    SkinToolTips& toolTips_;
    IMainPlaybackHost& host_;
    IPlaybackWindow* movie_ = nullptr;
    IPlaylist* list_ = nullptr;
    IWizardRows* wizard_ = nullptr;
    FileDialogs ownDialogs_;
    IFileDialogs* dialogs_ = &ownDialogs_;

    std::string currentFile_;
    double currentPosition_ = 0.0;
    playercommands::Range range_;  // the range display's start and end
    std::string titleText_;        // the title as given, before it is fitted to the skin
};
