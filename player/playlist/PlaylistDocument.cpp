#include "player/playlist/PlaylistDocument.h"

#include "common/AsciiCase.h"
#include "platform/system/FixedText.h"
#include "platform/system/Paths.h"
#include "platform/ui/MessageSink.h"
#include "player/playlist/MediaEntryLists.h"
#include "player/settings/PlayerSettings.h"

namespace {

constexpr char kCaption[] = "Kalvor";

std::vector<MediaEntry> MasterEntries(const MediaEntryLists& entries) {
    std::vector<MediaEntry> all;
    all.reserve(size_t(entries.MasterCount()));
    for (int i = 0; i < entries.MasterCount(); ++i) all.push_back(entries.MasterEntry(i));
    return all;
}

bool HasExtension(const std::string& path) {
    const size_t slash = path.rfind('/');
    return path.find('.', slash == std::string::npos ? 0 : slash + 1) != std::string::npos;
}

}  // namespace

PlaylistDocument::PlaylistDocument(MediaEntryLists& entries, PlayerSettings& settings,
                                   IPlaylistFilesOwner& owner, const std::string& userConfigFolder)
    : entries_(entries),
      settings_(settings),
      owner_(owner),
      userConfigFolder_(userConfigFolder),
      internalPath_(paths::Join(userConfigFolder, kInternalPlaylistName)) {}

void PlaylistDocument::LoadPlaylist(const std::string& given, Done done) {
    Load(given, true, std::move(done));
}

void PlaylistDocument::Load(const std::string& given, bool rememberFolder, Done done) {
    // Entries keep absolute paths, whatever folder the player runs in later.
    const std::string path = paths::MakeAbsolute(given);
    const uint64_t since = entries_.LastId();
    const uint64_t clears = entries_.Clears();
    loader_.Load(path, exists_,
                 [this, path, rememberFolder, since, clears,
                  done = std::move(done)](std::optional<MediaEntryLists::Batch> batch) {
                     owner_.ShowBusyStatus("");
                     // Emptied meanwhile (Remove All, dropped files): the user wanted another list.
                     if (!batch || entries_.Clears() != clears) {
                         if (done) done(false);
                         return;
                     }
                     if (rememberFolder) lastDirectory_ = playlistfile::FolderOf(path);
                     owner_.ClearFilter();  // typed while a large file was read
                     entries_.ShowMaster();
                     loader_.Free(entries_.Adopt(std::move(*batch), since));
                     if (done) done(true);
                 });
    if (loader_.Loading())
        owner_.ShowBusyStatus("Loading " + std::string(MediaEntryLists::FileName(path)) + "...");
}

bool PlaylistDocument::SavePlaylist(const std::string& path, bool quiet) {
    const std::optional<playlistformat::Kind> kind = playlistformat::KindOfPath(path);
    if (!kind) return HasExtension(path) ? SavePlaylistAs() : false;
    return Write(path, *kind, quiet);
}

bool PlaylistDocument::Write(const std::string& path, playlistformat::Kind kind, bool quiet) {
    std::string error;
    if (playlistfile::Save(path, kind, MasterEntries(entries_), &error)) return true;
    if (!quiet) {
        ShowMessage(owner_.DialogOwner(), kCaption,
                    "The playlist could not be saved as " + path + ".\n" + error,
                    MessageIcon::Warning);
    }
    return false;
}

void PlaylistDocument::OpenPlaylist(Done done) {
    owner_.ClearFilter();
    const std::optional<std::string> path = owner_.AskOpenPath(lastDirectory_);
    if (!path) {
        if (done) done(false);
        return;
    }
    OpenPlaylistFile(*path, std::move(done));
}

void PlaylistDocument::OpenRecentPlaylist(int slot, Done done) {
    const std::string path = slot >= 0 && slot < kRecentPlaylists
                                 ? fixedtext::Read(settings_.recentPlaylists[slot])
                                 : std::string();
    if (path.empty()) {
        if (done) done(false);
        return;
    }
    owner_.ClearFilter();
    OpenPlaylistFile(path, std::move(done));
}

void PlaylistDocument::OpenPlaylistFile(const std::string& given, Done done) {
    const std::string path = paths::MakeAbsolute(given);
    LoadPlaylist(path, [this, path, done = std::move(done)](bool loaded) {
        if (loaded) {
            owner_.ProbeVisibleDurations();
            currentPath_ = path;
            UpdateRecentPlaylists();
        }
        if (done) done(loaded);
    });
}

bool PlaylistDocument::SavePlaylistAs() {
    const std::optional<IPlaylistFilesOwner::SaveChoice> choice =
        owner_.AskSavePath(lastDirectory_);
    if (!choice || choice->path.empty()) return false;
    // A name typed with either extension is written as that kind, whichever filter shows;
    // any other name gets the filter's extension.
    std::string name = choice->path;
    playlistformat::Kind kind = choice->filter;
    if (const std::optional<playlistformat::Kind> typed = playlistformat::KindOfPath(name)) {
        kind = *typed;
    } else {
        name += kind == playlistformat::Kind::Pls ? ".pls" : ".m3u";
    }
    if (playlistfile::PathExists(name) &&
        Messages().Show(owner_.DialogOwner(), kCaption,
                        name + " already exists.\nDo you want to replace it?",
                        MessageIcon::Question, MessageButtons::YesNo) != MessageAnswer::Yes) {
        return false;
    }
    if (!Write(name, kind, false)) return false;
    currentPath_ = name;
    UpdateRecentPlaylists();
    return true;
}

bool PlaylistDocument::SaveCurrentPlaylist() {
    return currentPath_.empty() ? SavePlaylistAs() : SavePlaylist(currentPath_);
}

void PlaylistDocument::LoadInternalPlaylist(Done done) {
    if (settings_.autoLoadLastPlaylist != 1 || !playlistfile::PathExists(internalPath_)) {
        if (done) done(false);
        return;
    }
    Load(internalPath_, false, std::move(done));
}

bool PlaylistDocument::SaveInternalPlaylist(std::string* error) {
    if (settings_.autoLoadLastPlaylist != 1) return false;
    if (!paths::EnsureFolder(userConfigFolder_)) {
        if (error) *error = "cannot create " + userConfigFolder_;
        return false;
    }
    return playlistfile::Save(internalPath_, playlistformat::Kind::Pls, MasterEntries(entries_), error);
}

void PlaylistDocument::UpdateRecentPlaylists() {
    auto& recent = settings_.recentPlaylists;
    const std::string& path = currentPath_;
    if (path.empty() || path.size() >= sizeof recent[0] || path.find('\0') != std::string::npos)
        return;
    int found = kRecentPlaylists - 1;  // a path in no slot pushes the last one out
    for (int k = 0; k < kRecentPlaylists; ++k) {
        if (fixedtext::Read(recent[k]) == path) {
            found = k;
            break;
        }
    }
    for (int k = found; k > 0; --k)
        std::copy(std::begin(recent[k - 1]), std::end(recent[k - 1]), recent[k]);
    fixedtext::SetPath(recent[0], path);
    owner_.RecentPlaylistsChanged();
}
