#pragma once

// IKalvorVT over a "kalvorvt" element: each operation writes the element's properties
// (clamped to their ranges), Apply emits its "apply" signal.

#include <gst/gst.h>

#include <initializer_list>
#include <memory>

#include "common/EffectParams.h"
#include "kalvorvt/IKalvorVT.h"
#include "platform/media/GstRef.h"

class CKalvorVTControl : public IKalvorVT {
public:
    explicit CKalvorVTControl(GstElement* element);  // keeps its own reference

    // A control for an element made by the "kalvorvt" factory; nullptr for anything else.
    static std::unique_ptr<IKalvorVT> ForElement(GstElement* element);

    void SetPosition(double seconds) override;
    void SetFrameRate(double framesPerSecond) override;
    void SetFilterMode(int32_t mode) override;
    void SetContrastBrightness(int32_t contrast, int32_t brightness) override;
    void SetSharpen(int32_t level) override;
    void SetBlur(int32_t blur) override;
    void SetEmboss(int32_t emboss) override;
    void SetSmooth(int32_t level) override;
    void SetInvert(int32_t invert) override;
    void SetGrayscale(int32_t grayscale) override;
    void SetFlipVertical(int32_t flip) override;
    void SetFlipHorizontal(int32_t flip) override;
    void SetColorBalance(int32_t red, int32_t green, int32_t blue) override;
    void SetImageCorrection(int32_t correction1, int32_t correction2) override;
    void SetZoom(int32_t left, int32_t top, int32_t width, int32_t height, int32_t extra1,
                 int32_t extra2, int32_t active) override;
    void SetHueSaturation(int32_t hue, int32_t saturation, int32_t intensity) override;
    void SetSubtitleFile(const std::string& path) override;
    void SetTimeShift(double shift) override;
    void SetTimeMultiplier(double multiplier) override;
    void SetTextColor(uint8_t red, uint8_t green, uint8_t blue) override;
    void SetTextTransparency(int32_t transparency) override;
    void SetBarTransparency(int32_t barOpacity) override;
    void SetFontFace(const std::string& face) override;
    void SetFontSize(int32_t size) override;
    void SetTextPosition(int32_t leftBound, int32_t vertical, int32_t rightBound) override;
    void SetAlignment(int32_t alignment) override;
    void SetBold(int32_t bold) override;
    void SetItalic(int32_t italic) override;
    void SetUnderline(int32_t underline) override;
    void SetAntialiasing(int32_t antialiasing) override;
    void SetBordering(int32_t bordering) override;
    void SetSubtitleMode(int32_t mode) override;
    void Apply() override;

private:
    // Writes a group's values to its fields' properties, in the group's order.
    void SetGroup(EffectCode code, std::initializer_list<int32_t> values);
    void SetInt(const char* property, int32_t value);
    void SetDouble(const char* property, double value);
    void SetString(const char* property, const std::string& value);

    media::ElementRef element_;
};
