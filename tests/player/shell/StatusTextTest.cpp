// The tip's texts, and the tip window's countdown and place.

#include <gtest/gtest.h>

#include <cmath>

#include "player/shell/HKTip.h"
#include "player/shell/StatusText.h"

namespace {

TEST(StatusText, EveryWholePercentOfVolumeShowsAsItself) {
    // Volumes are kept as hundredths; many of them are stored just below the hundredth.
    for (int k = 0; k <= 100; ++k)
        EXPECT_EQ(statustext::VolumeText(k / 100.0), "Volume - " + std::to_string(k) + "%") << k;
    const struct {
        double volume;
        const char* text;
    } odd[] = {{1.5, "Volume - 100%"},
               {-0.2, "Volume - 0%"},
               {NAN, "Volume - 0%"},
               {0.004, "Volume - 0%"}};
    for (const auto& c : odd) EXPECT_EQ(statustext::VolumeText(c.volume), c.text) << c.volume;
}

TEST(StatusText, EachKindHasItsText) {
    const struct {
        int kind;
        int32_t repeat;
        const char* text;
    } cases[] = {
        {statustext::kTitleAndTime, 0, "clip.avi   00:01:05"},
        {statustext::kVolume, 0, "Volume - 29%"},
        {statustext::kRepeat, 0, "Repeat All"},
        {statustext::kRepeat, 1, "Repeat One"},
        {statustext::kRepeat, 2, "Repeat Off"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(statustext::Text(c.kind, "clip.avi", "00:01:05", 0.29, c.repeat), c.text)
            << c.kind;
}

TEST(TipWindow, StaysEightTicksFromItsLastNewMessageCentredOnItsText) {
    CHKTip tip(nullptr);
    tip.ShowTip("first", false);
    EXPECT_TRUE(tip.isVisible());
    for (int n = 0; n < 4; ++n) EXPECT_TRUE(tip.Tick());
    const QRect shortPlace = tip.geometry();
    // A refresh keeps the time left and the place.
    tip.ShowTip("first, refreshed with a much longer text", true);
    EXPECT_EQ(tip.Countdown(), 4);
    EXPECT_EQ(tip.geometry(), shortPlace);
    // A new message restarts the time and widens the window about the same centre.
    tip.ShowTip("second, a much longer text than the first", false);
    EXPECT_EQ(tip.Countdown(), CHKTip::kShowTicks);
    EXPECT_GT(tip.width(), shortPlace.width());
    EXPECT_LE(std::abs(tip.geometry().center().x() - shortPlace.center().x()), 2);
    for (int n = 0; n < CHKTip::kShowTicks - 1; ++n) EXPECT_TRUE(tip.Tick()) << n;
    EXPECT_TRUE(tip.isVisible());
    EXPECT_FALSE(tip.Tick());
    EXPECT_FALSE(tip.isVisible());
    EXPECT_EQ(tip.Countdown(), 0);
    EXPECT_FALSE(tip.Tick());  // hidden: nothing to count

    // Text past its limit is cut on a character boundary.
    tip.ShowTip(std::string(398, 'x') + "\xC3\xA9", false);
    EXPECT_EQ(tip.Text(), std::string(398, 'x'));
}

TEST(TipWindow, SitsCentredSixPixelsAboveTheDesktopsBottom) {
    const struct {
        QRect desktop;
        QSize text;
        QRect place;
    } cases[] = {
        {{0, 0, 1024, 768}, {100, 16}, {462, 746, 104, 18}},
        {{0, 0, 1024, 768}, {101, 16}, {462, 746, 105, 18}},
        {{0, 0, 1920, 1080}, {300, 20}, {810, 1054, 304, 22}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CHKTip::Placement(c.desktop, c.text), c.place) << c.text.width();
}

}  // namespace
