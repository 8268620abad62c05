#pragma once

// Records keep colours as COLORREF (0x00BBGGRR) and rectangles with exclusive right and
// bottom edges; these convert them where they are painted.

#include <QColor>
#include <QRect>

#include <cstdint>

#include "common/WinRect.h"

namespace colorref {

QColor ToQColor(uint32_t colorRef);
uint32_t FromQColor(const QColor& color);
constexpr uint32_t Make(uint8_t red, uint8_t green, uint8_t blue) {
    return uint32_t{red} | (uint32_t{green} << 8) | (uint32_t{blue} << 16);
}

QRect ToQRect(const WinRect& rect);
WinRect FromQRect(const QRect& rect);

}  // namespace colorref
