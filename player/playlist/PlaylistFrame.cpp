#include "player/playlist/PlaylistFrame.h"

#include <algorithm>

namespace playlistframe {

namespace {

bool Between(int low, int value, int high) { return low < value && value < high; }

// a lies within kSnapDistance of b, exclusive.
bool Near(int a, int b) { return Between(b - kSnapDistance, a, b + kSnapDistance); }

// Each caption starts 7 pixels after the previous one's text.
int CaptionLeft(const MenuBar& bar, int k) {
    int left = kBorder;
    for (int i = 1; i < k; ++i) left += bar.captionWidth[i - 1] + 7;
    return left;
}

}  // namespace

WinRect MenuBar::CaptionRect(int k) const {
    const int left = CaptionLeft(*this, k);
    // The first caption is a pixel wider than the others.
    const int right = left + captionWidth[k - 1] + (k == kFile ? 9 : 8);
    return WinRect{left, Top(), right, kMenuBarBottom};
}

int MenuBar::CaptionZoneLeft(int k) const { return CaptionLeft(*this, k); }

int MenuBar::CaptionAt(int x, int y) const {
    if (!Between(Top(), y, kMenuBarBottom)) return kNoCaption;
    for (int k = kFile; k <= kOperation; ++k) {
        const int right = k == kOperation ? CaptionLeft(*this, k) + captionWidth[k - 1] + 7
                                          : CaptionLeft(*this, k + 1);
        if (Between(CaptionLeft(*this, k), x, right)) return k;
    }
    return kNoCaption;
}

WinRect MenuBar::FilterBoxRect(int width) const {
    return WinRect{CaptionLeft(*this, kOperation) + captionWidth[3] + 8, Top(), width - kBorder,
                   kMenuBarBottom};
}

WinRect CloseButtonRect(int width) {
    return WinRect{width - 18, 5, width - 18 + kCloseSize, 5 + kCloseSize};
}

bool InCloseZone(Size window, int x, int y) {
    return Between(window.width - 18, x, window.width - 5) && Between(5, y, 18);
}

bool InMoveBand(Size window, const MenuBar& bar, int x, int y) {
    return Between(0, x, window.width) && Between(0, y, bar.Top());
}

int ZoneAt(Size window, const MenuBar& bar, int x, int y) {
    const int w = window.width, h = window.height;
    int zone = -1;
    if (Between(w - kBorder, x, w) && Between(h - kBorder, y, h)) zone = kCorner;
    if (Between(kBorder, x, w - kBorder) && Between(h - kBorder, y, h)) zone = kBottom;
    if (Between(w - kBorder, x, w) && Between(bar.Top(), y, h - kBorder)) zone = kRight;
    if (Between(0, x, kBorder) && Between(bar.Top(), y, h)) zone = kLeft;
    if ((Between(kBorder, x, w - kBorder) && Between(0, y, h - kBorder)) ||
        InMoveBand(window, bar, x, y))
        zone = kNoResize;
    return zone;
}

WinRect ClampToMinimum(WinRect rect) {
    if (rect.Width() <= kMinWidth) rect.right = rect.left + kMinWidth;
    if (rect.Height() <= kMinHeight) rect.bottom = rect.top + kMinHeight;
    return rect;
}

WinRect Resize(WinRect rect, int kind, int x, int y) {
    if (kind == kCorner || kind == kRight) rect.right = rect.left + x;
    if (kind == kBottom || kind == kCorner) rect.bottom = rect.top + y;
    if (kind == kLeft) rect.left += x;
    if (rect.Width() <= kMinWidth) {
        if (kind == kLeft) {
            rect.left = rect.right - kMinWidth;
        } else {
            rect.right = rect.left + kMinWidth;
        }
    }
    if (rect.Height() <= kMinHeight) rect.bottom = rect.top + kMinHeight;
    return rect;
}

Snap SnapToMainWindow(WinRect p, const WinRect& m) {
    const bool overlapsAcross = m.left < p.right && p.left < m.right;
    const bool overlapsDown = p.top < m.bottom && m.top < p.bottom;
    const int width = p.Width(), height = p.Height();
    if (Near(p.bottom, m.top) && overlapsAcross) {
        p.bottom = m.top;
        p.top = p.bottom - height;
        return {p, kAbove};
    }
    if (Near(p.left, m.right) && overlapsDown) {
        p.left = m.right;
        p.right = p.left + width;
        return {p, kRightOf};
    }
    if (Near(p.top, m.bottom) && overlapsAcross) {
        p.top = m.bottom;
        p.bottom = p.top + height;
        return {p, kBelow};
    }
    if (Near(p.right, m.left) && overlapsDown) {
        p.right = m.left;
        p.left = p.right - width;
        return {p, kLeftOf};
    }
    return {p, kUndocked};
}

WinRect ListRect(Size window) {
    return WinRect{kBorder, kMenuBarBottom, kBorder + window.width - 33,
                   kMenuBarBottom + window.height - 50};
}

std::array<int, 3> ColumnWidths(int l, int timeWidth) {
    std::array<int, 3> widths =
        l > 220 ? std::array{l - 120, 60, 60} : std::array{l * 100 / 220, l * 60 / 220, l * 60 / 220};
    if (widths[1] < timeWidth) {
        widths[0] = std::max(0, widths[0] - 2 * (timeWidth - widths[1]));
        widths[1] = widths[2] = timeWidth;
    }
    return widths;
}

uint32_t GradientColor(int i, uint32_t border, uint32_t background) {
    uint32_t color = 0;
    for (int shift : {0, 8, 16}) {
        const uint32_t b = (border >> shift) & 0xFF, g = (background >> shift) & 0xFF;
        const uint32_t c = (b * uint32_t(i) + g * uint32_t(kGradientSteps - i)) / kGradientSteps;
        color |= c << shift;
    }
    return color;
}

std::vector<ShadeLine> FrameShading(Size window, int menuBarHeight) {
    const int w = window.width, h = window.height;
    const int g = kMenuBarBottom - menuBarHeight;
    std::vector<ShadeLine> lines;
    if (g <= kGradientSteps) {
        for (int j = 0; j < g; ++j)
            lines.push_back({29 - j * 30 / g, j * 11 / g, j, w - j * 10 / g, j});
    }
    for (int j = 0; j < kBorder; ++j) {
        const int pen = 29 - 3 * j;
        lines.push_back({pen, j, g * j / 10, j, h - j});
        lines.push_back({pen, w - j - 1, g * j / 10, w - j - 1, h - j});
        lines.push_back({pen, j, h - j - 1, w - j, h - j - 1});
    }
    return lines;
}

WinRect ScrollGeometry::UpRect() const {
    return WinRect{Left(), list.top, Left() + 13, list.top + 13};
}

WinRect ScrollGeometry::TrackRect() const {
    return WinRect{Left(), list.top + 13, Left() + 13, list.top + 13 + TrackHeight(list.Height())};
}

WinRect ScrollGeometry::DownRect() const {
    return WinRect{Left(), list.bottom - 13, Left() + 13, list.bottom};
}

int ScrollGeometry::ThumbTop(int pos, int limit) const {
    if (Travel() <= 0 || limit <= 0) return ThumbMin();
    const int p = std::clamp(pos, 0, limit);
    return static_cast<int>(static_cast<float>(Travel()) *
                                (static_cast<float>(p) / static_cast<float>(limit)) +
                            static_cast<float>(ThumbMin()));
}

ThumbStep DragThumb(const ScrollGeometry& bar, int top, int wanted, int limit) {
    ThumbStep step{false, top, 0};
    const int t0 = bar.ThumbMin(), t1 = bar.ThumbMax();
    // A list too short for a thumb has no travel to map.
    if (bar.Travel() <= 0) return step;
    int v = top;
    if (t0 < wanted && wanted < t1) {
        step.top = v = wanted;
    }
    step.moved = wanted > t0;
    if (wanted <= t0) {
        if (top != t0) {
            step.top = v = t0;
            step.moved = true;
        }
    }
    if (wanted >= t1) {
        step.moved = false;
        if (top != t1) {
            step.top = v = t1;
            step.moved = true;
        }
    }
    if (step.moved) {
        const float f = static_cast<float>(v - t0) / static_cast<float>(bar.Travel());
        step.scrollPos =
            std::clamp(static_cast<int>(static_cast<float>(limit) * f), 0, std::max(0, limit));
    }
    return step;
}

int TrackHeight(int listHeight) { return std::max(0, listHeight - 26); }

int TrackTiles(int listHeight) {
    const int height = TrackHeight(listHeight);
    return height > 0 ? height / 13 + 1 : 0;
}

}  // namespace playlistframe
