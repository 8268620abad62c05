// Each picture effect changes known pixels the way its name says; neutral values, bad
// values and degenerate zoom areas leave frames alone or at least intact.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "common/EffectParams.h"
#include "kalvorvt/EffectProcessor.h"

namespace {

using Pixel = std::array<int, 3>;  // R, G, B
using Change = std::function<void(EffectParams&)>;

struct Image {
    int width, height, stride;
    std::vector<uint8_t> bytes;

    Image(int w, int h, Pixel fill = {0, 0, 0}) : width(w), height(h), stride(w * 4 + 8) {
        bytes.assign(size_t(stride) * h, 0xEE);  // row padding must survive
        Fill(0, 0, w, h, fill);
    }
    void Set(int x, int y, Pixel p) {
        uint8_t* at = &bytes[size_t(y) * stride + x * 4];
        at[0] = uint8_t(p[2]), at[1] = uint8_t(p[1]), at[2] = uint8_t(p[0]), at[3] = 0xFF;
    }
    void Fill(int x0, int y0, int x1, int y1, Pixel p) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) Set(x, y, p);
    }
    Pixel At(int x, int y) const {
        const uint8_t* at = &bytes[size_t(y) * stride + x * 4];
        return {at[2], at[1], at[0]};
    }
};

Image Processed(const EffectParams& params, Image image, int32_t filterMode = 1) {
    auto processor = EffectProcessor::Build(params, filterMode, image.width, image.height);
    EffectProcessor::Scratch scratch;
    processor->Process(image.bytes.data(), image.width, image.height, image.stride, scratch);
    return image;
}

EffectParams With(const Change& change) {
    EffectParams p = DefaultEffectParams();
    change(p);
    return p;
}

Change Zoom(int left, int top, int width, int height, int extra1, int extra2, int active = 1) {
    return [=](EffectParams& p) {
        p.zoomLeft = left, p.zoomTop = top, p.zoomWidth = width, p.zoomHeight = height;
        p.zoomExtra1 = extra1, p.zoomExtra2 = extra2, p.zoomActive = active;
    };
}

bool Gray(Pixel p, int tolerance = 1) {
    return std::abs(p[0] - p[1]) <= tolerance && std::abs(p[1] - p[2]) <= tolerance;
}

// A frame with a different colour in every pixel.
Image Gradient(int w, int h) {
    Image image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.Set(x, y, {x * 255 / (w - 1), y * 255 / (h - 1), 90});
    return image;
}

TEST(EffectProcessor, NeutralValuesFilterModeZeroAndDegenerateZoomsLeaveTheFrameBitIdentical) {
    const Image in = Gradient(16, 12);
    const struct {
        const char* name;
        Change change;
        int32_t filterMode;
    } cases[] = {
        {"start values", [](EffectParams&) {}, 1},
        {"filter mode 0", [](EffectParams& p) { p.invert = 1, p.blur = 2; }, 0},
        {"inactive zoom", Zoom(2, 2, 5, 5, 15, 11, 0), 1},
        {"one by one", Zoom(3, 3, 1, 1, 15, 11), 1},
        {"empty", Zoom(3, 3, 0, 4, 15, 11), 1},
        {"inverted", Zoom(10, 8, -1, -1, 15, 11), 1},
        {"whole frame", Zoom(0, 0, 15, 11, 15, 11), 1},
        {"beyond the frame", Zoom(0, 0, 900, 900, 15, 11), 1},
        {"outside the frame", Zoom(400, 300, 10, 10, 15, 11), 1},
    };
    for (const auto& c : cases) {
        const EffectParams params = With(c.change);
        EXPECT_TRUE(EffectProcessor::Build(params, c.filterMode, 16, 12)->Neutral()) << c.name;
        EXPECT_EQ(Processed(params, in, c.filterMode).bytes, in.bytes) << c.name;
    }
}

