#include "player/playback/EffectApply.h"

#include "kalvorvt/EffectPush.h"

bool ApplyEffectCode(IKalvorVT& control, EffectParams& params, int32_t code, int32_t videoWidth,
                     int32_t videoHeight) {
    if (code < kFirstEffectCode || code > kLastEffectCode) return false;
    const auto group = static_cast<EffectCode>(code);
    if (group == EffectCode::Zoom) UpdateZoomActive(params, videoWidth, videoHeight);
    SendEffectGroup(control, params, group);
    switch (group) {
        case EffectCode::FontFace:
        case EffectCode::FontSize:
        case EffectCode::Bold:
        case EffectCode::Italic:
        case EffectCode::Underline:
            // The element takes these into use only on Apply, whatever the picture does.
            control.Apply();
            return false;
        default:
            return true;
    }
}
