// The MP3 controls of the audio page: typed rates and bitrates snap to listed values.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/LameControls.h"

namespace {

struct TypedControls : ILameControls {
    std::string rate, bitrate;
    void SetComboItems(LameControl, const std::vector<std::string>&) override {}
    std::string ComboText(LameControl combo) const override {
        return combo == LameControl::RateCombo ? rate : bitrate;
    }
    void SetComboText(LameControl, const std::string&) override {}
    bool StereoChecked() const override { return true; }
    void SetStereoChecked(bool) override {}
    void SetControlVisible(LameControl, bool) override {}
};

TEST(LameControls, TypedValuesSnapToListedOnes) {
    const struct {
        const char *rate, *bitrate;
        int32_t wantRate, wantBitrate;
    } cases[] = {
        {"44100", "128", 44100, 128},
        {"44000", "130", 44100, 128},
        {" 22050", "1000", 22050, 320},
        {"abc", "", 48000, 320},
        {"-5", "33", 8000, 32},
        {"11025 Hz", "64k", 11025, 64},
        {"99999999999999999999", "0", 48000, 32},
    };
    for (const auto& c : cases) {
        TypedControls controls;
        controls.rate = c.rate, controls.bitrate = c.bitrate;
        WizardState state;
        ReadLameControls(controls, state);
        EXPECT_EQ(state.mp3SampleRate, c.wantRate) << c.rate;
        EXPECT_EQ(state.mp3Bitrate, c.wantBitrate) << c.bitrate;
        EXPECT_EQ(state.mp3RateText, std::to_string(c.wantRate)) << "kept for going back";
        EXPECT_EQ(state.mp3Stereo, 1);
    }
}

}  // namespace