TEST(EffectProcessor, PointEffectsMapKnownColours) {
    using Check = std::function<bool(Pixel)>;
    const auto is = [](Pixel want) -> Check { return [=](Pixel q) { return q == want; }; };
    const struct {
        const char* name;
        Change change;
        Check expect;
    } cases[] = {
        {"invert", [](EffectParams& p) { p.invert = 1; }, is({55, 155, 205})},
        {"contrast 0 gives mid-grey", [](EffectParams& p) { p.contrast = 0; }, is({128, 128, 128})},
        {"contrast 32 doubles distances", [](EffectParams& p) { p.contrast = 32; },
         is({255, 72, 0})},
        {"brightness 256: white", [](EffectParams& p) { p.brightness = 256; }, is({255, 255, 255})},
        {"brightness -256: black", [](EffectParams& p) { p.brightness = -256; }, is({0, 0, 0})},
        {"brightness adds", [](EffectParams& p) { p.brightness = 20; }, is({220, 120, 70})},
        {"full red balance", [](EffectParams& p) { p.balanceRed = 255; }, is({255, 100, 50})},
        {"saturation -100: grey", [](EffectParams& p) { p.saturation = -100; },
         [](Pixel q) { return Gray(q); }},
        {"saturation 200 spreads", [](EffectParams& p) { p.saturation = 200; },
         [](Pixel q) { return q[0] == 255 && q[2] == 0; }},
        {"intensity -100: black", [](EffectParams& p) { p.intensity = -100; }, is({0, 0, 0})},
        {"intensity 50 brightens", [](EffectParams& p) { p.intensity = 50; }, is({255, 150, 75})},
        {"hue 180 turns orange blue", [](EffectParams& p) { p.hue = 180; },
         [](Pixel q) { return q[2] > q[1] && q[1] > q[0]; }},
        {"invert comes last", [](EffectParams& p) { p.invert = 1, p.brightness = -256; },
         is({255, 255, 255})},
    };
    for (const auto& c : cases) {
        const Image out = Processed(With(c.change), Image(4, 2, {200, 100, 50}));  // orange
        const Pixel q = out.At(1, 1);
        EXPECT_TRUE(c.expect(q)) << c.name << ": " << q[0] << "," << q[1] << "," << q[2];
        EXPECT_EQ(out.At(3, 0), q) << c.name;  // the same everywhere
    }
}

TEST(EffectProcessor, GrayscaleOfColourBarsKeepsTheirOrderOfLightness) {
    const Pixel bars[] = {{255, 255, 0}, {0, 255, 255}, {0, 255, 0},
                          {255, 0, 255}, {255, 0, 0},   {0, 0, 255}};
    Image in(6, 2);
    for (int x = 0; x < 6; ++x) in.Fill(x, 0, x + 1, 2, bars[x]);
    const Image out = Processed(With([](EffectParams& p) { p.grayscale = 1; }), in);
    for (int x = 0; x < 6; ++x) {
        EXPECT_TRUE(Gray(out.At(x, 1))) << x;
        if (x > 0) {
            EXPECT_LT(out.At(x, 1)[0], out.At(x - 1, 1)[0]) << x;
        }
    }
}

TEST(EffectProcessor, FlipsMoveAMarkedCorner) {
    const Pixel mark{255, 0, 0};
    Image in(8, 6, {0, 0, 80});
    in.Set(0, 0, mark);
    const struct { int flipV, flipH, x, y; } cases[] = {{0, 1, 7, 0}, {1, 0, 0, 5}, {1, 1, 7, 5}};
    for (const auto& c : cases) {
        const Image out = Processed(
            With([&](EffectParams& p) { p.flipVertical = c.flipV, p.flipHorizontal = c.flipH; }),
            in);
        EXPECT_EQ(out.At(c.x, c.y), mark) << c.flipV << c.flipH;
        EXPECT_EQ(out.At(0, 0), (Pixel{0, 0, 80})) << c.flipV << c.flipH;
    }
}

TEST(EffectProcessor, ZoomOfAQuadrantFillsTheFrameWithThatQuadrant) {
    // Four quadrants of four colours: a wrong offset or a swapped axis shows another one.
    const Pixel colours[4] = {{10, 200, 30}, {220, 40, 0}, {0, 60, 250}, {240, 240, 20}};
    Image in(16, 12);
    for (int q = 0; q < 4; ++q)
        in.Fill(q % 2 * 8, q / 2 * 6, q % 2 * 8 + 8, q / 2 * 6 + 6, colours[q]);
    // The area is given on the picture it was chosen on (extra values: its last column and
    // row), here also on one of 160 x 120, and scaled to this frame.
    const struct {
        Change zoom;
        int quadrant;
    } cases[] = {
        {Zoom(0, 0, 7, 5, 15, 11), 0},      {Zoom(8, 0, 7, 5, 15, 11), 1},
        {Zoom(0, 6, 7, 5, 15, 11), 2},      {Zoom(8, 6, 7, 5, 15, 11), 3},
        {Zoom(0, 0, 70, 50, 159, 119), 0},  {Zoom(85, 65, 70, 50, 159, 119), 3},
        {Zoom(86, 3, 70, 50, 159, 119), 1},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Image out = Processed(With(cases[i].zoom), in);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 16; ++x)
                ASSERT_EQ(out.At(x, y), colours[cases[i].quadrant]) << i << ": " << x << "," << y;
    }
}

