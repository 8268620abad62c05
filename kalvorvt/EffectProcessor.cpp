#include "kalvorvt/EffectProcessor.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int kChannels = 4;  // B, G, R, x
constexpr int kMaxRadius = 5;

uint8_t Clamp8(int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

// The corrected side of the local-contrast box: 0 (off) or odd 3..11.
int BoxSide(int correction1) {
    const int side = std::clamp(correction1, 0, 11);
    if (side < 2) return 0;
    return std::max(3, side | 1);
}

// Replicates the first and last pixel of a padded row into its padding.
template <typename T>
void PadEdges(T* row, int pad, int bytes) {
    for (int p = 0; p < pad; ++p) {
        row[p] = row[pad + p % kChannels];
        row[pad + bytes + p] = row[pad + bytes - kChannels + p % kChannels];
    }
}

// The zoom's three inner loops: built for the baseline and for AVX2, picked when the
// program loads (the baseline build is SSE2 only, half the width).
#define KALVOR_WIDE_LOOP __attribute__((target_clones("avx2", "default")))

// (a * (256 - w) + b * w + 128) / 256 per byte, in 16-bit lanes; the buffers never overlap.
KALVOR_WIDE_LOOP void BlendBytes(const uint8_t* __restrict a, const uint8_t* __restrict b,
                                 const uint8_t* __restrict w, size_t n, uint8_t* __restrict out) {
    for (size_t i = 0; i < n; ++i)
        out[i] = uint8_t(
            uint16_t(uint16_t(a[i] * uint16_t(256 - w[i])) + uint16_t(b[i] * w[i]) + 128) >> 8);
}

// The pixels at columns x0[x] and x1[x] of a row, side by side.
KALVOR_WIDE_LOOP void Gather(const uint8_t* __restrict from, const int32_t* __restrict x0,
                             const int32_t* __restrict x1, int n, uint8_t* __restrict left,
                             uint8_t* __restrict right) {
    for (int x = 0; x < n; ++x) {
        std::memcpy(left + x * kChannels, from + x0[x] * kChannels, kChannels);
        std::memcpy(right + x * kChannels, from + x1[x] * kChannels, kChannels);
    }
}

KALVOR_WIDE_LOOP void BlendRows(const uint8_t* __restrict a, const uint8_t* __restrict b, int w,
                                size_t n, uint8_t* __restrict out) {
    const auto wa = uint16_t(256 - w), wb = uint16_t(w);
    for (size_t i = 0; i < n; ++i)
        out[i] = uint8_t(uint16_t(uint16_t(a[i] * wa) + uint16_t(b[i] * wb) + 128) >> 8);
}

// (29 B + 150 G + 77 R) >> 8 per pixel, a pixel as one 32-bit word.
KALVOR_WIDE_LOOP void Luma(const uint8_t* __restrict row, int n, uint16_t* __restrict luma) {
    for (int x = 0; x < n; ++x) {
        uint32_t p;
        std::memcpy(&p, row + x * kChannels, 4);
        luma[x] = uint16_t((29 * (p & 255) + 150 * ((p >> 8) & 255) + 77 * ((p >> 16) & 255)) >> 8);
    }
}

// The luma difference across the diagonal on mid-grey, in B, G and R; the fourth bytes are
// the centre row's. The luma rows are padded by one at each end.
KALVOR_WIDE_LOOP void EmbossRow(const uint16_t* __restrict above, const uint16_t* __restrict below,
                                const uint8_t* __restrict centre, int n, uint8_t* __restrict out) {
    for (int x = 0; x < n; ++x) {
        uint32_t p;
        std::memcpy(&p, centre + x * kChannels, 4);
        const uint32_t v = Clamp8(128 + below[x + 1] - above[x - 1]);
        const uint32_t q = v * 0x010101u | (p & 0xFF000000u);
        std::memcpy(out + x * kChannels, &q, 4);
    }
}

// The vertical sums the neighbourhood effects start from, 16 bits a byte: 1 2 1 over three
// rows, 1 4 6 4 1 over five, and the box's column sums moved down a row (leaving may be
// null: nothing leaves).
KALVOR_WIDE_LOOP void Sum3(const uint8_t* __restrict above, const uint8_t* __restrict centre,
                           const uint8_t* __restrict below, int n, uint16_t* __restrict out) {
    for (int i = 0; i < n; ++i)
        out[i] = uint16_t(uint16_t(above[i] + below[i]) + uint16_t(2 * centre[i]));
}

KALVOR_WIDE_LOOP void Sum5(const uint8_t* const* rows, int n, uint16_t* __restrict out) {
    const uint8_t* __restrict r0 = rows[0], * __restrict r1 = rows[1], * __restrict r2 = rows[2], * __restrict r3 = rows[3], * __restrict r4 = rows[4];
    for (int i = 0; i < n; ++i)
        out[i] = uint16_t(uint16_t(r0[i] + r4[i]) + uint16_t(4 * uint16_t(r1[i] + r3[i])) +
                          uint16_t(6 * r2[i]));
}

KALVOR_WIDE_LOOP void SlideSums(const uint8_t* __restrict entering,
                                const uint8_t* __restrict leaving, int n,
                                uint16_t* __restrict sums) {
    if (!leaving) {
        for (int i = 0; i < n; ++i) sums[i] = uint16_t(sums[i] + entering[i]);
        return;
    }
    for (int i = 0; i < n; ++i) sums[i] = uint16_t(sums[i] + entering[i] - leaving[i]);
}

template <typename T>
T* Sized(std::vector<T>& v, size_t n) {
    if (v.size() < n) v.resize(n);
    return v.data();
}

}  // namespace

