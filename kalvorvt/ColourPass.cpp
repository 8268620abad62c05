#include "kalvorvt/ColourPass.h"

#include <immintrin.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace {

constexpr int kChannels = 4;  // B, G, R, x

using Matrix = std::array<std::array<double, 3>, 3>;  // rows and columns in R, G, B order

Matrix Multiply(const Matrix& a, const Matrix& b) {
    Matrix m{};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            for (int k = 0; k < 3; ++k) m[r][c] += a[r][k] * b[k][c];
    return m;
}

// Colour matrices that keep grey grey (rows sum to one), with Rec. 709 luma weights.
constexpr double kLr = 0.213, kLg = 0.715, kLb = 0.072;

Matrix Saturation(double f) {
    return {{{kLr + (1 - kLr) * f, kLg - kLg * f, kLb - kLb * f},
             {kLr - kLr * f, kLg + (1 - kLg) * f, kLb - kLb * f},
             {kLr - kLr * f, kLg - kLg * f, kLb + (1 - kLb) * f}}};
}

Matrix HueRotation(double degrees) {
    const double a = degrees * std::numbers::pi / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    return {
        {{kLr + c * (1 - kLr) - s * kLr, kLg - c * kLg - s * kLg, kLb - c * kLb + s * (1 - kLb)},
         {kLr - c * kLr + s * 0.143, kLg + c * (1 - kLg) + s * 0.140, kLb - c * kLb - s * 0.283},
         {kLr - c * kLr - s * (1 - kLr), kLg - c * kLg + s * kLg, kLb + c * (1 - kLb) + s * kLb}}};
}

uint8_t Clamp8(int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

// The AVX2 form: sixteen pixels a step, as three planes of 16-bit values. Every step that
// moves values between lanes stays within a 128-bit half and is undone in mirror order, so
// pixels come back where they were.
#define KALVOR_AVX2 __attribute__((target("avx2")))

using V = __m256i;

KALVOR_AVX2 inline V Splat16(int v) { return _mm256_set1_epi16(int16_t(v)); }

// Two 16-bit values side by side in each 32-bit lane, as the multiply-add takes them.
KALVOR_AVX2 inline V Pair(int low, int high) {
    return _mm256_set1_epi32(int32_t(uint32_t(uint16_t(low)) | uint32_t(uint16_t(high)) << 16));
}

// The level table's arithmetic: round((v - 128) * contrast / 16) half away from zero, plus
// 128 + brightness, clipped; then the pull toward full by balance / 255, rounded down.
template <bool Balance>
KALVOR_AVX2 inline V LevelPlane(V v, V contrast, V offset, V balance) {
    const V zero = _mm256_setzero_si256();
    V t = _mm256_mullo_epi16(_mm256_sub_epi16(v, Splat16(128)), contrast);
    t = _mm256_add_epi16(_mm256_add_epi16(t, Splat16(8)), _mm256_cmpgt_epi16(zero, t));
    V x = _mm256_add_epi16(_mm256_srai_epi16(t, 4), offset);
    x = _mm256_min_epi16(_mm256_max_epi16(x, zero), Splat16(255));
    if constexpr (Balance) {
        // n = (255 - x) * balance + 127 stays below 2^16; n * 32897 >> 23 is n / 255.
        const V n = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_sub_epi16(Splat16(255), x), balance),
                                     Splat16(127));
        x = _mm256_add_epi16(x, _mm256_srli_epi16(_mm256_mulhi_epu16(n, Splat16(32897)), 7));
    }
    return x;
}

// One output channel of the matrix for the B, G pairs and R, 1 pairs of a plane's low or
// high half: the same 32-bit sums as the portable form, shifted, saturated to 16 bits.
KALVOR_AVX2 inline V Mix(V bgLow, V bgHigh, V rLow, V rHigh, V bg, V r1) {
    const V low = _mm256_add_epi32(_mm256_madd_epi16(bgLow, bg), _mm256_madd_epi16(rLow, r1));
    const V high = _mm256_add_epi32(_mm256_madd_epi16(bgHigh, bg), _mm256_madd_epi16(rHigh, r1));
    return _mm256_packs_epi32(_mm256_srai_epi32(low, 10), _mm256_srai_epi32(high, 10));
}

