// The stop at a play range's end: when it is armed, and when the countdown ends.

#include <gtest/gtest.h>

#include <cmath>

#include "player/shell/RangeEndStop.h"

namespace {

TEST(RangeEndStopTest, TheCountdownIsTheWallClockTimeTheMediumTakesAtItsRate) {
    const struct {
        double rate;
        int64_t countdown;
    } cases[] = {
        {1.0, 75}, {2.0, 38},  {0.5, 150}, {4.0, 19}, {100.0, 1},  // never below one tick
        {0.0, 75}, {-1.0, 75}, {NAN, 75},                          // a damaged rate is normal speed
    };
    for (const auto& c : cases) {
        RangeEndStop stop;
        ASSERT_TRUE(stop.Check(12.5, 11.75, 1000, c.rate)) << c.rate;
        EXPECT_EQ(stop.Countdown(), c.countdown) << c.rate;
        // The wall-clock bound follows the rate too: at it one tick is only one tick, past it
        // the next tick stops.
        EXPECT_EQ(stop.Tick(1000 + c.countdown), c.countdown == 1) << c.rate;
        EXPECT_TRUE(stop.Tick(1000 + c.countdown + 1)) << c.rate;
    }
}

TEST(RangeEndStopTest, ArmsInTheRangeEndsSecondOrTheOneBeforeForTheHundredthsLeft) {
    const struct {
        double rangeEnd, position;
        int64_t countdown;  // 0: not armed
    } cases[] =
        {
            {12.5, 11.75, 75}, {12.5, 12.25, 25}, {12.5, 10.9, 0},
            {12.5, 12.5, 0},   // at the end already
            {12.5, 12.75, 0},  // past it in the same second
            {-1.0, 0.5, 0},    {-2.0, 0.2, 0},    {0.0, 0.0, 0},
            {3.0, 2.0, 100},   {3.0, 2.999, 1},   {3.0, 1.99, 0},
            {NAN, 1.0, 0},     {1e300, 1e300, 0},
        };
    for (const auto& c : cases) {
        RangeEndStop stop;
        EXPECT_EQ(stop.Check(c.rangeEnd, c.position, 1000), c.countdown != 0)
            << c.rangeEnd << " " << c.position;
        EXPECT_EQ(stop.Countdown(), c.countdown) << c.rangeEnd << " " << c.position;
    }
    // Armed once, a second check does not restart the countdown.
    RangeEndStop stop;
    ASSERT_TRUE(stop.Check(12.5, 11.75, 1000));
    EXPECT_FALSE(stop.Check(12.5, 12.0, 1000));
    EXPECT_EQ(stop.Countdown(), 75);
}

TEST(RangeEndStopTest, StopsAfterItsTicksOrItsWallClockTimeWhicheverComesFirst) {
    // Ticks on time: the stop comes with the last of the 25 ticks.
    RangeEndStop onTime;
    ASSERT_TRUE(onTime.Check(12.5, 12.25, 1000));
    for (int tick = 1; tick < 25; ++tick) ASSERT_FALSE(onTime.Tick(1000 + tick)) << tick;
    EXPECT_TRUE(onTime.Tick(1025));
    // Ticks held up by a busy machine: the clock ends it after the 25 hundredths.
    RangeEndStop late;
    ASSERT_TRUE(late.Check(12.5, 12.25, 1000));
    EXPECT_FALSE(late.Tick(1010));
    EXPECT_FALSE(late.Tick(1025));
    EXPECT_TRUE(late.Tick(1026));
    EXPECT_FALSE(late.Armed());
}

}  // namespace
