#pragma once

// The picture effects of the effects element on packed 32-bit frames (bytes B, G, R, x),
// with no GStreamer in sight. Build() turns an effect block and a frame size into tables
// once, when a value changes; Process() then runs every frame from those tables.
//
// What each value does:
// - contrast 0..32 scales about mid-grey by contrast/16; brightness -256..256 is added.
// - balanceRed/Green/Blue 0..255 pull their channel toward full by value/255.
// - hue turns colours about the grey axis by degrees; saturation -100..200 and intensity
//   -100..150 are percent changes of colourfulness and of overall level.
// - grayscale keeps the luma only; invert turns v into 255 - v, last of all.
//   These point effects are a ColourPass, one pass over each row.
// - blur 1 is a 3x3 binomial blur, 2 a 5x5 one ("double blur").
// - sharpen 0..64 adds level/16 times the detail the 3x3 blur takes away.
// - smooth 0..4000 blurs away differences smaller than a threshold (up to the full
//   range at 4000) and keeps larger ones, so edges stay.
// - image correction is local contrast: correction1 (3..11; 0 and 1 are off, even sides
//   grow to the next odd one) is the side of the box the local mean is taken over,
//   correction2 (0..200) the percent by which each pixel is pushed away from that mean.
// - emboss shows the luma difference across the diagonal on mid-grey; it replaces what
//   the other neighbourhood effects would draw.
// - zoom scales the area (zoomLeft, zoomTop) .. (zoomLeft + zoomWidth, zoomTop +
//   zoomHeight) to the frame, bilinearly; the area is given on a picture whose last column
//   and row are zoomExtra1 and zoomExtra2 and is rescaled when the frame differs. No zoom
//   when zoomActive is 0, the area is 1 x 1, empty, inverted or covers the whole frame.
// - flips mirror the result (after zoom).
// - filterMode 0 turns every picture effect off; any other mode leaves them on.
// Out-of-range values are clamped here as well, whatever the caller did. A frame goes
// through zoom and flips, then the neighbourhood effects, then the point effects, row by
// row in one pass over the frame.

#include <cstdint>
#include <memory>
#include <vector>

#include "common/EffectParams.h"
#include "kalvorvt/ColourPass.h"

class EffectProcessor {
public:
    // Working memory of one streaming thread, reused from frame to frame.
    struct Scratch {
        std::vector<uint8_t> source;             // rows kept from before zoom and flips
        std::vector<const uint8_t*> sourceRows;  // where each row of the frame as it came is
        std::vector<uint8_t> gather;             // pixel pairs that zoom blends
        std::vector<std::vector<uint8_t>> rows;  // rows around the current one
        std::vector<int32_t> rowTags;
        std::vector<uint16_t> sum3, sum5, sumBox;  // vertical sums, padded at both ends
        std::vector<uint16_t> luma[3];             // the luma of three rows, for emboss
        int32_t lumaTags[3] = {-1, -1, -1};
        std::vector<uint8_t> zoomRows[2];  // source rows resampled across
        int32_t zoomTags[2] = {-1, -1};    // their source row numbers
    };

    static std::shared_ptr<const EffectProcessor> Build(const EffectParams& params,
                                                        int32_t filterMode, int width, int height);

    // True when every frame would come out unchanged.
    bool Neutral() const { return !colour_.Active() && !neighbourhood_ && !geometry_; }

    // Works on a frame in place; a frame of another size than the tables' is left alone.
    void Process(uint8_t* data, int width, int height, int stride, Scratch& scratch) const;

private:
    void BuildNeighbourhood(const EffectParams& p);
    void BuildGeometry(const EffectParams& p);

    // The order of in-place writing that splits at output row split; returns the rows it
    // keeps aside at most.
    int PlanInPlace(int split);
    // Row y of the zoomed and flipped picture (or of the frame as it came), made in out or
    // in the scratch rows, from the rows of the frame as it came.
    const uint8_t* GeometryRow(int y, const uint8_t* const* source, Scratch& scratch,
                               uint8_t* out = nullptr) const;
    void Neighbourhood(int y, const uint8_t* const* rows, Scratch& scratch, uint8_t* out) const;
    // The luma of row y (made from row, or kept from before), padded by one at each end.
    const uint16_t* EmbossLuma(int y, const uint8_t* row, Scratch& scratch) const;

    int width_ = 0;
    int height_ = 0;

    ColourPass colour_;

    bool neighbourhood_ = false;
    int radius_ = 0;  // rows above and below a row that the effects read
    int blur_ = 0;
    bool needSum3_ = false;
    int sharpen_ = 0;      // detail gain, 4 fraction bits
    int smoothLimit_ = 0;  // differences below this are blurred away
    int smoothScale_ = 0;
    int boxSide_ = 0;
    int boxScale_ = 0;  // 1 / side^2, 16 fraction bits
    int boxGain_ = 0;   // 6 fraction bits
    bool emboss_ = false;

    bool geometry_ = false;
    // Per output column and row: the two source indices and the second one's weight (0..256).
    std::vector<int32_t> x0_, x1_, wx_, y0_, y1_, wy_;
    std::vector<uint8_t> weightBytes_;  // wx_ for every byte of a row
    bool interpolate_ = false;
    // Writing in place: output rows in order, and per row the slot it is kept in before it
    // is overwritten (-1 when nothing reads it any more).
    std::vector<int32_t> order_;
    std::vector<int32_t> keepSlot_;
    int keepSlots_ = 0;
};
