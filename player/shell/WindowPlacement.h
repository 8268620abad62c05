#pragma once

// Where the main, video and playlist windows go when no placement is remembered: the main
// window centred near the bottom of the desktop, the video window on top of it at 4:3,
// the playlist below it; and where a docked window goes when the main window changes size.

#include <cstdint>

#include "common/WinRect.h"

// A remembered rectangle comes from a file: its coordinates are kept where window geometry
// and the arithmetic on it cannot overflow.
WinRect KeepOnPlane(const WinRect& rect);

struct DefaultPlacement {
    WinRect main;
    WinRect movie;
    WinRect playlist;

    // desktop and skin sizes in pixels; integer arithmetic rounding toward zero.
    static DefaultPlacement Compute(int desktopWidth, int desktopHeight, int skinWidth,
                                    int skinHeight);
};

// A window docked on side of the main window (a DockSide), moved to touch the main
// window's rectangle main on that side again, as after a skin of another size moved the
// main window's right and bottom edges. Its size stays; an undocked window stays put.
WinRect Redock(const WinRect& window, int32_t side, const WinRect& main);
