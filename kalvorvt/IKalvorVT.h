#pragma once

// The control interface of the effects element, one operation per value group, in the
// order callers have always used. Each value holds from the next frame until set again;
// Apply puts the font face, size, bold, italic and underline settings into use.

#include <cstdint>
#include <string>

class IKalvorVT {
public:
    virtual ~IKalvorVT() = default;

    virtual void SetPosition(double seconds) = 0;
    virtual void SetFrameRate(double framesPerSecond) = 0;
    virtual void SetFilterMode(int32_t mode) = 0;
    virtual void SetContrastBrightness(int32_t contrast, int32_t brightness) = 0;
    virtual void SetSharpen(int32_t level) = 0;
    virtual void SetBlur(int32_t blur) = 0;
    virtual void SetEmboss(int32_t emboss) = 0;
    virtual void SetSmooth(int32_t level) = 0;
    virtual void SetInvert(int32_t invert) = 0;
    virtual void SetGrayscale(int32_t grayscale) = 0;
    virtual void SetFlipVertical(int32_t flip) = 0;
    virtual void SetFlipHorizontal(int32_t flip) = 0;
    virtual void SetColorBalance(int32_t red, int32_t green, int32_t blue) = 0;
    virtual void SetImageCorrection(int32_t correction1, int32_t correction2) = 0;
    virtual void SetZoom(int32_t left, int32_t top, int32_t width, int32_t height, int32_t extra1,
                         int32_t extra2, int32_t active) = 0;
    virtual void SetHueSaturation(int32_t hue, int32_t saturation, int32_t intensity) = 0;
    virtual void SetSubtitleFile(const std::string& path) = 0;
    virtual void SetTimeShift(double shift) = 0;
    virtual void SetTimeMultiplier(double multiplier) = 0;
    virtual void SetTextColor(uint8_t red, uint8_t green, uint8_t blue) = 0;
    virtual void SetTextTransparency(int32_t transparency) = 0;
    virtual void SetBarTransparency(int32_t barOpacity) = 0;
    virtual void SetFontFace(const std::string& face) = 0;
    virtual void SetFontSize(int32_t size) = 0;
    virtual void SetTextPosition(int32_t leftBound, int32_t vertical, int32_t rightBound) = 0;
    virtual void SetAlignment(int32_t alignment) = 0;
    virtual void SetBold(int32_t bold) = 0;
    virtual void SetItalic(int32_t italic) = 0;
    virtual void SetUnderline(int32_t underline) = 0;
    virtual void SetAntialiasing(int32_t antialiasing) = 0;
    virtual void SetBordering(int32_t bordering) = 0;
    virtual void SetSubtitleMode(int32_t mode) = 0;  // 0 subtitles shown, 2 none
    virtual void Apply() = 0;
};
