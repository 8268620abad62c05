#include "player/settings/PlayerSettings.h"

#include <algorithm>
#include <cmath>

#include "platform/system/FixedText.h"

namespace {

// Windows virtual-key codes of the media keys, the installed hot keys.
constexpr int32_t kVkMediaNextTrack = 0xB0;
constexpr int32_t kVkMediaPrevTrack = 0xB1;
constexpr int32_t kVkMediaStop = 0xB2;
constexpr int32_t kVkMediaPlayPause = 0xB3;

template <typename E>
void KeepEnum(int32_t& field, E first, E last, int32_t fallback) {
    if (field < static_cast<int32_t>(first) || field > static_cast<int32_t>(last)) field = fallback;
}

}  // namespace

PlayerSettings InstalledSettings() {
    PlayerSettings s{};
    s.rememberWindowPlacement = 0;  // the first start computes the placement from the skin
    s.alwaysOnTop = 0;
    s.autostartPlayback = 1;
    s.fullScreenOnPlay = 0;
    s.moveWithMovieWindow = 1;
    s.resumeLastMovie = 1;
    s.shutdownWhenFinished = 0;
    s.keepEffectSettings = 0;
    s.autoLoadSubtitles = 1;
    s.autoLoadLastPlaylist = 1;
    fixedtext::SetDisplay(s.skinName, "Default");
    s.customAspectX = 16;
    s.customAspectY = 9;
    s.displayWidth = 0;  // with displayHeight 0: keep the display mode in full screen
    s.displayHeight = 0;
    s.displayRefresh = 0;
    s.displayBitsPerPixel = 0;
    fixedtext::SetDisplay(s.audioDevice, "AUTODETECT");
    s.scanLineCheck = 0;
    s.overlayLimitCheck = 0;
    s.hotKeys[0] = kVkMediaPlayPause;  // Play
    s.hotKeys[1] = kVkMediaStop;       // Stop
    s.hotKeys[3] = kVkMediaNextTrack;  // Next track
    s.hotKeys[4] = kVkMediaPrevTrack;  // Previous track
    s.seekStepSeconds = 10;
    s.showTips = 1;
    s.effectParams = DefaultEffectParams();
    s.fullScreen = 0;
    s.playlistVisible = 1;
    s.repeatMode = static_cast<int32_t>(RepeatMode::Off);
    s.aspectMode = static_cast<int32_t>(AspectMode::Original);
    s.movieDockSide = static_cast<int32_t>(DockSide::Above);
    s.playlistDocked = static_cast<int32_t>(DockSide::Below);
    s.volume = 1.0;
    s.lastPosition = 0.0;
    s.rangeEnd = -1.0;
    s.currentIndex = -1;
    s.logoEnabled = 0;
    s.logoPosX = 0;
    s.logoPosY = 0;
    return s;
}

void ClampSettings(PlayerSettings& s) {
    const PlayerSettings installed = InstalledSettings();

    fixedtext::Terminate(s.skinName);
    fixedtext::Terminate(s.audioDevice);
    fixedtext::Terminate(s.lastFile);
    for (auto& recent : s.recentPlaylists) fixedtext::Terminate(recent);
    fixedtext::Terminate(s.logoFilePath);

    s.displayWidth = std::max(s.displayWidth, 0);
    s.displayHeight = std::max(s.displayHeight, 0);
    s.displayRefresh = std::max(s.displayRefresh, 0);
    s.displayBitsPerPixel = std::max(s.displayBitsPerPixel, 0);
    s.seekStepSeconds = std::max(s.seekStepSeconds, 0);

    SanitizeEffectParams(s.effectParams);

    s.fullScreen = 0;
    KeepEnum(s.repeatMode, RepeatMode::All, RepeatMode::Off, installed.repeatMode);
    KeepEnum(s.aspectMode, AspectMode::Original, AspectMode::Custom, installed.aspectMode);
    KeepEnum(s.movieDockSide, DockSide::None, DockSide::Left, installed.movieDockSide);
    KeepEnum(s.playlistDocked, DockSide::None, DockSide::Left, installed.playlistDocked);

    if (!std::isfinite(s.volume)) s.volume = 1.0;
    s.volume = std::clamp(s.volume, 0.0, 1.0);
    if (!std::isfinite(s.lastPosition) || s.lastPosition < 0) s.lastPosition = 0.0;
    if (!std::isfinite(s.rangeEnd) || s.rangeEnd < 0) s.rangeEnd = -1.0;
    s.currentIndex = std::max(s.currentIndex, -1);

    s.logoPosX = std::clamp(s.logoPosX, 0, 1000);
    s.logoPosY = std::clamp(s.logoPosY, 0, 1000);
}

PlayerSettings FoldLiveState(const PlayerSettings& settings, const SettingsLiveState& live) {
    PlayerSettings image = settings;
    if (settings.fullScreen == 1) {
        image.movieRect = settings.movieWindowedRect;
        image.playlistRect = live.playlistWindowedRect;
        if (live.mainRevealed) image.mainRect = live.mainWindowedRect;
    }
    image.fullScreen = 0;
    if (settings.resumeLastMovie == 1) image.lastPosition = live.currentPosition;
    if (settings.keepEffectSettings == 1 && live.liveEffects) {
        image.effectParams = *live.liveEffects;
        image.effectParams.fontFaceWide = 0;
    }
    return image;
}