std::shared_ptr<const EffectProcessor> EffectProcessor::Build(const EffectParams& params,
                                                              int32_t filterMode, int width,
                                                              int height) {
    auto processor = std::make_shared<EffectProcessor>();
    processor->width_ = std::max(width, 0);
    processor->height_ = std::max(height, 0);
    if (filterMode == 0) return processor;
    processor->colour_ = ColourPass(params);
    processor->BuildNeighbourhood(params);
    processor->BuildGeometry(params);
    return processor;
}

void EffectProcessor::BuildNeighbourhood(const EffectParams& p) {
    blur_ = std::clamp(p.blur, 0, 2);
    sharpen_ = std::clamp(p.sharpen, 0, 64);
    const int smooth = std::clamp(p.smooth, 0, 4000);
    smoothLimit_ = smooth ? 3 + smooth * 253 / 4000 : 0;  // 3..256
    smoothScale_ = smooth ? 65536 / smoothLimit_ : 0;
    const int gain = std::clamp(p.correction2, 0, 200);
    boxSide_ = gain ? BoxSide(p.correction1) : 0;
    // Rounded up, so that a flat area's mean comes out exact despite the truncation.
    boxScale_ = boxSide_ ? (65536 + boxSide_ * boxSide_ - 1) / (boxSide_ * boxSide_) : 0;
    boxGain_ = gain * 64 / 100;
    emboss_ = p.emboss != 0;

    needSum3_ = blur_ == 1 || sharpen_ || smoothLimit_;
    radius_ = std::max({blur_ == 2 ? 2 : 0, needSum3_ || emboss_ ? 1 : 0, boxSide_ / 2});
    neighbourhood_ = radius_ > 0;
}

