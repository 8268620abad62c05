#pragma once

// The player's whole configuration and the state that survives a restart, stored raw as
// options.cfg (9,712 bytes, no header). The layout is the file format: every offset below
// is part of it.

#include <cstddef>
#include <cstdint>

#include "common/EffectParams.h"
#include "common/WinRect.h"

inline constexpr int kHotKeySlots = 18;
inline constexpr int kRecentPlaylists = 4;

enum class RepeatMode : int32_t { All = 0, One = 1, Off = 2 };
enum class DockSide : int32_t { None = 0, Above = 1, Right = 2, Below = 3, Left = 4 };
enum class AspectMode : int32_t { Original = 0, Wide = 1, Standard = 2, FitToScreen = 3, Custom = 4 };

struct PlayerSettings {
    int32_t rememberWindowPlacement;
    int32_t alwaysOnTop;
    int32_t autostartPlayback;
    int32_t fullScreenOnPlay;
    int32_t moveWithMovieWindow;
    int32_t resumeLastMovie;
    int32_t shutdownWhenFinished;
    int32_t keepEffectSettings;
    int32_t autoLoadSubtitles;
    int32_t autoLoadLastPlaylist;
    char skinName[1200];
    int32_t customAspectX;
    int32_t customAspectY;
    int32_t displayWidth;
    int32_t displayHeight;
    int32_t displayRefresh;
    int32_t displayBitsPerPixel;
    char audioDevice[300];
    int32_t scanLineCheck;
    int32_t overlayLimitCheck;
    int32_t hotKeys[kHotKeySlots];
    int32_t seekStepSeconds;
    int32_t showTips;
    uint8_t reserved1652[4];  // written back as read
    EffectParams effectParams;
    WinRect movieRect;
    WinRect movieWindowedRect;
    int32_t fullScreen;
    WinRect mainRect;
    WinRect playlistRect;
    int32_t playlistVisible;
    int32_t repeatMode;
    int32_t aspectMode;
    int32_t movieDockSide;
    int32_t playlistDocked;
    double volume;
    char lastFile[1200];
    double lastPosition;
    double rangeEnd;
    int32_t currentIndex;
    char recentPlaylists[kRecentPlaylists][1200];
    char logoFilePath[1200];
    int32_t logoEnabled;
    int32_t logoPosX;
    int32_t logoPosY;
    uint8_t reserved9424[288];  // written back as read
};

static_assert(sizeof(PlayerSettings) == 9712);
static_assert(offsetof(PlayerSettings, rememberWindowPlacement) == 0);
static_assert(offsetof(PlayerSettings, alwaysOnTop) == 4);
static_assert(offsetof(PlayerSettings, autostartPlayback) == 8);
static_assert(offsetof(PlayerSettings, fullScreenOnPlay) == 12);
static_assert(offsetof(PlayerSettings, moveWithMovieWindow) == 16);
static_assert(offsetof(PlayerSettings, resumeLastMovie) == 20);
static_assert(offsetof(PlayerSettings, shutdownWhenFinished) == 24);
static_assert(offsetof(PlayerSettings, keepEffectSettings) == 28);
static_assert(offsetof(PlayerSettings, autoLoadSubtitles) == 32);
static_assert(offsetof(PlayerSettings, autoLoadLastPlaylist) == 36);
static_assert(offsetof(PlayerSettings, skinName) == 40);
static_assert(offsetof(PlayerSettings, customAspectX) == 1240);
static_assert(offsetof(PlayerSettings, customAspectY) == 1244);
static_assert(offsetof(PlayerSettings, displayWidth) == 1248);
static_assert(offsetof(PlayerSettings, displayHeight) == 1252);
static_assert(offsetof(PlayerSettings, displayRefresh) == 1256);
static_assert(offsetof(PlayerSettings, displayBitsPerPixel) == 1260);
static_assert(offsetof(PlayerSettings, audioDevice) == 1264);
static_assert(offsetof(PlayerSettings, scanLineCheck) == 1564);
static_assert(offsetof(PlayerSettings, overlayLimitCheck) == 1568);
static_assert(offsetof(PlayerSettings, hotKeys) == 1572);
static_assert(offsetof(PlayerSettings, seekStepSeconds) == 1644);
static_assert(offsetof(PlayerSettings, showTips) == 1648);
static_assert(offsetof(PlayerSettings, reserved1652) == 1652);
static_assert(offsetof(PlayerSettings, effectParams) == 1656);
static_assert(offsetof(PlayerSettings, movieRect) == 2096);
static_assert(offsetof(PlayerSettings, movieWindowedRect) == 2112);
static_assert(offsetof(PlayerSettings, fullScreen) == 2128);
static_assert(offsetof(PlayerSettings, mainRect) == 2132);
static_assert(offsetof(PlayerSettings, playlistRect) == 2148);
static_assert(offsetof(PlayerSettings, playlistVisible) == 2164);
static_assert(offsetof(PlayerSettings, repeatMode) == 2168);
static_assert(offsetof(PlayerSettings, aspectMode) == 2172);
static_assert(offsetof(PlayerSettings, movieDockSide) == 2176);
static_assert(offsetof(PlayerSettings, playlistDocked) == 2180);
static_assert(offsetof(PlayerSettings, volume) == 2184);
static_assert(offsetof(PlayerSettings, lastFile) == 2192);
static_assert(offsetof(PlayerSettings, lastPosition) == 3392);
static_assert(offsetof(PlayerSettings, rangeEnd) == 3400);
static_assert(offsetof(PlayerSettings, currentIndex) == 3408);
static_assert(offsetof(PlayerSettings, recentPlaylists) == 3412);
static_assert(offsetof(PlayerSettings, logoFilePath) == 8212);
static_assert(offsetof(PlayerSettings, logoEnabled) == 9412);
static_assert(offsetof(PlayerSettings, logoPosX) == 9416);
static_assert(offsetof(PlayerSettings, logoPosY) == 9420);
static_assert(offsetof(PlayerSettings, reserved9424) == 9424);

// The installed defaults: the first values of every user, and what a short file's
// missing tail reads as. The build writes them as the installed options.cfg.
PlayerSettings InstalledSettings();

// Brings a record read from disk into a state the player can run with: texts terminated,
// enumerations and ranges kept, non-finite doubles replaced, and fullScreen 0 (a start is
// always windowed).
void ClampSettings(PlayerSettings& settings);

// What the player knows at save time that the record does not hold itself.
struct SettingsLiveState {
    WinRect playlistWindowedRect{};  // the playlist window's rectangle before full screen
    bool mainRevealed = false;       // the main window is shown over the full screen
    WinRect mainWindowedRect{};      // its rectangle before it was revealed
    double currentPosition = 0.0;
    const EffectParams* liveEffects = nullptr;  // the video window's block, when it exists
};

// The image that goes to disk: windowed rectangles and fullScreen 0 when in full screen,
// the resume position when resumeLastMovie is on, the live effect block when
// keepEffectSettings is on. The record itself is left as it is.
PlayerSettings FoldLiveState(const PlayerSettings& settings, const SettingsLiveState& live);
