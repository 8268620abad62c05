// Both programs hand the whole effect block over in one fixed order, and a group sends
// exactly its own fields.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "common/EffectParams.h"
#include "kalvorvt/EffectPush.h"

namespace {

// Records each call as "Name(args)".
using I = int32_t;

class Recorder : public IKalvorVT {
public:
    std::vector<std::string> calls;

    void SetPosition(double v) override { Add(__func__, v); }
    void SetFrameRate(double v) override { Add(__func__, v); }
    void SetFilterMode(I v) override { Add(__func__, v); }
    void SetContrastBrightness(I c, I b) override { Add(__func__, c, b); }
    void SetSharpen(I v) override { Add(__func__, v); }
    void SetBlur(I v) override { Add(__func__, v); }
    void SetEmboss(I v) override { Add(__func__, v); }
    void SetSmooth(I v) override { Add(__func__, v); }
    void SetInvert(I v) override { Add(__func__, v); }
    void SetGrayscale(I v) override { Add(__func__, v); }
    void SetFlipVertical(I v) override { Add(__func__, v); }
    void SetFlipHorizontal(I v) override { Add(__func__, v); }
    void SetColorBalance(I r, I g, I b) override { Add(__func__, r, g, b); }
    void SetImageCorrection(I a, I b) override { Add(__func__, a, b); }
    void SetZoom(I l, I t, I w, I h, I e, I f, I a) override { Add(__func__, l, t, w, h, e, f, a); }
    void SetHueSaturation(I h, I s, I i) override { Add(__func__, h, s, i); }
    void SetSubtitleFile(const std::string& p) override { Add(__func__, p); }
    void SetTimeShift(double v) override { Add(__func__, v); }
    void SetTimeMultiplier(double v) override { Add(__func__, v); }
    void SetTextColor(uint8_t r, uint8_t g, uint8_t b) override { Add(__func__, +r, +g, +b); }
    void SetTextTransparency(I v) override { Add(__func__, v); }
    void SetBarTransparency(I v) override { Add(__func__, v); }
    void SetFontFace(const std::string& f) override { Add(__func__, f); }
    void SetFontSize(I v) override { Add(__func__, v); }
    void SetTextPosition(I l, I v, I r) override { Add(__func__, l, v, r); }
    void SetAlignment(I v) override { Add(__func__, v); }
    void SetBold(I v) override { Add(__func__, v); }
    void SetItalic(I v) override { Add(__func__, v); }
    void SetUnderline(I v) override { Add(__func__, v); }
    void SetAntialiasing(I v) override { Add(__func__, v); }
    void SetBordering(I v) override { Add(__func__, v); }
    void SetSubtitleMode(I v) override { Add(__func__, v); }
    void Apply() override { calls.push_back("Apply()"); }

private:
    template <typename... Args>
    void Add(const char* name, const Args&... args) {
        std::ostringstream text;
        const char* separator = "";
        ((text << separator << args, separator = ","), ...);
        calls.push_back(name + ("(" + text.str() + ")"));
    }
};

// The calls' names, separated by blanks.
std::string Names(const std::vector<std::string>& calls) {
    std::string names;
    for (const auto& call : calls)
        names += (names.empty() ? "" : " ") + call.substr(0, call.find('('));
    return names;
}

TEST(PushEffectBlock, SendsEveryGroupInTheFixedOrderThenSubtitlesApplyAndFrameRate) {
    Recorder recorder;
    PushEffectBlock(recorder, DefaultEffectParams(), 1, 25.0);
    EXPECT_EQ(Names(recorder.calls),
              "SetContrastBrightness SetSharpen SetBlur SetEmboss SetSmooth SetInvert SetGrayscale "
              "SetFlipVertical SetFlipHorizontal SetColorBalance SetImageCorrection SetZoom "
              "SetHueSaturation SetFilterMode SetTimeShift SetTimeMultiplier SetTextTransparency "
              "SetFontFace SetFontSize SetBold SetItalic SetUnderline SetBordering SetAntialiasing "
              "SetTextPosition SetTextColor SetAlignment SetBarTransparency SetSubtitleMode Apply "
              "SetFrameRate SetSubtitleMode");
    ASSERT_EQ(recorder.calls.size(), 32u);
    EXPECT_EQ(recorder.calls[13], "SetFilterMode(1)");
    EXPECT_EQ(recorder.calls[28], "SetSubtitleMode(0)");
    EXPECT_EQ(recorder.calls[30], "SetFrameRate(25)");
    EXPECT_EQ(recorder.calls[31], "SetSubtitleMode(2)");
}

TEST(SendEffectGroup, PassesTheGroupsFieldsInTheirOrder) {
    EffectParams params = DefaultEffectParams();
    params.zoomLeft = 1, params.zoomTop = 2, params.zoomWidth = 3, params.zoomHeight = 4;
    params.zoomExtra1 = 5, params.zoomExtra2 = 6, params.zoomActive = 1;
    params.leftBound = 10, params.rightBound = 30, params.textVertical = 20;
    params.textRed = 0x1FF;  // only the low byte goes
    params.timeShift = -7;
    std::snprintf(params.fontFace, sizeof params.fontFace, "%s", "Verdana");

    const struct {
        EffectCode code;
        const char* call;
    } cases[] = {
        {EffectCode::Zoom, "SetZoom(1,2,3,4,5,6,1)"},
        {EffectCode::TextPosition, "SetTextPosition(10,20,30)"},
        {EffectCode::TextColor, "SetTextColor(255,255,255)"},
        {EffectCode::TimeShift, "SetTimeShift(-7)"},
        {EffectCode::ContrastBrightness, "SetContrastBrightness(16,0)"},
        {EffectCode::FontFace, "SetFontFace(Verdana)"},
        {EffectCode::BarOpacity, "SetBarTransparency(20)"},
    };
    for (const auto& c : cases) {
        Recorder recorder;
        SendEffectGroup(recorder, params, c.code);
        ASSERT_EQ(recorder.calls.size(), 1u);
        EXPECT_EQ(recorder.calls[0], c.call);
    }
}

}  // namespace
