// The wizard opens below the main window on its screen, and the logo's place becomes the
// X and Y that korc puts it by.

#include <gtest/gtest.h>

#include "player/wizard/WizardPlacement.h"

namespace {

TEST(WizardPlacement, GoesBelowTheCentreOnTheDesktopAndAboveItNearTheBottom) {
    const QRect desktop(0, 0, 1024, 768);
    const QSize wizard(600, 400);
    const struct {
        QRect main;
        QPoint expected;
    } cases[] = {
        {{200, 100, 400, 100}, {100, 150}},  // centred below the centre
        {{700, 100, 300, 100}, {424, 150}},  // held inside the right edge
        {{-300, 100, 300, 100}, {0, 150}},   // and the left edge
        {{200, 300, 400, 100}, {100, 0}},    // flipped to 350 - 400 = -50: held at the top
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlaceWizard(c.main, wizard, desktop), c.expected)
            << c.main.x() << "," << c.main.y();
    // Room above: flipped to centre - height.
    EXPECT_EQ(PlaceWizard({200, 600, 400, 100}, QSize(600, 200), desktop), QPoint(100, 450));
    // 40 pixels of margin decide: 300 + 400 + 40 = 740 fits, one pixel lower flips.
    EXPECT_EQ(PlaceWizard({200, 250, 400, 100}, QSize(600, 428), desktop), QPoint(100, 300));
    EXPECT_EQ(PlaceWizard({200, 252, 400, 100}, QSize(600, 428), desktop), QPoint(100, 0));
    // A desktop that does not start at the origin (a second screen).
    EXPECT_EQ(PlaceWizard({1100, 100, 400, 100}, wizard, QRect(1024, 0, 1280, 1024)),
              QPoint(1024, 150));
}

TEST(WizardPlacement, LogoPositionsOnA1024x768ScreenStayWithin0To1000) {
    const int caption = 20;
    const struct {
        int logoW, logoH, left, top, x, y;
    } cases[] = {
        {100, 50, 924, 698, 1000, 1000},    // far right and bottom
        {100, 50, 5000, 5000, 1000, 1000},  // past them
        {100, 50, -10, -30, 0, 0},          // above or left of the room
        {100, 50, 462, 349, 500, 500},
        {100, 50, 1, 1, 1, 1},  // 1/924 and 1/698: truncated, not rounded
        {100, 50, 0, 0, 0, 0},
        {2000, 1000, 0, 0, 0, 0},  // larger than the screen: a room of 1
        {2000, 1000, 1, 1, 1000, 1000},
        {2000, 1000, -50, 40, 0, 1000},
        {1024, 748, 0, 0, 0, 0},  // exactly as large: still a room of 1
    };
    for (const auto& c : cases) {
        const int across = LogoFreeRange(1024, c.logoW);
        const int down = LogoFreeRange(768, c.logoH, caption);
        EXPECT_GE(across, 1);
        EXPECT_GE(down, 1);
        EXPECT_EQ(LogoPosition(c.left, across), c.x) << c.logoW << " " << c.left;
        EXPECT_EQ(LogoPosition(c.top, down), c.y) << c.logoH << " " << c.top;
        // A release keeps the logo in its room, and the clamped place reads the same.
        const int heldLeft = ClampLogoOffset(c.left, across);
        EXPECT_EQ(LogoPosition(heldLeft, across), c.x);
        EXPECT_GE(heldLeft, 0);
        EXPECT_LE(heldLeft, across);
    }
    EXPECT_EQ(LogoFreeRange(1024, 100), 924);
    EXPECT_EQ(LogoFreeRange(768, 50, 20), 698);
}

TEST(WizardPlacement, CaptionShowsTenthsOfAPercentWithTwoBlanksBeforeY) {
    const std::string head = "Position of image in a video fragment - Drag and Drop - X: ";
    const struct {
        int x, y;
        const char* tail;
    } cases[] = {
        {125, 5, "12.5%  Y: 0.5%"},
        {0, 0, "0.0%  Y: 0.0%"},
        {1000, 999, "100.0%  Y: 99.9%"},
        {5, 125, "0.5%  Y: 12.5%"},
    };
    for (const auto& c : cases) EXPECT_EQ(LogoCaption(c.x, c.y), head + c.tail);
}

}  // namespace