// Zoom and flips in doubles: output (x, y) shows the area's point at the same fraction of
// the way across, bilinearly; a flip mirrors the output position first.
Pixel GeometryReference(const Image& in, const EffectParams& p, int x, int y) {
    const bool zoom = p.zoomActive != 0;
    const double left = zoom ? p.zoomLeft : 0, top = zoom ? p.zoomTop : 0;
    const double right = zoom ? p.zoomLeft + p.zoomWidth : in.width - 1;
    const double bottom = zoom ? p.zoomTop + p.zoomHeight : in.height - 1;
    if (p.flipHorizontal) x = in.width - 1 - x;
    if (p.flipVertical) y = in.height - 1 - y;
    const double sx = left + x * (right - left) / (in.width - 1);
    const double sy = top + y * (bottom - top) / (in.height - 1);
    const int x0 = int(sx), y0 = int(sy);
    const int x1 = std::min(x0 + 1, in.width - 1), y1 = std::min(y0 + 1, in.height - 1);
    const double fx = sx - x0, fy = sy - y0;
    Pixel out{};
    for (int c = 0; c < 3; ++c) {
        const double high = in.At(x0, y0)[c] * (1 - fx) + in.At(x1, y0)[c] * fx;
        const double low = in.At(x0, y1)[c] * (1 - fx) + in.At(x1, y1)[c] * fx;
        out[c] = int(std::lround(high * (1 - fy) + low * fy));
    }
    return out;
}

TEST(EffectProcessor, ZoomAndFlipsMatchAPlainBilinearReference) {
    // Noise, so that reading a row already overwritten, or the wrong row, shows at once.
    Image in(40, 30);
    uint32_t seed = 99;
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            in.Set(x, y, {int(seed >> 24), int((seed >> 16) & 255), int((seed >> 8) & 255)});
        }
    const struct {
        const char* name;
        Change change;
    } cases[] = {
        {"top-left", Zoom(0, 0, 20, 15, 39, 29)},
        {"bottom-right", Zoom(19, 14, 20, 15, 39, 29)},
        {"middle band", Zoom(5, 10, 30, 9, 39, 29)},
        {"tall and thin", Zoom(30, 1, 3, 27, 39, 29)},
        {"mirrored", [](EffectParams& p) { p.flipHorizontal = 1; }},
        {"nearly whole", Zoom(1, 1, 37, 27, 39, 29)},
        {"flipped both ways", [](EffectParams& p) { p.flipHorizontal = 1, p.flipVertical = 1; }},
        {"flipped upside down", [](EffectParams& p) { p.flipVertical = 1; }},
        {"bottom zoom upside down",
         [](EffectParams& p) { Zoom(10, 17, 25, 12, 39, 29)(p), p.flipVertical = 1; }},
        {"top zoom mirrored",
         [](EffectParams& p) { Zoom(3, 0, 25, 12, 39, 29)(p), p.flipHorizontal = 1; }},
    };
    for (const auto& c : cases) {
        const EffectParams params = With(c.change);
        const Image out = Processed(params, in);
        for (int y = 0; y < in.height; ++y)
            for (int x = 0; x < in.width; ++x) {
                const Pixel want = GeometryReference(in, params, x, y), got = out.At(x, y);
                for (int ch = 0; ch < 3; ++ch)
                    ASSERT_NEAR(got[ch], want[ch], 2) << c.name << " at " << x << "," << y;
            }
    }
}

