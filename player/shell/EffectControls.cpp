#include "player/shell/EffectControls.h"

CEffectControls::CEffectControls(IPlaybackWindow* movie, QWidget* parent) : QDialog(parent), movie_(movie) {}

CEffectControls::~CEffectControls() = default;
