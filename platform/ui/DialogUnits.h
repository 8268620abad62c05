#pragma once

// Dialog layouts are given in dialog units: a quarter of the font's average letter width
// across, an eighth of its height down, so a layout grows with the font it is shown in.

#include <QRect>

class QFont;

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    DialogUnits(int baseWidth, int baseHeight) : baseWidth_(baseWidth), baseHeight_(baseHeight) {}

    int X(int units) const;
    int Y(int units) const;
    QRect ToPixels(int x, int y, int width, int height) const;

    int BaseWidth() const { return baseWidth_; }
    int BaseHeight() const { return baseHeight_; }

private:
    int baseWidth_;
    int baseHeight_;
};
