#include "kalvorvt/EffectPush.h"

#include <cstring>
#include <string>

void SendEffectGroup(IKalvorVT& c, const EffectParams& p, EffectCode code) {
    switch (code) {
        case EffectCode::ContrastBrightness:
            c.SetContrastBrightness(p.contrast, p.brightness);
            break;
        case EffectCode::Sharpen:
            c.SetSharpen(p.sharpen);
            break;
        case EffectCode::Blur:
            c.SetBlur(p.blur);
            break;
        case EffectCode::Emboss:
            c.SetEmboss(p.emboss);
            break;
        case EffectCode::Smooth:
            c.SetSmooth(p.smooth);
            break;
        case EffectCode::Invert:
            c.SetInvert(p.invert);
            break;
        case EffectCode::Grayscale:
            c.SetGrayscale(p.grayscale);
            break;
        case EffectCode::FlipVertical:
            c.SetFlipVertical(p.flipVertical);
            break;
        case EffectCode::FlipHorizontal:
            c.SetFlipHorizontal(p.flipHorizontal);
            break;
        case EffectCode::ColorBalance:
            c.SetColorBalance(p.balanceRed, p.balanceGreen, p.balanceBlue);
            break;
        case EffectCode::ImageCorrection:
            c.SetImageCorrection(p.correction1, p.correction2);
            break;
        case EffectCode::Zoom:
            c.SetZoom(p.zoomLeft, p.zoomTop, p.zoomWidth, p.zoomHeight, p.zoomExtra1, p.zoomExtra2,
                      p.zoomActive);
            break;
        case EffectCode::HueSaturation:
            c.SetHueSaturation(p.hue, p.saturation, p.intensity);
            break;
        case EffectCode::TimeShift:
            c.SetTimeShift(static_cast<double>(p.timeShift));
            break;
        case EffectCode::TimeMultiplier:
            c.SetTimeMultiplier(p.timeMultiplier);
            break;
        case EffectCode::TextTransparency:
            c.SetTextTransparency(p.textTransparency);
            break;
        case EffectCode::FontFace:
            c.SetFontFace(std::string(p.fontFace, strnlen(p.fontFace, sizeof p.fontFace)));
            break;
        case EffectCode::FontSize:
            c.SetFontSize(p.fontSize);
            break;
        case EffectCode::Bold:
            c.SetBold(p.bold);
            break;
        case EffectCode::Italic:
            c.SetItalic(p.italic);
            break;
        case EffectCode::Underline:
            c.SetUnderline(p.underline);
            break;
        case EffectCode::Bordering:
            c.SetBordering(p.bordering);
            break;
        case EffectCode::Antialiasing:
            c.SetAntialiasing(p.antialiasing);
            break;
        case EffectCode::TextPosition:
            c.SetTextPosition(p.leftBound, p.textVertical, p.rightBound);
            break;
        case EffectCode::TextColor:
            c.SetTextColor(static_cast<uint8_t>(p.textRed), static_cast<uint8_t>(p.textGreen),
                           static_cast<uint8_t>(p.textBlue));
            break;
        case EffectCode::Alignment:
            c.SetAlignment(p.alignment);
            break;
        case EffectCode::BarOpacity:
            c.SetBarTransparency(p.barOpacity);
            break;
    }
}

void PushEffectGroups(IKalvorVT& control, const EffectParams& params, int32_t filterMode) {
    for (int32_t code = kFirstEffectCode; code <= kLastEffectCode; ++code) {
        SendEffectGroup(control, params, static_cast<EffectCode>(code));
        if (code == static_cast<int32_t>(EffectCode::HueSaturation))
            control.SetFilterMode(filterMode);
    }
}

void PushEffectBlock(IKalvorVT& control, const EffectParams& params, int32_t filterMode,
                     double frameRate) {
    PushEffectGroups(control, params, filterMode);
    control.SetSubtitleMode(0);
    control.Apply();
    control.SetFrameRate(frameRate);
    control.SetSubtitleMode(2);
}

void PushJobEffectBlock(IKalvorVT& control, const EffectParams& params, double frameRate,
                        const std::string& subtitlesPath) {
    PushEffectGroups(control, params, 1);
    control.SetSubtitleMode(subtitlesPath.empty() ? 2 : 0);
    control.Apply();
    control.SetFrameRate(frameRate);
    if (!subtitlesPath.empty()) control.SetSubtitleFile(subtitlesPath);
}
