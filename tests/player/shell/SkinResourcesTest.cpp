#include <algorithm>
#include <filesystem>
#include <sstream>

#include "SkinTestPackage.h"
#include "platform/ui/MessageSink.h"
#include "player/shell/SkinResources.h"
#include "player/shell/SkinUnpacker.h"
#include "support/TempEnvironment.h"

namespace {

namespace fs = std::filesystem;

struct RecordingSink : IMessageSink {
    MessageAnswer Show(QWidget*, const std::string&, const std::string& text, MessageIcon,
                       MessageButtons) override {
        texts.push_back(text);
        return MessageAnswer::Ok;
    }
    std::vector<std::string> texts;
};

const QColor kKey(255, 0, 255);

class SkinResourcesTest : public TempFolderTest {
protected:
    void SetUp() override { SetMessageSink(&sink_); }
    void TearDown() override { SetMessageSink(nullptr); }

    std::string Folder(const std::string& name = "skin") { return env_.Path(name); }
    void Write(const std::string& file, const std::string& bytes,
               const std::string& folder = "skin") {
        TempEnvironment::WriteFile(Folder(folder) + "/" + file, bytes);
    }
    void WriteBitmap(const std::string& file, int w, int h, QColor color,
                     const std::string& folder = "skin") {
        Write(file, skintest::Bitmap(w, h, color), folder);
    }
    // A 100 x 40 skin with every fixed button as a 10 x 10 normal image.
    void WriteBasicSkin(const std::string& ini, const std::string& folder = "skin") {
        Write("skin.ini", ini, folder);
        WriteBitmap("main.bmp", 100, 40, Qt::darkGray, folder);
        for (const char* word : {"prev", "play", "pause", "stop", "open", "next", "exit"})
            WriteBitmap(std::string("b") + word + "n.bmp", 10, 10, Qt::white, folder);
    }

