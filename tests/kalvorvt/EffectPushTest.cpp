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
class Recorder : public IKalvorVT {
public:
    std::vector<std::string> calls;

    void SetPosition(double v) override { Add("SetPosition", v); }
    void SetFrameRate(double v) override { Add("SetFrameRate", v); }
    void SetFilterMode(int32_t v) override { Add("SetFilterMode", v); }
    void SetContrastBrightness(int32_t a, int32_t b) override {
        Add("SetContrastBrightness", a, b);
    }
    void SetSharpen(int32_t v) override { Add("SetSharpen", v); }
    void SetBlur(int32_t v) override { Add("SetBlur", v); }
    void SetEmboss(int32_t v) override { Add("SetEmboss", v); }
    void SetSmooth(int32_t v) override { Add("SetSmooth", v); }
    void SetInvert(int32_t v) override { Add("SetInvert", v); }
    void SetGrayscale(int32_t v) override { Add("SetGrayscale", v); }
    void SetFlipVertical(int32_t v) override { Add("SetFlipVertical", v); }
    void SetFlipHorizontal(int32_t v) override { Add("SetFlipHorizontal", v); }
    void SetColorBalance(int32_t r, int32_t g, int32_t b) override {
        Add("SetColorBalance", r, g, b);
    }
    void SetImageCorrection(int32_t a, int32_t b) override { Add("SetImageCorrection", a, b); }
    void SetZoom(int32_t l, int32_t t, int32_t w, int32_t h, int32_t e1, int32_t e2,
                 int32_t a) override {
        Add("SetZoom", l, t, w, h, e1, e2, a);
    }
    void SetHueSaturation(int32_t h, int32_t s, int32_t i) override {
        Add("SetHueSaturation", h, s, i);
    }
    void SetSubtitleFile(const std::string& p) override { Add("SetSubtitleFile", p); }
    void SetTimeShift(double v) override { Add("SetTimeShift", v); }
    void SetTimeMultiplier(double v) override { Add("SetTimeMultiplier", v); }
    void SetTextColor(uint8_t r, uint8_t g, uint8_t b) override { Add("SetTextColor", +r, +g, +b); }
    void SetTextTransparency(int32_t v) override { Add("SetTextTransparency", v); }
    void SetBarTransparency(int32_t v) override { Add("SetBarTransparency", v); }
    void SetFontFace(const std::string& f) override { Add("SetFontFace", f); }
    void SetFontSize(int32_t v) override { Add("SetFontSize", v); }
    void SetTextPosition(int32_t l, int32_t v, int32_t r) override {
        Add("SetTextPosition", l, v, r);
    }
    void SetAlignment(int32_t v) override { Add("SetAlignment", v); }
    void SetBold(int32_t v) override { Add("SetBold", v); }
    void SetItalic(int32_t v) override { Add("SetItalic", v); }
    void SetUnderline(int32_t v) override { Add("SetUnderline", v); }
    void SetAntialiasing(int32_t v) override { Add("SetAntialiasing", v); }
    void SetBordering(int32_t v) override { Add("SetBordering", v); }
    void SetSubtitleMode(int32_t v) override { Add("SetSubtitleMode", v); }
    void Apply() override { calls.push_back("Apply()"); }

private:
    template <typename... Args>
    void Add(const char* name, const Args&... args) {
        std::ostringstream text;
        text << name << "(";
        const char* separator = "";
        ((text << separator << args, separator = ","), ...);
        calls.push_back(text.str() + ")");
    }
};

std::vector<std::string> Names(const std::vector<std::string>& calls) {
    std::vector<std::string> names;
    for (const auto& call : calls) names.push_back(call.substr(0, call.find('(')));
    return names;
}

TEST(PushEffectBlock, SendsEveryGroupInTheFixedOrderThenSubtitlesApplyAndFrameRate) {
    Recorder recorder;
    PushEffectBlock(recorder, DefaultEffectParams(), 1, 25.0);
    const std::vector<std::string> expected = {"SetContrastBrightness",
                                               "SetSharpen",
                                               "SetBlur",
                                               "SetEmboss",
                                               "SetSmooth",
                                               "SetInvert",
                                               "SetGrayscale",
                                               "SetFlipVertical",
                                               "SetFlipHorizontal",
                                               "SetColorBalance",
                                               "SetImageCorrection",
                                               "SetZoom",
                                               "SetHueSaturation",
                                               "SetFilterMode",
                                               "SetTimeShift",
                                               "SetTimeMultiplier",
                                               "SetTextTransparency",
                                               "SetFontFace",
                                               "SetFontSize",
                                               "SetBold",
                                               "SetItalic",
                                               "SetUnderline",
                                               "SetBordering",
                                               "SetAntialiasing",
                                               "SetTextPosition",
                                               "SetTextColor",
                                               "SetAlignment",
                                               "SetBarTransparency",
                                               "SetSubtitleMode",
                                               "Apply",
                                               "SetFrameRate",
                                               "SetSubtitleMode"};
    EXPECT_EQ(Names(recorder.calls), expected);
    EXPECT_EQ(recorder.calls[13], "SetFilterMode(1)");
    EXPECT_EQ(recorder.calls[28], "SetSubtitleMode(0)");
    EXPECT_EQ(recorder.calls[30], "SetFrameRate(25)");
    EXPECT_EQ(recorder.calls[31], "SetSubtitleMode(2)");
}

TEST(SendEffectGroup, PassesTheGroupsFieldsInTheirOrder) {
    EffectParams params = DefaultEffectParams();
    params.zoomLeft = 1;
    params.zoomTop = 2;
    params.zoomWidth = 3;
    params.zoomHeight = 4;
    params.zoomExtra1 = 5;
    params.zoomExtra2 = 6;
    params.zoomActive = 1;  // sent as stored
    params.leftBound = 10;
    params.rightBound = 30;
    params.textVertical = 20;
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
