#pragma once

// The job's logo over the video of a timeline: a source on its own track above the video,
// at its own size, placed by the job's logo position in the room the frame leaves free.

#include <cstdint>
#include <string>

#include "platform/editing/OverlaySource.h"
#include "platform/editing/Timeline.h"

struct LogoRequest {
    std::string path;  // empty: no logo
    int32_t x = 0;     // per mille of the free room across and down; clamped to 0..1000
    int32_t y = 0;
    int32_t frameWidth = 0;  // the video group's frame
    int32_t frameHeight = 0;
    double length = 0.0;  // seconds the logo spans, from 0
};

// Where a logo of logoWidth x logoHeight goes in the frame. A logo wider or taller than the
// frame keeps its size and is centred, so that the frame shows the middle of it.
editing::OverlayRect PlaceLogo(int32_t frameWidth, int32_t frameHeight, int32_t logoWidth,
                               int32_t logoHeight, int32_t x, int32_t y);

inline constexpr int kLogoNotOpened = -1;

// Adds the logo's track to the timeline, above every track added after it. 0 when there is
// no logo, when the file holds no video (skipped) or after a reported failure; kLogoNotOpened
// when the file cannot be opened (skipped silently); 1 when the logo was placed.
int AddLogoOverlay(editing::Timeline& timeline, const LogoRequest& request, uint32_t ownerWindow);
