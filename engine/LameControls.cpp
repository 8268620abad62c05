#include "engine/LameControls.h"

#include <charconv>
#include <cstdlib>

namespace {

constexpr size_t kTextLimit = 19;  // what the page keeps of each combo text

std::vector<std::string> Texts(const std::vector<int32_t>& values) {
    std::vector<std::string> texts;
    for (int32_t value : values) texts.push_back(std::to_string(value));
    return texts;
}

}  // namespace

const std::vector<int32_t>& LameSampleRates() {
    static const std::vector<int32_t> rates = {48000, 24000, 12000, 44100, 22050,
                                               11025, 32000, 16000, 8000};
    return rates;
}

const std::vector<int32_t>& LameBitrates() {
    static const std::vector<int32_t> bitrates = {320, 256, 224, 192, 160, 128, 112,
                                                  96,  80,  64,  56,  48,  40,  32};
    return bitrates;
}

int32_t SnapToListed(const std::string& text, const std::vector<int32_t>& listed) {
    size_t begin = text.find_first_not_of(' ');
    if (begin == std::string::npos) return listed.front();
    int64_t typed = 0;
    const char* first = text.data() + begin;
    const auto [end, error] = std::from_chars(first, text.data() + text.size(), typed);
    if (error != std::errc() || end == first) return listed.front();
    int32_t best = listed.front();
    for (int32_t value : listed)
        if (std::llabs(typed - value) < std::llabs(typed - best)) best = value;
    return best;
}

void FillLameCombos(ILameControls& controls) {
    controls.SetComboItems(LameControl::RateCombo, Texts(LameSampleRates()));
    controls.SetComboItems(LameControl::BitrateCombo, Texts(LameBitrates()));
}

void ReadLameControls(const ILameControls& controls, WizardState& state) {
    const std::string rate = controls.ComboText(LameControl::RateCombo).substr(0, kTextLimit);
    const std::string bitrate = controls.ComboText(LameControl::BitrateCombo).substr(0, kTextLimit);
    state.mp3SampleRate = SnapToListed(rate, LameSampleRates());
    state.mp3Bitrate = SnapToListed(bitrate, LameBitrates());
    state.mp3RateText = std::to_string(state.mp3SampleRate);
    state.mp3BitrateText = std::to_string(state.mp3Bitrate);
    state.mp3Stereo = controls.StereoChecked() ? 1 : 0;
}

void WriteLameControls(ILameControls& controls, const WizardState& state) {
    controls.SetComboText(LameControl::RateCombo, state.mp3RateText);
    controls.SetComboText(LameControl::BitrateCombo, state.mp3BitrateText);
    controls.SetStereoChecked(state.mp3Stereo != 0);
}

void HideLameControls(ILameControls& controls) {
    controls.SetControlVisible(LameControl::FormatList, true);
    for (LameControl control : {LameControl::RateCombo, LameControl::RateLabel,
                                LameControl::BitrateCombo, LameControl::BitrateLabel,
                                LameControl::StereoBox})
        controls.SetControlVisible(control, false);
}
