#include <algorithm>
#include <filesystem>
#include <sstream>

#include "platform/ui/MessageSink.h"
#include "player/skin/SkinResources.h"
#include "player/skin/SkinUnpacker.h"
#include "support/TempEnvironment.h"

namespace {

using Texts = std::vector<std::string>;
const QColor kKey(255, 0, 255);

QImage Filled(int width, int height, QColor color) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

struct RecordingToolTip : ISkinToolTip {
    std::vector<SkinTool> tools;
    uint32_t background = 1, text = 1;
    bool active = false;
    void SetTools(std::vector<SkinTool> t) override { tools = std::move(t); }
    void SetColors(uint32_t b, uint32_t t) override { background = b, text = t; }
    void Activate(bool a) override { active = a; }
};

class SkinResourcesTest : public TempFolderTest, public IMessageSink {
protected:
    SkinResourcesTest() { SetMessageSink(this); }
    ~SkinResourcesTest() override { SetMessageSink(nullptr); }
    MessageAnswer Show(QWidget*, const std::string&, const std::string& text, MessageIcon,
                       MessageButtons) override {
        texts_.push_back(text);
        return MessageAnswer::Ok;
    }
    std::string Folder(const std::string& name = "skin") { return env_.Path(name); }
    void Write(const std::string& file, const std::string& bytes, const std::string& dir = "skin") {
        TempEnvironment::WriteFile(Folder(dir) + "/" + file, bytes);
    }
    void Write(const std::string& file, const QImage& image, const std::string& dir = "skin") {
        std::filesystem::create_directories(Folder(dir));
        ASSERT_TRUE(image.save(QString::fromStdString(Folder(dir) + "/" + file), "BMP"));
    }
    // A 100 x 40 skin with every fixed button as a 10 x 10 normal image.
    void WriteBasicSkin(const std::string& ini, const std::string& dir = "skin") {
        Write("skin.ini", ini, dir);
        Write("main.bmp", Filled(100, 40, Qt::darkGray), dir);
        for (const char* word : {"prev", "play", "pause", "stop", "open", "next", "exit"})
            Write(std::string("b") + word + "n.bmp", Filled(10, 10, Qt::white), dir);
    }

