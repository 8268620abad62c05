#pragma once

// Everything the playlist window's commands run on, made and wired in one place: the real
// dialogs, clipboard and length probe, the play-range dialog, the commands and the key
// filter on the window and its list. The window makes one after its list and filter box.

#include <memory>

#include "player/playlist/ClipboardText.h"
#include "player/playlist/PlayRange.h"
#include "player/playlist/PlaylistCommands.h"
#include "player/playlist/PlaylistDialogs.h"
#include "player/playlist/PlaylistKeyFilter.h"

class QLineEdit;

class PlaylistCommandSet {
public:
    // window owns the list and the filter box; all must outlive the set. Lengths come from
    // prober (none without it).
    PlaylistCommandSet(QWidget& window, XCListCtrl& list, QLineEdit& filterBox,
                       IPlaylistCommandsHost& host, PlaylistDocument* document,
                       DurationProber* prober);
    ~PlaylistCommandSet();

    PlaylistCommands& Commands() { return commands_; }
    CPlayRange& PlayRange() { return *range_; }

private:
    QWidget& window_;
    XCListCtrl& list_;
    PlaylistDialogs dialogs_;
    ClipboardText clipboard_;
    PlaylistCommands commands_;
    std::unique_ptr<CPlayRange> range_;
    PlaylistKeyFilter keys_;
};
