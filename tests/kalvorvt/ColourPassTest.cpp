// The one-pass point effects give, in both their forms, the bytes of a plain pixel-by-pixel
// reference on random rows and random settings, fourth bytes and row ends included.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "common/EffectParams.h"
#include "kalvorvt/ColourPass.h"

namespace {

using Matrix = std::array<std::array<double, 3>, 3>;  // R, G, B order

Matrix Times(const Matrix& a, const Matrix& b) {
    Matrix m{};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            for (int k = 0; k < 3; ++k) m[r][c] += a[r][k] * b[k][c];
    return m;
}

Matrix Saturate(double f) {
    const double w[3] = {0.213, 0.715, 0.072};
    Matrix m{};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) m[r][c] = w[c] * (1 - f) + (r == c ? f : 0);
    return m;
}

Matrix Turn(double degrees) {
    const double a = degrees * std::numbers::pi / 180, c = std::cos(a), s = std::sin(a);
    const double w[3] = {0.213, 0.715, 0.072};
    // The rotation's sine part, per row, in R, G, B order.
    const double sine[3][3] = {
        {-w[0], -w[1], 1 - w[2]}, {0.143, 0.140, -0.283}, {-(1 - w[0]), w[1], w[2]}};
    Matrix m{};
    for (int r = 0; r < 3; ++r)
        for (int k = 0; k < 3; ++k) m[r][k] = w[k] + c * ((r == k ? 1 : 0) - w[k]) + s * sine[r][k];
    return m;
}

// The point effects pixel by pixel: contrast, brightness and balance clipped, then (when
// hue, saturation, intensity or grayscale are on) the colour matrix rounded to 10 fraction
// bits, then inversion; the fourth byte untouched.
struct Reference {
    int contrast, brightness, balance[3];  // balance in B, G, R order
    bool matrix, invert;
    int mix[3][3] = {};  // [out][in], B, G, R order

    explicit Reference(const EffectParams& p)
        : contrast(std::clamp(p.contrast, 0, 32)),
          brightness(std::clamp(p.brightness, -256, 256)),
          balance{std::clamp(p.balanceBlue, 0, 255), std::clamp(p.balanceGreen, 0, 255),
                  std::clamp(p.balanceRed, 0, 255)},
          invert(p.invert != 0) {
        const int hue = std::clamp(p.hue, -180, 180);
        const int saturation = std::clamp(p.saturation, -100, 200);
        const int intensity = std::clamp(p.intensity, -100, 150);
        matrix = hue || saturation || intensity || p.grayscale;
        Matrix m = Times(Saturate(1 + saturation / 100.0), Turn(hue));
        for (auto& row : m)
            for (double& v : row) v *= 1 + intensity / 100.0;
        if (p.grayscale) m = Times(Saturate(0), m);
        for (int o = 0; o < 3; ++o)
            for (int i = 0; i < 3; ++i)
                mix[o][i] = int(std::clamp(std::lround(m[2 - o][2 - i] * 1024), -32767L, 32767L));
    }

    void Apply(uint8_t* px) const {
        int v[3];
        for (int c = 0; c < 3; ++c) {
            int x = int(std::lround((px[c] - 128) * contrast / 16.0)) + 128 + brightness;
            x = std::clamp(x, 0, 255);
            v[c] = x + ((255 - x) * balance[c] + 127) / 255;
        }
        for (int o = 0; o < 3; ++o) {
            int out = v[o];
            if (matrix)
                out = std::clamp(
                    (mix[o][0] * v[0] + mix[o][1] * v[1] + mix[o][2] * v[2] + 512) >> 10, 0, 255);
            px[o] = uint8_t(invert ? 255 - out : out);
        }
    }
};

// Each value is left neutral half of the time, else drawn over its range and a little
// beyond it, its ends drawn more often than the rest.
EffectParams RandomSettings(std::mt19937& random) {
    auto pick = [&](int neutral, int low, int high) {
        switch (random() % 8) {
            case 0:
            case 1:
            case 2:
            case 3:
                return neutral;
            case 4:
                return low;
            case 5:
                return high;
            default:
                return low - 3 + int(random() % unsigned(high - low + 7));
        }
    };
    EffectParams p = DefaultEffectParams();
    p.contrast = pick(16, 0, 32);
    p.brightness = pick(0, -256, 256);
    p.balanceRed = pick(0, 0, 255);
    p.balanceGreen = pick(0, 0, 255);
    p.balanceBlue = pick(0, 0, 255);
    p.hue = pick(0, -180, 180);
    p.saturation = pick(0, -100, 200);
    p.intensity = pick(0, -100, 150);
    p.grayscale = random() % 4 == 0;
    p.invert = random() % 3 == 0;
    return p;
}

std::string Describe(const EffectParams& p) {
    return "contrast " + std::to_string(p.contrast) + " brightness " +
           std::to_string(p.brightness) + " balance " + std::to_string(p.balanceRed) + "," +
           std::to_string(p.balanceGreen) + "," + std::to_string(p.balanceBlue) + " hue " +
           std::to_string(p.hue) + " saturation " + std::to_string(p.saturation) + " intensity " +
           std::to_string(p.intensity) + " grayscale " + std::to_string(p.grayscale) + " invert " +
           std::to_string(p.invert);
}

TEST(ColourPass, BothFormsGiveThePlainReferenceBytesOnRandomRowsAndSettings) {
    std::mt19937 random(2024);
    std::vector<ColourPass::Form> forms = {ColourPass::Form::Portable};
    if (ColourPass::Best() == ColourPass::Form::Avx2) forms.push_back(ColourPass::Form::Avx2);
    // Row lengths around the wide form's step of 16, and a long one.
    const int lengths[] = {1, 15, 16, 17, 31, 48, 67, 1923};
    for (int round = 0; round < 600; ++round) {
        const EffectParams params = RandomSettings(random);
        const ColourPass pass(params);
        const Reference reference(params);
        const int n = lengths[round % std::size(lengths)];
        std::vector<uint8_t> in(size_t(n) * 4);
        for (auto& byte : in) {  // extremes often: clipping and saturation happen there
            const unsigned r = random();
            byte = r % 4 == 0 ? uint8_t((r >> 8) % 2 * 255) : uint8_t(r >> 8);
        }
        std::vector<uint8_t> want = in;
        for (int x = 0; x < n; ++x) reference.Apply(&want[size_t(x) * 4]);
        for (const auto form : forms) {
            std::vector<uint8_t> got = in;
            pass.Run(got.data(), n, form);
            for (size_t i = 0; i < got.size(); ++i)
                ASSERT_EQ(got[i], want[i]) << (form == ColourPass::Form::Avx2 ? "AVX2" : "portable")
                                           << ", " << n << " pixels, byte " << i << ", input "
                                           << int(in[i]) << ": " << Describe(params);
        }
    }
}

}  // namespace
