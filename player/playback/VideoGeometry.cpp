#include "player/playback/VideoGeometry.h"

#include <algorithm>
#include <cstdlib>

namespace videogeometry {

namespace {

int32_t Extent(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, 0, kMaxExtent));
}

// p*q/r in 64 bits, kept within the plane.
int32_t Scale(int64_t p, int64_t q, int64_t r) { return Extent(p * q / r); }

bool OverlapH(const WinRect& movie, const WinRect& main) {
    return main.left < movie.right && movie.left < main.right;
}
bool OverlapV(const WinRect& movie, const WinRect& main) {
    return main.top < movie.bottom && movie.top < main.bottom;
}

bool DockHolds(const WinRect& movie, const WinRect& main, int32_t side) {
    switch (side) {
        case kAbove:
            return movie.bottom == main.top;
        case kRightOf:
            return movie.left == main.right;
        case kBelow:
            return movie.top == main.bottom;
        case kLeftOf:
            return movie.right == main.left;
        default:
            return false;
    }
}

int32_t DetectDock(const WinRect& movie, const WinRect& main) {
    int32_t side = kNotDocked;
    if (movie.bottom == main.top && OverlapH(movie, main)) side = kAbove;
    if (movie.left == main.right && OverlapV(movie, main)) side = kRightOf;
    if (movie.top == main.bottom && OverlapH(movie, main)) side = kBelow;
    if (movie.right == main.left && OverlapV(movie, main)) side = kLeftOf;
    return side;
}

// The moved edge goes out until the height is at least 50 and 50*b/a.
void ClampHeight(WinRect& r, int edge, const Ratio& q) {
    const int32_t least = std::max<int32_t>(kMinSize, Scale(kMinSize, q.b, q.a));
    if (r.Height() >= least) return;
    if (edge == kTopMoved)
        r.top = r.bottom - least;
    else
        r.bottom = r.top + least;
}

// The moved edge goes out until the width is at least 50 and 50*a/b.
void ClampWidth(WinRect& r, int edge, const Ratio& q) {
    const int32_t least = std::max<int32_t>(kMinSize, Scale(kMinSize, q.a, q.b));
    if (r.Width() >= least) return;
    if (edge == kLeftMoved)
        r.left = r.right - least;
    else
        r.right = r.left + least;
}

void WidenByHalves(WinRect& r, int32_t width) {
    const int32_t d = (width - r.Width()) / 2;
    r.left -= d;
    r.right += d;
}

void HeightenByHalves(WinRect& r, int32_t height) {
    const int32_t d = (height - r.Height()) / 2;
    r.top -= d;
    r.bottom += d;
}

void KeepAspect(WinRect& r, int edge, int32_t side, const Ratio& q) {
    const bool vertical = edge == kTopMoved || edge == kBottomMoved;
    const bool horizontal = edge == kRightMoved || edge == kLeftMoved;
    if (vertical && (side == kNotDocked || side == kAbove || side == kBelow)) {
        ClampHeight(r, edge, q);
        WidenByHalves(r, Scale(q.a, r.Height(), q.b));
    } else if (horizontal && (side == kNotDocked || side == kRightOf || side == kLeftOf)) {
        ClampWidth(r, edge, q);
        HeightenByHalves(r, Scale(q.b, r.Width(), q.a));
    } else if (horizontal && side == kAbove) {
        ClampWidth(r, edge, q);
        r.top = r.bottom - Scale(q.b, r.Width(), q.a);
    } else if (vertical && side == kRightOf) {
        ClampHeight(r, edge, q);
        r.right = r.left + Scale(q.a, r.Height(), q.b);
    } else if ((horizontal && side == kBelow) || edge == kCornerMoved) {
        ClampWidth(r, edge, q);
        r.bottom = r.top + Scale(q.b, r.Width(), q.a);
    } else if (vertical && side == kLeftOf) {
        ClampHeight(r, edge, q);
        r.left = r.right - Scale(q.a, r.Height(), q.b);
    }
}

