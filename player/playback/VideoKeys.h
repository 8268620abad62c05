#pragma once

// The video window's keys: each row names a key (a virtual-key number from the shared key
// table) and whether Shift and Ctrl must be held, must be up, or are not looked at. Every
// row that holds runs, in table order. Space pauses the video window itself; the other
// actions are the playlist's.

#include <Qt>
#include <cstdint>
#include <vector>

enum class VideoKeyAction : uint8_t {
    AddFiles,
    AddDirectory,
    OpenPlaylist,
    SavePlaylist,
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
    PlayRangeDialog,
    ToggleRandomOrder,
    AddToWizard,
    ExtractImage,
    ExtractAudio,
    ExtractVideo,
    MergeAudio,
    MergeVideo,
    MixVideoAudio,
    PlaySelectedEntry,
    TogglePause,
};

namespace videokeys {

std::vector<VideoKeyAction> ActionsFor(uint16_t vk, bool shift, bool ctrl);
// A Qt key press through the shared key table; none for keys without a virtual-key number.
std::vector<VideoKeyAction> ActionsForQt(int qtKey, Qt::KeyboardModifiers modifiers);

}  // namespace videokeys
