// The progress display's numbers: seconds written out of the span, the percentage, and the
// clock the effects element follows, for spans that are ordinary, short, empty, negative or
// not a number.

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "engine/ProgressMeter.h"

namespace {

constexpr int64_t kSecond = 1000000000;

TEST(ProgressMeter, ShowsSecondsAndPercentWithoutEverDividingByAnEmptySpan) {
    struct Case {
        double start, end;
        int64_t base, position;
        int32_t total, elapsed;
        const char* saved;
        const char* percent;
    };
    const double nan = std::nan("");
    const Case cases[] = {
        {0, 10, 0, 3 * kSecond + kSecond / 2, 10, 3, "Saved: 3 of 10 seconds", "30% complete"},
        {5, 15, 0, 3 * kSecond, 10, 3, "Saved: 3 of 10 seconds", "30% complete"},
        {100, 110, 100 * kSecond, 103 * kSecond, 10, 3, "Saved: 3 of 10 seconds", "30% complete"},
        {0, 10, 0, 12 * kSecond, 10, 9, "Saved: 9 of 10 seconds", "90% complete"},
        {0, 10, 0, 10 * kSecond, 10, 9, "Saved: 9 of 10 seconds", "90% complete"},
        {0, 10.5, 0, 10 * kSecond, 10, 10, "Saved: 10 of 10 seconds", "95% complete"},
        {0, 200, 0, 199 * kSecond, 200, 199, "Saved: 199 of 200 seconds", "99% complete"},
        {0, 10, 5 * kSecond, 2 * kSecond, 10, 0, "Saved: 0 of 10 seconds", "0% complete"},
        {0, 0.5, 0, kSecond / 4, 0, 0, "Saved: 0 of 0 seconds", "0% complete"},
        {0, 0, 0, 5 * kSecond, 0, 0, "Saved: 0 of 0 seconds", "0% complete"},
        {10, 5, 0, 5 * kSecond, 0, 0, "Saved: 0 of 0 seconds", "0% complete"},
        {0, nan, 0, 5 * kSecond, 0, 0, "Saved: 0 of 0 seconds", "0% complete"},
        {0, 1e12, 0, 5 * kSecond, 2147483647, 5, "Saved: 5 of 2147483647 seconds", "0% complete"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << ".." << c.end << " at " << c.position);
        const ProgressMeter meter(c.start, c.end, c.base);
        EXPECT_EQ(meter.Total(), c.total);
        const int32_t elapsed = meter.Elapsed(c.position);
        EXPECT_EQ(elapsed, c.elapsed);
        EXPECT_EQ(meter.SavedText(elapsed), c.saved);
        EXPECT_EQ(meter.PercentText(elapsed), c.percent);
    }
}

}  // namespace
