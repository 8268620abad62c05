#pragma once

// What the video window asks of the playlist: the commands its keys reach, the rows that
// end-of-media looks at, and the replacement of the list by dropped files. The playlist
// window provides it; until one is set, those keys and drops do nothing.

#include <vector>

#include "player/playback/VideoKeys.h"
#include "player/settings/MediaEntry.h"

class IVideoPlaylist {
public:
    virtual ~IVideoPlaylist() = default;
    virtual void RunKeyAction(VideoKeyAction action) = 0;
    virtual int RowCount() const = 0;
    // -1 or the row marked as playing.
    virtual int CurrentRow() const = 0;
    // True while the filter box narrows the list: the list cannot be replaced then.
    virtual bool FilterOn() const = 0;
    // Frees the rows and the entry lists, then adds the entries in order as rows named
    // after the file, lays the list out and asks for the visible rows' lengths. Nothing
    // is current afterwards.
    virtual void ReplaceEntries(const std::vector<MediaEntry>& entries) = 0;
};
