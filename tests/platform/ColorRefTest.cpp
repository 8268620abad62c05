// Records hold colours as 0x00BBGGRR and rectangles with exclusive edges; swapping red and
// blue or losing a pixel at the edge shows on every skin.

#include <gtest/gtest.h>

#include "platform/ui/ColorRef.h"

TEST(ColorRef, ConvertsBothWaysWithRedInTheLowByte) {
    EXPECT_EQ(colorref::ToQColor(0x00F7EFEF), QColor(0xEF, 0xEF, 0xF7));
    EXPECT_EQ(colorref::ToQColor(0x000000FF), QColor(Qt::red));
    EXPECT_EQ(colorref::FromQColor(QColor(Qt::blue)), 0x00FF0000u);
    EXPECT_EQ(colorref::FromQColor(colorref::ToQColor(0x00D6ADAD)), 0x00D6ADADu);
    EXPECT_EQ(colorref::Make(0x12, 0x34, 0x56), 0x00563412u);
}

TEST(ColorRef, RectanglesKeepTheirSizeWithExclusiveEdges) {
    const WinRect rect{362, 488, 662, 608};
    const QRect q = colorref::ToQRect(rect);
    EXPECT_EQ(q.width(), 300);
    EXPECT_EQ(q.height(), 120);
    EXPECT_EQ(q.right(), 661);
    EXPECT_EQ(colorref::FromQRect(q), rect);
    EXPECT_EQ(colorref::ToQRect(WinRect{5, 5, 5, 5}).isEmpty(), true);
}