void EffectProcessor::BuildGeometry(const EffectParams& p) {
    const int w = width_, h = height_;
    if (w < 2 || h < 2) return;
    const bool flipX = p.flipHorizontal != 0, flipY = p.flipVertical != 0;

    // The zoomed area in frame coordinates, from left/top to right/bottom inclusive.
    double left = 0, top = 0, right = w - 1, bottom = h - 1;
    bool zoom = p.zoomActive != 0 && p.zoomWidth > 0 && p.zoomHeight > 0 &&
                !(p.zoomWidth == 1 && p.zoomHeight == 1);
    if (zoom) {
        const double sx = p.zoomExtra1 > 0 ? (w - 1.0) / p.zoomExtra1 : 1.0;
        const double sy = p.zoomExtra2 > 0 ? (h - 1.0) / p.zoomExtra2 : 1.0;
        left = std::clamp(p.zoomLeft * sx, 0.0, w - 1.0);
        top = std::clamp(p.zoomTop * sy, 0.0, h - 1.0);
        right = std::clamp((double(p.zoomLeft) + p.zoomWidth) * sx, 0.0, w - 1.0);
        bottom = std::clamp((double(p.zoomTop) + p.zoomHeight) * sy, 0.0, h - 1.0);
        const bool whole = left <= 0 && top <= 0 && right >= w - 1 && bottom >= h - 1;
        zoom = right - left >= 1.0 / 256 && bottom - top >= 1.0 / 256 && !whole;
        if (!zoom) left = 0, top = 0, right = w - 1, bottom = h - 1;
    }
    geometry_ = zoom || flipX || flipY;
    interpolate_ = zoom;
    if (!geometry_) return;

    // One mapping for both directions: output index -> two source indices and a weight.
    auto map = [](int size, bool flip, double from, double to, std::vector<int32_t>& i0,
                  std::vector<int32_t>& i1, std::vector<int32_t>& weight) {
        i0.resize(size);
        i1.resize(size);
        weight.resize(size);
        const double step = (to - from) / (size - 1);
        for (int o = 0; o < size; ++o) {
            const int at = flip ? size - 1 - o : o;
            const auto fixed = static_cast<int64_t>(std::lround((from + at * step) * 256.0));
            const int whole = static_cast<int>(std::clamp<int64_t>(fixed >> 8, 0, size - 1));
            i0[o] = whole;
            i1[o] = std::min(whole + 1, size - 1);
            weight[o] = i1[o] == whole ? 0 : static_cast<int32_t>(fixed & 255);
        }
    };
    map(w, flipX, left, right, x0_, x1_, wx_);
    map(h, flipY, top, bottom, y0_, y1_, wy_);
    weightBytes_.resize(size_t(w) * kChannels);
    for (int x = 0; x < w; ++x)
        std::fill_n(&weightBytes_[size_t(x) * kChannels], kChannels, uint8_t(wx_[x]));

    // Without neighbourhood effects the frame is rewritten in place: top-down where the
    // source rows lie ahead of the output, bottom-up where they lie behind. Of the split
    // points that suit zooms and flips, the one that keeps the fewest rows aside wins.
    int first = h;  // the first output row whose source row is not below it
    for (int y = 0; y < h && first == h; ++y)
        if (y0_[y] <= y) first = y;
    int best = -1, fewest = h + 1;
    for (int split : {first, 0, h}) {
        const int slots = PlanInPlace(split);
        if (slots < fewest) best = split, fewest = slots;
    }
    PlanInPlace(best);
}

int EffectProcessor::PlanInPlace(int split) {
    const int h = height_;
    order_.clear();
    for (int y = 0; y < split; ++y) order_.push_back(y);
    for (int y = h - 1; y >= split; --y) order_.push_back(y);
    // The last step that reads each source row.
    std::vector<int32_t> lastRead(h, -1);
    for (int k = 0; k < h; ++k) {
        const int y = order_[k];
        lastRead[y0_[y]] = std::max(lastRead[y0_[y]], k);
        if (interpolate_ && wy_[y]) lastRead[y1_[y]] = std::max(lastRead[y1_[y]], k);
    }
    // Step k writes row order_[k]; a row still read at step k or later is copied aside
    // first, into a slot no longer read.
    keepSlot_.assign(h, -1);
    std::vector<int32_t> slotFreeAfter;  // per slot: the last step that reads it
    for (int k = 0; k < h; ++k) {
        const int row = order_[k];
        if (lastRead[row] < k) continue;
        int slot = 0;
        while (slot < int(slotFreeAfter.size()) && slotFreeAfter[slot] >= k) ++slot;
        if (slot == int(slotFreeAfter.size())) slotFreeAfter.push_back(0);
        slotFreeAfter[slot] = lastRead[row];
        keepSlot_[row] = slot;
    }
    keepSlots_ = int(slotFreeAfter.size());
    return keepSlots_;
}

