// The skinned surface with the default skin and with small made-up skins: hover and press
// through the hit bands, seek and volume drags, and what ends up in the backing image.

#include <gtest/gtest.h>

#include <QPainter>

#include <cmath>
#include <filesystem>

#include "platform/ui/MessageSink.h"
#include "player/shell/MainSurface.h"
#include "player/skin/SkinUnpacker.h"
#include "support/TempEnvironment.h"

namespace {

struct RecordingHost : ISurfaceHost {
    std::vector<std::pair<int, int>> commands;
    std::vector<double> volumes, seeks;
    std::vector<int> helps;
    double duration = 100.0;
    void ExecuteCommand(int button, int code) override { commands.emplace_back(button, code); }
    int SetPlaybackVolume(double volume) override {
        volumes.push_back(volume);
        return 1;
    }
    double MediaDuration() override { return duration; }
    double SeekMedia(double seconds) override {
        seeks.push_back(seconds);
        return seconds;
    }
    void ShowHelp(int id) override { helps.push_back(id); }
};

QImage Filled(int width, int height, QColor color) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

class MainSurfaceTest : public TempFolderTest {
protected:
    MainSurfaceTest() : surface_(settings_, host_) { settings_ = InstalledSettings(); }

    void LoadDefaultSkin() {
        SkinUnpacker unpacker;
        ASSERT_TRUE(unpacker.UnpackSkin(std::string(KALVOR_PROGRAM_DIR) + "/skins/Default.krs"));
        ASSERT_TRUE(skin_.LoadSkin(SkinUnpacker::SkinFolder(), nullptr));
        surface_.SetSkin(&skin_);
    }
    // A 200 x 40 skin: Play at (20, 10), extra button 1 running command 30 at (100, 10).
    void LoadSmallSkin(const std::string& extra) {
        const std::string folder = env_.Path("small");
        std::filesystem::create_directories(folder);
        TempEnvironment::WriteFile(folder + "/skin.ini",
                                   "BtnPlay = 20, 10;\nExtrNum = 1;\nBtn1= 100, 10 : 30;\n" + extra);
        ASSERT_TRUE(Filled(200, 40, Qt::darkGray).save(QString::fromStdString(folder + "/main.bmp"), "BMP"));
        for (const char* name : {"bplayn", "btn1n"})
            ASSERT_TRUE(Filled(10, 10, Qt::white).save(QString::fromStdString(folder + "/" + name + ".bmp"), "BMP"));
        ASSERT_TRUE(Filled(10, 10, Qt::red).save(QString::fromStdString(folder + "/bplayd.bmp"), "BMP"));
        ASSERT_TRUE(skin_.LoadSkin(folder, nullptr));
        surface_.SetSkin(&skin_);
    }
    void Click(int x, int y) {
        surface_.OnMouseMove(x, y, false);
        surface_.OnLButtonDown(x, y);
        surface_.OnLButtonUp(x, y);
    }