template <bool Levels, bool Balance, bool Mixes>
KALVOR_AVX2 void RowAvx2(const ColourPass::Coefficients& c, uint8_t* row, int pixels) {
    const V zero = _mm256_setzero_si256();
    // Per 128-bit half: the bytes of four pixels regrouped as B B B B G G G G R R R R x x x x.
    const V regroup = _mm256_setr_epi8(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 0, 4,
                                       8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15);
    const V contrast = Splat16(c.contrast), offset = Splat16(128 + c.brightness);
    const V balance[3] = {Splat16(c.balance[0]), Splat16(c.balance[1]), Splat16(c.balance[2])};
    V bg[3], r1[3];
    for (int o = 0; o < 3; ++o) {
        bg[o] = Pair(c.mix[o * 3], c.mix[o * 3 + 1]);
        r1[o] = Pair(c.mix[o * 3 + 2], ColourPass::kRound);
    }
    const V one = Splat16(1);
    const V flip = _mm256_set1_epi32(int32_t(c.invert * 0x010101u));
    for (int x = 0; x + 16 <= pixels; x += 16) {
        uint8_t* at = row + size_t(x) * kChannels;
        const V s0 =
            _mm256_shuffle_epi8(_mm256_loadu_si256(reinterpret_cast<const V*>(at)), regroup);
        const V s1 =
            _mm256_shuffle_epi8(_mm256_loadu_si256(reinterpret_cast<const V*>(at + 32)), regroup);
        const V bytesBG = _mm256_unpacklo_epi32(s0, s1), bytesRX = _mm256_unpackhi_epi32(s0, s1);
        V plane[3] = {_mm256_unpacklo_epi8(bytesBG, zero), _mm256_unpackhi_epi8(bytesBG, zero),
                      _mm256_unpacklo_epi8(bytesRX, zero)};
        const V fourth = _mm256_unpackhi_epi8(bytesRX, zero);
        if constexpr (Levels)
            for (int i = 0; i < 3; ++i)
                plane[i] = LevelPlane<Balance>(plane[i], contrast, offset, balance[i]);
        if constexpr (Mixes) {
            const V bgLow = _mm256_unpacklo_epi16(plane[0], plane[1]);
            const V bgHigh = _mm256_unpackhi_epi16(plane[0], plane[1]);
            const V rLow = _mm256_unpacklo_epi16(plane[2], one);
            const V rHigh = _mm256_unpackhi_epi16(plane[2], one);
            V mixed[3];
            for (int o = 0; o < 3; ++o) mixed[o] = Mix(bgLow, bgHigh, rLow, rHigh, bg[o], r1[o]);
            for (int o = 0; o < 3; ++o) plane[o] = mixed[o];
        }
        // Saturating to bytes is the clipping to 0..255; then back to B, G, R, x order.
        const V br = _mm256_packus_epi16(plane[0], plane[2]);
        const V gx = _mm256_packus_epi16(plane[1], fourth);
        const V pairsBG = _mm256_unpacklo_epi8(br, gx), pairsRX = _mm256_unpackhi_epi8(br, gx);
        const V out0 = _mm256_xor_si256(_mm256_unpacklo_epi16(pairsBG, pairsRX), flip);
        const V out1 = _mm256_xor_si256(_mm256_unpackhi_epi16(pairsBG, pairsRX), flip);
        _mm256_storeu_si256(reinterpret_cast<V*>(at), out0);
        _mm256_storeu_si256(reinterpret_cast<V*>(at + 32), out1);
    }
}

bool HasAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

}  // namespace

ColourPass::Form ColourPass::Best() {
    static const Form best = HasAvx2() ? Form::Avx2 : Form::Portable;
    return best;
}