const uint8_t* EffectProcessor::GeometryRow(int y, const uint8_t* const* source, Scratch& s,
                                            uint8_t* out) const {
    const size_t rowBytes = size_t(width_) * kChannels;
    if (!out) {
        const int slots = int(s.rowTags.size());
        const int slot = y % slots;
        if (s.rowTags[slot] == y) return s.rows[slot].data();
        s.rowTags[slot] = y;
        out = s.rows[slot].data();
    }
    if (!geometry_) {  // a copy of the row before the pass overwrites it
        std::memcpy(out, source[y], rowBytes);
        return out;
    }
    const int n = width_;  // a local: stores through out could otherwise change it
    if (!interpolate_) {
        const uint8_t* a = source[y0_[y]];
        for (int x = 0; x < n; ++x)
            std::memcpy(out + x * kChannels, a + x0_[x] * kChannels, kChannels);
        return out;
    }
    // Across first, once per source row (neighbouring output rows share theirs), then
    // between the two rows, a whole row at a time.
    auto across = [&](int sourceRow) -> const uint8_t* {
        for (int slot = 0; slot < 2; ++slot)
            if (s.zoomTags[slot] == sourceRow) return s.zoomRows[slot].data();
        const int slot = s.zoomTags[0] == y0_[y] || s.zoomTags[0] == y1_[y] ? 1 : 0;
        s.zoomTags[slot] = sourceRow;
        uint8_t* row = Sized(s.zoomRows[slot], rowBytes);
        // The two neighbours of every output pixel gathered side by side, then one blend
        // over whole rows of bytes, which vectorises where a blend per gather would not.
        uint8_t* left = Sized(s.gather, rowBytes * 2);
        uint8_t* right = left + rowBytes;
        Gather(source[sourceRow], x0_.data(), x1_.data(), n, left, right);
        BlendBytes(left, right, weightBytes_.data(), rowBytes, row);
        return row;
    };
    const uint8_t* upper = across(y0_[y]);
    const int wy = wy_[y];
    if (wy == 0) {
        std::memcpy(out, upper, rowBytes);
        return out;
    }
    BlendRows(upper, across(y1_[y]), wy, rowBytes, out);
    return out;
}

const uint16_t* EffectProcessor::EmbossLuma(int y, const uint8_t* row, Scratch& s) const {
    // Rows y - 1 and y + 1 are read for row y, and row y is kept for the next one.
    const int n = width_, slot = y % 3;
    uint16_t* luma = Sized(s.luma[slot], size_t(n) + 2) + 1;
    if (s.lumaTags[slot] == y) return luma;
    s.lumaTags[slot] = y;
    Luma(row, n, luma);
    luma[-1] = luma[0];  // edges repeated
    luma[n] = luma[n - 1];
    return luma;
}