TEST(EffectProcessor, PointEffectsTogetherEqualTheChainOfEachGroupAlone) {
    // Contrast, brightness and balance, then the colour transform, then inversion, each run
    // as its own pass, clipped in between: fused into one pass the result must not change.
    // Saturated colours at full contrast are where unclipped folding goes wrong.
    Image in(8, 4);
    const Pixel colours[] = {{255, 0, 0},    {0, 255, 0},   {0, 0, 255},     {255, 255, 0},
                             {200, 100, 50}, {20, 30, 240}, {128, 128, 128}, {250, 250, 250}};
    for (int x = 0; x < 8; ++x) in.Fill(x, 0, x + 1, 4, colours[x]);
    const Change pre[] = {
        [](EffectParams& p) { p.contrast = 32; },
        [](EffectParams& p) { p.contrast = 24, p.brightness = 60; },
        [](EffectParams& p) { p.brightness = -200, p.balanceBlue = 90; },
        [](EffectParams& p) { p.contrast = 5, p.balanceRed = 255, p.balanceGreen = 30; },
    };
    const Change transform[] = {
        [](EffectParams& p) { p.grayscale = 1; },
        [](EffectParams& p) { p.hue = 120; },
        [](EffectParams& p) { p.hue = -75, p.saturation = 150, p.intensity = -30; },
        [](EffectParams& p) { p.saturation = -60, p.intensity = 150, p.grayscale = 1; },
    };
    for (size_t i = 0; i < std::size(pre); ++i)
        for (size_t j = 0; j < std::size(transform); ++j)
            for (int invert = 0; invert < 2; ++invert) {
                const Image together = Processed(With([&](EffectParams& p) {
                                                     pre[i](p), transform[j](p);
                                                     p.invert = invert;
                                                 }),
                                                 in);
                Image chain = Processed(With(transform[j]), Processed(With(pre[i]), in));
                if (invert) chain = Processed(With([](EffectParams& p) { p.invert = 1; }), chain);
                for (int x = 0; x < 8; ++x)
                    for (int c = 0; c < 3; ++c)
                        ASSERT_NEAR(together.At(x, 2)[c], chain.At(x, 2)[c], 1)
                            << i << "," << j << "," << invert << " colour " << x;
            }
}

TEST(EffectProcessor, ColourTransformsOfPureRedGiveTheirKnownColours) {
    const Image red(4, 2, {255, 0, 0});
    const Pixel plainGray = Processed(With([](EffectParams& p) { p.grayscale = 1; }), red).At(0, 0);
    EXPECT_TRUE(Gray(plainGray) && plainGray[0] > 40 && plainGray[0] < 70) << plainGray[0];
    const struct {
        const char* name;
        Change change;
        std::function<bool(Pixel)> expect;
    } cases[] = {
        {"grayscale at full contrast: the grey of plain grayscale",
         [](EffectParams& p) { p.grayscale = 1, p.contrast = 32; },
         [&](Pixel q) { return q == plainGray; }},
        {"hue +120: green", [](EffectParams& p) { p.hue = 120; },
         [](Pixel q) { return q[1] > 90 && q[0] < 10 && q[2] < 10; }},
        {"hue -120: blue", [](EffectParams& p) { p.hue = -120; },
         [](Pixel q) { return q[2] > 200 && q[0] < 10 && q[1] < q[2] / 4; }},
        {"hue 0 with full saturation cut: the grey of grayscale",
         [](EffectParams& p) { p.saturation = -100; }, [&](Pixel q) { return q == plainGray; }},
    };
    for (const auto& c : cases) {
        const Pixel q = Processed(With(c.change), red).At(2, 1);
        EXPECT_TRUE(c.expect(q)) << c.name << ": " << q[0] << "," << q[1] << "," << q[2];
    }
}

