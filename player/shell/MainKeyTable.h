#pragma once

// The keys of the main window: each row names a key (a virtual-key number from the shared
// key table), whether Shift and Ctrl must be held, up or may be either, and what runs.
// Every row whose condition holds runs, in table order.

#include <cstdint>
#include <vector>

enum class MainKeyAction {
    AddFiles,
    AddDirectory,
    OpenPlaylist,
    SaveCurrentPlaylist,
    OpenRecentPlaylist1,
    OpenRecentPlaylist2,
    OpenRecentPlaylist3,
    OpenRecentPlaylist4,
    TogglePlaylistWindow,
    CopyEntries,
    PasteEntries,
    SelectAllEntries,
    RemoveAllEntries,
    FocusFilterBox,
    ShowPlayRange,
    ToggleRandomOrder,
    AddToWizard,
    ExtractImage,
    ExtractAudio,
    ExtractVideo,
    MergeAudio,
    MergeVideo,
    MixAudioVideo,
    PlaySelectedEntry,
    TogglePause,
};

// The playlist window's commands that the main window's keys reach.
class IPlaylistCommands {
public:
    virtual ~IPlaylistCommands() = default;
    virtual void RunPlaylistCommand(MainKeyAction action) = 0;
};

namespace mainkeys {

// The actions of a key press, in table order; vk is a virtual-key number.
std::vector<MainKeyAction> ActionsFor(uint16_t vk, bool shift, bool ctrl);

}  // namespace mainkeys