void KeepMinimum(WinRect& r, int edge) {
    if (r.Width() < kMinSize) {
        if (edge == kRightMoved || edge == kCornerMoved) r.right = r.left + kMinSize;
        if (edge == kLeftMoved) r.left = r.right - kMinSize;
    }
    if (r.Height() < kMinSize) {
        if (edge == kBottomMoved || edge == kCornerMoved) r.bottom = r.top + kMinSize;
        if (edge == kTopMoved) r.top = r.bottom - kMinSize;
    }
}

Destination Letterbox(int64_t w, int64_t h, const Ratio& q) {
    const int64_t fittedHeight = w * q.b / q.a;
    if (h >= fittedHeight)
        return {0, Extent((h - fittedHeight) / 2), Extent(w), Extent(fittedHeight)};
    const int64_t fittedWidth = h * q.a / q.b;  // narrower than w whenever the first fails
    return {Extent((w - fittedWidth) / 2), 0, Extent(fittedWidth), Extent(h)};
}

}  // namespace

std::optional<Ratio> AspectRatio(int32_t aspectMode, int32_t customX, int32_t customY,
                                 int32_t videoWidth, int32_t videoHeight) {
    switch (aspectMode) {
        case kOriginal:
            if (videoWidth < 1 || videoHeight < 1) return std::nullopt;
            return Ratio{videoWidth, videoHeight};
        case kWide:
            return Ratio{16, 9};
        case kStandard:
            return Ratio{4, 3};
        case kCustom:
            return Ratio{std::max<int64_t>(customX, 1), std::max<int64_t>(customY, 1)};
        default:
            return std::nullopt;
    }
}

Fit FitVideoRect(const WinRect& movie, const WinRect& main, int32_t dockSide, int edge,
                 std::optional<Ratio> ratio, bool fullScreen) {
    Fit fit{movie, dockSide, std::nullopt};
    if (!DockHolds(fit.movie, main, fit.dockSide)) fit.dockSide = kNotDocked;
    if (edge == kRefit) {
        fit.dockSide = DetectDock(fit.movie, main);
        edge = fit.dockSide == kRightOf || fit.dockSide == kLeftOf ? kBottomMoved : kRightMoved;
    }
    if (ratio) {
        if (fullScreen)
            fit.destination = Letterbox(fit.movie.Width(), fit.movie.Height(), *ratio);
        else
            KeepAspect(fit.movie, edge, fit.dockSide, *ratio);
        return fit;
    }
    KeepMinimum(fit.movie, edge);
    return fit;
}

WinRect ZoomToSource(const WinRect& movie, int32_t dockSide, int num, int den, int32_t videoWidth,
                     int32_t videoHeight) {
    if (videoWidth < 1 || videoHeight < 1 || num < 1 || den < 1) return movie;
    const int32_t width = Scale(num, videoWidth, den);
    const int32_t height = Scale(num, videoHeight, den);
    WinRect r = movie;
    switch (dockSide) {
        case kAbove:
            r.top = r.bottom - height;
            WidenByHalves(r, width);
            break;
        case kBelow:
            r.bottom = r.top + height;
            WidenByHalves(r, width);
            break;
        case kRightOf:
            HeightenByHalves(r, height);
            r.right = r.left + width;
            break;
        case kLeftOf:
            HeightenByHalves(r, height);
            r.left = r.right - width;
            break;
        default:
            WidenByHalves(r, width);
            HeightenByHalves(r, height);
            break;
    }
    return r;
}