TEST(EffectProcessor, NeighbourhoodEffectsActOnEdgesAndSpots) {
    // A bright spot on grey, and a vertical edge from dark to light.
    Image spot(9, 9, {100, 100, 100});
    spot.Set(4, 4, {250, 250, 250});
    Image edge(10, 6, {60, 60, 60});
    edge.Fill(5, 0, 10, 6, {180, 180, 180});

    auto blurred = Processed(With([](EffectParams& p) { p.blur = 1; }), spot);
    EXPECT_LT(blurred.At(4, 4)[0], 250);
    EXPECT_GT(blurred.At(3, 4)[0], 100);
    EXPECT_EQ(blurred.At(2, 4)[0], 100);  // a 3x3 kernel reaches one pixel
    auto twice = Processed(With([](EffectParams& p) { p.blur = 2; }), spot);
    EXPECT_LT(twice.At(4, 4)[0], blurred.At(4, 4)[0]);
    EXPECT_GT(twice.At(2, 4)[0], 100);  // 5x5 reaches two

    auto sharp = Processed(With([](EffectParams& p) { p.sharpen = 32; }), edge);
    EXPECT_LT(sharp.At(4, 3)[0], 60);   // the dark side darkens at the edge
    EXPECT_GT(sharp.At(5, 3)[0], 180);  // the light side lightens
    EXPECT_EQ(sharp.At(1, 3)[0], 60);   // flat areas stay

    // Smoothing blurs the small step away and keeps the large one.
    Image noisy(10, 6, {100, 100, 100});
    noisy.Set(2, 2, {108, 108, 108});
    noisy.Fill(6, 0, 10, 6, {230, 230, 230});
    auto smooth = Processed(With([](EffectParams& p) { p.smooth = 400; }), noisy);
    EXPECT_LT(smooth.At(2, 2)[0], 106);
    EXPECT_EQ(smooth.At(5, 3)[0], 100);
    EXPECT_EQ(smooth.At(6, 3)[0], 230);

    auto local =
        Processed(With([](EffectParams& p) { p.correction1 = 5, p.correction2 = 100; }), edge);
    EXPECT_LT(local.At(4, 3)[0], 60);
    EXPECT_GT(local.At(5, 3)[0], 180);
    EXPECT_EQ(local.At(0, 3)[0], 60);

    auto emboss = Processed(With([](EffectParams& p) { p.emboss = 1; }), edge);
    EXPECT_EQ(emboss.At(1, 3), (Pixel{128, 128, 128}));  // flat: mid-grey
    EXPECT_GT(emboss.At(4, 3)[0], 200);                  // the rising edge stands out
    EXPECT_TRUE(Gray(emboss.At(4, 3), 0));
}

// The neighbourhood effects pixel by pixel, edges repeated, in the same fixed point as the
// processor, which fuses them into one sweep per row.
Pixel Reference(const Image& in, const EffectParams& p, int x, int y) {
    const int side = p.correction1 < 2 ? 0 : std::max(3, std::min(p.correction1, 11) | 1);
    const int limit = p.smooth ? 3 + p.smooth * 253 / 4000 : 0;
    auto at = [&](int dx, int dy, int c) {
        return in.At(std::clamp(x + dx, 0, in.width - 1), std::clamp(y + dy, 0, in.height - 1))[c];
    };
    if (p.emboss) {  // replaces the others: the luma difference across the diagonal
        auto luma = [&](int dx, int dy) {
            return (29 * at(dx, dy, 2) + 150 * at(dx, dy, 1) + 77 * at(dx, dy, 0)) >> 8;
        };
        const int v = std::clamp(128 + luma(1, 1) - luma(-1, -1), 0, 255);
        return {v, v, v};
    }
    auto binomial = [&](int c, int radius) {
        static constexpr int k3[] = {1, 2, 1}, k5[] = {1, 4, 6, 4, 1};
        const int* k = radius == 1 ? k3 : k5;
        int sum = 0;
        for (int dy = -radius; dy <= radius; ++dy)
            for (int dx = -radius; dx <= radius; ++dx)
                sum += k[dx + radius] * k[dy + radius] * at(dx, dy, c);
        return radius == 1 ? (sum + 8) >> 4 : (sum + 128) >> 8;
    };
    Pixel out{};
    for (int c = 0; c < 3; ++c) {
        const int centre = at(0, 0, c), blur3 = binomial(c, 1);
        int w = p.blur == 2 ? binomial(c, 2) : p.blur == 1 ? blur3 : centre;
        w += ((centre - blur3) * p.sharpen) >> 4;
        if (limit) {
            const int d = blur3 - centre;
            w += (d * std::max(0, limit - std::abs(d)) * (65536 / limit)) >> 16;
        }
        if (side && p.correction2) {
            int sum = 0;
            for (int dy = -side / 2; dy <= side / 2; ++dy)
                for (int dx = -side / 2; dx <= side / 2; ++dx) sum += at(dx, dy, c);
            const int mean = (sum * ((65536 + side * side - 1) / (side * side))) >> 16;
            w += ((centre - mean) * (p.correction2 * 64 / 100)) >> 6;
        }
        out[c] = std::clamp(w, 0, 255);
    }
    return out;
}

