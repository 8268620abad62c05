#include "common/EffectParams.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr double kIntMin = std::numeric_limits<int32_t>::min();
constexpr double kIntMax = std::numeric_limits<int32_t>::max();
// Zoom values are source pixels; -1 is what a reset stores while no video is open.
constexpr double kPixelMax = 65535;

using T = EffectFieldType;
#define EF(member, prop, type, lo, hi, start, code) \
    EffectField{#member, prop, offsetof(EffectParams, member), type, lo, hi, start, code}

const EffectField kFields[] = {
    EF(hue, "hue", T::Int32, -180, 180, 0, 13),
    EF(saturation, "saturation", T::Int32, -100, 200, 0, 13),
    EF(intensity, "intensity", T::Int32, -100, 150, 0, 13),
    EF(zoomLeft, "zoom-left", T::Int32, 0, kPixelMax, 0, 12),
    EF(zoomTop, "zoom-top", T::Int32, 0, kPixelMax, 0, 12),
    EF(zoomWidth, "zoom-width", T::Int32, -1, kPixelMax, 1, 12),
    EF(zoomHeight, "zoom-height", T::Int32, -1, kPixelMax, 1, 12),
    EF(zoomActive, "zoom-active", T::Int32, 0, 1, 0, 12),
    EF(zoomExtra1, "zoom-extra1", T::Int32, -1, kPixelMax, 1, 12),
    EF(zoomExtra2, "zoom-extra2", T::Int32, -1, kPixelMax, 1, 12),
    EF(grayscale, "grayscale", T::Int32, 0, 1, 0, 7),
    EF(invert, "invert", T::Int32, 0, 1, 0, 6),
    EF(flipVertical, "flip-vertical", T::Int32, 0, 1, 0, 8),
    EF(flipHorizontal, "flip-horizontal", T::Int32, 0, 1, 0, 9),
    EF(balanceRed, "balance-red", T::Int32, 0, 255, 0, 10),
    EF(balanceGreen, "balance-green", T::Int32, 0, 255, 0, 10),
    EF(balanceBlue, "balance-blue", T::Int32, 0, 255, 0, 10),
    EF(correction1, "correction1", T::Int32, 0, 11, 0, 11),
    EF(correction2, "correction2", T::Int32, 0, 200, 0, 11),
    EF(contrast, "contrast", T::Int32, 0, 32, 16, 1),
    EF(brightness, "brightness", T::Int32, -256, 256, 0, 1),
    EF(sharpen, "sharpen", T::Int32, 0, 64, 0, 2),
    EF(blur, "blur", T::Int32, 0, 2, 0, 3),
    EF(emboss, "emboss", T::Int32, 0, 1, 0, 4),
    EF(smooth, "smooth", T::Int32, 0, 4000, 0, 5),
    // The filter defines the mode's meaning; the block only carries it.
    EF(filterMode, "filter-mode", T::Int32, kIntMin, kIntMax, 1, 0),
    EF(timeShift, "time-shift", T::Int32, -6000, 6000, 0, 14),
    EF(timeMultiplier, "time-multiplier", T::Double, 0.01, 10.0, 1.0, 15),
    EF(textTransparency, "text-transparency", T::Int32, 0, 100, 10, 16),
    EF(fontFace, "font-face", T::Text, 0, 0, 0, 17),
    EF(fontFaceWide, "", T::Handle, 0, 0, 0, 0),
    EF(fontSize, "font-size", T::Int32, 1, 100, 12, 18),
    EF(bold, "bold", T::Int32, 0, 1, 1, 19),
    EF(italic, "italic", T::Int32, 0, 1, 0, 20),
    EF(underline, "underline", T::Int32, 0, 1, 0, 21),
    EF(bordering, "bordering", T::Int32, 0, 1, 1, 22),
    EF(antialiasing, "antialiasing", T::Int32, 0, 1, 1, 23),
    EF(leftBound, "left-bound", T::Int32, 0, 1000, 0, 24),
    EF(rightBound, "right-bound", T::Int32, 0, 1000, 0, 24),
    EF(textVertical, "text-vertical", T::Int32, 0, 1000, 50, 24),
    EF(textRed, "text-red", T::Int32, 0, 255, 255, 25),
    EF(textGreen, "text-green", T::Int32, 0, 255, 255, 25),
    EF(textBlue, "text-blue", T::Int32, 0, 255, 255, 25),
    EF(alignment, "alignment", T::Int32, 0, 2, 1, 26),
    EF(barOpacity, "bar-opacity", T::Int32, 0, 100, 20, 27),
};
#undef EF

constexpr char kDefaultFontFace[] = "Arial";

// Send order per group; most groups send their fields in table order, these do not.
struct CodeOrder {
    std::vector<const EffectField*> fields[kLastEffectCode + 1];
    CodeOrder() {
        for (const EffectField& field : kFields) {
            if (field.code != 0) fields[field.code].push_back(&field);
        }
        auto by = [](std::initializer_list<std::string_view> names) {
            std::vector<const EffectField*> list;
            for (std::string_view name : names) list.push_back(FindEffectField(name));
            return list;
        };
        fields[12] = by({"zoomLeft", "zoomTop", "zoomWidth", "zoomHeight", "zoomExtra1",
                         "zoomExtra2", "zoomActive"});
        fields[24] = by({"leftBound", "textVertical", "rightBound"});
    }
};

void SetText(EffectParams& params, const char* text) {
    std::memset(params.fontFace, 0, sizeof params.fontFace);
    std::memcpy(params.fontFace, text, std::strlen(text));
}

}  // namespace

std::span<const EffectField> EffectFields() { return kFields; }

