#include "player/shell/PlaylistWindowRows.h"

#include "player/playlist/DurationProber.h"
#include "player/playlist/KalvorPlaylist.h"
#include "player/playlist/XCListCtrl.h"

PlaylistWindowRows::PlaylistWindowRows(CKalvorPlaylist& window) : window_(window) {}

void PlaylistWindowRows::ProbeDuration(int row) { window_.Prober().ProbeDuration(row); }

int PlaylistWindowRows::RowCount() const { return window_.List().Entries().Count(); }

int PlaylistWindowRows::CurrentRow() const { return window_.List().Entries().CurrentRow(); }

// The list control scrolls a marked row into view; it marks no row for -1.
void PlaylistWindowRows::MarkCurrent(int row) {
    if (row < 0)
        window_.List().Entries().SetCurrentRow(-1);
    else
        window_.List().SetCurrentItem(row);
}

MediaEntry PlaylistWindowRows::EntryAt(int row) const {
    return window_.List().Entries().Entry(row);
}

bool PlaylistWindowRows::RandomOrder() const { return window_.RandomOrder(); }

MediaEntryLists& PlaylistWindowRows::Entries() { return window_.List().Entries(); }

bool PlaylistWindowRows::FilterActive() const { return window_.List().Entries().FilterActive(); }

// The filter box is emptied too, so it does not show a text that no longer filters.
void PlaylistWindowRows::ClearFilter() {
    window_.ClearFilter();
    window_.List().Entries().ShowMaster();
}

int PlaylistWindowRows::Append(const std::string& path) {
    ClearFilter();
    MediaEntryLists& entries = window_.List().Entries();
    return entries.AddEntry(entries.Count(), path, 0.0, MediaEntry::kEndUnprobed);
}

void PlaylistWindowRows::ReplaceWith(const std::vector<std::string>& paths) {
    MediaEntryLists& entries = window_.List().Entries();
    entries.BeginUpdate();
    entries.ClearEntries();
    for (const std::string& path : paths)
        entries.AddEntry(entries.Count(), path, 0.0, MediaEntry::kEndUnprobed);
    entries.SetCurrentRow(-1);
    entries.EndUpdate();
}

void PlaylistWindowRows::OpenPlaylist(const std::string& path, std::function<void(bool)> done) {
    ClearFilter();
    window_.Document().OpenPlaylistFile(path, std::move(done));
}

void PlaylistWindowRows::ProbeVisibleDurations() { window_.ProbeVisibleDurations(); }
