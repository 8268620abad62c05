#pragma once

// The playlist window's arithmetic, apart from any widget: where its captions, zones,
// list and scroll bar lie, how a move snaps to the main window, how a drag on an edge
// resizes it, and how the scroll thumb maps to the list's top row. Rectangles have
// exclusive right and bottom edges; every zone test is strict on both sides.

#include <array>
#include <cstdint>
#include <vector>

#include "common/WinRect.h"

namespace playlistframe {

inline constexpr int kMinWidth = 200;
inline constexpr int kMinHeight = 100;
inline constexpr int kMenuBarBottom = 40;  // the menu bar ends here; the list starts here
inline constexpr int kBorder = 10;
inline constexpr int kSnapDistance = 20;
inline constexpr int kGradientSteps = 30;
inline constexpr int kCloseSize = 13;

enum Caption : int { kNoCaption = 0, kFile = 1, kEdit = 2, kSort = 3, kOperation = 4 };
enum ResizeKind : int { kNoResize = 0, kBottom = 1, kCorner = 2, kRight = 3, kLeft = 5 };
enum DockSide : int32_t { kUndocked = 0, kAbove = 1, kRightOf = 2, kBelow = 3, kLeftOf = 4 };

// The menu bar as the last paint measured it: its height and the four captions' text widths.
struct MenuBar {
    int height = 0;
    std::array<int, 4> captionWidth{};

    int Top() const { return kMenuBarBottom - height; }
    // Caption k's drawn rectangle (k = 1..4); neighbours overlap.
    WinRect CaptionRect(int k) const;
    // Where caption k's hit zone starts: its menu opens below that x.
    int CaptionZoneLeft(int k) const;
    // The caption whose zone holds the point, or kNoCaption.
    int CaptionAt(int x, int y) const;
    // Right of the last caption up to the frame's right border.
    WinRect FilterBoxRect(int width) const;
};

struct Size {
    int width = 0;
    int height = 0;
};

WinRect CloseButtonRect(int width);
bool InCloseZone(Size window, int x, int y);
bool InMoveBand(Size window, const MenuBar& bar, int x, int y);
// The resize zone under the point, kNoResize for the inner area and the move band, and
// nothing (-1) where neither holds, so that the caller keeps what it had.
int ZoneAt(Size window, const MenuBar& bar, int x, int y);

// A rectangle widened and heightened to the minimum size, keeping its top-left corner.
WinRect ClampToMinimum(WinRect rect);
// The rectangle after the pointer, at (x, y) in the window's client coordinates, dragged
// the edge of kind; a left edge keeps the right one, the others keep the top-left corner.
WinRect Resize(WinRect rect, int kind, int x, int y);

struct Snap {
    WinRect rect;
    int32_t docked = kUndocked;
};
// The playlist rectangle after a move near the main window: the first side in the order
// above, right of, below, left of whose edges are within kSnapDistance takes it.
Snap SnapToMainWindow(WinRect playlist, const WinRect& main);

// The list's rectangle in the window, and its three column widths for list width l. The
// time columns are at least timeWidth wide, taken from the name column, so that a time is
// never cut where a file name can be.
WinRect ListRect(Size window);
std::array<int, 3> ColumnWidths(int listWidth, int timeWidth = 0);

// Pen i (0..29) of the frame shading: i / 30 of the border colour over the background,
// per channel of the two COLORREF values.
uint32_t GradientColor(int i, uint32_t border, uint32_t background);

// One line of the frame shading, end-exclusive, and the pen it takes.
struct ShadeLine {
    int pen;
    int x1, y1, x2, y2;
};
// Top band (only when the menu bar leaves 30 rows or fewer above it), then the left,
// right and bottom lines from the outermost in.
std::vector<ShadeLine> FrameShading(Size window, int menuBarHeight);

// The scroll bar beside a list whose rectangle in the window is list.
struct ScrollGeometry {
    WinRect list;

    int Left() const { return list.right; }
    int ThumbMin() const { return list.top + 13; }     // T0
    int ThumbMax() const { return list.bottom - 31; }  // T1
    int Travel() const { return list.Height() - 44; }  // T1 - T0
    WinRect UpRect() const;
    WinRect TrackRect() const;
    WinRect DownRect() const;
    // The thumb's top for top row pos of limit (positions past the limit stay at T1).
    int ThumbTop(int pos, int limit) const;
};

// One pointer move while the thumb is dragged from top to wanted (both window y).
struct ThumbStep {
    bool moved = false;
    int top = 0;        // where the thumb is now
    int scrollPos = 0;  // the list's new top row, when moved
};
ThumbStep DragThumb(const ScrollGeometry& bar, int top, int wanted, int limit);

// Rows of the track image (list height - 26) and the tiles that fill it, the last clipped.
int TrackHeight(int listHeight);
int TrackTiles(int listHeight);

}  // namespace playlistframe