    RecordingSink sink_;
    SkinResources skin_;
};

TEST_F(SkinResourcesTest, ReportsAMissingDescriptionOrSurfaceOnce) {
    fs::create_directories(Folder());
    EXPECT_FALSE(skin_.LoadSkin(Folder(), nullptr));
    EXPECT_EQ(sink_.texts, std::vector<std::string>{kSkinIniMissingText});

    // No main.bmp, one that is not a bitmap, and one narrower than ten pixels once its
    // width is rounded down to a multiple of four.
    Write("skin.ini", "BtnPlay = 1, 1;");
    for (const std::string& surface :
         {std::string(), std::string("not a bitmap"), skintest::Bitmap(11, 20, Qt::red)}) {
        sink_.texts.clear();
        if (!surface.empty()) Write("main.bmp", surface);
        EXPECT_FALSE(skin_.LoadSkin(Folder(), nullptr));
        EXPECT_EQ(sink_.texts, std::vector<std::string>{kSkinBmpErrorText});
        EXPECT_FALSE(skin_.Loaded());
    }
    sink_.texts.clear();
    WriteBitmap("main.bmp", 275, 20, Qt::red);
    EXPECT_TRUE(skin_.LoadSkin(Folder(), nullptr));
    EXPECT_TRUE(sink_.texts.empty());
    EXPECT_EQ(skin_.Width(), 272);
    EXPECT_EQ(skin_.Height(), 20);
}

TEST_F(SkinResourcesTest, ShapeRemovesKeyRunsWithThePixelThatEndsThem) {
    // Row 0: key at 0..1 -> 0..2 removed. Row 1: no key. Row 2: key at 4..5 and at the
    // row's end 10..11 -> 4..6 removed and, past the end, column 12 added.
    QImage surface(12, 3, QImage::Format_RGB32);
    surface.fill(Qt::blue);
    for (QPoint p :
         {QPoint(0, 0), QPoint(1, 0), QPoint(4, 2), QPoint(5, 2), QPoint(10, 2), QPoint(11, 2)})
        surface.setPixelColor(p, kKey);
    Write("skin.ini", "MainAnyShape = 1;");
    Write("main.bmp", skintest::Bitmap(surface));
    ASSERT_TRUE(skin_.LoadSkin(Folder(), nullptr));
    ASSERT_TRUE(skin_.IsShaped());
    QRegion expected;
    expected += QRect(3, 0, 9, 1);
    expected += QRect(0, 1, 12, 1);
    expected += QRect(0, 2, 4, 1);
    expected += QRect(7, 2, 3, 1);
    expected += QRect(12, 2, 1, 1);
    EXPECT_EQ(skin_.Shape(), expected);
    EXPECT_EQ(skin_.Description().mainTransColor, 0xFF00FFu);

    Write("skin.ini", "MainAnyShape = 0;");
    ASSERT_TRUE(skin_.LoadSkin(Folder(), nullptr));
    EXPECT_FALSE(skin_.IsShaped());
}

TEST_F(SkinResourcesTest, ButtonsBorrowMissingImagesAndShareOneBandFormula) {
    WriteBasicSkin(
        "BtnPrev = 0, 0;\nBtnPlay = 15, 5;\nBtnPause = 95, 5;\nBtnStop = 29, 5;\nBtnOpen = 50, "
        "20;\n"
        "BtnNext = 60, 20;\nBtnExit = -5, 30;\nExtrNum = 2;\nBtn1= 70, 5 : 2;\nBtn2= 80, 5 : "
        "99;\n");
    Write("bprevn.bmp", "");  // unreadable: no slot before it to borrow from
    WriteBitmap("bplayd.bmp", 10, 10, Qt::green);
    WriteBitmap("bstopn.bmp", 25, 10, Qt::white);  // spans bands 2 to 5
    WriteBitmap("btn1n.bmp", 10, 10, Qt::yellow);
    ASSERT_TRUE(skin_.LoadSkin(Folder(), nullptr));
    const auto& buttons = skin_.Buttons();
    ASSERT_EQ(buttons.size(), 9u);
    EXPECT_TRUE(buttons[0].images[kImageNormal].isNull());
    EXPECT_EQ(buttons[1].images[kImagePressed].pixelColor(0, 0), QColor(Qt::green));
    EXPECT_EQ(buttons[1].images[kImageHover].pixelColor(0, 0),
              QColor(Qt::green));  // the slot before
    EXPECT_EQ(buttons[3].images[kImagePressed].pixelColor(0, 0), QColor(Qt::white));
    EXPECT_EQ(buttons[8].images[kImageNormal].pixelColor(0, 0),
              QColor(Qt::yellow));  // btn2n: btn1u's
    EXPECT_EQ(buttons[7].command, 2);

    const HitBands& bands = skin_.Bands();
    EXPECT_EQ(bands.Buttons(1), (std::vector<int>{1}));
    EXPECT_EQ(bands.Buttons(2), (std::vector<int>{1, 3}));
    EXPECT_EQ(bands.Buttons(5), (std::vector<int>{3, 4}));
    EXPECT_EQ(bands.Buttons(9), (std::vector<int>{2, 8}));  // past the right edge: band 9 only
    EXPECT_EQ(bands.Buttons(0), (std::vector<int>{0, 6}));  // left of the skin: band 0
    // Lookup uses the same bands: every pixel strictly inside a button finds it.
    for (int b : {1, 2, 3, 4, 5, 7}) {
        const QRect r = buttons[b].Rect();
        for (int x = r.left() + 1; x < std::min(r.left() + r.width(), skin_.Width()); ++x)
            for (int y = r.top() + 1; y < r.top() + r.height(); ++y)
                ASSERT_EQ(skin_.ButtonAt(x, y), b) << x << "," << y;
        EXPECT_EQ(skin_.ButtonAt(r.left(), r.top() + 5), -1);  // edges are outside
        EXPECT_EQ(skin_.ButtonAt(r.left() + 5, r.top()), -1);
    }
    EXPECT_EQ(skin_.ButtonAt(-3, 35), -1);
    EXPECT_EQ(skin_.ButtonAt(100, 10), -1);
}

TEST_F(SkinResourcesTest, MaskedButtonsAndKnobUseThePlayButtonsCorner) {
    WriteBasicSkin(
        "ButtonAnyShape = 1;\nButtonTransClr = 123456;\nVolumeKind = CH;\nVolume = 10, 30, 90;\n"
        "VolumeBtn = knob;\nBtnPlay = 0, 0;\n");
    QImage play(10, 10, QImage::Format_RGB32);
    play.fill(Qt::white);
    play.setPixelColor(0, 0, kKey);
    play.setPixelColor(9, 9, kKey);
    Write("bplayn.bmp", skintest::Bitmap(play));
    QImage knob(6, 8, QImage::Format_RGB32);
    knob.fill(kKey);
    knob.setPixelColor(3, 3, Qt::red);
    Write("knobn.bmp", skintest::Bitmap(knob));
    WriteBitmap("knobd.bmp", 6, 8, Qt::blue);
    ASSERT_TRUE(skin_.LoadSkin(Folder(), nullptr));
    EXPECT_EQ(skin_.Description().buttonTransColor, 0xFF00FFu);
    const QImage& masked = skin_.Buttons()[1].images[kImageNormal];
    EXPECT_EQ(qAlpha(masked.pixel(9, 9)), 0);
    EXPECT_EQ(qAlpha(masked.pixel(5, 5)), 255);
    EXPECT_EQ(skin_.KnobSize(), QSize(6, 8));
    EXPECT_EQ(qAlpha(skin_.KnobImages()[kImageNormal].pixel(0, 0)), 0);
    EXPECT_EQ(skin_.KnobImages()[kImagePressed].pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(skin_.KnobImages()[kImageHover].pixelColor(3, 3), QColor(Qt::red));  // the normal one
}

TEST_F(SkinResourcesTest, SeekBarTextsToolsAndColors) {
    WriteBasicSkin(
        "TrackBar = 5, 30, 80, 6;\nTrackKind = HB;\nTrackBitmap = seek.bmp;\nAbout = 1, 2, 11, "
        "12;\n"
        "BtnPlay = 20, 5;\nTxt1 = 40, 3;\nTxt1MaxSize = 50;\nExtrNum = 3;\nBtn1= 1,1:2;\nBtn2= "
        "1,1:0;\n"
        "Btn3= 1,1:53;\nPlayLBG = 112233;\nPlayLTX = 445566;\nPlayLCR = 778899;\nPlayLBR = "
        "AABBCC;\n"
        "[Fonts]\nTxt1 = DejaVu Sans, 9 - B;\n");
    WriteBitmap("seek.bmp", 70, 4, Qt::cyan);
    std::vector<std::string> table(59);
    table[8] = "Playlist";
    ASSERT_TRUE(skin_.LoadSkin(Folder(), nullptr, table));
    EXPECT_EQ(skin_.SeekRect(), QRect(5, 30, 70, 4));  // the bitmap's size, not TrackBar's
    EXPECT_EQ(skin_.TextPlace(0), QPoint(40, 3));
    EXPECT_TRUE(skin_.Font(0).bold());
    EXPECT_EQ(skin_.Font(0).family(), "DejaVu Sans");
    EXPECT_EQ(skin_.PlayLBG(), 0x332211u);
    EXPECT_EQ(skin_.PlayLTX(), 0x665544u);
    EXPECT_EQ(skin_.PlayLCR(), 0x998877u);
    EXPECT_EQ(skin_.PlayLBR(), 0xCCBBAAu);

    // Seven fixed buttons, the one extra button with a valid command, help and title.
    std::vector<std::string> texts;
    for (const SkinTool& tool : skin_.Tools()) {
        EXPECT_EQ(tool.id, static_cast<int>(texts.size()) + 1);
        texts.push_back(tool.text);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"Previous", "Play", "Pause", "Stop", "Open", "Next",
                                               "Exit", "Playlist", "Help", "Kalvor"}));
    EXPECT_EQ(skin_.Tools()[1].rect, QRect(20, 5, 10, 10));
    EXPECT_EQ(skin_.Tools()[8].rect, QRect(1, 2, 10, 10));
    EXPECT_EQ(skin_.Tools()[9].rect, QRect(40, 5, 50, 9));