const EffectField* FindEffectField(std::string_view name) {
    for (const EffectField& field : kFields) {
        if (field.name == name) return &field;
    }
    return nullptr;
}

std::span<const EffectField* const> FieldsOfCode(EffectCode code) {
    static const CodeOrder order;
    const auto index = static_cast<int32_t>(code);
    if (index < kFirstEffectCode || index > kLastEffectCode) return {};
    return order.fields[index];
}

int32_t EffectInt(const EffectParams& params, const EffectField& field) {
    int32_t value;
    std::memcpy(&value, reinterpret_cast<const char*>(&params) + field.offset, sizeof value);
    return value;
}

void SetEffectInt(EffectParams& params, const EffectField& field, int32_t value) {
    std::memcpy(reinterpret_cast<char*>(&params) + field.offset, &value, sizeof value);
}

double EffectDouble(const EffectParams& params, const EffectField& field) {
    double value;
    std::memcpy(&value, reinterpret_cast<const char*>(&params) + field.offset, sizeof value);
    return value;
}

void SetEffectDouble(EffectParams& params, const EffectField& field, double value) {
    std::memcpy(reinterpret_cast<char*>(&params) + field.offset, &value, sizeof value);
}

EffectParams DefaultEffectParams() {
    EffectParams params{};
    for (const EffectField& field : kFields) {
        switch (field.type) {
            case T::Int32: SetEffectInt(params, field, static_cast<int32_t>(field.startValue)); break;
            case T::Double: SetEffectDouble(params, field, field.startValue); break;
            case T::Text: SetText(params, kDefaultFontFace); break;
            case T::Handle: SetEffectInt(params, field, 0); break;
        }
    }
    return params;
}

void SanitizeEffectParams(EffectParams& params) {
    for (const EffectField& field : kFields) {
        switch (field.type) {
            case T::Int32: {
                const int32_t value = EffectInt(params, field);
                SetEffectInt(params, field,
                             static_cast<int32_t>(std::clamp<double>(value, field.minimum, field.maximum)));
                break;
            }
            case T::Double: {
                const double value = EffectDouble(params, field);
                SetEffectDouble(params, field,
                                std::isfinite(value) ? std::clamp(value, field.minimum, field.maximum)
                                                     : field.startValue);
                break;
            }
            case T::Text: params.fontFace[sizeof params.fontFace - 1] = '\0'; break;
            case T::Handle: SetEffectInt(params, field, 0); break;
        }
    }
    // The correction group's first value is 0 or 3..11; 1 and 2 mean nothing to the filter.
    if (params.correction1 > 0 && params.correction1 < 3) params.correction1 = 0;
}

void UpdateZoomActive(EffectParams& params, int32_t videoWidth, int32_t videoHeight) {
    const bool unit = params.zoomWidth == 1 && params.zoomHeight == 1;
    const bool whole = params.zoomWidth == videoWidth - 1 && params.zoomHeight == videoHeight - 1;
    params.zoomActive = (unit || whole) ? 0 : 1;
}

std::vector<EffectCode> ResetEffectPage(EffectParams& params, EffectPage page, int32_t videoWidth,
                                        int32_t videoHeight) {
    using C = EffectCode;
    const EffectParams start = DefaultEffectParams();
    switch (page) {
        case EffectPage::SubtitlesShape:
            std::memcpy(params.fontFace, start.fontFace, sizeof params.fontFace);
            params.fontFaceWide = 0;
            params.fontSize = start.fontSize;
            params.bold = start.bold;
            params.italic = start.italic;
            params.underline = start.underline;
            params.antialiasing = start.antialiasing;
            params.bordering = start.bordering;
            params.textRed = params.textGreen = params.textBlue = 255;
            params.textTransparency = start.textTransparency;
            params.barOpacity = start.barOpacity;
            params.timeShift = start.timeShift;
            params.timeMultiplier = start.timeMultiplier;
            return {C::FontFace,     C::FontSize,  C::Bold,             C::Italic,
                    C::Underline,    C::Antialiasing, C::Bordering,     C::TextColor,
                    C::TextTransparency, C::BarOpacity, C::TimeShift, C::TimeMultiplier};
        case EffectPage::SubtitlesPosition:
            params.leftBound = start.leftBound;
            params.rightBound = start.rightBound;
            params.textVertical = start.textVertical;
            params.alignment = start.alignment;
            return {C::TextPosition, C::Alignment};
        case EffectPage::BrightnessContrast:
            params.contrast = start.contrast;
            params.brightness = start.brightness;
            return {C::ContrastBrightness};
        case EffectPage::HueSaturation:
            params.hue = params.saturation = params.intensity = 0;
            return {C::HueSaturation};
        case EffectPage::ColorBalance:
            params.balanceRed = params.balanceGreen = params.balanceBlue = 0;
            return {C::ColorBalance};
        case EffectPage::ImageCorrection:
            params.sharpen = 0;
            params.smooth = 0;
            params.correction1 = params.correction2 = 0;
            params.blur = 0;
            return {C::Sharpen, C::Smooth, C::ImageCorrection, C::Blur};
        case EffectPage::ZoomFlip:
            params.zoomLeft = params.zoomTop = 0;
            params.zoomWidth = videoWidth - 1;
            params.zoomHeight = videoHeight - 1;
            params.flipHorizontal = 0;
            params.flipVertical = 0;
            return {C::Zoom, C::FlipHorizontal, C::FlipVertical};
        case EffectPage::MiscEffects:
            params.emboss = params.invert = params.grayscale = 0;
            return {C::Emboss, C::Invert, C::Grayscale};
    }
    return {};
}