namespace {

// What one output row of the neighbourhood effects needs, in fixed point.
struct Across {
    const uint8_t* centre;
    const uint16_t *sum3, *sum5, *sumBox;  // vertical sums, padded
    int bytes;
    int16_t sharpen, smoothLimit, smoothScale, boxGain;
    uint16_t boxScale;
};

// All the neighbourhood effects of a row in one sweep, 16-bit lanes throughout; the
// arithmetic (and its truncations) is the same as doing them one pass at a time.
template <int Blur, bool Sharpen, bool Smooth, int Side>
__attribute__((always_inline)) inline void AcrossRow(const Across& a, uint8_t* out) {
    constexpr int k = kChannels;
    const uint8_t* centre = a.centre;
    const uint16_t *v3 = a.sum3, *v5 = a.sum5, *vb = a.sumBox;
    const int16_t sharpen = a.sharpen, limit = a.smoothLimit, smoothScale = a.smoothScale,
                  boxGain = a.boxGain;
    const uint16_t boxScale = a.boxScale;
    const int n = a.bytes;  // a local: byte stores could otherwise change it
    for (int i = 0; i < n; ++i) {
        const int16_t c = centre[i];
        int16_t blur3 = 0;
        if constexpr (Blur == 1 || Sharpen || Smooth)
            blur3 =
                int16_t(uint16_t(uint16_t(v3[i - k] + v3[i + k]) + uint16_t(2 * v3[i]) + 8) >> 4);
        int16_t w = c;
        if constexpr (Blur == 2)
            w = int16_t(uint16_t(uint16_t(v5[i - 2 * k] + v5[i + 2 * k]) +
                                 uint16_t(4 * uint16_t(v5[i - k] + v5[i + k])) +
                                 uint16_t(6 * v5[i]) + 128) >>
                        8);
        if constexpr (Blur == 1) w = blur3;
        if constexpr (Sharpen) w = int16_t(w + (int16_t(int16_t(c - blur3) * sharpen) >> 4));
        if constexpr (Smooth) {
            // d * (limit - |d|) peaks at limit^2 / 4 = 2^14: it fits 16 bits, as does the scale.
            const int16_t d = int16_t(blur3 - c);
            const int16_t weight = std::max<int16_t>(0, int16_t(limit - std::abs(d)));
            const int16_t product = int16_t(d * weight);
            w = int16_t(w + int16_t((int32_t(product) * smoothScale) >> 16));
        }
        if constexpr (Side > 0) {
            // Wraps in 16 bits on the way, but the total stays below 2^16.
            uint16_t sum = 0;
            for (int j = -Side / 2; j <= Side / 2; ++j) sum = uint16_t(sum + vb[i + j * k]);
            const auto mean = uint16_t((uint32_t(sum) * boxScale) >> 16);
            w = int16_t(w + (int16_t(int16_t(c - mean) * boxGain) >> 6));
        }
        out[i] = Clamp8(w);
    }
}

using AcrossFn = void (*)(const Across&, uint8_t*);

// The sweep built for the baseline and for AVX2, side by side: not every compiler clones
// templates by itself.
template <int Blur, bool Sharpen, bool Smooth, int Side>
void AcrossBase(const Across& a, uint8_t* out) {
    AcrossRow<Blur, Sharpen, Smooth, Side>(a, out);
}

template <int Blur, bool Sharpen, bool Smooth, int Side>
__attribute__((target("avx2"))) void AcrossAvx2(const Across& a, uint8_t* out) {
    AcrossRow<Blur, Sharpen, Smooth, Side>(a, out);
}

template <bool Wide, int Blur, bool Sharpen, bool Smooth, int Side>
constexpr AcrossFn Sweep() {
    if constexpr (Wide) return AcrossAvx2<Blur, Sharpen, Smooth, Side>;
    return AcrossBase<Blur, Sharpen, Smooth, Side>;
}

template <bool Wide, int Blur, bool Sharpen, bool Smooth>
AcrossFn PickSide(int side) {
    switch (side) {
        case 3:
            return Sweep<Wide, Blur, Sharpen, Smooth, 3>();
        case 5:
            return Sweep<Wide, Blur, Sharpen, Smooth, 5>();
        case 7:
            return Sweep<Wide, Blur, Sharpen, Smooth, 7>();
        case 9:
            return Sweep<Wide, Blur, Sharpen, Smooth, 9>();
        case 11:
            return Sweep<Wide, Blur, Sharpen, Smooth, 11>();
        default:
            return Sweep<Wide, Blur, Sharpen, Smooth, 0>();
    }
}

template <bool Wide, int Blur>
AcrossFn PickRest(bool sharpen, bool smooth, int side) {
    if (sharpen)
        return smooth ? PickSide<Wide, Blur, true, true>(side)
                      : PickSide<Wide, Blur, true, false>(side);
    return smooth ? PickSide<Wide, Blur, false, true>(side)
                  : PickSide<Wide, Blur, false, false>(side);
}

template <bool Wide>
AcrossFn PickBlur(int blur, bool sharpen, bool smooth, int side) {
    if (blur == 2) return PickRest<Wide, 2>(sharpen, smooth, side);
    if (blur == 1) return PickRest<Wide, 1>(sharpen, smooth, side);
    return PickRest<Wide, 0>(sharpen, smooth, side);
}

AcrossFn PickAcross(int blur, bool sharpen, bool smooth, int side) {
    if (ColourPass::Best() == ColourPass::Form::Avx2)
        return PickBlur<true>(blur, sharpen, smooth, side);
    return PickBlur<false>(blur, sharpen, smooth, side);
}

}  // namespace

