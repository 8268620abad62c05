#pragma once

// The video window's rectangle as plain arithmetic: fitting it to the picture's aspect
// ratio, zooming to a multiple of the source size, docking to a side of the main window,
// letterboxing in full screen, and which border band or screen edge the mouse is in. The
// window code only applies the results, so every rule is tested without a window.

#include <cstdint>
#include <optional>

#include "common/WinRect.h"

namespace videogeometry {

inline constexpr int kBand = 15;          // the border band that resizes, the edge that reveals
inline constexpr int kMinSize = 50;       // the smallest side of the window
inline constexpr int kSnapDistance = 20;  // docking needs strictly less than this
// Widths and heights that come out of the arithmetic stay within this, so that window
// geometry and later sums cannot overflow.
inline constexpr int64_t kMaxExtent = 1 << 20;

enum Aspect : int32_t { kOriginal = 0, kWide = 1, kStandard = 2, kFitToScreen = 3, kCustom = 4 };
enum Dock : int32_t { kNotDocked = 0, kAbove = 1, kRightOf = 2, kBelow = 3, kLeftOf = 4 };
// FitVideoRect's argument: which edge was moved (0 re-fits and re-detects docking).
enum FitEdge : int {
    kRefit = 0,
    kTopMoved = 1,
    kRightMoved = 2,
    kBottomMoved = 3,
    kLeftMoved = 4,
    kCornerMoved = 5
};
// The border band under the mouse, as the resize cursors and the drag use it.
enum ResizeEdge : int {
    kNoEdge = 0,
    kBottomEdge = 1,
    kCornerEdge = 2,
    kRightEdge = 3,
    kTopEdge = 4,
    kLeftEdge = 5
};

// a:b, both at least 1.
struct Ratio {
    int64_t a = 1;
    int64_t b = 1;
};

// The ratio an aspect mode keeps; none for fit to screen, for a mode that is not one of the
// five (it acts as fit to screen), and for an original picture of no size.
std::optional<Ratio> AspectRatio(int32_t aspectMode, int32_t customX, int32_t customY,
                                 int32_t videoWidth, int32_t videoHeight);

// The destination of the picture inside a full-screen window: left, top, width, height.
struct Destination {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    friend bool operator==(const Destination&, const Destination&) = default;
};

struct Fit {
    WinRect movie{};
    int32_t dockSide = kNotDocked;
    // Full screen only: the letterboxed destination, or none for the whole window.
    std::optional<Destination> destination;
};

// Corrects movie after edge was moved. ratio is the mode's (none: no aspect rule or no
// picture); in full screen the rectangle keeps its aspect and the picture is letterboxed.
Fit FitVideoRect(const WinRect& movie, const WinRect& main, int32_t dockSide, int edge,
                 std::optional<Ratio> ratio, bool fullScreen);

// movie at num/den of the source size, anchored by the dock side; unchanged for a source of
// no size.
WinRect ZoomToSource(const WinRect& movie, int32_t dockSide, int num, int den, int32_t videoWidth,
                     int32_t videoHeight);

struct Snap {
    WinRect movie{};
    int32_t dockSide = kNotDocked;
};
// Docks a dragged window to the first side of main within the snap distance.
Snap SnapToControlWindow(const WinRect& movie, const WinRect& main);

// The border band a hovering mouse is in (client pixels, window size w x h); none between
// the bands and the inside.
std::optional<ResizeEdge> HoverEdge(int x, int y, int w, int h);
// A press here starts a resize.
bool InResizeBand(int x, int y, int w, int h);
// A press here starts a move; in full screen the reveals are undone here.
bool Inside(int x, int y, int w, int h);
// The window's rectangle after the edge was dragged to the client point.
WinRect DragEdge(const WinRect& window, int resizeEdge, int x, int y);
// The FitEdge that a dragged resize edge asks for.
int FitEdgeOf(int resizeEdge);

// The full-screen edges that reveal the other windows (a corner is in two).
struct RevealBands {
    bool bottom = false;  // the main window
    bool top = false;     // the effect controls
    bool left = false;    // the playlist
};
RevealBands BandsAt(int x, int y, int w, int h);

// The main window moved, unchanged in size, to the bottom centre of the screen.
WinRect MainRevealRect(const WinRect& screen, const WinRect& main);
// The effect controls, 400 x 220 at the top centre.
WinRect EffectsRevealRect(const WinRect& screen);
// The playlist's stored rectangle made whole and centred vertically on the screen; last is
// the playlist window's last known rectangle, for what the stored one lacks.
WinRect PlaylistRevealRect(const WinRect& screen, const WinRect& stored, const WinRect& last);

}  // namespace videogeometry
