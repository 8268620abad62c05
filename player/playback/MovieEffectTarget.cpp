#include "player/playback/MovieEffectTarget.h"

#include "player/playback/KalvorMovie.h"

EffectParams& MovieEffectTarget::Effects() { return movie_.effectParams; }
int MovieEffectTarget::ApplyEffect(int code) { return movie_.ApplyEffect(code); }
int32_t MovieEffectTarget::VideoWidth() const { return movie_.videoWidth; }
int32_t MovieEffectTarget::VideoHeight() const { return movie_.videoHeight; }
void MovieEffectTarget::AfterToolHidden() { movie_.AfterToolHidden(); }