TEST(EffectProcessor, NeighbourhoodEffectsTogetherMatchAPixelByPixelReference) {
    auto noise = [](int w, int h) {
        Image in(w, h);
        uint32_t seed = 12345;
        for (int y = 0; y < in.height; ++y)
            for (int x = 0; x < in.width; ++x) {
                seed = seed * 1664525u + 1013904223u;
                in.Set(x, y, {int(seed >> 24), int((seed >> 16) & 255), (x * 11 + y * 7) & 255});
            }
        return in;
    };
    const Change cases[] = {
        [](EffectParams& p) { p.blur = 1, p.sharpen = 64, p.smooth = 4000; },
        [](EffectParams& p) { p.blur = 2, p.sharpen = 20, p.smooth = 800; },
        [](EffectParams& p) { p.blur = 2, p.correction1 = 7, p.correction2 = 60; },
        [](EffectParams& p) { p.smooth = 1, p.correction1 = 4, p.correction2 = 200; },
        [](EffectParams& p) { p.sharpen = 5, p.correction1 = 11, p.correction2 = 150; },
        [](EffectParams& p) {
            p.blur = 1, p.sharpen = 33, p.smooth = 2500, p.correction1 = 9, p.correction2 = 90;
        },
        [](EffectParams& p) { p.correction1 = 3, p.correction2 = 1; },
        [](EffectParams& p) { p.emboss = 1; },
        [](EffectParams& p) { p.emboss = 1, p.blur = 2, p.sharpen = 9, p.correction1 = 5; },
    };
    const Image images[] = {noise(23, 14), noise(1, 5), noise(6, 1)};
    for (const auto& in : images)
        for (size_t i = 0; i < std::size(cases); ++i) {
            const EffectParams params = With(cases[i]);
            const Image out = Processed(params, in);
            for (int y = 0; y < in.height; ++y)
                for (int x = 0; x < in.width; ++x)
                    ASSERT_EQ(out.At(x, y), Reference(in, params, x, y))
                        << "case " << i << ", " << in.width << "x" << in.height << " at " << x
                        << "," << y;
        }
}

TEST(EffectProcessor, EverythingAtOnceAndOutOfRangeValuesStayInsideTheFrame) {
    const Image in = Gradient(31, 17);
    const Change cases[] = {
        [](EffectParams& p) {
            p.hue = 90, p.saturation = 150, p.intensity = 20, p.contrast = 20, p.brightness = 10;
            p.balanceGreen = 40, p.invert = 1, p.sharpen = 20, p.smooth = 1000, p.blur = 2;
            p.correction1 = 11, p.correction2 = 200, p.emboss = 1, p.flipVertical = 1;
            Zoom(3, 2, 20, 9, 30, 16)(p);
        },
        [](EffectParams& p) {
            p.hue = 100000, p.saturation = -5000, p.intensity = 99999, p.contrast = -7;
            p.brightness = 1 << 30, p.balanceRed = -3, p.sharpen = 1000, p.smooth = -1;
            p.blur = 9, p.correction1 = 2, p.correction2 = 100000, p.emboss = -1;
        },
        [](EffectParams& p) {
            Zoom(-50, 1 << 30, 1 << 30, 3, -1, 0, 7)(p);
            p.flipHorizontal = 3, p.correction1 = 1000;
        },
    };
    for (const auto& change : cases) {
        const Image out = Processed(With(change), in);
        ASSERT_EQ(out.bytes.size(), in.bytes.size());
        for (int y = 0; y < in.height; ++y)  // row padding untouched
            for (int i = in.width * 4; i < in.stride; ++i)
                ASSERT_EQ(out.bytes[size_t(y) * in.stride + i], 0xEE);
    }
    // A frame of another size than the tables were built for is left alone.
    auto processor = EffectProcessor::Build(With([](EffectParams& p) { p.blur = 1; }), 1, 64, 64);
    Image other = Gradient(8, 8);
    EffectProcessor::Scratch scratch;
    processor->Process(other.bytes.data(), 8, 8, other.stride, scratch);
    EXPECT_EQ(other.bytes, Gradient(8, 8).bytes);
}

}  // namespace