    // Without its bitmap the bar keeps TrackBar's size; a name leaving the folder is refused.
    TempEnvironment::WriteFile(env_.Path("outside.bmp"), skintest::Bitmap(30, 3, Qt::red));
    Write("skin.ini", "TrackBar = 5, 30, 80, 6;\nTrackKind = HB;\nTrackBitmap = ../outside.bmp;\n");
    ASSERT_TRUE(skin_.LoadSkin(Folder(), nullptr));
    EXPECT_TRUE(skin_.SeekImage().isNull());
    EXPECT_EQ(skin_.SeekRect(), QRect(5, 30, 80, 6));
}

TEST_F(SkinResourcesTest, LoadingOneSkinAfterAnotherEqualsLoadingItFresh) {
    WriteBasicSkin(
        "MainAnyShape = 1;\nButtonAnyShape = 1;\nExtrNum = 2;\nBtn1= 5,5:1;\nBtn2= 20,5:2;\n"
        "VolumeKind = CV;\nVolume = 1, 2, 3;\nVolumeBtn = k;\nTrackKind = HB;\nTrackBitmap = "
        "s.bmp;\n"
        "FontClr = 123456;\n[Fonts]\nTxt3 = Serif, 20 - B;\n",
        "a");
    WriteBitmap("kn.bmp", 5, 5, Qt::red, "a");
    WriteBitmap("s.bmp", 5, 5, Qt::red, "a");
    WriteBitmap("btn1n.bmp", 5, 5, Qt::red, "a");
    WriteBasicSkin("BtnPlay = 30, 3;\n", "b");

    SkinResources fresh;
    ASSERT_TRUE(fresh.LoadSkin(Folder("b"), nullptr));
    ASSERT_TRUE(skin_.LoadSkin(Folder("a"), nullptr));
    ASSERT_TRUE(skin_.LoadSkin(Folder("b"), nullptr));
    EXPECT_EQ(skin_.Description(), fresh.Description());
    EXPECT_FALSE(skin_.IsShaped());
    EXPECT_EQ(skin_.Buttons().size(), 7u);
    EXPECT_TRUE(skin_.KnobImages()[0].isNull());
    EXPECT_TRUE(skin_.SeekImage().isNull());
    EXPECT_EQ(skin_.Font(2), fresh.Font(2));
    for (int band = 0; band < HitBands::kBands; ++band)
        EXPECT_EQ(skin_.Bands().Buttons(band), fresh.Bands().Buttons(band));
    EXPECT_EQ(skin_.Tools().size(), fresh.Tools().size());

    // A failed load leaves the loaded skin as it was.
    EXPECT_FALSE(skin_.LoadSkin(Folder("missing"), nullptr));
    EXPECT_EQ(skin_.Description(), fresh.Description());
}