    Texts texts_;
    SkinResources skin_;
};

TEST_F(SkinResourcesTest, ReportsAMissingDescriptionOrSurfaceOnce) {
    std::filesystem::create_directories(Folder());
    EXPECT_FALSE(skin_.LoadSkin(Folder(), nullptr));
    EXPECT_EQ(texts_, Texts{kSkinIniMissingText});
    // No main.bmp, one that is not a bitmap, and one narrower than ten pixels once its
    // width is rounded down to a multiple of four.
    Write("skin.ini", "BtnPlay = 1, 1;");
    for (int surface = 0; surface < 3; ++surface) {
        texts_.clear();
        if (surface == 1) Write("main.bmp", "not a bitmap");
        if (surface == 2) Write("main.bmp", Filled(11, 20, Qt::red));
        EXPECT_FALSE(skin_.LoadSkin(Folder(), nullptr));
        EXPECT_EQ(texts_, Texts{kSkinBmpErrorText});
        EXPECT_FALSE(skin_.Loaded());
    }
    texts_.clear();
    Write("main.bmp", Filled(275, 20, Qt::red));
    EXPECT_TRUE(skin_.LoadSkin(Folder(), nullptr));
    EXPECT_TRUE(texts_.empty());
    EXPECT_EQ(QSize(skin_.Width(), skin_.Height()), QSize(272, 20));
}

TEST_F(SkinResourcesTest, ShapeRemovesKeyRunsWithThePixelThatEndsThem) {
    // Row 0: key at 0..1 -> 0..2 removed. Row 1: no key. Row 2: key at 4..5 and at the
    // row's end 10..11 -> 4..6 removed and, past the end, column 12 added.
    QImage surface = Filled(12, 3, Qt::blue);
    for (int x : {0, 1}) surface.setPixelColor(x, 0, kKey);
    for (int x : {4, 5, 10, 11}) surface.setPixelColor(x, 2, kKey);
    Write("skin.ini", "MainAnyShape = 1;");
    Write("main.bmp", surface);
    ASSERT_TRUE(skin_.LoadSkin(Folder(), nullptr));
    ASSERT_TRUE(skin_.IsShaped());
    EXPECT_EQ(skin_.Shape(), QRegion(3, 0, 9, 1) + QRegion(0, 1, 12, 1) + QRegion(0, 2, 4, 1) +
                                 QRegion(7, 2, 3, 1) + QRegion(12, 2, 1, 1));
}

TEST_F(SkinResourcesTest, ButtonsBorrowMissingImagesAndShareOneBandFormula) {
    WriteBasicSkin(
        "BtnPrev = 0, 0;\nBtnPlay = 15, 5;\nBtnPause = 95, 5;\nBtnStop = 29, 5;\n"
        "BtnOpen = 50, 20;\nBtnNext = 60, 20;\nBtnExit = -5, 30;\n"
        "ExtrNum = 2;\nBtn1= 70, 5 : 2;\nBtn2= 80, 5 : 99;\n");
    Write("bprevn.bmp", "");  // unreadable: no slot before it to borrow from
    Write("bplayd.bmp", Filled(10, 10, Qt::green));
    Write("bstopn.bmp", Filled(25, 10, Qt::white));  // spans bands 2 to 5
    Write("btn1n.bmp", Filled(10, 10, Qt::yellow));
    ASSERT_TRUE(skin_.LoadSkin(Folder(), nullptr));
    const auto& buttons = skin_.Buttons();
    ASSERT_EQ(buttons.size(), 9u);
    EXPECT_TRUE(buttons[0].images[kImageNormal].isNull());
    EXPECT_EQ(buttons[1].images[kImagePressed].pixelColor(0, 0), QColor(Qt::green));
    EXPECT_EQ(buttons[1].images[kImageHover].pixelColor(0, 0), QColor(Qt::green));  // slot before
    EXPECT_EQ(buttons[3].images[kImagePressed].pixelColor(0, 0), QColor(Qt::white));
    EXPECT_EQ(buttons[8].images[kImageNormal].pixelColor(0, 0), QColor(Qt::yellow));  // btn1u's
    EXPECT_EQ(buttons[7].command, 2);
    // Pause (x 95, past the right edge) is in band 9 only; Exit (x -5) in band 0 only.
    for (const auto& [band, expected] : std::vector<std::pair<int, std::vector<int>>>{
             {1, {1}}, {2, {1, 3}}, {5, {3, 4}}, {9, {2, 8}}, {0, {0, 6}}})
        EXPECT_EQ(skin_.Bands().Buttons(band), expected) << band;
    // Lookup uses the same bands: every pixel strictly inside a button finds it.
    for (int b : {1, 2, 3, 4, 5, 7}) {
        const QRect r = buttons[b].Rect();
        for (int x = r.left() + 1; x < std::min(r.left() + r.width(), skin_.Width()); ++x)
            for (int y = r.top() + 1; y < r.top() + r.height(); ++y)
                ASSERT_EQ(skin_.ButtonAt(x, y), b) << x << "," << y;
        EXPECT_EQ(skin_.ButtonAt(r.left(), r.top() + 5), -1);  // edges are outside
        EXPECT_EQ(skin_.ButtonAt(r.left() + 5, r.top()), -1);
    }
    EXPECT_EQ(std::pair(skin_.ButtonAt(-3, 35), skin_.ButtonAt(100, 10)), std::pair(-1, -1));
}

TEST_F(SkinResourcesTest, MasksKnobSeekBarTextsToolsAndColors) {
    WriteBasicSkin(
        "TrackBar = 5, 30, 80, 6;\nTrackKind = HB;\nTrackBitmap = seek.bmp;\n"
        "About = 1, 2, 11, 12;\nBtnPlay = 20, 5;\nTxt1 = 40, 3;\nTxt1MaxSize = 50;\n"
        "ExtrNum = 3;\nBtn1= 1,1:2;\nBtn2= 1,1:0;\nBtn3= 1,1:53;\n"
        "PlayLBG = 112233;\nPlayLTX = 445566;\nPlayLCR = 778899;\nPlayLBR = AABBCC;\n"
        "ButtonAnyShape = 1;\nButtonTransClr = 123456;\nVolumeKind = CH;\nVolume = 10, 30, 90;\n"
        "VolumeBtn = knob;\n[Fonts]\nTxt1 = DejaVu Sans, 9 - B;\n");
    Write("seek.bmp", Filled(70, 4, Qt::cyan));
    // Buttons and the knob are masked by the play button's top-left colour, not ButtonTransClr.
    QImage play = Filled(10, 10, Qt::white), knob = Filled(6, 8, kKey);
    play.setPixelColor(0, 0, kKey);
    play.setPixelColor(9, 9, kKey);
    knob.setPixelColor(3, 3, Qt::red);
    Write("bplayn.bmp", play);
    Write("knobn.bmp", knob);
    Write("knobd.bmp", Filled(6, 8, Qt::blue));
    Texts table(59);
    table[8] = "Playlist";
    // The main window's rectangle takes the skin's size at its corner; the tooltip control
    // takes the tools and the skin's colours and is switched on.
    WinRect main{-30, 700, -29, 701};
    RecordingToolTip tip;
    ASSERT_TRUE(skin_.LoadSkin(Folder(), nullptr, table, &main, &tip));
    EXPECT_EQ(main, (WinRect{-30, 700, 70, 740}));
    EXPECT_EQ(std::tuple(tip.background, tip.text, tip.active, tip.tools.size()),
              std::tuple(0x332211u, 0x665544u, true, skin_.Tools().size()));
    EXPECT_EQ(skin_.Description().buttonTransColor, 0xFF00FFu);
    const QImage& masked = skin_.Buttons()[1].images[kImageNormal];
    EXPECT_EQ(std::pair(qAlpha(masked.pixel(9, 9)), qAlpha(masked.pixel(5, 5))), std::pair(0, 255));
    EXPECT_EQ(skin_.KnobSize(), QSize(6, 8));
    EXPECT_EQ(qAlpha(skin_.KnobImages()[kImageNormal].pixel(0, 0)), 0);
    EXPECT_EQ(skin_.KnobImages()[kImagePressed].pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(skin_.KnobImages()[kImageHover].pixelColor(3, 3), QColor(Qt::red));  // the normal one
    EXPECT_EQ(skin_.SeekRect(), QRect(5, 30, 70, 4));  // the bitmap's size, not TrackBar's
    EXPECT_EQ(skin_.TextPlace(0), QPoint(40, 3));
    EXPECT_EQ(std::pair(skin_.Font(0).family(), skin_.Font(0).bold()),
              std::pair(QString("DejaVu Sans"), true));
    EXPECT_EQ((std::array{skin_.PlayLBG(), skin_.PlayLTX(), skin_.PlayLCR(), skin_.PlayLBR()}),
              (std::array{0x332211u, 0x665544u, 0x998877u, 0xCCBBAAu}));  // COLORREFs
    // Seven fixed buttons, the one extra button with a valid command, help and title.
    Texts texts;
    for (const SkinTool& tool : skin_.Tools()) {
        EXPECT_EQ(tool.id, static_cast<int>(texts.size()) + 1);
        texts.push_back(tool.text);
    }
    EXPECT_EQ(texts, (Texts{"Previous", "Play", "Pause", "Stop", "Open", "Next", "Exit",
                            "Playlist", "Help", "Kalvor"}));
    EXPECT_EQ((std::array{skin_.Tools()[1].rect, skin_.Tools()[8].rect, skin_.Tools()[9].rect}),
              (std::array{QRect(20, 5, 10, 10), QRect(1, 2, 10, 10), QRect(40, 5, 50, 9)}));
    // Without its bitmap the bar keeps TrackBar's size; a name leaving the folder is refused.
    Write("../outside.bmp", Filled(30, 3, Qt::red));
    Write("skin.ini", "TrackBar = 5, 30, 80, 6;\nTrackKind = HB;\nTrackBitmap = ../outside.bmp;\n");
    ASSERT_TRUE(skin_.LoadSkin(Folder(), nullptr));
    EXPECT_TRUE(skin_.SeekImage().isNull());
    EXPECT_EQ(skin_.SeekRect(), QRect(5, 30, 80, 6));
}

TEST_F(SkinResourcesTest, LoadingOneSkinAfterAnotherEqualsLoadingItFresh) {
    WriteBasicSkin(
        "MainAnyShape = 1;\nButtonAnyShape = 1;\nExtrNum = 2;\nBtn1= 5,5:1;\nBtn2= 20,5:2;\n"
        "VolumeKind = CV;\nVolume = 1, 2, 3;\nVolumeBtn = k;\nTrackKind = HB;\n"
        "TrackBitmap = s.bmp;\nFontClr = 123456;\n[Fonts]\nTxt3 = Serif, 20 - B;\n",
        "a");
    for (const char* file : {"kn.bmp", "s.bmp", "btn1n.bmp"})
        Write(file, Filled(5, 5, Qt::red), "a");
    WriteBasicSkin("BtnPlay = 30, 3;\n", "b");
    SkinResources fresh;
    ASSERT_TRUE(fresh.LoadSkin(Folder("b"), nullptr));
    ASSERT_TRUE(skin_.LoadSkin(Folder("a"), nullptr));
    ASSERT_TRUE(skin_.LoadSkin(Folder("b"), nullptr));
    EXPECT_EQ(skin_.Description(), fresh.Description());
    EXPECT_EQ(std::tuple(skin_.IsShaped(), skin_.Buttons().size(), skin_.KnobImages()[0].isNull(),
                         skin_.SeekImage().isNull(), skin_.Font(2)),
              std::tuple(false, 7u, true, true, fresh.Font(2)));
    for (int band = 0; band < HitBands::kBands; ++band)
        EXPECT_EQ(skin_.Bands().Buttons(band), fresh.Bands().Buttons(band));
    EXPECT_EQ(skin_.Tools().size(), fresh.Tools().size());
    // A failed load leaves the loaded skin, the rectangle and the tooltip control as they were.
    WinRect main{1, 2, 3, 4};
    RecordingToolTip tip;
    EXPECT_FALSE(skin_.LoadSkin(Folder("missing"), nullptr, {}, &main, &tip));
    EXPECT_EQ(skin_.Description(), fresh.Description());
    EXPECT_EQ(std::tuple(main, tip.active, tip.tools.size()), std::tuple(WinRect{1, 2, 3, 4}, false, 0u));
}

TEST_F(SkinResourcesTest, DefaultSkinLoadsCompleteAndAsDrawn) {
    std::ostringstream out;
    ASSERT_TRUE(SkinUnpacker(out).UnpackSkin(KALVOR_PROGRAM_DIR "/skins/Default.krs")) << out.str();
    ASSERT_TRUE(skin_.LoadSkin(SkinUnpacker::SkinFolder(), nullptr));
    EXPECT_TRUE(texts_.empty());
    // Shaped with transparent corners and an opaque body.
    ASSERT_TRUE(skin_.IsShaped());
    const int w = skin_.Width(), h = skin_.Height();
    const QRegion shape = skin_.Shape() & QRect(0, 0, w, h);
    EXPECT_FALSE(shape.contains(QPoint(0, 0)));
    EXPECT_FALSE(shape.contains(QPoint(w - 1, h - 1)));
    for (QPoint inside : {QPoint(w / 2, h / 2), QPoint(0, h / 2), QPoint(w - 1, h / 2)})
        EXPECT_TRUE(shape.contains(inside)) << inside.x();
    // Every button has three different images, lies on the shape, and is found at its centre.
    const auto& buttons = skin_.Buttons();
    ASSERT_GE(buttons.size(), 10u);
    for (size_t b = 0; b < buttons.size(); ++b) {
        const SkinButton& button = buttons[b];
        ASSERT_FALSE(button.images[kImageNormal].isNull()) << b;
        EXPECT_NE(button.images[kImageNormal], button.images[kImagePressed]) << b;
        EXPECT_NE(button.images[kImageNormal], button.images[kImageHover]) << b;
        EXPECT_TRUE(shape.contains(button.Rect())) << b;
        EXPECT_EQ(skin_.ButtonAt(button.Rect().center().x(), button.Rect().center().y()), int(b));
        for (size_t other = 0; other < b; ++other)
            EXPECT_FALSE(button.Rect().intersects(buttons[other].Rect())) << b << "," << other;
        const bool valid = button.command >= 1 && button.command <= kMaxPlayerCommand;
        EXPECT_TRUE(b < kFixedButtons || valid) << b;
    }
    EXPECT_EQ(std::tuple(skin_.SeekBarKind(), skin_.SeekImage().isNull(), skin_.VolumeControlKind(),
                         skin_.KnobImages()[kImageNormal].isNull()),
              std::tuple(SeekKind::HorizontalBitmap, false, VolumeKind::HorizontalKnob, false));
    EXPECT_TRUE(shape.contains(skin_.SeekRect()));
    const auto& volume = skin_.Description().volume;
    EXPECT_TRUE(shape.contains(
        QRect(QPoint(volume[0], volume[1]), QSize(volume[2] - volume[0], 0) + skin_.KnobSize())));
    EXPECT_NE(skin_.PlayLBG(), skin_.PlayLTX());
    const QString scroll = QString::fromStdString(SkinUnpacker::SkinFolder() + "/scrollskin.bmp");
    EXPECT_EQ(QImage(scroll, "BMP").size(), QSize(13, 127));
}

}  // namespace
