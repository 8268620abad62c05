// Frames keep their own timestamps; the caller's lagging position reports do not move the
// subtitles, while a real jump of the media clock re-anchors them at once.

#include <gtest/gtest.h>

#include "kalvorvt/SubtitleClock.h"

namespace {

TEST(SubtitleClock, LaggingReportsAndReportsBeforeAFrameOrAfterAFlushAreNotAnchors) {
    SubtitleClock clock;
    clock.SetPosition(100.0);  // before any frame
    EXPECT_DOUBLE_EQ(clock.Frame(3.0), 3.0);
    clock.SetPosition(2.8);  // reported from downstream, behind the frame in hand
    EXPECT_DOUBLE_EQ(clock.Frame(3.04), 3.04);
    clock.Flush();
    clock.SetPosition(50.0);  // the seek's new position, before its first frame
    EXPECT_DOUBLE_EQ(clock.Frame(50.0), 50.0);
}

TEST(SubtitleClock, AJumpReanchorsAndTheLeastLaggingReportRefinesIt) {
    SubtitleClock clock;
    clock.Frame(2.0);
    clock.SetPosition(11.5);  // the media clock runs 10 s ahead, reported 0.5 s late
    EXPECT_DOUBLE_EQ(clock.Offset(), 9.5);
    clock.Frame(3.0);
    clock.SetPosition(12.9);
    EXPECT_DOUBLE_EQ(clock.Offset(), 9.9);
    clock.Frame(4.0);
    clock.SetPosition(13.2);  // more lag again: the better anchor stays
    EXPECT_DOUBLE_EQ(clock.Offset(), 9.9);
    EXPECT_DOUBLE_EQ(clock.Frame(5.0), 14.9);
    clock.Frame(6.0);
    clock.SetPosition(1.0);  // jumps back
    EXPECT_DOUBLE_EQ(clock.Offset(), -5.0);
}

}  // namespace
