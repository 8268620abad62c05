// Dialog units become pixels by the font's average letter width and its height, rounded
// half away from zero, and neighbouring controls still meet edge to edge.

#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>

#include "platform/ui/DialogUnits.h"

namespace {

TEST(DialogUnits, ConvertEdgesWithRoundingSoNeighboursMeet) {
    struct Case {
        int baseWidth, baseHeight, units, x, y;
    };
    const Case cases[] = {
        {6, 13, 4, 6, 7}, {6, 13, 1, 2, 2},    {6, 13, 0, 0, 0},       {7, 15, 3, 5, 6},
        {7, 15, 2, 4, 4}, {6, 13, -1, -2, -2}, {8, 16, 333, 666, 666},
    };
    for (const Case& c : cases) {
        const DialogUnits units(c.baseWidth, c.baseHeight);
        EXPECT_EQ(units.X(c.units), c.x) << c.baseWidth << " " << c.units;
        EXPECT_EQ(units.Y(c.units), c.y) << c.baseHeight << " " << c.units;
    }
    const DialogUnits units(7, 15);
    for (int x = 0; x < 40; ++x) {
        const QRect left = units.ToPixels(x, x, 3, 5), right = units.ToPixels(x + 3, x + 5, 2, 2);
        EXPECT_EQ(left.right() + 1, right.left()) << x;
        EXPECT_EQ(left.bottom() + 1, right.top()) << x;
    }
}

TEST(DialogUnits, TheBaseIsTheFontsAverageLetterAndItsHeight) {
    QFont font;
    font.setPixelSize(20);
    const QFontMetrics metrics(font);
    const DialogUnits units(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ(units.BaseWidth(), (letters + 26) / 52);
    EXPECT_EQ(units.BaseHeight(), metrics.height());
}

}  // namespace
