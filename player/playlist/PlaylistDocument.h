#pragma once

// The playlist window's files: opening, saving and Save As with their extension rules,
// the four recent playlists kept in the settings, and "internal.pls" in the user config
// folder, loaded at start and written at exit. The dialogs, the filter box and the recent
// menu belong to the window; they are reached through IPlaylistFilesOwner, so all of this
// runs without widgets.

#include <functional>
#include <optional>
#include <string>

#include "player/playlist/PlaylistFile.h"
#include "player/playlist/PlaylistLoader.h"

class MediaEntryLists;
class QWidget;
struct PlayerSettings;

class IPlaylistFilesOwner {
public:
    struct SaveChoice {
        std::string path;
        playlistformat::Kind filter = playlistformat::Kind::Pls;  // the file type chosen
    };
    virtual ~IPlaylistFilesOwner() = default;
    // The Open dialog from initialFolder (empty: the dialog's own); nothing when cancelled.
    virtual std::optional<std::string> AskOpenPath(const std::string& initialFolder) = 0;
    // The Save As dialog; it does not ask about overwriting (that is asked here).
    virtual std::optional<SaveChoice> AskSavePath(const std::string& initialFolder) = 0;
    // Empties the filter box, which shows every master entry again.
    virtual void ClearFilter() = 0;
    virtual void ProbeVisibleDurations() = 0;
    // The recent slots changed: rebuild the Recent Playlists menu.
    virtual void RecentPlaylistsChanged() = 0;
    // The window that owns message boxes.
    virtual QWidget* DialogOwner() = 0;
    // A line saying what takes its time (a large file being read); empty when done.
    virtual void ShowBusyStatus(const std::string& text) = 0;
};

inline constexpr char kInternalPlaylistName[] = "internal.pls";

class PlaylistDocument {
public:
    PlaylistDocument(MediaEntryLists& entries, PlayerSettings& settings, IPlaylistFilesOwner& owner,
                     const std::string& userConfigFolder);

    // false when nothing was loaded.
    using Done = std::function<void(bool loaded)>;

    // Replaces the entries with the file's, then done(true); done(false), with entries,
    // current path and recent list untouched, when the file cannot be read or is no
    // playlist. A large file is read on a worker and done runs later: rows added meanwhile
    // stay behind the file's, and a list emptied meanwhile keeps the file out.
    void LoadPlaylist(const std::string& path, Done done = {});
    // Every way of opening a playlist (its menu, a recent slot, the command line, a second
    // start, the Open button): load it, probe the rows in view, make it the current
    // playlist and the first recent one.
    void OpenPlaylistFile(const std::string& path, Done done = {});
    bool Loading() const { return loader_.Loading(); }
    // Writes every entry (the filter never hides one from a file) in the format of the
    // path's extension; another extension goes to Save As, none writes nothing. A failed
    // write is shown unless quiet.
    bool SavePlaylist(const std::string& path, bool quiet = false);

    // The menu commands.
    void OpenPlaylist(Done done = {});
    bool SavePlaylistAs();
    bool SaveCurrentPlaylist();
    void OpenRecentPlaylist(int slot, Done done = {});  // 0..3

    // Start-up and exit, when the settings ask for it: internal.pls without touching the
    // current path, the recent list or the last folder; the exit's save shows no box of its
    // own, it gives the reason to its caller.
    void LoadInternalPlaylist(Done done = {});
    bool SaveInternalPlaylist(std::string* error = nullptr);

    // Moves the current path to the front of the recent slots; a path too long for a slot
    // is not stored.
    void UpdateRecentPlaylists();

    const std::string& CurrentPlaylistPath() const { return currentPath_; }
    // The one folder where the Open, Save As, Add Files and folder dialogs start: the folder
    // of the playlist last loaded (with its final "/") or the one last chosen for adding.
    const std::string& LastDirectory() const { return lastDirectory_; }
    void SetLastDirectory(std::string folder) { lastDirectory_ = std::move(folder); }
    const std::string& InternalPlaylistPath() const { return internalPath_; }
    // Tests and the benchmark answer existence themselves.
    void SetExistsFunction(playlistfile::ExistsFunction exists) { exists_ = std::move(exists); }

private:
    void Load(const std::string& path, bool rememberFolder, Done done);
    bool Write(const std::string& path, playlistformat::Kind kind, bool quiet);

    MediaEntryLists& entries_;
    PlayerSettings& settings_;
    IPlaylistFilesOwner& owner_;
    std::string userConfigFolder_;
    std::string internalPath_;
    std::string currentPath_;
    std::string lastDirectory_;
    playlistfile::ExistsFunction exists_ = playlistfile::PathExists;
    PlaylistLoader loader_;  // last, so gone first: no answer reaches the members above
};
