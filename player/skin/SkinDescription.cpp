#include "player/skin/SkinDescription.h"

#include <algorithm>
#include <string>

#include "player/skin/SkinText.h"

namespace {

using D = SkinDescription;

struct DecimalKey {
    const char* key;
    int32_t D::*field;
};
struct HexKey {
    const char* key;
    uint32_t D::*field;
};

// Both spellings of the shape key are read; the second wins.
constexpr DecimalKey kDecimalKeys[] = {
    {"MainAnySape", &D::mainAnyShape},
    {"MainAnyShape", &D::mainAnyShape},
    {"ButtonAnyShape", &D::buttonAnyShape},
    {"Txt1MaxSize", &D::txt1MaxSize},
    {"ExtrNum", &D::extrNum},
};

constexpr HexKey kHexKeys[] = {
    {"MainTransClr", &D::mainTransColor},
    {"ButtonTransClr", &D::buttonTransColor},
    {"PosBackClr", &D::posBackColor},
    {"PosForeClr", &D::posForeColor},
    {"FontClr", &D::fontColor},
    {"VolumeClr", &D::volumeColor},
    {"PlayLBG", &D::playLBG},
    {"PlayLTX", &D::playLTX},
    {"PlayLCR", &D::playLCR},
    {"PlayLBR", &D::playLBR},
};

constexpr const char* kMenuColorKeys[kMenuColors] = {
    "MenuBackClr",    "MenuBackClrIco", "MenuSelBackClr",   "MenuFontClr",
    "MenuSelFontClr", "MenuDisFontClr", "MenuSeparatorClr",
};

constexpr const char* kFixedButtonKeys[kFixedButtons] = {
    "BtnPrev", "BtnPlay", "BtnPause", "BtnStop", "BtnOpen", "BtnNext", "BtnExit",
};

constexpr const char* kTextKeys[kSkinTexts] = {"Txt1", "Txt2", "Txt3", "Txt4", "Txt5", "Txt6"};

constexpr size_t kMaxFaceLength = 31;

void ReadPoint(const SkinText& text, size_t keyPos, SkinPoint& point) {
    SkinValues values(text, keyPos);
    values.Decimal('=', point.x);
    values.Decimal(',', point.y);
}

// "=" then ", value" for the rest: TrackBar, About and Volume.
void ReadList(const SkinText& text, size_t keyPos, int32_t* fields, int count) {
    SkinValues values(text, keyPos);
    for (int i = 0; i < count; ++i) values.Decimal(i == 0 ? '=' : ',', fields[i]);
}

void ReadKinds(const SkinText& text, D& d) {
    std::string word;
    if (SkinValues(text, text.FindKey("TrackKind", false)).Word('=', word)) {
        const bool bitmap = word.size() > 1 && word[1] == 'B';
        if (word[0] == 'H')
            d.trackKind = bitmap ? SeekKind::HorizontalBitmap : SeekKind::Horizontal;
        if (word[0] == 'V') d.trackKind = bitmap ? SeekKind::VerticalBitmap : SeekKind::Vertical;
    }
    word.clear();
    if (SkinValues(text, text.FindKey("VolumeKind", true)).Word('=', word) && word.size() > 1 &&
        word[0] == 'C') {
        if (word[1] == 'H') d.volumeKind = VolumeKind::HorizontalKnob;
        if (word[1] == 'V') d.volumeKind = VolumeKind::VerticalKnob;
    }
}

void ReadVolume(const SkinText& text, D& d) {
    size_t keyPos = text.FindKey("Volume ", true);
    if (keyPos == SkinText::npos) keyPos = text.FindKey("Volume=", true);
    ReadList(text, keyPos, d.volume.data(), d.volumeKind == VolumeKind::Line ? 4 : 3);
    SkinValues(text, text.FindKey("VolumeBtn", true)).Name('=', ';', d.volumeBtn);
}

// "Btn<k>=" with nothing between: x, y and the command after a ":".
void ReadExtraButtons(const SkinText& text, D& d) {
    for (int k = 1; k <= kMaxExtraButtons; ++k) {
        const std::string key = "Btn" + std::to_string(k) + "=";
        SkinValues values(text, text.FindKey(key, true));
        const int index = kFixedButtons + k - 1;
        values.Decimal('=', d.buttons[index].x);
        values.Decimal(',', d.buttons[index].y);
        values.Decimal(':', d.commands[index]);
    }
}

// In "[Fonts]": "Txt<N> = face, size - style;".
void ReadFonts(const SkinText& text, D& d) {
    const size_t section = text.Find("[Fonts]");
    if (section == SkinText::npos) return;
    for (int n = 0; n < kSkinTexts; ++n) {
        SkinFontSpec& font = d.fonts[n];
        SkinValues values(text, text.Find(kTextKeys[n], section));
        if (values.Name('=', ',', font.face))
            font.face.resize(std::min(font.face.size(), kMaxFaceLength));
        values.Decimal(',', font.size);
        std::string style;
        if (values.Word('-', style))
            font.weight = style[0] == 'N' ? 400 : style[0] == 'B' ? 700 : 0;
    }
}

}  // namespace

SkinDescription SkinDescription::Parse(std::string_view content) {
    const SkinText text(content);
    SkinDescription d;
    for (const DecimalKey& key : kDecimalKeys)
        SkinValues(text, text.FindKey(key.key, false)).Decimal('=', d.*key.field);
    for (const HexKey& key : kHexKeys)
        SkinValues(text, text.FindKey(key.key, false)).Hex('=', d.*key.field);
    for (int i = 0; i < kMenuColors; ++i)
        SkinValues(text, text.FindKey(kMenuColorKeys[i], false)).Hex('=', d.menuColors[i]);
    for (int i = 0; i < kFixedButtons; ++i)
        ReadPoint(text, text.FindKey(kFixedButtonKeys[i], false), d.buttons[i]);
    for (int i = 0; i < kSkinTexts; ++i)
        ReadPoint(text, text.FindKey(kTextKeys[i], false), d.texts[i]);
    ReadList(text, text.FindKey("TrackBar", false), d.trackBar.data(), 4);
    ReadList(text, text.FindKey("About", false), d.about.data(), 4);
    ReadKinds(text, d);
    SkinValues(text, text.FindKey("TrackBitmap", true)).Name('=', ';', d.trackBitmap);
    ReadVolume(text, d);
    ReadExtraButtons(text, d);
    ReadFonts(text, d);
    // Arrays hold 35 extra buttons; a larger count would index past them.
    d.extrNum = std::clamp(d.extrNum, 0, kMaxExtraButtons);
    return d;
}

uint32_t SkinDescription::ColorRef(uint32_t rrggbb) {
    return ((rrggbb & 0xFF) << 16) | (rrggbb & 0xFF00) | ((rrggbb >> 16) & 0xFF);
}