void EffectProcessor::Neighbourhood(int y, const uint8_t* const* rows, Scratch& s,
                                    uint8_t* out) const {
    const int bytes = width_ * kChannels;
    const int pad = radius_ * kChannels;
    const uint8_t* centre = rows[radius_];
    if (emboss_) {  // replaces the other neighbourhood effects
        EmbossRow(EmbossLuma(std::max(y - 1, 0), rows[radius_ - 1], s),
                  EmbossLuma(std::min(y + 1, height_ - 1), rows[radius_ + 1], s), centre, width_,
                  out);
        return;
    }
    Across a{};
    a.centre = centre;
    a.bytes = bytes;
    a.sharpen = int16_t(sharpen_);
    a.smoothLimit = int16_t(smoothLimit_);
    a.smoothScale = int16_t(smoothScale_);
    a.boxGain = int16_t(boxGain_);
    a.boxScale = uint16_t(boxScale_);
    // Vertical sums first, each padded so the sweep across needs no edge cases.
    if (needSum3_) {
        uint16_t* v = Sized(s.sum3, size_t(bytes + 2 * pad));
        Sum3(rows[radius_ - 1], centre, rows[radius_ + 1], bytes, v + pad);
        PadEdges(v, pad, bytes);
        a.sum3 = v + pad;
    }
    if (blur_ == 2) {
        uint16_t* v = Sized(s.sum5, size_t(bytes + 2 * pad));
        Sum5(rows + radius_ - 2, bytes, v + pad);
        PadEdges(v, pad, bytes);
        a.sum5 = v + pad;
    }
    if (boxSide_) {
        // Column sums run down the frame: add the row entering the box, drop the one leaving.
        const int half = boxSide_ / 2;
        uint16_t* v = Sized(s.sumBox, size_t(bytes + 2 * pad)) + pad;
        if (y == 0) {
            std::fill(v, v + bytes, uint16_t(0));
            for (int k = -half; k <= half; ++k) SlideSums(rows[radius_ + k], nullptr, bytes, v);
        } else {
            SlideSums(rows[radius_ + half], rows[radius_ - half - 1], bytes, v);
        }
        PadEdges(v - pad, pad, bytes);
        a.sumBox = v;
    }
    PickAcross(blur_, sharpen_ != 0, smoothLimit_ != 0, boxSide_)(a, out);
}

void EffectProcessor::Process(uint8_t* data, int width, int height, int stride, Scratch& s) const {
    if (Neutral() || width != width_ || height != height_ || width_ <= 0 || height_ <= 0 ||
        stride < width * kChannels)
        return;
    const size_t rowBytes = size_t(width_) * kChannels;
    auto& source = s.sourceRows;
    source.resize(size_t(height_));
    for (int y = 0; y < height_; ++y) source[y] = data + size_t(y) * stride;
    s.zoomTags[0] = s.zoomTags[1] = -1;
    if (geometry_ && !neighbourhood_) {
        // In place, in the planned order; a row still to be read is kept aside before it
        // is overwritten.
        uint8_t* kept = Sized(s.source, rowBytes * size_t(keepSlots_));
        for (const int y : order_) {
            uint8_t* dst = data + size_t(y) * stride;
            if (keepSlot_[y] >= 0) {
                uint8_t* slot = kept + size_t(keepSlot_[y]) * rowBytes;
                std::memcpy(slot, dst, rowBytes);
                source[y] = slot;
            }
            GeometryRow(y, source.data(), s, dst);
            if (colour_.Active()) colour_.Run(dst, width_);
        }
        return;
    }
    if (geometry_) {
        // The neighbourhood effects read rows around the current one, through zoom and
        // flips: they work from a copy of the whole frame.
        uint8_t* copy = Sized(s.source, rowBytes * height_);
        for (int y = 0; y < height_; ++y) {
            std::memcpy(copy + y * rowBytes, data + size_t(y) * stride, rowBytes);
            source[y] = copy + y * rowBytes;
        }
    }
    if (neighbourhood_) {
        // The rows around the current one, and the one the box's column sums drop.
        const int slots = 2 * radius_ + 2;
        if (s.rows.size() < size_t(slots)) s.rows.resize(slots);
        for (auto& row : s.rows) Sized(row, rowBytes);
        s.rowTags.assign(slots, -1);
        std::fill(std::begin(s.lumaTags), std::end(s.lumaTags), -1);
    }
    const uint8_t* window[2 * kMaxRadius + 2];
    for (int y = 0; y < height_; ++y) {
        uint8_t* dst = data + size_t(y) * stride;
        if (neighbourhood_) {
            // window[0] is the row above the box, for the column sums.
            for (int k = -radius_ - 1; k <= radius_; ++k)
                window[k + radius_ + 1] =
                    GeometryRow(std::clamp(y + k, 0, height_ - 1), source.data(), s);
            Neighbourhood(y, window + 1, s, dst);
        }
        if (colour_.Active()) colour_.Run(dst, width_);
    }
}
