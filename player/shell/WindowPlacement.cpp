#include "player/shell/WindowPlacement.h"

#include <algorithm>

#include "player/settings/PlayerSettings.h"

namespace {

constexpr int32_t kPlaneLimit = 1 << 20;

int32_t Keep(int32_t value) { return std::clamp(value, -kPlaneLimit, kPlaneLimit); }

}  // namespace

WinRect KeepOnPlane(const WinRect& rect) {
    return WinRect{Keep(rect.left), Keep(rect.top), Keep(rect.right), Keep(rect.bottom)};
}

DefaultPlacement DefaultPlacement::Compute(int desktopWidth, int desktopHeight, int skinWidth,
                                           int skinHeight) {
    DefaultPlacement p{};
    p.main.left = desktopWidth / 2 - skinWidth / 2;
    p.main.top = desktopHeight - 2 * skinHeight - 40;
    if (skinHeight < 100) p.main.top -= 100;
    p.main.right = p.main.left + skinWidth;
    p.main.bottom = p.main.top + skinHeight;
    p.movie.left = p.main.left;
    p.movie.right = p.main.right;
    p.movie.bottom = p.main.top;
    p.movie.top = p.movie.bottom - (p.movie.right - p.movie.left) * 3 / 4;
    p.playlist.left = p.main.left;
    p.playlist.right = p.main.right;
    p.playlist.top = p.main.bottom;
    p.playlist.bottom = p.playlist.top + skinHeight;
    return p;
}

WinRect Redock(const WinRect& window, int32_t side, const WinRect& main) {
    int32_t dx = 0, dy = 0;
    switch (static_cast<DockSide>(side)) {
        case DockSide::Above: dy = main.top - window.bottom; break;
        case DockSide::Right: dx = main.right - window.left; break;
        case DockSide::Below: dy = main.bottom - window.top; break;
        case DockSide::Left: dx = main.left - window.right; break;
        default: return window;
    }
    return WinRect{window.left + dx, window.top + dy, window.right + dx, window.bottom + dy};
}
