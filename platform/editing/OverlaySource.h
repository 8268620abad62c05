#pragma once

// A picture laid over the tracks below it: a source placed on a track with only its video,
// at a fixed rectangle of the group's frame instead of stretched to the frame, opaque.

#include <cstdint>
#include <string>

#include "platform/editing/Timeline.h"

namespace editing {

// Where the source's picture goes in the group's frame, at its own pixels: the part that falls
// outside the frame is cut off.
struct OverlayRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// track: an index from Timeline::AddTrack; the lower its index, the higher it lies.
bool AddOverlaySource(Timeline& timeline, int track, const SourceSpan& span,
                      const OverlayRect& rect, std::string* error);

// Opaque black under every other track for the length: the group's frames are otherwise
// transparent where no source shows (gaps, borders of a source of another shape), and what a
// transparent pixel turns into depends on the encoder. track: the lowest track.
bool AddBackdrop(Timeline& timeline, int track, double length, std::string* error);

}  // namespace editing
