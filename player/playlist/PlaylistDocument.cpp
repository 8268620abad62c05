#include "player/playlist/PlaylistDocument.h"

#include "common/AsciiCase.h"
#include "platform/system/FixedText.h"
#include "platform/system/Paths.h"
#include "platform/ui/MessageSink.h"
#include "player/playlist/MediaEntryLists.h"
#include "player/shell/PlayerSettings.h"

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

bool PlaylistDocument::LoadPlaylist(const std::string& given) {
    // Entries keep absolute paths, whatever folder the player runs in later.
    const std::string path = paths::MakeAbsolute(given);
    std::optional<std::vector<MediaEntry>> loaded = playlistfile::Load(path, exists_);
    if (!loaded) return false;
    lastDirectory_ = playlistfile::FolderOf(path);
    entries_.ShowMaster();  // callers cleared the filter box; entries join the master only
    entries_.BeginUpdate();
    entries_.ClearEntries();
    for (MediaEntry& entry : *loaded)
        entries_.AddEntry(entries_.Count(), std::move(entry.path), entry.begin, entry.end);
    entries_.EndUpdate();
    return true;
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

bool PlaylistDocument::OpenPlaylist() {
    owner_.ClearFilter();
    const std::optional<std::string> path = owner_.AskOpenPath(lastDirectory_);
    return path && OpenAndRemember(*path);
}

bool PlaylistDocument::OpenRecentPlaylist(int slot) {
    if (slot < 0 || slot >= kRecentPlaylists) return false;
    const std::string path = fixedtext::Read(settings_.recentPlaylists[slot]);
    if (path.empty()) return false;
    owner_.ClearFilter();
    return OpenAndRemember(path);
}

bool PlaylistDocument::OpenAndRemember(const std::string& path) {
    if (!LoadPlaylist(path)) return false;
    owner_.ProbeVisibleDurations();
    currentPath_ = path;
    UpdateRecentPlaylists();
    return true;
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

bool PlaylistDocument::LoadInternalPlaylist() {
    if (settings_.autoLoadLastPlaylist != 1 || !playlistfile::PathExists(internalPath_))
        return false;
    return LoadPlaylist(internalPath_);
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
    auto& slots = settings_.recentPlaylists;
    const std::string& path = currentPath_;
    if (path.empty() || path.size() >= sizeof slots[0] || path.find('\0') != std::string::npos)
        return;
    int found = kRecentPlaylists - 1;  // a path in no slot pushes the last one out
    for (int k = 0; k < kRecentPlaylists; ++k) {
        if (fixedtext::Read(slots[k]) == path) {
            found = k;
            break;
        }
    }
    for (int k = found; k > 0; --k)
        std::copy(std::begin(slots[k - 1]), std::end(slots[k - 1]), slots[k]);
    fixedtext::SetPath(slots[0], path);
    owner_.RecentPlaylistsChanged();
}
