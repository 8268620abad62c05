#include "player/shell/PlaylistRows.h"

#include "player/playlist/PlaylistFile.h"
#include "player/settings/PlayerSettings.h"

PlaylistRows::PlaylistRows(PlayerSettings& settings) : prober_(entries_) {
    entries_.SetOwnerMode(kPlaylistMode);
    entries_.BindCurrentIndex(&settings.currentIndex);
}

PlaylistRows::PlaylistRows(PlayerSettings& settings, LengthWorker::LengthFunction length)
    : prober_(entries_, std::move(length)) {
    entries_.SetOwnerMode(kPlaylistMode);
    entries_.BindCurrentIndex(&settings.currentIndex);
}

int PlaylistRows::Append(const std::string& path) {
    ClearFilter();
    return entries_.AddEntry(entries_.Count(), path, 0.0, MediaEntry::kEndUnprobed);
}

void PlaylistRows::ReplaceWith(const std::vector<std::string>& paths) {
    entries_.BeginUpdate();
    entries_.ClearEntries();
    for (const std::string& path : paths)
        entries_.AddEntry(entries_.Count(), path, 0.0, MediaEntry::kEndUnprobed);
    entries_.SetCurrentRow(-1);
    entries_.EndUpdate();
}

void PlaylistRows::OpenPlaylist(const std::string& path, std::function<void(bool)> done) {
    const auto loaded = playlistfile::Load(path, playlistfile::PathExists);
    if (!loaded) {
        if (done) done(false);
        return;
    }
    ClearFilter();
    entries_.BeginUpdate();
    entries_.ClearEntries();
    for (const MediaEntry& entry : *loaded)
        entries_.AddEntry(entries_.Count(), entry.path, entry.begin, entry.end);
    entries_.SetCurrentRow(-1);
    entries_.EndUpdate();
    if (done) done(true);
}
