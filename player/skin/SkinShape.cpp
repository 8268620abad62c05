#include "player/skin/SkinShape.h"

#include <vector>

QRegion SkinShape::FromKeyColor(const QImage& surface, int width, int height) {
    if (surface.isNull() || width <= 0 || height <= 0) return {};
    const QImage pixels = surface.convertToFormat(QImage::Format_RGB32);
    const QRgb key = pixels.pixel(0, 0) & 0xFFFFFF;
    std::vector<QRect> rects;
    // One row at a time: toggling columns gives the same result as exclusive-or of the
    // run rectangles into the whole rectangle, without a region operation per run.
    std::vector<char> inside(static_cast<size_t>(width) + 1);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        std::fill(inside.begin(), inside.end(), 0);
        std::fill(inside.begin(), inside.begin() + width, 1);
        for (int x = 0; x < width;) {
            if ((row[x] & 0xFFFFFF) != key) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < width && (row[x] & 0xFFFFFF) == key) ++x;
            for (int c = start; c <= x; ++c) inside[c] ^= 1;
            ++x;  // the pixel that ended the run was taken with it
        }
        for (int x = 0; x <= width;) {
            if (!inside[x]) {
                ++x;
                continue;
            }
            const int start = x;
            while (x <= width && inside[x]) ++x;
            rects.emplace_back(start, y, x - start, 1);
        }
    }
    QRegion region;
    region.setRects(rects.data(), static_cast<int>(rects.size()));
    return region;
}
