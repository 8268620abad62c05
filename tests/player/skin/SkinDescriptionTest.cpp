#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "player/skin/SkinDescription.h"

namespace {

constexpr char kFullText[] =
    "; a complete description\r\n[Main]\r\nMainAnyShape = 1;\r\nButtonAnyShape = 1; masked\r\n"
    "MainTransClr = FF00FF;\r\nButtonTransClr = 0x00FF00;\r\nPosBackClr = 102030; PosForeClr = 0"
    "\r\nPosForeClr = 405060;\r\nFontClr = a0b0c0;\r\nVolumeClr = 010203;\r\nPlayLBG = 112233;\r\n"
    "PlayLTX = 445566;\r\nPlayLCR = 778899;\r\nPlayLBR = AABBCC;\r\nBtnPrev = 1, 2;\r\n"
    "BtnPlay = 3 , 4 ;\r\nBtnPause = 5,6;\r\nBtnStop = 7, 8;\r\nBtnOpen = 9, 10;\r\n"
    "BtnNext = 11, 12;\r\nBtnExit = 13, 14;\r\nTxt1 = 20, 21;\r\nTxt2 = 22, 23;\r\n"
    "Txt3 = 24, 25;\r\nTxt4 = 26, 27;\r\nTxt5 = 28, 29;\r\nTxt6 = 30, 31;\r\nTxt1MaxSize = 150;\r\n"
    "TrackBar = 10, 50, 300, 8;\r\nTrackKind = HB;\r\nTrackBitmap = seek bar.bmp  ; the groove\r\n"
    "VolumeKind = CH;\r\nVolume = 300, 70, 380;\r\nVolumeBtn = knob;\r\nAbout = 1, 2, 30, 40;\r\n"
    "ExtrNum = 3;\r\nBtn1= 100, 110 : 1;\r\nBtn2=120,130:2;\r\nBtn3= 140, 150 : 23;\r\n"
    "MenuBackClr = 1;\r\nMenuBackClrIco = 2;\r\nMenuSelBackClr = 3;\r\nMenuFontClr = 4;\r\n"
    "MenuSelFontClr = 5;\r\nMenuDisFontClr = 6;\r\nMenuSeparatorClr = 7;\r\n[Fonts]\r\n"
    "Txt1 = DejaVu Sans, 9 - B;\r\nTxt2 = Mono   , 10 - N;\r\nTxt4 = Serif, 12 - I;\r\n"
    "[FullScreen]\r\nEnable = 1; not a comment here\r\n";

TEST(SkinDescriptionTest, ReadsEveryKeyWithItsFormat) {
    SkinDescription e;
    e.mainAnyShape = e.buttonAnyShape = 1;
    e.buttonTransColor = 0x00FF00, e.posBackColor = 0x102030;
    e.posForeColor = 0x405060;  // the first PosForeClr is in a comment
    e.fontColor = 0xA0B0C0, e.volumeColor = 0x010203, e.playLBG = 0x112233, e.playLTX = 0x445566;
    e.playLCR = 0x778899, e.playLBR = 0xAABBCC, e.menuColors = {1, 2, 3, 4, 5, 6, 7};
    for (int i = 0; i < kFixedButtons; ++i) e.buttons[i] = {2 * i + 1, 2 * i + 2};
    for (int i = 0; i < kSkinTexts; ++i) e.texts[i] = {20 + 2 * i, 21 + 2 * i};
    e.extrNum = 3, e.buttons[7] = {100, 110}, e.buttons[8] = {120, 130}, e.buttons[9] = {140, 150};
    e.commands[7] = 1, e.commands[8] = 2, e.commands[9] = 23;
    e.txt1MaxSize = 150, e.trackBar = {10, 50, 300, 8}, e.trackKind = SeekKind::HorizontalBitmap;
    e.trackBitmap = "seek bar.bmp", e.volumeKind = VolumeKind::HorizontalKnob;
    e.volume = {300, 70, 380, 0};  // no y1 for a knob
    e.volumeBtn = "knob", e.about = {1, 2, 30, 40};
    e.fonts[0] = {"DejaVu Sans", 9, 700}, e.fonts[1] = {"Mono", 10, 400};
    e.fonts[3] = {"Serif", 12, 0};  // Txt3 keeps the default
    EXPECT_TRUE(SkinDescription::Parse(kFullText) == e);
}

// Each text parses to the defaults plus exactly the changes listed.
TEST(SkinDescriptionTest, ScanRulesAndHostileValues) {
    using Change = std::function<void(SkinDescription&)>;
    const std::string nines(5000, '9');
    for (const auto& [text, change] : std::vector<std::pair<std::string, Change>>{
             {"", [](auto&) {}},
             // A value that does not scan keeps its default; each value scans on its own.
             {"PosBackClr = zz;\nBtnPlay = x, 7;\nTrackKind = Q;\nVolumeKind = CX;\n",
              [](auto& d) { d.buttons[1].y = 7; }},
             // Without [Fonts] the fonts stay; "Txt1" is still found as a text place.
             {"Txt1 = Serif, 20 - B;\n", [](auto& d) { d.texts[0] = {-1, 20}; }},
             // The misspelt shape key alone shapes; with both, the correct one decides.
             {"MainAnySape = 1;", [](auto& d) { d.mainAnyShape = 1; }},
             {"MainAnySape = 1;\nMainAnyShape = 0;", [](auto&) {}},
             // A key inside a longer word counts; a commented key does not.
             {"XBtnPlayX = 5, 6;", [](auto& d) { d.buttons[1] = {5, 6}; }},
             {"; BtnPlay = 5, 6\nBtnPlay = 7, 8;", [](auto& d) { d.buttons[1] = {7, 8}; }},
             // A later value comes from the next separator, wherever it is.
             {"TrackBar = 1;\nelsewhere, 2, 3, 4;", [](auto& d) { d.trackBar = {1, 2, 3, 4}; }},
             // An extra-button key with a blank before its "=" is not found.
             {"ExtrNum = 1;\nBtn1 = 5, 6 : 1;", [](auto& d) { d.extrNum = 1; }},
             // The line kind reads a fourth volume value; "Volume=" stands in for "Volume ".
             {"Volume=1,2,3,4;", [](auto& d) { d.volume = {1, 2, 3, 4}; }},
             {"VolumeKind = CV;\nVolume = 1,2,3,4;",
              [](auto& d) { d.volumeKind = VolumeKind::VerticalKnob, d.volume = {1, 2, 3, 0}; }},
             {"TrackKind = H", [](auto& d) { d.trackKind = SeekKind::Horizontal; }},
             {"TrackKind = V;", [](auto& d) { d.trackKind = SeekKind::Vertical; }},
             {"TrackKind = HB", [](auto& d) { d.trackKind = SeekKind::HorizontalBitmap; }},
             {"TrackKind = VB;", [](auto& d) { d.trackKind = SeekKind::VerticalBitmap; }},
             // [FullScreen] ends the bounded keys; the others are taken from anywhere.
             {"ExtrNum = 2;\nBtn1= 1, 2 : 3;\n[FullScreen]\nBtn2= 4, 5 : 6;\nVolumeKind = CH;\n"
              "Volume = 7, 8, 9;\nTrackBitmap = fs.bmp;\nVolumeBtn = fs;\nBtnPlay = 10, 11; c\n",
              [](auto& d) {
                  d.extrNum = 2, d.buttons[7] = {1, 2}, d.commands[7] = 3;
                  d.buttons[1] = {10, 11};
              }},
             // Hostile numbers saturate; names are bounded and end at a foreign character.
             {"ExtrNum = " + nines + ";\nBtnPlay = -" + nines + ", " + nines + ";\nFontClr = " +
                  nines + ";\nPlayLBG = -1;\nTrackBitmap = " + std::string(1000, 'a') +
                  "\nVolumeBtn = a{b;\n",
              [](auto& d) {
                  d.extrNum = kMaxExtraButtons, d.buttons[1] = {INT32_MIN, INT32_MAX};
                  d.fontColor = d.playLBG = 0xFFFFFFFF;
                  d.trackBitmap = std::string(299, 'a'), d.volumeBtn = "a";
              }},
             {"ExtrNum = -4;", [](auto&) {}},
             {"[Fonts]\nTxt1 = " + std::string(40, 'F') + ", 8 - N;",
              [](auto& d) { d.fonts[0].face = std::string(31, 'F'), d.texts[0] = {-1, 8}; }},
             {std::string("BtnPlay = 1, 2;\0BtnStop = 3, 4;", 31),  // a zero byte ends the text
              [](auto& d) { d.buttons[1] = {1, 2}; }},
         }) {
        SkinDescription expected;
        change(expected);
        EXPECT_TRUE(SkinDescription::Parse(text) == expected) << text.substr(0, 80);
    }
    // A COLORREF drops the high byte of a hostile colour.
    EXPECT_EQ(SkinDescription::ColorRef(0xFF123456), 0x563412u);
}

}  // namespace
