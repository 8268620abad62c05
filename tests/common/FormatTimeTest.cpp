// Every playlist and wizard row shows its times through FormatTime.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/FormatTime.h"

namespace {

TEST(FormatTime, WholeSecondsAsTwoDigitPartsAndBlanksForNoTime) {
    const std::string blanks(8, ' ');
    const struct {
        double seconds;
        const char* expected;
    } cases[] = {
        {0.0, "00:00:00"},
        {59.9, "00:00:59"},  // truncated, not rounded
        {60.0, "00:01:00"},
        {3600.0, "01:00:00"},
        {3723.5, "01:02:03"},
        {99 * 3600.0 + 3599, "99:59:59"},
        {123 * 3600.0, "123:00:00"},  // hours keep every digit
        {3.6e9, "1000000:00:00"},
        {-1.0, blanks.c_str()},  // not probed
        {-2.0, blanks.c_str()},  // no length
        {-0.5, blanks.c_str()},
        {std::nan(""), blanks.c_str()},
        {std::numeric_limits<double>::infinity(), blanks.c_str()},
        {8.99e18, "2497222222222222:13:20"},
        {9.0e18, blanks.c_str()},  // past what whole seconds can hold
        {1e300, blanks.c_str()},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatTime(c.seconds), c.expected) << c.seconds;
}

}  // namespace
