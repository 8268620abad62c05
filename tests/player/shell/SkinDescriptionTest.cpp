#include <gtest/gtest.h>

#include <string>

#include "player/shell/SkinDescription.h"

namespace {

constexpr char kFullText[] =
    "; a complete description\r\n"
    "[Main]\r\n"
    "MainAnyShape = 1;\r\n"
    "ButtonAnyShape = 1; masked buttons\r\n"
    "MainTransClr = FF00FF;\r\n"
    "ButtonTransClr = 0x00FF00;\r\n"
    "PosBackClr = 102030; PosForeClr = 0\r\n"
    "PosForeClr = 405060;\r\n"
    "FontClr = a0b0c0;\r\n"
    "VolumeClr = 010203;\r\n"
    "PlayLBG = 112233;\r\nPlayLTX = 445566;\r\nPlayLCR = 778899;\r\nPlayLBR = AABBCC;\r\n"
    "BtnPrev = 1, 2;\r\nBtnPlay = 3 , 4 ;\r\nBtnPause = 5,6;\r\nBtnStop = 7, 8;\r\n"
    "BtnOpen = 9, 10;\r\nBtnNext = 11, 12;\r\nBtnExit = 13, 14;\r\n"
    "Txt1 = 20, 21;\r\nTxt2 = 22, 23;\r\nTxt3 = 24, 25;\r\nTxt4 = 26, 27;\r\nTxt5 = 28, "
    "29;\r\nTxt6 = 30, 31;\r\n"
    "Txt1MaxSize = 150;\r\n"
    "TrackBar = 10, 50, 300, 8;\r\n"
    "TrackKind = HB;\r\n"
    "TrackBitmap = seek bar.bmp  ; the filled groove\r\n"
    "VolumeKind = CH;\r\n"
    "Volume = 300, 70, 380;\r\n"
    "VolumeBtn = knob;\r\n"
    "About = 1, 2, 30, 40;\r\n"
    "ExtrNum = 3;\r\n"
    "Btn1= 100, 110 : 1;\r\nBtn2=120,130:2;\r\nBtn3= 140, 150 : 23;\r\n"
    "MenuBackClr = 1;\r\nMenuBackClrIco = 2;\r\nMenuSelBackClr = 3;\r\nMenuFontClr = 4;\r\n"
    "MenuSelFontClr = 5;\r\nMenuDisFontClr = 6;\r\nMenuSeparatorClr = 7;\r\n"
    "[Fonts]\r\n"
    "Txt1 = DejaVu Sans, 9 - B;\r\n"
    "Txt2 = Mono   , 10 - N;\r\n"
    "Txt4 = Serif, 12 - I;\r\n"
    "[FullScreen]\r\n"
    "Enable = 1; not a comment here\r\n";

TEST(SkinDescriptionTest, ReadsEveryKeyWithItsFormat) {
    const SkinDescription d = SkinDescription::Parse(kFullText);
    EXPECT_EQ(d.mainAnyShape, 1);
    EXPECT_EQ(d.buttonAnyShape, 1);
    EXPECT_EQ(d.mainTransColor, 0xFF00FFu);
    EXPECT_EQ(d.buttonTransColor, 0x00FF00u);
    EXPECT_EQ(d.posBackColor, 0x102030u);
    EXPECT_EQ(d.posForeColor, 0x405060u);  // the first one was in a comment
    EXPECT_EQ(d.fontColor, 0xA0B0C0u);
    EXPECT_EQ(d.volumeColor, 0x010203u);
    EXPECT_EQ(d.playLBG, 0x112233u);
    EXPECT_EQ(d.playLTX, 0x445566u);
    EXPECT_EQ(d.playLCR, 0x778899u);
    EXPECT_EQ(d.playLBR, 0xAABBCCu);
    for (int i = 0; i < kFixedButtons; ++i)
        EXPECT_EQ(d.buttons[i], (SkinPoint{2 * i + 1, 2 * i + 2})) << i;
    for (int i = 0; i < kSkinTexts; ++i)
        EXPECT_EQ(d.texts[i], (SkinPoint{20 + 2 * i, 21 + 2 * i})) << i;
    EXPECT_EQ(d.txt1MaxSize, 150);
    EXPECT_EQ(d.trackBar, (std::array<int32_t, 4>{10, 50, 300, 8}));
    EXPECT_EQ(d.trackKind, SeekKind::HorizontalBitmap);
    EXPECT_EQ(d.trackBitmap, "seek bar.bmp");
    EXPECT_EQ(d.volumeKind, VolumeKind::HorizontalKnob);
    EXPECT_EQ(d.volume, (std::array<int32_t, 4>{300, 70, 380, 0}));  // no y1 for a knob
    EXPECT_EQ(d.volumeBtn, "knob");
    EXPECT_EQ(d.about, (std::array<int32_t, 4>{1, 2, 30, 40}));
    EXPECT_EQ(d.extrNum, 3);
    EXPECT_EQ(d.buttons[7], (SkinPoint{100, 110}));
    EXPECT_EQ(d.buttons[8], (SkinPoint{120, 130}));
    EXPECT_EQ(d.buttons[9], (SkinPoint{140, 150}));
    EXPECT_EQ(d.commands[7], 1);
    EXPECT_EQ(d.commands[8], 2);
    EXPECT_EQ(d.commands[9], 23);
    EXPECT_EQ(d.buttons[10], (SkinPoint{-1, -1}));
    EXPECT_EQ(d.menuColors, (std::array<uint32_t, kMenuColors>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(d.fonts[0], (SkinFontSpec{"DejaVu Sans", 9, 700}));
    EXPECT_EQ(d.fonts[1], (SkinFontSpec{"Mono", 10, 400}));
    EXPECT_EQ(d.fonts[2], SkinFontSpec{});  // not in [Fonts]: the default
    EXPECT_EQ(d.fonts[3], (SkinFontSpec{"Serif", 12, 0}));
}

TEST(SkinDescriptionTest, DefaultsFillWhatTheTextLeavesOut) {
    // Nothing carries over: an empty text gives the defaults, as does a value that does
    // not scan; a missing [Fonts] keeps the default fonts.
    EXPECT_EQ(SkinDescription::Parse(""), SkinDescription{});
    EXPECT_EQ(SkinDescription::Parse(
                  "PosBackClr = zz;\nBtnPlay = x, 7;\nTrackKind = Q;\nVolumeKind = CX;\n"),
              ([] {
                  SkinDescription d;
                  d.buttons[1].y = 7;  // each value scans on its own
                  return d;
              }()));
    const SkinDescription noFonts = SkinDescription::Parse("Txt1 = Serif, 20 - B;\n");
    EXPECT_EQ(noFonts.fonts[0], SkinFontSpec{});
}

TEST(SkinDescriptionTest, KeysAreFoundBySearchingTheText) {
    // The misspelt shape key alone shapes; with both, the correct one decides.
    EXPECT_EQ(SkinDescription::Parse("MainAnySape = 1;").mainAnyShape, 1);
    EXPECT_EQ(SkinDescription::Parse("MainAnySape = 1;\nMainAnyShape = 0;").mainAnyShape, 0);
    // A key inside a longer word counts; a commented key does not.
    EXPECT_EQ(SkinDescription::Parse("XBtnPlayX = 5, 6;").buttons[1], (SkinPoint{5, 6}));
    EXPECT_EQ(SkinDescription::Parse("; BtnPlay = 5, 6\nBtnPlay = 7, 8;").buttons[1],
              (SkinPoint{7, 8}));
    // A later value comes from the next separator, wherever it is.
    EXPECT_EQ(SkinDescription::Parse("TrackBar = 1;\nelsewhere, 2, 3, 4;").trackBar,
              (std::array<int32_t, 4>{1, 2, 3, 4}));
    // An extra-button key with a blank before its "=" is not found.
    const SkinDescription blank = SkinDescription::Parse("ExtrNum = 1;\nBtn1 = 5, 6 : 1;");
    EXPECT_EQ(blank.buttons[7], (SkinPoint{-1, -1}));
    // The line kind reads a fourth volume value; "Volume=" stands in for "Volume ".
    EXPECT_EQ(SkinDescription::Parse("Volume=1,2,3,4;").volume,
              (std::array<int32_t, 4>{1, 2, 3, 4}));
    EXPECT_EQ(SkinDescription::Parse("VolumeKind = CV;\nVolume = 1,2,3,4;").volumeKind,
              VolumeKind::VerticalKnob);
    for (const auto& [word, kind] :
         std::vector<std::pair<std::string, SeekKind>>{{"H", SeekKind::Horizontal},
                                                       {"V;", SeekKind::Vertical},
                                                       {"HB", SeekKind::HorizontalBitmap},
                                                       {"VB;", SeekKind::VerticalBitmap}})
        EXPECT_EQ(SkinDescription::Parse("TrackKind = " + word).trackKind, kind) << word;
}

TEST(SkinDescriptionTest, FullScreenSectionBoundsSomeKeys) {
    const SkinDescription d = SkinDescription::Parse(
        "ExtrNum = 2;\nBtn1= 1, 2 : 3;\n[FullScreen]\nBtn2= 4, 5 : 6;\nVolumeKind = CH;\n"
        "Volume = 7, 8, 9;\nTrackBitmap = fs.bmp;\nVolumeBtn = fs;\nBtnPlay = 10, 11; c\n");
    EXPECT_EQ(d.buttons[7], (SkinPoint{1, 2}));
    EXPECT_EQ(d.buttons[8], (SkinPoint{-1, -1}));
    EXPECT_EQ(d.volumeKind, VolumeKind::Line);
    EXPECT_EQ(d.volume, (std::array<int32_t, 4>{}));
    EXPECT_EQ(d.trackBitmap, "");
    EXPECT_EQ(d.volumeBtn, "");
    EXPECT_EQ(d.buttons[1], (SkinPoint{10, 11}));  // unbounded keys are taken from anywhere
}

TEST(SkinDescriptionTest, HostileValuesStayInRange) {
    const std::string digits(5000, '9');
    const SkinDescription d = SkinDescription::Parse(
        "ExtrNum = " + digits + ";\nBtnPlay = -" + digits + ", " + digits +
        ";\nFontClr = " + digits + ";\nPlayLBG = -1;\nTrackBitmap = " + std::string(1000, 'a') +
        "\nVolumeBtn = a{b;\n");
    EXPECT_EQ(d.extrNum, kMaxExtraButtons);
    EXPECT_EQ(d.buttons[1], (SkinPoint{INT32_MIN, INT32_MAX}));
    EXPECT_EQ(d.fontColor, 0xFFFFFFFFu);
    EXPECT_EQ(d.playLBG, 0xFFFFFFFFu);
    EXPECT_EQ(d.trackBitmap.size(), 299u);
    EXPECT_EQ(d.volumeBtn, "a");  // the name's characters end at "{"
    EXPECT_EQ(SkinDescription::Parse("ExtrNum = -4;").extrNum, 0);
    // A face name holds at most 31 characters; zero bytes end the text.
    EXPECT_EQ(SkinDescription::Parse("[Fonts]\nTxt1 = " + std::string(40, 'F') + ", 8 - N;")
                  .fonts[0]
                  .face,
              std::string(31, 'F'));
    EXPECT_EQ(
        SkinDescription::Parse(std::string("BtnPlay = 1, 2;\0BtnStop = 3, 4;", 31)).buttons[3],
        (SkinPoint{-1, -1}));
}

TEST(SkinDescriptionTest, ColorsBecomeColorRefs) {
    EXPECT_EQ(SkinDescription::ColorRef(0x112233), 0x332211u);
    EXPECT_EQ(SkinDescription::ColorRef(0xFF123456), 0x563412u);
}

}  // namespace
