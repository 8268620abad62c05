#pragma once

// The skin surface is cut into ten vertical bands so that a mouse move only tests the
// buttons of the band under the pointer. Bands are assigned and looked up with the same
// formula, x * 10 / W, so a button is always found in the band its pixels fall into.

#include <array>
#include <cstdint>
#include <vector>

class HitBands {
public:
    static constexpr int kBands = 10;

    // skinWidth W > 0; an empty set of bands otherwise.
    explicit HitBands(int skinWidth = 0) : width_(skinWidth) {}

    // The band of x, or -1 when x lies outside the skin.
    int Band(int64_t x) const;
    // Lists the button in every band from its left edge to its right edge (x + width),
    // the last band at most 9.
    void Add(int button, int32_t x, int32_t width);
    const std::vector<int>& Buttons(int band) const { return lists_[band]; }

private:
    int width_;
    std::array<std::vector<int>, kBands> lists_{};
};
