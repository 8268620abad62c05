#include "platform/ui/ColorRef.h"

namespace colorref {

QColor ToQColor(uint32_t colorRef) {
    return QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

uint32_t FromQColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return Make(static_cast<uint8_t>(rgb.red()), static_cast<uint8_t>(rgb.green()),
                static_cast<uint8_t>(rgb.blue()));
}

QRect ToQRect(const WinRect& rect) {
    return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

WinRect FromQRect(const QRect& rect) {
    return WinRect{rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

}  // namespace colorref
