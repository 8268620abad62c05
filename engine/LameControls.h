#pragma once

// The MP3 encoder's controls on the audio codec page: sample rate and bitrate combos and the
// "Stereo" box, which replace the format list while the MP3 row is chosen. The page's
// dialog implements ILameControls; these functions keep the logic apart from the widgets.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/WizardState.h"

// Control ids of the page.
enum class LameControl : int32_t {
    FormatList = 232,
    RateCombo = 1001,
    BitrateCombo = 1002,
    StereoBox = 1003,
    BitrateLabel = 1004,
    RateLabel = 1005,
};

class ILameControls {
public:
    virtual ~ILameControls() = default;
    virtual void SetComboItems(LameControl combo, const std::vector<std::string>& items) = 0;
    virtual std::string ComboText(LameControl combo) const = 0;
    virtual void SetComboText(LameControl combo, const std::string& text) = 0;
    virtual bool StereoChecked() const = 0;
    virtual void SetStereoChecked(bool checked) = 0;
    virtual void SetControlVisible(LameControl control, bool visible) = 0;
};

// The listed values, in the order the combos show them.
const std::vector<int32_t>& LameSampleRates();
const std::vector<int32_t>& LameBitrates();  // kilobits per second

// The listed value nearest to a typed text; an unreadable text gives the first value.
int32_t SnapToListed(const std::string& text, const std::vector<int32_t>& listed);

void FillLameCombos(ILameControls& controls);
// The combos' texts (snapped to listed values) and the stereo box into the state.
void ReadLameControls(const ILameControls& controls, WizardState& state);
// The kept texts and stereo box back into the controls.
void WriteLameControls(ILameControls& controls, const WizardState& state);
// Shows the format list and hides the MP3 controls.
void HideLameControls(ILameControls& controls);