ColourPass::ColourPass(const EffectParams& p) {
    const int contrast = std::clamp(p.contrast, 0, 32);
    const int brightness = std::clamp(p.brightness, -256, 256);
    const int balance[3] = {std::clamp(p.balanceBlue, 0, 255), std::clamp(p.balanceGreen, 0, 255),
                            std::clamp(p.balanceRed, 0, 255)};
    const int hue = std::clamp(p.hue, -180, 180);
    const int saturation = std::clamp(p.saturation, -100, 200);
    const int intensity = std::clamp(p.intensity, -100, 150);
    const bool gray = p.grayscale != 0;
    const bool invert = p.invert != 0;

    const bool balanced = balance[0] || balance[1] || balance[2];
    level_ = contrast != 16 || brightness != 0 || balanced;
    matrix_ = hue != 0 || saturation != 0 || intensity != 0 || gray;
    active_ = level_ || matrix_ || invert;
    values_.contrast = int16_t(contrast);
    values_.brightness = int16_t(brightness);
    for (int c = 0; c < 3; ++c) values_.balance[c] = uint16_t(balance[c]);
    values_.invert = invert ? 255 : 0;

    // The table clips contrast, brightness and balance; without the matrix it also inverts.
    // With one, the matrix works on the clipped values, as a chain of separate effects would.
    for (int v = 0; v < 256; ++v) {
        for (int c = 0; c < 3; ++c) {
            int x = Clamp8(int(std::lround((v - 128) * contrast / 16.0)) + 128 + brightness);
            x += ((255 - x) * balance[c] + 127) / 255;
            lut_[c][v] = static_cast<uint8_t>(matrix_ ? x : x ^ values_.invert);
        }
    }

    const WideRow rows[2][3] = {
        {RowAvx2<false, false, false>, RowAvx2<true, false, false>, RowAvx2<true, true, false>},
        {RowAvx2<false, false, true>, RowAvx2<true, false, true>, RowAvx2<true, true, true>}};
    wide_ = rows[matrix_][level_ ? 1 + balanced : 0];
    if (!matrix_) return;

    Matrix m = Multiply(Saturation(1.0 + saturation / 100.0), HueRotation(hue));
    const double level = 1.0 + intensity / 100.0;
    for (auto& row : m)
        for (double& value : row) value *= level;
    if (gray) m = Multiply(Saturation(0.0), m);
    // The pixel's bytes are B, G, R: byte i is matrix index 2 - i.
    for (int out = 0; out < 3; ++out)
        for (int in = 0; in < 3; ++in)
            values_.mix[out * 3 + in] = static_cast<int16_t>(
                std::clamp(std::lround(m[2 - out][2 - in] * 1024.0), -32767L, 32767L));
}

void ColourPass::Run(uint8_t* row, int pixels, Form form) const {
    if (!active_ || pixels <= 0) return;
    if (form == Form::Avx2 && Best() == Form::Avx2) {
        wide_(values_, row, pixels);
        const int done = pixels / 16 * 16;
        row += size_t(done) * kChannels;
        pixels -= done;
    }
    RunPortable(row, pixels);
}

// A pixel as one 32-bit word: contiguous loads and stores keep the vectoriser going where
// byte stores would stop it. The table and the matrix are separate loops: the lookups cannot
// vectorise, the matrix can.
void ColourPass::RunPortable(uint8_t* row, int pixels) const {
    const int n = pixels;
    if (level_ || !matrix_) {
        const uint8_t *b = lut_[0].data(), *g = lut_[1].data(), *r = lut_[2].data();
        for (int x = 0; x < n; ++x) {
            uint32_t p;
            std::memcpy(&p, row + x * kChannels, 4);
            const uint32_t q = b[p & 255] | uint32_t(g[(p >> 8) & 255]) << 8 |
                               uint32_t(r[(p >> 16) & 255]) << 16 | (p & 0xFF000000u);
            std::memcpy(row + x * kChannels, &q, 4);
        }
    }
    if (!matrix_) return;
    const auto& mix = values_.mix;
    const int16_t m0 = mix[0], m1 = mix[1], m2 = mix[2], m3 = mix[3], m4 = mix[4], m5 = mix[5],
                  m6 = mix[6], m7 = mix[7], m8 = mix[8];
    const uint32_t flip = values_.invert * 0x010101u;
    for (int x = 0; x < n; ++x) {
        uint32_t p;
        std::memcpy(&p, row + x * kChannels, 4);
        const auto b = int16_t(p & 255), g = int16_t((p >> 8) & 255), r = int16_t((p >> 16) & 255);
        const uint32_t o0 = Clamp8((m0 * b + m1 * g + m2 * r + kRound) >> 10);
        const uint32_t o1 = Clamp8((m3 * b + m4 * g + m5 * r + kRound) >> 10);
        const uint32_t o2 = Clamp8((m6 * b + m7 * g + m8 * r + kRound) >> 10);
        const uint32_t q = ((o0 | o1 << 8 | o2 << 16) ^ flip) | (p & 0xFF000000u);
        std::memcpy(row + x * kChannels, &q, 4);
    }
}
