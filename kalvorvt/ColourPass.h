#pragma once

// The point effects of the effects element on a row of packed 32-bit pixels (bytes B, G, R,
// x), in one pass: contrast, brightness and balance, clipped; then, once hue, saturation,
// intensity or grayscale are on, a colour matrix; inversion last. Built when a value
// changes, run on every row. It has two forms that give the same bytes: an AVX2 one, and a
// portable one for processors without AVX2 and for the last pixels of a row.

#include <array>
#include <cstdint>

#include "common/EffectParams.h"

class ColourPass {
public:
    enum class Form { Portable, Avx2 };

    // The values the pixels are worked with, after clamping.
    struct Coefficients {
        int16_t contrast = 16;  // 4 fraction bits
        int16_t brightness = 0;
        std::array<uint16_t, 3> balance{};  // B, G, R
        // [out * 3 + in] over B, G, R, 10 fraction bits; rounded by adding kRound.
        std::array<int16_t, 9> mix{};
        uint8_t invert = 0;  // 255 when inverting: v ^ 255 is 255 - v
    };
    static constexpr int16_t kRound = 512;

    ColourPass() = default;  // changes nothing
    explicit ColourPass(const EffectParams& params);

    bool Active() const { return active_; }
    // AVX2 where the processor has it, else the portable form.
    static Form Best();

    // Works on pixels pixels of row in place. The AVX2 form falls back to the portable one
    // on a processor without AVX2.
    void Run(uint8_t* row, int pixels, Form form = Best()) const;

private:
    void RunPortable(uint8_t* row, int pixels) const;

    using WideRow = void (*)(const Coefficients&, uint8_t*, int);

    bool active_ = false;
    bool matrix_ = false;  // hue, saturation, intensity or grayscale
    bool level_ = false;   // contrast, brightness or balance: they come before the matrix
    Coefficients values_;
    std::array<std::array<uint8_t, 256>, 3> lut_{};  // B, G, R; inverts too without a matrix
    WideRow wide_ = nullptr;                         // the AVX2 row for these effects
};
