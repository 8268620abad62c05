#include "kalvorvt/KalvorVTControl.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "kalvorvt/GstKalvorVT.h"

CKalvorVTControl::CKalvorVTControl(GstElement* element)
    : element_(media::ElementRef::Share(element)) {}

std::unique_ptr<IKalvorVT> CKalvorVTControl::ForElement(GstElement* element) {
    if (!element) return nullptr;
    GstElementFactory* factory = gst_element_get_factory(element);
    if (!factory || std::strcmp(GST_OBJECT_NAME(factory), kKalvorVTFactory) != 0) return nullptr;
    return std::make_unique<CKalvorVTControl>(element);
}

void CKalvorVTControl::SetGroup(EffectCode code, std::initializer_list<int32_t> values) {
    const auto fields = FieldsOfCode(code);
    size_t index = 0;
    for (int32_t value : values) {
        if (index >= fields.size()) break;
        SetInt(fields[index++]->property.data(), value);
    }
}

void CKalvorVTControl::SetInt(const char* property, int32_t value) {
    GParamSpec* spec = g_object_class_find_property(G_OBJECT_GET_CLASS(element_.get()), property);
    if (!spec || !G_IS_PARAM_SPEC_INT(spec)) return;
    const auto* range = G_PARAM_SPEC_INT(spec);
    g_object_set(element_.get(), property, std::clamp<gint>(value, range->minimum, range->maximum),
                 nullptr);
}

void CKalvorVTControl::SetDouble(const char* property, double value) {
    GParamSpec* spec = g_object_class_find_property(G_OBJECT_GET_CLASS(element_.get()), property);
    if (!spec || !G_IS_PARAM_SPEC_DOUBLE(spec) || !std::isfinite(value)) return;
    const auto* range = G_PARAM_SPEC_DOUBLE(spec);
    g_object_set(element_.get(), property, std::clamp(value, range->minimum, range->maximum),
                 nullptr);
}

void CKalvorVTControl::SetString(const char* property, const std::string& value) {
    g_object_set(element_.get(), property, value.c_str(), nullptr);
}

void CKalvorVTControl::SetPosition(double seconds) { SetDouble("position", seconds); }
void CKalvorVTControl::SetFrameRate(double framesPerSecond) {
    SetDouble("frame-rate", framesPerSecond);
}
void CKalvorVTControl::SetFilterMode(int32_t mode) { SetInt("filter-mode", mode); }
void CKalvorVTControl::SetContrastBrightness(int32_t contrast, int32_t brightness) {
    SetGroup(EffectCode::ContrastBrightness, {contrast, brightness});
}
void CKalvorVTControl::SetSharpen(int32_t level) { SetGroup(EffectCode::Sharpen, {level}); }
void CKalvorVTControl::SetBlur(int32_t blur) { SetGroup(EffectCode::Blur, {blur}); }
void CKalvorVTControl::SetEmboss(int32_t emboss) { SetGroup(EffectCode::Emboss, {emboss}); }
void CKalvorVTControl::SetSmooth(int32_t level) { SetGroup(EffectCode::Smooth, {level}); }
void CKalvorVTControl::SetInvert(int32_t invert) { SetGroup(EffectCode::Invert, {invert}); }
void CKalvorVTControl::SetGrayscale(int32_t grayscale) {
    SetGroup(EffectCode::Grayscale, {grayscale});
}
void CKalvorVTControl::SetFlipVertical(int32_t flip) { SetGroup(EffectCode::FlipVertical, {flip}); }
void CKalvorVTControl::SetFlipHorizontal(int32_t flip) {
    SetGroup(EffectCode::FlipHorizontal, {flip});
}
void CKalvorVTControl::SetColorBalance(int32_t red, int32_t green, int32_t blue) {
    SetGroup(EffectCode::ColorBalance, {red, green, blue});
}
void CKalvorVTControl::SetImageCorrection(int32_t correction1, int32_t correction2) {
    SetGroup(EffectCode::ImageCorrection, {correction1, correction2});
}
void CKalvorVTControl::SetZoom(int32_t left, int32_t top, int32_t width, int32_t height,
                               int32_t extra1, int32_t extra2, int32_t active) {
    SetGroup(EffectCode::Zoom, {left, top, width, height, extra1, extra2, active});
}
void CKalvorVTControl::SetHueSaturation(int32_t hue, int32_t saturation, int32_t intensity) {
    SetGroup(EffectCode::HueSaturation, {hue, saturation, intensity});
}
void CKalvorVTControl::SetSubtitleFile(const std::string& path) {
    SetString("subtitle-file", path);
}
void CKalvorVTControl::SetTimeShift(double shift) {
    if (!std::isfinite(shift)) return;
    SetGroup(EffectCode::TimeShift,
             {static_cast<int32_t>(std::clamp(std::lround(shift), -2147483647L, 2147483647L))});
}
void CKalvorVTControl::SetTimeMultiplier(double multiplier) {
    SetDouble("time-multiplier", multiplier);
}
void CKalvorVTControl::SetTextColor(uint8_t red, uint8_t green, uint8_t blue) {
    SetGroup(EffectCode::TextColor, {red, green, blue});
}
void CKalvorVTControl::SetTextTransparency(int32_t transparency) {
    SetGroup(EffectCode::TextTransparency, {transparency});
}
void CKalvorVTControl::SetBarTransparency(int32_t barOpacity) {
    SetGroup(EffectCode::BarOpacity, {barOpacity});
}
void CKalvorVTControl::SetFontFace(const std::string& face) { SetString("font-face", face); }
void CKalvorVTControl::SetFontSize(int32_t size) { SetGroup(EffectCode::FontSize, {size}); }
void CKalvorVTControl::SetTextPosition(int32_t leftBound, int32_t vertical, int32_t rightBound) {
    SetGroup(EffectCode::TextPosition, {leftBound, vertical, rightBound});
}
void CKalvorVTControl::SetAlignment(int32_t alignment) {
    SetGroup(EffectCode::Alignment, {alignment});
}
void CKalvorVTControl::SetBold(int32_t bold) { SetGroup(EffectCode::Bold, {bold}); }
void CKalvorVTControl::SetItalic(int32_t italic) { SetGroup(EffectCode::Italic, {italic}); }
void CKalvorVTControl::SetUnderline(int32_t underline) {
    SetGroup(EffectCode::Underline, {underline});
}
void CKalvorVTControl::SetAntialiasing(int32_t antialiasing) {
    SetGroup(EffectCode::Antialiasing, {antialiasing});
}
void CKalvorVTControl::SetBordering(int32_t bordering) {
    SetGroup(EffectCode::Bordering, {bordering});
}
void CKalvorVTControl::SetSubtitleMode(int32_t mode) { SetInt("subtitle-mode", mode); }
void CKalvorVTControl::Apply() { g_signal_emit_by_name(element_.get(), "apply"); }