    PlayerSettings settings_;
    RecordingHost host_;
    SkinResources skin_;
    MainSurface surface_;
};

TEST_F(MainSurfaceTest, EveryPixelColumnHoversTheButtonAPlainSearchFinds) {
    LoadDefaultSkin();
    const auto& buttons = skin_.Buttons();
    const int width = skin_.Width();
    for (int x = -2; x < width + 2; ++x) {
        const int band = skin_.Bands().Band(x);
        EXPECT_EQ(band, x >= 0 && x < width ? x * 10 / width : -1) << x;
        for (const SkinButton& row : buttons) {
            const int y = row.pos.y() + row.Rect().height() / 2;
            // Reference: the last button, in index order, the point lies strictly inside.
            int expected = -1;
            for (int b = 0; b < static_cast<int>(buttons.size()); ++b)
                if (buttons[b].Contains(x, y)) expected = b;
            surface_.OnMouseMove(x, y, false);
            ASSERT_EQ(surface_.CurrentButton(), band < 0 ? surface_.CurrentButton() : expected)
                << x << "," << y;
            if (expected >= 0) {
                EXPECT_EQ(surface_.ButtonState(), kStateHover);
            }
        }
    }
}

TEST_F(MainSurfaceTest, AButtonFiresOnlyWhenReleasedPressedAndUnderThePointer) {
    LoadSmallSkin("");
    struct Case {
        const char* name;
        std::vector<std::pair<int, int>> heldMoves;  // after the press at (25, 15)
        int upX, upY;
        std::vector<std::pair<int, int>> commands;
    } cases[] = {
        {"press and release", {}, 25, 15, {{1, 0}}},
        {"moved off", {{50, 15}}, 50, 15, {}},
        {"moved off and back", {{50, 15}, {26, 16}}, 26, 16, {{1, 0}}},
        {"onto the left edge", {{20, 15}}, 20, 15, {}},
    };
    for (const Case& c : cases) {
        host_.commands.clear();
        surface_.OnMouseMove(25, 15, false);
        ASSERT_EQ(surface_.CurrentButton(), 1) << c.name;
        EXPECT_FALSE(surface_.OnLButtonDown(25, 15)) << c.name;  // no window drag
        EXPECT_EQ(surface_.ButtonState(), kStatePressed);
        for (auto [x, y] : c.heldMoves) surface_.OnMouseMove(x, y, true);
        surface_.OnLButtonUp(c.upX, c.upY);
        EXPECT_EQ(host_.commands, c.commands) << c.name;
        surface_.OnMouseMove(150, 35, false);  // away: no current button
    }
    // The extra button hands over its command; the pressed image shows while held.
    Click(105, 15);
    EXPECT_EQ(host_.commands, (std::vector<std::pair<int, int>>{{7, 30}}));
    surface_.OnMouseMove(25, 15, false);
    surface_.OnLButtonDown(25, 15);
    EXPECT_EQ(surface_.Image().pixelColor(25, 15), QColor(Qt::red));
    surface_.OnLButtonUp(25, 15);
    EXPECT_EQ(surface_.Image().pixelColor(25, 15), QColor(Qt::red));  // hover borrows pressed
    surface_.OnMouseMove(60, 15, false);
    EXPECT_EQ(surface_.Image().pixelColor(25, 15), QColor(Qt::white));
}

TEST_F(MainSurfaceTest, PressDragAndReleaseOnTheSeekBarSeeksToThePointer) {
    LoadDefaultSkin();
    const QRect bar = skin_.SeekRect();
    ASSERT_GT(bar.width(), 0);
    const int y = bar.y() + bar.height() / 2;
    // The bar takes a press on its very edge; a press starts no window drag.
    EXPECT_FALSE(surface_.OnLButtonDown(bar.x(), bar.y()));
    EXPECT_TRUE(surface_.SeekDragging());
    const int quarter = bar.x() + bar.width() / 4;
    surface_.OnMouseMove(quarter, y, true);
    EXPECT_DOUBLE_EQ(surface_.DisplayedPosition(), 100.0 * (bar.width() / 4) / bar.width());
    EXPECT_TRUE(host_.seeks.empty());  // no seeking while dragging
    surface_.OnMouseMove(bar.x() + bar.width() + 50, y, true);  // past the end: clamped
    EXPECT_EQ(surface_.SeekPosition(), bar.x() + bar.width());
    surface_.OnMouseMove(quarter, y, true);
    surface_.OnLButtonUp(quarter, y);
    ASSERT_EQ(host_.seeks.size(), 1u);
    EXPECT_DOUBLE_EQ(host_.seeks[0], 100.0 * (bar.width() / 4) / bar.width());
    EXPECT_EQ(surface_.TextAt(MainSurface::kTimeText), "00:00:" + std::to_string(static_cast<int>(host_.seeks[0])));
    EXPECT_FALSE(surface_.SeekDragging());

    // A release missed outside the window puts the bar back where the last drag ended.
    surface_.OnLButtonDown(bar.x() + bar.width() - 2, y);
    surface_.OnMouseMove(bar.x() + bar.width() - 2, y, true);
    surface_.OnMouseMove(10, 10, false);
    EXPECT_EQ(surface_.SeekPosition(), quarter);
    EXPECT_FALSE(surface_.SeekDragging());
    EXPECT_EQ(host_.seeks.size(), 1u);

    // The timer's fraction draws the bit map up to the position and the surface after it.
    surface_.DrawSeekBar(0.5);
    const int middle = bar.x() + bar.width() / 2;
    const QImage image = surface_.Image();
    EXPECT_EQ(image.pixelColor(middle - 3, y), skin_.SeekImage().pixelColor(middle - 3 - bar.x(), y - bar.y()));
    EXPECT_EQ(image.pixelColor(middle + 3, y), skin_.Surface().pixelColor(middle + 3, y));
}

TEST_F(MainSurfaceTest, ControlsOfNoWidthNeverProduceNaNOrValuesOutsideZeroToOne) {
    const struct {
        const char* ini;
        int x, y;  // where the drag starts
    } skins[] = {
        {"Volume = 50, 10, 50, 30;\nTrackBar = 10, 30, 0, 5;", 50, 20},  // no width at all
        {"Volume = 50, 10, 90, 30;", 60, 20},               // line kind
        {"VolumeKind = CH;\nVolume = 50, 10, 50;\nVolumeBtn = k;", 55, 15},  // knob, no travel
        {"VolumeKind = CV;\nVolume = 50, 10, 10;\nVolumeBtn = k;", 55, 15},
        {"VolumeKind = CH;\nVolume = 50, 10, 120;\nVolumeBtn = k;", 55, 15},
    };
    for (const auto& s : skins) {
        host_.volumes.clear();
        LoadSmallSkin(s.ini);
        TempEnvironment::WriteFile(env_.Path("small/kn.bmp"), "");
        QImage knob = Filled(10, 10, Qt::blue);
        knob.save(QString::fromStdString(env_.Path("small/kn.bmp")), "BMP");
        ASSERT_TRUE(skin_.LoadSkin(env_.Path("small"), nullptr));
        surface_.SetSkin(&skin_);
        surface_.DrawVolumeBar(0.0);
        surface_.OnMouseMove(s.x, s.y, false);
        surface_.OnLButtonDown(s.x, s.y);
        for (int x : {-1000, 0, 49, 50, 51, 70, 90, 119, 120, 121, 5000})
            surface_.OnMouseMove(x, s.y + (x % 7), true);
        surface_.OnLButtonUp(0, 0);
        for (double v : {std::nan(""), -0.5, 1.5, HUGE_VAL, 0.25})
            surface_.DrawVolumeBar(v);
        for (double v : host_.volumes) {
            ASSERT_TRUE(std::isfinite(v)) << s.ini;
            ASSERT_GE(v, 0.0) << s.ini;
            ASSERT_LE(v, 1.0) << s.ini;
        }
        EXPECT_EQ(settings_.volume, 0.25) << s.ini;
        // The seek bar: a drag over it, and the timer's fractions.
        const QRect bar = skin_.SeekRect();
        surface_.OnLButtonDown(bar.x(), bar.y());
        surface_.OnMouseMove(bar.x() + 3, bar.y(), true);
        surface_.OnLButtonUp(bar.x() + 3, bar.y());
        for (double f : {std::nan(""), -1.0, 2.0}) {
            surface_.DrawSeekBar(f);
            EXPECT_TRUE(surface_.SeekFraction() >= 0.0 && surface_.SeekFraction() <= 1.0);
        }
    }
    for (double seconds : host_.seeks) EXPECT_TRUE(std::isfinite(seconds));
    EXPECT_FALSE(host_.seeks.empty());
    // Values outside 0..1 are stored clamped; NaN counts as silence.
    surface_.DrawVolumeBar(1.5);
    EXPECT_EQ(settings_.volume, 1.0);
    surface_.DrawVolumeBar(std::nan(""));
    EXPECT_EQ(settings_.volume, 0.0);
}

TEST_F(MainSurfaceTest, LineVolumeDrawsBarsRisingOnePixelPerThreeAndDragsLive) {
    LoadSmallSkin("VolumeClr = 00FF00;\nVolume = 100, 5, 190, 35;");
    surface_.DrawVolumeBar(30.0 / 90.0);
    EXPECT_EQ(surface_.VolumeLevel(), 130);
    const QImage image = surface_.Image();
    EXPECT_EQ(image.pixelColor(130, 35 - 9), QColor(Qt::green));   // x0 + 30: 10 high
    EXPECT_EQ(image.pixelColor(130, 35 - 10), QColor(Qt::darkGray));
    EXPECT_EQ(image.pixelColor(133, 34), QColor(Qt::darkGray));     // beyond the level
    EXPECT_EQ(image.pixelColor(180, 35), QColor(Qt::green));        // the base line
    // A press inside the control sets the level at once; the drag follows, clamped.
    surface_.OnMouseMove(160, 20, false);
    surface_.OnLButtonDown(160, 20);
    EXPECT_DOUBLE_EQ(settings_.volume, 60.0 / 90.0);
    surface_.OnMouseMove(400, 20, true);
    EXPECT_EQ(settings_.volume, 1.0);
    surface_.OnMouseMove(100, 20, true);  // on x0 itself: unchanged
    EXPECT_EQ(settings_.volume, 1.0);
    surface_.OnMouseMove(20, 20, true);
    EXPECT_EQ(settings_.volume, 0.0);
    EXPECT_EQ(host_.volumes.back(), 0.0);
}

TEST_F(MainSurfaceTest, TheKnobKeepsItsStateImageAcrossRepaintsAndClicksCycleRepeat) {
    LoadDefaultSkin();
    const QPoint knob = surface_.KnobPosition();
    const QSize size = skin_.KnobSize();
    const QPoint centre(knob.x() + size.width() / 2, knob.y() + size.height() / 2);
    const auto shows = [&](SkinImage which) {
        const QImage& image = skin_.KnobImages()[which];
        return surface_.Image().pixelColor(centre) ==
               image.pixelColor(size.width() / 2, size.height() / 2);
    };
    ASSERT_NE(skin_.KnobImages()[kImageHover].pixelColor(size.width() / 2, size.height() / 2),
              skin_.KnobImages()[kImageNormal].pixelColor(size.width() / 2, size.height() / 2));
    EXPECT_TRUE(shows(kImageNormal));
    surface_.OnMouseMove(centre.x(), centre.y(), false);
    EXPECT_EQ(surface_.KnobState(), kStateHover);
    EXPECT_TRUE(shows(kImageHover));
    EXPECT_FALSE(surface_.OnLButtonDown(centre.x(), centre.y()));
    EXPECT_TRUE(shows(kImagePressed));

    // Repeat text: a click cycles all -> one -> off -> all and never drags the window.
    surface_.SetText(MainSurface::kRepeatText, MainSurface::RepeatText(settings_.repeatMode));
    const QRect area = surface_.RepeatTextArea();
    ASSERT_FALSE(area.isEmpty());
    const QPoint in = area.center();
    settings_.repeatMode = 0;
    for (const char* expected : {"Repeat one", "Repeat off", "Repeat all"}) {
        surface_.OnLButtonUp(0, 0);
        surface_.OnMouseMove(in.x(), in.y(), false);
        EXPECT_FALSE(surface_.OnLButtonDown(in.x(), in.y()));
        surface_.OnLButtonUp(in.x(), in.y());
        EXPECT_EQ(surface_.TextAt(MainSurface::kRepeatText), expected);
    }
    // The help area opens help context 1; the plain surface starts a window drag.
    const QPoint help = skin_.AboutRect().center();
    EXPECT_FALSE(surface_.OnLButtonDown(help.x(), help.y()));
    surface_.OnLButtonUp(help.x(), help.y());
    EXPECT_EQ(host_.helps, std::vector<int>{1});
    EXPECT_TRUE(surface_.OnLButtonDown(8, 50));
}

}  // namespace
