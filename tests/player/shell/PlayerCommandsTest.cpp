// The arithmetic of the main window's commands: volume steps, forward and rewind, the
// play-range marks and the placement of the options dialog and the effect controls.

#include <gtest/gtest.h>

#include <cmath>

#include "player/shell/PlayerCommands.h"

namespace {

using namespace playercommands;

TEST(PlayerCommandsTest, VolumeStepsStayOnHundredthsAndReachTrueSilence) {
    const struct {
        double volume;
        std::optional<double> up, down;
    } cases[] = {
        {1.0, std::nullopt, 0.99},
        {0.995, 1.0, 0.99},  // 0.985 rounds to 0.99 on the way down
        {0.5, 0.51, 0.49},
        {0.01, 0.02, 0.0},
        {0.005, 0.02, 0.0},  // 0.015 rounds up
        {0.0, 0.01, std::nullopt},
        {-3.0, 0.01, std::nullopt},  // a damaged value is taken as its nearest end
        {7.0, std::nullopt, 0.99},
        {NAN, 0.01, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(VolumeUp(c.volume), c.up) << c.volume;
        EXPECT_EQ(VolumeDown(c.volume), c.down) << c.volume;
    }
    // A hundred steps down from full volume end exactly at 0, and a hundred up at 1.
    double v = 1.0;
    for (int i = 0; i < 100; ++i) v = *VolumeDown(v);
    EXPECT_EQ(v, 0.0);
    EXPECT_FALSE(VolumeDown(v));
    for (int i = 0; i < 100; ++i) v = *VolumeUp(v);
    EXPECT_EQ(v, 1.0);
}

TEST(PlayerCommandsTest, ForwardStopsAtTheDurationAndRewindAtTheStart) {
    EXPECT_EQ(ForwardTarget(95.0, 10, 100.0), 100.0);
    EXPECT_EQ(ForwardTarget(80.0, 10, 100.0), 90.0);
    EXPECT_EQ(ForwardTarget(90.0, 10, 100.0), 100.0);
    EXPECT_FALSE(ForwardTarget(5.0, 10, 0.0));  // length not known: no jump to 0
    EXPECT_FALSE(ForwardTarget(5.0, 10, NAN));
    EXPECT_EQ(RewindTarget(5.0, 10), 0.0);
    EXPECT_EQ(RewindTarget(10.0, 10), 0.0);
    EXPECT_EQ(RewindTarget(25.5, 10), 15.5);
}

TEST(PlayerCommandsTest, RangeMarksKeepTheStartBeforeTheEnd) {
    const struct {
        Range before;
        bool end;
        double position;
        Range after;
    } cases[] = {
        {{0, 30}, false, 10, {10, 30}},
        {{0, 30}, false, 40, {40, 40}},  // a start after the end moves both
        {{0, 30}, false, 30, {30, 30}},
        {{10, 30}, true, 20, {10, 20}},
        {{10, 30}, true, 5, {0, 5}},     // an end before the start resets the start
        {{10, 30}, true, 10, {0, 10}},
    };
    for (const auto& c : cases) {
        const Range r = c.end ? WithEnd(c.before, c.position) : WithStart(c.before, c.position);
        EXPECT_EQ(r.start, c.after.start) << c.position;
        EXPECT_EQ(r.end, c.after.end) << c.position;
    }
    EXPECT_EQ(RangeText({61.9, 3725}), "00:01:01 - 01:02:05");
}

TEST(PlayerCommandsTest, DialogsAreCentredOnTheMainWindowAndKeptOnTheDesktop) {
    const WinRect desktop{0, 0, 1024, 768};
    const struct {
        WinRect main;
        QRect options, effects;
    } cases[] = {
        {{362, 300, 662, 420}, {335, 160, 355, 400}, {312, 360, 400, 220}},
        // At the right edge and near the bottom: pulled left, and up by the fixed amounts.
        {{900, 600, 1200, 720}, {669, 328, 355, 400}, {624, 440, 400, 220}},
        // Off the left and top edges.
        {{-400, -300, -100, -180}, {0, 0, 355, 400}, {0, -240, 400, 220}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OptionsPlacement(c.main, desktop, {355, 400}), c.options) << c.main.left;
        EXPECT_EQ(EffectControlsPlacement(c.main, desktop, {400, 220}), c.effects) << c.main.left;
    }
    // A larger font's dialog keeps its centre and its clearance from the bottom.
    EXPECT_EQ(OptionsPlacement(cases[1].main, desktop, {445, 500}), QRect(579, 228, 445, 500));
    EXPECT_EQ(EffectControlsPlacement(cases[0].main, desktop, {500, 275}),
              QRect(262, 360, 500, 275));
    EXPECT_EQ(EffectControlsPlacement(cases[0].main, desktop, {500, 410}),
              QRect(262, -50, 500, 410));
}

}  // namespace
