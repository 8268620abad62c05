#pragma once

// The playlist as the video window sees it: the rows that play, the list its drops replace,
// and the playlist window's key commands. The main window's keys go through the same
// commands, so both windows read one key table (videokeys).

#include <vector>

#include "player/playback/VideoPlaylist.h"
#include "player/playlist/PlaylistKeyCommands.h"

class IPlaylist;

class VideoPlaylistLink : public IVideoPlaylist {
public:
    explicit VideoPlaylistLink(IPlaylist* rows) : rows_(rows) {}

    // The list changes when the playlist window lends its own. Not owned.
    void SetRows(IPlaylist* rows) { rows_ = rows; }
    void SetCommands(IPlaylistKeyCommands* commands) { commands_ = commands; }
    bool HasCommands() const { return commands_ != nullptr; }

    void RunKeyAction(VideoKeyAction action) override;
    int RowCount() const override;
    int CurrentRow() const override;
    bool FilterOn() const override;
    void ReplaceEntries(const std::vector<MediaEntry>& entries) override;

private:
    IPlaylist* rows_;
    IPlaylistKeyCommands* commands_ = nullptr;
};
