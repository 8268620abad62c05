#pragma once

// The playlist window's menus as tables: command id and text (the text after a tab is the
// shortcut shown at the right); id 0 is a separator. The window builds its menus from these.

#include <array>
#include <cstdint>

namespace playlistmenus {

struct Item {
    int32_t id;
    const char* text;
};

inline constexpr int32_t kRecentPlaylistsItem = 5106;
inline constexpr int32_t kFirstRecentPlaylist = 5108;  // 5108..5111, most recent first
inline constexpr int32_t kRandomOrder = 5146;

inline constexpr std::array<Item, 8> kListMenu{{
    {5121, "Copy\tCtrl+C"},
    {5122, "Paste\tCtrl+V"},
    {0, ""},
    {5125, "Clear selected item(s)\tDelete"},
    {5124, "Clear playlist\tCtrl+Delete"},
    {0, ""},
    {5101, "Add file(s) to playlist...\tL"},
    {5102, "Add directory to playlist...\tShift+L"},
}};

// Recent Playlists is a sub-menu whose items take the recent paths as their texts.
inline constexpr std::array<Item, 9> kFileMenu{{
    {5101, "Add File(s)...\tL"},
    {5102, "Add Directory...\tShift+L"},
    {0, ""},
    {5103, "Open Playlist...\tCtrl+O"},
    {5104, "Save Playlist\tCtrl+S"},
    {5105, "Save Playlist As..."},
    {kRecentPlaylistsItem, "Recent Playlists"},
    {0, ""},
    {5107, "Close\tCtrl+Q"},
}};

inline constexpr std::array<Item, 8> kEditMenu{{
    {5121, "Copy\tCtrl+C"},
    {5122, "Paste\tCtrl+V"},
    {0, ""},
    {5123, "Select All\tCtrl+A"},
    {5124, "Remove All\tCtrl+Delete"},
    {5125, "Remove Selected Item(s)\tDelete"},
    {0, ""},
    {5127, "Set Playback Range...\tR"},
}};

inline constexpr std::array<Item, 6> kSortMenu{{
    {5141, "By Name"},
    {5142, "By Type"},
    {5143, "By Directory"},
    {5144, "By Duration"},
    {0, ""},
    {kRandomOrder, "Random Playback Order\tCtrl+R"},
}};

inline constexpr std::array<Item, 9> kOperationMenu{{
    {5161, "Add to Wizard\tW"},
    {0, ""},
    {5162, "Extract Image\tI"},
    {5163, "Extract Audio\tA"},
    {5164, "Extract Video\tV"},
    {0, ""},
    {5165, "Merge Audio\tShift+A"},
    {5166, "Merge Video\tShift+V"},
    {5167, "Mix Audio/Video\tM"},
}};

}  // namespace playlistmenus
