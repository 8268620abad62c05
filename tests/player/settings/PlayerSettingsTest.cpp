// The settings record must come back from any file in a state the player can run with,
// and the image written at exit must hold the windowed state, never full screen.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "player/settings/PlayerSettings.h"

namespace {

TEST(PlayerSettings, InstalledDefaultsAreARunnableRecord) {
    const PlayerSettings s = InstalledSettings();
    PlayerSettings clamped = s;
    ClampSettings(clamped);
    EXPECT_EQ(std::memcmp(&clamped, &s, sizeof s), 0) << "defaults must already be in range";
    EXPECT_EQ(s.showTips, 1);
    EXPECT_STREQ(s.audioDevice, "AUTODETECT");
    EXPECT_EQ(s.rangeEnd, -1.0);
    EXPECT_EQ(s.currentIndex, -1);
    EXPECT_EQ(s.fullScreen, 0);
    EXPECT_STREQ(s.effectParams.fontFace, "Arial");
    EXPECT_GT(std::strlen(s.skinName), 0u);
}

TEST(PlayerSettings, ClampRepairsWhatADamagedFileHolds) {
    struct Case {
        const char* what;
        void (*damage)(PlayerSettings&);
        bool (*repaired)(const PlayerSettings&);
    };
    const Case cases[] = {
        {"volume NaN", [](PlayerSettings& s) { s.volume = std::numeric_limits<double>::quiet_NaN(); },
         [](const PlayerSettings& s) { return s.volume == 1.0; }},
        {"volume too loud", [](PlayerSettings& s) { s.volume = 7.5; },
         [](const PlayerSettings& s) { return s.volume == 1.0; }},
        {"volume negative", [](PlayerSettings& s) { s.volume = -0.5; },
         [](const PlayerSettings& s) { return s.volume == 0.0; }},
        {"repeat mode", [](PlayerSettings& s) { s.repeatMode = 9; },
         [](const PlayerSettings& s) { return s.repeatMode == InstalledSettings().repeatMode; }},
        {"aspect mode", [](PlayerSettings& s) { s.aspectMode = -3; },
         [](const PlayerSettings& s) { return s.aspectMode == InstalledSettings().aspectMode; }},
        {"dock sides", [](PlayerSettings& s) { s.movieDockSide = 5; s.playlistDocked = -1; },
         [](const PlayerSettings& s) {
             return s.movieDockSide == InstalledSettings().movieDockSide &&
                    s.playlistDocked == InstalledSettings().playlistDocked;
         }},
        {"seek step", [](PlayerSettings& s) { s.seekStepSeconds = -20; },
         [](const PlayerSettings& s) { return s.seekStepSeconds == 0; }},
        {"full screen", [](PlayerSettings& s) { s.fullScreen = 1; },
         [](const PlayerSettings& s) { return s.fullScreen == 0; }},
        {"unterminated texts", [](PlayerSettings& s) {
             std::memset(s.skinName, 'k', sizeof s.skinName);
             std::memset(s.lastFile, 'f', sizeof s.lastFile);
             std::memset(s.recentPlaylists[3], 'r', sizeof s.recentPlaylists[3]);
         },
         [](const PlayerSettings& s) {
             return std::strlen(s.skinName) == 1199 && std::strlen(s.lastFile) == 1199 &&
                    std::strlen(s.recentPlaylists[3]) == 1199;
         }},
        {"positions", [](PlayerSettings& s) {
             s.lastPosition = -std::numeric_limits<double>::infinity();
             s.rangeEnd = std::numeric_limits<double>::quiet_NaN();
             s.currentIndex = -7;
         },
         [](const PlayerSettings& s) {
             return s.lastPosition == 0.0 && s.rangeEnd == -1.0 && s.currentIndex == -1;
         }},
        {"logo position", [](PlayerSettings& s) { s.logoPosX = 5000; s.logoPosY = -2; },
         [](const PlayerSettings& s) { return s.logoPosX == 1000 && s.logoPosY == 0; }},
        {"effect block", [](PlayerSettings& s) {
             s.effectParams.contrast = 99;
             s.effectParams.timeMultiplier = std::numeric_limits<double>::infinity();
         },
         [](const PlayerSettings& s) {
             return s.effectParams.contrast == 32 && s.effectParams.timeMultiplier == 1.0;
         }},
    };
    for (const Case& c : cases) {
        PlayerSettings s = InstalledSettings();
        c.damage(s);
        ClampSettings(s);
        EXPECT_TRUE(c.repaired(s)) << c.what;
    }
}

TEST(PlayerSettings, FoldWritesTheWindowedStateAndLeavesTheRecordAlone) {
    PlayerSettings s = InstalledSettings();
    s.fullScreen = 1;
    s.movieRect = {0, 0, 1920, 1080};
    s.movieWindowedRect = {100, 100, 740, 580};
    s.mainRect = {0, 1000, 300, 1080};
    s.playlistRect = {1600, 0, 1920, 1080};
    s.resumeLastMovie = 1;
    s.lastPosition = 3.0;
    s.keepEffectSettings = 1;

    EffectParams live = DefaultEffectParams();
    live.hue = 77;
    live.fontFaceWide = 1234;
    SettingsLiveState state;
    state.playlistWindowedRect = {740, 100, 1040, 580};
    state.mainRevealed = true;
    state.mainWindowedRect = {100, 580, 400, 700};
    state.currentPosition = 42.5;
    state.liveEffects = &live;

    const PlayerSettings before = s;
    const PlayerSettings image = FoldLiveState(s, state);
    EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);
    EXPECT_EQ(image.fullScreen, 0);
    EXPECT_EQ(image.movieRect, s.movieWindowedRect);
    EXPECT_EQ(image.playlistRect, state.playlistWindowedRect);
    EXPECT_EQ(image.mainRect, state.mainWindowedRect);
    EXPECT_EQ(image.lastPosition, 42.5);
    EXPECT_EQ(image.effectParams.hue, 77);
    EXPECT_EQ(image.effectParams.fontFaceWide, 0u);

    state.mainRevealed = false;
    EXPECT_EQ(FoldLiveState(s, state).mainRect, s.mainRect);
}

TEST(PlayerSettings, FoldKeepsWhatTheOptionsDoNotAskFor) {
    PlayerSettings s = InstalledSettings();
    s.resumeLastMovie = 0;
    s.keepEffectSettings = 0;
    s.lastPosition = 9.0;
    s.effectParams.hue = 5;
    s.movieRect = {1, 2, 3, 4};
    EffectParams live = DefaultEffectParams();
    live.hue = 100;
    SettingsLiveState state;
    state.currentPosition = 50;
    state.liveEffects = &live;
    const PlayerSettings image = FoldLiveState(s, state);
    EXPECT_EQ(image.lastPosition, 9.0);
    EXPECT_EQ(image.effectParams.hue, 5);
    EXPECT_EQ(image.movieRect, s.movieRect);  // windowed: rectangles as they are
    EXPECT_EQ(std::memcmp(&image, &s, sizeof s), 0);
}

}  // namespace