TEST_F(SkinResourcesTest, DefaultSkinLoadsCompleteAndAsDrawn) {
    const std::string package = std::string(KALVOR_PROGRAM_DIR) + "/skins/Default.krs";
    std::ostringstream out;
    SkinUnpacker unpacker(out);
    ASSERT_TRUE(unpacker.UnpackSkin(package)) << out.str();
    ASSERT_TRUE(skin_.LoadSkin(SkinUnpacker::SkinFolder(), nullptr));
    EXPECT_TRUE(sink_.texts.empty());

    // Shaped with transparent corners and an opaque body; masked buttons.
    ASSERT_TRUE(skin_.IsShaped());
    const QRegion shape = skin_.Shape() & QRect(0, 0, skin_.Width(), skin_.Height());
    EXPECT_FALSE(shape.contains(QPoint(0, 0)));
    EXPECT_FALSE(shape.contains(QPoint(skin_.Width() - 1, skin_.Height() - 1)));
    EXPECT_TRUE(shape.contains(QPoint(skin_.Width() / 2, skin_.Height() / 2)));
    EXPECT_TRUE(shape.contains(QPoint(0, skin_.Height() / 2)));
    EXPECT_TRUE(shape.contains(QPoint(skin_.Width() - 1, skin_.Height() / 2)));

    // Every button has three different images, lies on the shape, and is found at its centre.
    const auto& buttons = skin_.Buttons();
    ASSERT_GE(buttons.size(), 10u);
    for (size_t b = 0; b < buttons.size(); ++b) {
        const SkinButton& button = buttons[b];
        ASSERT_FALSE(button.images[kImageNormal].isNull()) << b;
        EXPECT_NE(button.images[kImageNormal], button.images[kImagePressed]) << b;
        EXPECT_NE(button.images[kImageNormal], button.images[kImageHover]) << b;
        EXPECT_TRUE(shape.contains(button.Rect())) << b;
        EXPECT_EQ(skin_.ButtonAt(button.Rect().center().x(), button.Rect().center().y()),
                  static_cast<int>(b));
        for (size_t other = 0; other < b; ++other)
            EXPECT_FALSE(button.Rect().intersects(buttons[other].Rect()));
        if (b >= kFixedButtons) {
            EXPECT_TRUE(button.command >= 1 && button.command <= kMaxPlayerCommand) << b;
        }
    }
    EXPECT_EQ(skin_.SeekBarKind(), SeekKind::HorizontalBitmap);
    EXPECT_FALSE(skin_.SeekImage().isNull());
    EXPECT_TRUE(shape.contains(skin_.SeekRect()));
    EXPECT_EQ(skin_.VolumeControlKind(), VolumeKind::HorizontalKnob);
    EXPECT_FALSE(skin_.KnobImages()[kImageNormal].isNull());
    const auto& volume = skin_.Description().volume;
    EXPECT_TRUE(shape.contains(
        QRect(QPoint(volume[0], volume[1]), QSize(volume[2] - volume[0], 0) + skin_.KnobSize())));
    EXPECT_NE(skin_.PlayLBG(), skin_.PlayLTX());

    const QImage scroll(QString::fromStdString(SkinUnpacker::SkinFolder() + "/scrollskin.bmp"),
                        "BMP");
    EXPECT_EQ(scroll.size(), QSize(13, 127));
}

}  // namespace
