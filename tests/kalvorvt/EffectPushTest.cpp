// Both programs hand the whole effect block over in one fixed order, and a group sends
// exactly its own fields.

#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "common/EffectParams.h"
#include "kalvorvt/EffectPush.h"
#include "tests/kalvorvt/RecordingKalvorVT.h"

namespace {

// Every field a value of its own, so that a field sent in the wrong place shows.
EffectParams DistinctParams() {
    EffectParams p = DefaultEffectParams();
    p.hue = 1, p.saturation = 2, p.intensity = 3;
    p.zoomLeft = 4, p.zoomTop = 5, p.zoomWidth = 6, p.zoomHeight = 7, p.zoomActive = 8;
    p.zoomExtra1 = 9, p.zoomExtra2 = 10;
    p.grayscale = 11, p.invert = 12, p.flipVertical = 13, p.flipHorizontal = 14;
    p.balanceRed = 15, p.balanceGreen = 16, p.balanceBlue = 17;
    p.correction1 = 18, p.correction2 = 19, p.contrast = 20, p.brightness = 21;
    p.sharpen = 22, p.blur = 23, p.emboss = 24, p.smooth = 25, p.filterMode = 26;
    p.timeShift = -27, p.timeMultiplier = 2.5, p.textTransparency = 28;
    std::snprintf(p.fontFace, sizeof p.fontFace, "%s", "Verdana");
    p.fontSize = 29, p.bold = 30, p.italic = 31, p.underline = 32, p.bordering = 33;
    p.antialiasing = 34, p.leftBound = 35, p.rightBound = 36, p.textVertical = 37;
    p.textRed = 0x126, p.textGreen = 39, p.textBlue = 40;  // only the low byte of red goes
    p.alignment = 41, p.barOpacity = 42;
    return p;
}

TEST(SendEffectGroup, EachCodeSendsExactlyItsFieldsInTheirOrder) {
    const char* const expected[] = {
        "SetContrastBrightness(20,21)",
        "SetSharpen(22)",
        "SetBlur(23)",
        "SetEmboss(24)",
        "SetSmooth(25)",
        "SetInvert(12)",
        "SetGrayscale(11)",
        "SetFlipVertical(13)",
        "SetFlipHorizontal(14)",
        "SetColorBalance(15,16,17)",
        "SetImageCorrection(18,19)",
        "SetZoom(4,5,6,7,9,10,8)",
        "SetHueSaturation(1,2,3)",
        "SetTimeShift(-27)",
        "SetTimeMultiplier(2.5)",
        "SetTextTransparency(28)",
        "SetFontFace(Verdana)",
        "SetFontSize(29)",
        "SetBold(30)",
        "SetItalic(31)",
        "SetUnderline(32)",
        "SetBordering(33)",
        "SetAntialiasing(34)",
        "SetTextPosition(35,37,36)",
        "SetTextColor(38,39,40)",
        "SetAlignment(41)",
        "SetBarTransparency(42)",
    };
    static_assert(std::size(expected) == kLastEffectCode);
    const EffectParams params = DistinctParams();
    for (int32_t code = kFirstEffectCode; code <= kLastEffectCode; ++code) {
        RecordingKalvorVT recorder;
        SendEffectGroup(recorder, params, static_cast<EffectCode>(code));
        EXPECT_EQ(recorder.calls, std::vector<std::string>{expected[code - 1]}) << code;
    }
}

// The groups of a whole push, one per code with the filter mode after hue/saturation.
std::vector<std::string> Groups(const EffectParams& params, const char* filterModeCall) {
    std::vector<std::string> calls;
    for (int32_t code = kFirstEffectCode; code <= kLastEffectCode; ++code) {
        RecordingKalvorVT one;
        SendEffectGroup(one, params, static_cast<EffectCode>(code));
        calls.push_back(one.calls.at(0));
        if (code == static_cast<int32_t>(EffectCode::HueSaturation))
            calls.push_back(filterModeCall);
    }
    return calls;
}

TEST(PushEffectBlock, BothProgramsSendTheGroupsInOneOrderAndDifferOnlyInFilterModeAndTail) {
    const EffectParams params = DistinctParams();
    RecordingKalvorVT player;
    PushEffectBlock(player, params, params.filterMode, 29.97);
    ASSERT_EQ(player.Names(),
              "SetContrastBrightness SetSharpen SetBlur SetEmboss SetSmooth SetInvert SetGrayscale "
              "SetFlipVertical SetFlipHorizontal SetColorBalance SetImageCorrection SetZoom "
              "SetHueSaturation SetFilterMode SetTimeShift SetTimeMultiplier SetTextTransparency "
              "SetFontFace SetFontSize SetBold SetItalic SetUnderline SetBordering SetAntialiasing "
              "SetTextPosition SetTextColor SetAlignment SetBarTransparency SetSubtitleMode Apply "
              "SetFrameRate SetSubtitleMode");

    std::vector<std::string> expected = Groups(params, "SetFilterMode(26)");
    // The stored zoomActive (8) goes as it is: the push does not recompute it.
    EXPECT_EQ(expected[11], "SetZoom(4,5,6,7,9,10,8)");
    for (const char* tail : {"SetSubtitleMode(0)", "Apply()", "SetFrameRate(29.97)",
                             "SetSubtitleMode(2)"})
        expected.push_back(tail);
    EXPECT_EQ(player.calls, expected);

    // korc: filter mode 1 whatever the block holds; subtitles shown only with a file.
    const struct {
        std::string subtitles;
        std::vector<std::string> tail;
    } jobs[] = {
        {"", {"SetSubtitleMode(2)", "Apply()", "SetFrameRate(0)"}},
        {"/v/film.srt",
         {"SetSubtitleMode(0)", "Apply()", "SetFrameRate(0)", "SetSubtitleFile(/v/film.srt)"}},
    };
    for (const auto& job : jobs) {
        RecordingKalvorVT korc;
        PushJobEffectBlock(korc, params, 0.0, job.subtitles);
        std::vector<std::string> want = Groups(params, "SetFilterMode(1)");
        want.insert(want.end(), job.tail.begin(), job.tail.end());
        EXPECT_EQ(korc.calls, want) << job.subtitles;
    }
}

}  // namespace
