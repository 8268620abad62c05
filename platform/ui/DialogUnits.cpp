#include "platform/ui/DialogUnits.h"

#include <QFont>
#include <QFontMetrics>
#include <algorithm>
#include <cstdint>

namespace {

// value * numerator / denominator, rounded half away from zero, in 64 bits.
int Scale(int value, int numerator, int denominator) {
    const int64_t product = int64_t{value} * numerator;
    const int64_t half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : -((-product + half) / denominator));
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    static const QString kLetters =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    baseWidth_ = std::max(1, Scale(metrics.horizontalAdvance(kLetters), 1, 52));
    baseHeight_ = std::max(1, metrics.height());
}

int DialogUnits::X(int units) const { return Scale(units, baseWidth_, 4); }

int DialogUnits::Y(int units) const { return Scale(units, baseHeight_, 8); }

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
    // Edges are converted, not sizes, so that neighbours meet without gaps.
    const int left = X(x), top = Y(y);
    return QRect(left, top, X(x + width) - left, Y(y + height) - top);
}
