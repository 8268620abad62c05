#pragma once

// The main window's shape: the skin surface minus its runs of the key colour. Each run is
// taken out together with the pixel that ends it (at a row's end, the column just beyond
// the surface), which skins are drawn for.

#include <QImage>
#include <QRegion>

class SkinShape {
public:
    // The region of surface's top-left width x height pixels, keyed by pixel (0,0).
    static QRegion FromKeyColor(const QImage& surface, int width, int height);
};
