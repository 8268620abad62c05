#pragma once

// What the playlist window needs from the rest of the player, kept narrow so that the
// window runs in tests without a main window: the settings record, the skin's playlist
// colours and scroll bitmap, help, the focus, playing and the playback position. Menu
// commands go to a handler of their own.

#include <cstdint>
#include <string>

struct PlayerSettings;

// The skin's four playlist colours, COLORREF (0x00BBGGRR).
struct PlaylistColors {
    uint32_t background = 0;  // PlayLBG
    uint32_t text = 0;        // PlayLTX
    uint32_t highlight = 0;   // PlayLCR
    uint32_t border = 0;      // PlayLBR
};

class IPlaylistWindowHost {
public:
    virtual ~IPlaylistWindowHost() = default;
    virtual PlayerSettings& Settings() = 0;
    virtual PlaylistColors Colors() = 0;
    // Where internal.pls lives.
    virtual std::string UserConfigFolder() = 0;
    // The unpacked skin's folder, which holds scrollskin.bmp.
    virtual std::string SkinFolder() = 0;
    virtual void ShowHelp(int contextId) = 0;
    // The playlist closed: the main window takes the focus.
    virtual void FocusMainWindow() = 0;
    // Plays the row in currentIndex.
    virtual void PlaySelected() = 0;
    // Seconds; negative while nothing is open.
    virtual double PlaybackPosition() = 0;
};

// The ids of the playlist's menus, as chosen.
class IPlaylistCommandHandler {
public:
    virtual ~IPlaylistCommandHandler() = default;
    virtual void OnPlaylistCommand(int32_t id) = 0;
};
