#pragma once

// The playlist window's commands that the keys of the main and the video window reach; the
// main window hands them on, and until the playlist gives its own they do nothing.

#include "player/playback/VideoKeys.h"

class IPlaylistKeyCommands {
public:
    virtual ~IPlaylistKeyCommands() = default;
    virtual void RunPlaylistCommand(VideoKeyAction action) = 0;
};
