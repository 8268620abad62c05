#pragma once

// Where the main, video and playlist windows go when no placement is remembered: the main
// window centred near the bottom of the desktop, the video window on top of it at 4:3,
// the playlist below it.

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