Snap SnapToControlWindow(const WinRect& movie, const WinRect& main) {
    auto near = [](int32_t p, int32_t q) { return std::abs(int64_t(p) - q) < kSnapDistance; };
    WinRect r = movie;
    const int32_t w = movie.Width();
    const int32_t h = movie.Height();
    if (near(movie.bottom, main.top) && OverlapH(movie, main)) {
        r.bottom = main.top;
        r.top = r.bottom - h;
        return {r, kAbove};
    }
    if (near(movie.left, main.right) && OverlapV(movie, main)) {
        r.left = main.right;
        r.right = r.left + w;
        return {r, kRightOf};
    }
    if (near(movie.top, main.bottom) && OverlapH(movie, main)) {
        r.top = main.bottom;
        r.bottom = r.top + h;
        return {r, kBelow};
    }
    if (near(movie.right, main.left) && OverlapV(movie, main)) {
        r.right = main.left;
        r.left = r.right - w;
        return {r, kLeftOf};
    }
    return {r, kNotDocked};
}

std::optional<ResizeEdge> HoverEdge(int x, int y, int w, int h) {
    std::optional<ResizeEdge> edge;
    if (w - kBand < x && x < w && h - kBand < y && y < h) edge = kCornerEdge;
    if (0 < x && x < w - kBand && h - kBand < y && y < h) edge = kBottomEdge;
    if (w - kBand < x && x < w && 0 < y && y < h - kBand) edge = kRightEdge;
    if (0 < x && x < w && 0 < y && y < kBand) edge = kTopEdge;
    if (0 < x && x < kBand && 0 < y && y < h) edge = kLeftEdge;
    return edge;
}

bool InResizeBand(int x, int y, int w, int h) {
    return (0 < x && x < w && h - kBand < y && y < h) ||
           (w - kBand < x && x < w && 0 < y && y < h) || (0 < x && x < w && 0 < y && y < kBand) ||
           (0 < x && x < kBand && 0 < y && y < h);
}

bool Inside(int x, int y, int w, int h) {
    return kBand < x && x < w - kBand && kBand < y && y < h - kBand;
}

WinRect DragEdge(const WinRect& window, int resizeEdge, int x, int y) {
    WinRect r = window;
    if (resizeEdge == kCornerEdge || resizeEdge == kRightEdge) r.right = r.left + x;
    if (resizeEdge == kBottomEdge || resizeEdge == kCornerEdge) r.bottom = r.top + y;
    if (resizeEdge == kTopEdge) r.top += y;
    if (resizeEdge == kLeftEdge) r.left += x;
    return r;
}

int FitEdgeOf(int resizeEdge) {
    switch (resizeEdge) {
        case kBottomEdge:
            return kBottomMoved;
        case kRightEdge:
            return kRightMoved;
        case kCornerEdge:
            return kCornerMoved;
        case kTopEdge:
            return kTopMoved;
        case kLeftEdge:
            return kLeftMoved;
        default:
            return kRefit;
    }
}

RevealBands BandsAt(int x, int y, int w, int h) {
    RevealBands bands;
    bands.bottom = 0 <= x && x <= w && h - kBand <= y && y <= h;
    bands.top = 0 <= x && x <= w && 0 <= y && y <= kBand;
    bands.left = 0 <= x && x <= kBand && 0 <= y && y <= h;
    return bands;
}

WinRect MainRevealRect(const WinRect& screen, const WinRect& main) {
    const int32_t left = screen.left + screen.Width() / 2 - main.Width() / 2;
    return {left, screen.bottom - main.Height(), left + main.Width(), screen.bottom};
}

WinRect EffectsRevealRect(const WinRect& screen) {
    constexpr int32_t kWidth = 400, kHeight = 220;
    const int32_t left = screen.left + screen.Width() / 2 - kWidth / 2;
    return {left, screen.top, left + kWidth, screen.top + kHeight};
}

// The stored rectangle keeps its height: moving only its top would change its size.
WinRect PlaylistRevealRect(const WinRect& screen, const WinRect& stored, const WinRect& last) {
    const int32_t height = stored.top == 0 ? last.Height() : stored.Height();
    WinRect r = stored;
    r.top = screen.top + screen.Height() / 2 - height / 2;
    r.bottom = r.top + height;
    if (stored.right == 0) r.right = r.left + last.Width();
    return r;
}

}  // namespace videogeometry
