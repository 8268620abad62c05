#pragma once

// An IKalvorVT that records each call as "Name(args)", for tests of what reaches the
// effects element and in which order.

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "kalvorvt/IKalvorVT.h"

class RecordingKalvorVT : public IKalvorVT {
    using I = int32_t;

public:
    std::vector<std::string> calls;

    // The calls' names only, separated by blanks.
    std::string Names() const {
        std::string names;
        for (const auto& call : calls)
            names += (names.empty() ? "" : " ") + call.substr(0, call.find('('));
        return names;
    }

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
