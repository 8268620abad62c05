#include "player/shell/VideoPlaylistLink.h"

#include <string>

#include "player/shell/PlaylistRows.h"

void VideoPlaylistLink::RunKeyAction(VideoKeyAction action) {
    if (commands_) commands_->RunPlaylistCommand(action);
}

int VideoPlaylistLink::RowCount() const { return rows_ ? rows_->RowCount() : 0; }

int VideoPlaylistLink::CurrentRow() const { return rows_ ? rows_->CurrentRow() : -1; }

bool VideoPlaylistLink::FilterOn() const { return rows_ && rows_->FilterActive(); }

// Dropped files are whole files: their rows start at 0 with lengths still to learn.
void VideoPlaylistLink::ReplaceEntries(const std::vector<MediaEntry>& entries) {
    if (!rows_) return;
    std::vector<std::string> paths;
    paths.reserve(entries.size());
    for (const MediaEntry& entry : entries) paths.push_back(entry.path);
    rows_->ReplaceWith(paths);
    rows_->ProbeVisibleDurations();
}
