// The wizard's time edits show a fragment's range and trim it from what the user types.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "common/TimeFields.h"

namespace {

TEST(TimeFields, SplitsIntoTwoDigitPartsAndSixDigitsThatCarryIntoTheSeconds) {
    const struct {
        double seconds;
        const char *h, *m, *s, *f;
    } cases[] = {
        {3725.25, "01", "02", "05", "250000"},
        {0.0, "00", "00", "00", "000000"},
        {7.000001, "00", "00", "07", "000001"},
        {5.9999996, "00", "00", "06", "000000"},     // rounds up: the second carries
        {59.9999999, "00", "01", "00", "000000"},    // and on into the minutes
        {3599.9999996, "01", "00", "00", "000000"},  // and the hours
        {123 * 3600.0 + 61.5, "123", "01", "01", "500000"},
    };
    for (const auto& c : cases) {
        const auto fields = SplitTimeFields(c.seconds);
        ASSERT_TRUE(fields) << c.seconds;
        EXPECT_EQ(fields->hours, c.h) << c.seconds;
        EXPECT_EQ(fields->minutes, c.m) << c.seconds;
        EXPECT_EQ(fields->seconds, c.s) << c.seconds;
        EXPECT_EQ(fields->fraction, c.f) << c.seconds;
    }
    for (const double none :
         {-0.5, -1.0, std::nan(""), std::numeric_limits<double>::infinity(), 1e300})
        EXPECT_FALSE(SplitTimeFields(none)) << none;
}

TEST(TimeFields, ReadsLeadingDigitsOfAtMost29CharactersAndSaturates) {
    const std::string nines29(29, '9');
    const std::string late = std::string(29, '0') + "5";  // the 30th character is not read
    const struct {
        std::string text;
        int64_t whole;
        double fraction;
    } cases[] = {
        {"07", 7, 0.07},
        {"", 0, 0.0},
        {"12ab", 12, 0.12},
        {"x12", 0, 0.0},
        {"25", 25, 0.25},
        {"250000", 250000, 0.25},
        {nines29, kTimeFieldMax, 1.0 - 1e-29},
        {late, 0, 0.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadTimeField(c.text), c.whole) << c.text;
        EXPECT_DOUBLE_EQ(ReadFractionField(c.text), c.fraction) << c.text;
    }
    EXPECT_DOUBLE_EQ(JoinTimeFields("01", "02", "05", "25"), 3725.25);
    EXPECT_DOUBLE_EQ(JoinTimeFields(nines29, "0", "0", ""), kTimeFieldMax * 3600.0);
}

TEST(TimeFields, WhatIsShownReadsBackWithinHalfAMicrosecond) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> seconds(0.0, 400000.0);
    for (int i = 0; i < 2000; ++i) {
        const double value = seconds(random);
        const auto f = SplitTimeFields(value);
        ASSERT_TRUE(f);
        EXPECT_NEAR(JoinTimeFields(f->hours, f->minutes, f->seconds, f->fraction), value,
                    0.5e-6 + 1e-9)
            << value;
    }
}

TEST(TimeFields, TrimsTheEndToTheLengthAndABeginAfterItToZero) {
    const struct {
        double begin, end, length;
        bool changes;
        double newBegin, newEnd;
    } cases[] = {
        {10, 20, -1, true, 10, 20},  // unknown length: nothing lowered
        {10, 40, 30, true, 10, 30},  // past the length: the length
        {35, 40, 30, true, 0, 30},   // begin after the new end: 0
        {30, 40, 30, true, 30, 30}, {10, 30, 30, true, 10, 30},
        {20, 10, 30, false, 0, 0},  // end before begin: nothing
        {10, 10, 30, false, 0, 0},
    };
    for (const auto& c : cases) {
        const auto range = TrimFragment(c.begin, c.end, c.length);
        ASSERT_EQ(range.has_value(), c.changes) << c.begin << " " << c.end;
        if (!range) continue;
        EXPECT_EQ(range->begin, c.newBegin) << c.begin << " " << c.end;
        EXPECT_EQ(range->end, c.newEnd) << c.begin << " " << c.end;
    }
}

}  // namespace
