// The zoomed area follows the bar about its centre and the edits and spins within the
// picture, and no sequence of moves leaves the picture or shrinks a side below one pixel.

#include <gtest/gtest.h>

#include <random>

#include "player/playback/ZoomSteps.h"

namespace {

using zoomsteps::ZoomArea;

TEST(ZoomSteps, BarStepsFromTheWholePictureFollowTheHalvedChange) {
    const ZoomArea whole{0, 0, 639, 479};
    struct Case {
        int position;
        ZoomArea expected;
    } cases[] = {
        {1, {0, 0, 639, 479}},  // 638 and 478: halves of 0 change nothing
        {2, {1, 0, 637, 479}},  // 637 (-1 each side), 478 still a half of 0
        {500, {160, 120, 319, 239}},
        {1000, {319, 239, 1, 1}},  // the smallest area, never zero wide
    };
    for (const Case& c : cases) {
        EXPECT_EQ(zoomsteps::StepTo(whole, c.position, 640, 480), c.expected) << c.position;
    }
    EXPECT_EQ(zoomsteps::StepTo(zoomsteps::StepTo(whole, 1, 640, 480), 2, 640, 480),
              (ZoomArea{1, 0, 637, 479}));
}

TEST(ZoomSteps, ZoomingInThenOutReturnsTheWholePicture) {
    const struct { int w, h; } sizes[] = {{640, 480}, {321, 241}, {2, 2}, {3, 1000}};
    for (const auto& s : sizes) {
        const ZoomArea whole{0, 0, s.w - 1, s.h - 1};
        ZoomArea area = whole;
        for (int p = 0; p <= 1000; p += 37) area = zoomsteps::StepTo(area, p, s.w, s.h);
        area = zoomsteps::StepTo(area, 0, s.w, s.h);
        EXPECT_EQ(area, whole) << s.w << "x" << s.h;
        EXPECT_EQ(zoomsteps::BarPosition(area, s.w, s.h), 0);
    }
}

TEST(ZoomSteps, BarPositionMeasuresTheAreaAgainstThePicture) {
    EXPECT_EQ(zoomsteps::BarPosition({0, 0, 639, 479}, 640, 480), 0);
    EXPECT_EQ(zoomsteps::BarPosition({0, 0, 1, 1}, 640, 480), 998);
    // Half the width and the whole height: a quarter of the way in.
    EXPECT_EQ(zoomsteps::BarPosition({0, 0, 319, 479}, 640, 480), 250);
}

TEST(ZoomSteps, AVideoUnderTwoPixelsHasNoAreaToChoose) {
    const ZoomArea area{0, 0, 1, 1};
    for (auto [w, h] : {std::pair{0, 0}, {1, 480}, {640, 1}}) {
        EXPECT_EQ(zoomsteps::BarPosition(area, w, h), 0);
        EXPECT_EQ(zoomsteps::StepTo(area, 700, w, h), area);
        if (w < 2) {
            EXPECT_EQ(zoomsteps::SetWidth(area, 50, w), area);
            EXPECT_EQ(zoomsteps::SetLeft(area, 5, w), area);
        }
    }
}

TEST(ZoomSteps, EditsAndSpinsClampAgainstTheRestOfTheArea) {
    const ZoomArea area{10, 20, 100, 50};
    EXPECT_EQ(zoomsteps::SetLeft(area, -5, 640).left, 0);
    EXPECT_EQ(zoomsteps::SetLeft(area, 600, 640).left, 539);
    EXPECT_EQ(zoomsteps::SetWidth(area, 0, 640).width, 1);
    EXPECT_EQ(zoomsteps::SetWidth(area, 700, 640).width, 629);
    EXPECT_EQ(zoomsteps::SetHeight(area, 1000, 480).height, 459);
    EXPECT_EQ(zoomsteps::SetTop(area, 1000, 480).top, 429);
    // The horizontal spin moves the area left by its step, the vertical one down.
    EXPECT_EQ(zoomsteps::SpinHorizontal(area, 1, 640).left, 9);
    EXPECT_EQ(zoomsteps::SpinVertical(area, 1, 480).top, 21);
    EXPECT_EQ(zoomsteps::SpinHorizontal({0, 0, 100, 50}, 1, 640).left, 0);
    EXPECT_EQ(zoomsteps::SpinVertical({0, 429, 100, 50}, 1, 480).top, 429);
}

TEST(ZoomSteps, KeepInsidePullsAStoredAreaIntoASmallerPicture) {
    EXPECT_EQ(zoomsteps::KeepInside({600, 10, 200, 50}, 320, 240), (ZoomArea{318, 10, 1, 50}));
    EXPECT_EQ(zoomsteps::KeepInside({0, 0, 1000, 1000}, 320, 240), (ZoomArea{0, 0, 319, 239}));
    EXPECT_EQ(zoomsteps::KeepInside({0, 0, -1, -1}, 320, 240), (ZoomArea{0, 0, 1, 1}));
}

TEST(ZoomSteps, RandomBarEditAndSpinSequencesStayInsideThePicture) {
    std::mt19937 random(29);
    for (int round = 0; round < 200; ++round) {
        const int w = std::uniform_int_distribution(2, 800)(random);
        const int h = std::uniform_int_distribution(2, 600)(random);
        ZoomArea area = zoomsteps::KeepInside({0, 0, 1, 1}, w, h);
        for (int step = 0; step < 60; ++step) {
            const int value = std::uniform_int_distribution(-50, 900)(random);
            switch (std::uniform_int_distribution(0, 7)(random)) {
                case 0:
                    area = zoomsteps::StepTo(area, value % 1001, w, h);
                    break;
                case 1:
                    area = zoomsteps::SetLeft(area, value, w);
                    break;
                case 2:
                    area = zoomsteps::SetTop(area, value, h);
                    break;
                case 3:
                    area = zoomsteps::SetWidth(area, value, w);
                    break;
                case 4:
                    area = zoomsteps::SetHeight(area, value, h);
                    break;
                case 5:
                    area = zoomsteps::SpinHorizontal(area, value % 3 - 1, w);
                    break;
                case 6:
                    area = zoomsteps::SpinVertical(area, value % 3 - 1, h);
                    break;
                default:
                    area = zoomsteps::StepTo(area, 1000 - (value & 7), w, h);
                    break;
            }
            ASSERT_GE(area.left, 0);
            ASSERT_GE(area.top, 0);
            ASSERT_GE(area.width, 1);
            ASSERT_GE(area.height, 1);
            ASSERT_LE(area.left + area.width, w - 1) << w << " step " << step;
            ASSERT_LE(area.top + area.height, h - 1) << h << " step " << step;
            const int p = zoomsteps::BarPosition(area, w, h);
            ASSERT_TRUE(p >= 0 && p <= 1000);
        }
    }
}

}  // namespace
