#pragma once

#include <cstdint>

// A rectangle as stored in records: left, top, right, bottom in screen pixels, with the
// right and bottom edges exclusive.
struct WinRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    friend bool operator==(const WinRect&, const WinRect&) = default;
};
static_assert(sizeof(WinRect) == 16);
