// The playlist's bitmap scroll bar beside a list on the offscreen platform, skinned from a
// generated scroll bitmap whose bands each have their own colour.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <string>
#include <vector>

#include "player/playlist/ListCtrlOwner.h"
#include "player/playlist/ListScrollBar.h"
#include "player/playlist/XCListCtrl.h"
#include "player/settings/PlayerSettings.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"

namespace {

struct CountingOwner : IListCtrlOwner {
    PlayerSettings settings{};
    int probes = 0;
    PlayerSettings& Settings() override { return settings; }
    void ProbeVisibleDurations() override { ++probes; }
    void FillTimeFields() override {}
    void UpdateJobButtons() override {}
    void PlaySelected() override {}
    double PlaybackPosition() override { return 0.0; }
    void ShowListMenu(const QPoint&) override {}
    void ResetHoverCaption() override {}
};

// One colour per band of the scroll bitmap; the track tile's first row is marked so that
// the tiling shows in the pixels.
const std::vector<std::pair<int, QRgb>> kBands = {
    {0, 0xFF100000},  {13, 0xFF200000}, {26, 0xFF300000},  {39, 0xFF400000},  {52, 0xFF500000},
    {70, 0xFF600000}, {88, 0xFF700000}, {101, 0xFF800000}, {114, 0xFF900000}, {127, 0xFF000000},
};
constexpr QRgb kTileMark = 0xFF00FF00;

QImage GeneratedSkin() {
    QImage skin(13, 127, QImage::Format_RGB32);
    for (size_t i = 0; i + 1 < kBands.size(); ++i)
        for (int y = kBands[i].first; y < kBands[i + 1].first; ++y)
            for (int x = 0; x < 13; ++x) skin.setPixel(x, y, kBands[i].second);
    for (int x = 0; x < 13; ++x) skin.setPixel(x, 88, kTileMark);
    return skin;
}

QRgb BandColor(int top) {
    for (const auto& [y, color] : kBands)
        if (y == top) return color;
    return 0;
}

// Every pixel of the image has the colour.
bool Uniform(const QImage& image, QRgb color) {
    if (image.isNull()) return false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != color) return false;
    return true;
}

QImage Rendered(QWidget& part) {
    return part.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void Send(QWidget& target, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), QPointF(target.mapToGlobal(at)), Qt::LeftButton, held,
                      Qt::NoModifier);
    QApplication::sendEvent(&target, &event);
}

class ScrollBarTest : public ::testing::Test {
public:
    CountingOwner owner_;
    QWidget window_;
    XCListCtrl* list_ = new XCListCtrl(&window_);
    ListScrollBar bar_{&window_};
    // The owner's origin on screen is any point: only the difference counts.
    const QPoint origin_{1000, 500};

    void SetUp() override {
        window_.resize(400, 320);
        list_->SetOwner(kPlaylistMode, &owner_);
        list_->SetListFont(-12, 0, 0, 0, 0, "Arial");
        list_->setGeometry(10, 40, 220, 200);
        bar_.SetList(list_);
        window_.show();
        qttest::Pump(0);
        Fill(60);
        list_->SetListGeometry(list_->geometry().translated(origin_), origin_);
        bar_.SetScrollSkin(GeneratedSkin());
    }
    void Fill(int rows) {
        for (int i = 0; i < rows; ++i)
            list_->Entries().AddEntry(i, "/m/" + std::to_string(i) + ".avi", 0, -1);
        list_->ScrollLimit();
    }
};

TEST_F(ScrollBarTest, PartsStandInAColumnAtTheListsRightEdgeWithTheirBandsImages) {
    EXPECT_EQ(bar_.Up().geometry(), QRect(230, 40, 13, 13));
    EXPECT_EQ(bar_.Track().geometry(), QRect(230, 53, 13, 174));
    EXPECT_EQ(bar_.Thumb().geometry(), QRect(230, 53, 13, 18));
    EXPECT_EQ(bar_.Down().geometry(), QRect(230, 227, 13, 13));
    EXPECT_TRUE(Uniform(Rendered(bar_.Up()), BandColor(13)));
    EXPECT_TRUE(Uniform(Rendered(bar_.Down()), BandColor(0)));
    EXPECT_TRUE(Uniform(Rendered(bar_.Thumb()), BandColor(52)));
    EXPECT_TRUE(Uniform(bar_.Up().PressedImage(), BandColor(39)));
    EXPECT_TRUE(Uniform(bar_.Down().PressedImage(), BandColor(26)));
    EXPECT_TRUE(Uniform(bar_.Thumb().PressedImage(), BandColor(70)));
    // The thumb lies over the track.
    EXPECT_EQ(window_.childAt(236, 60), &bar_.Thumb());
}

TEST_F(ScrollBarTest, ATwoHundredPixelListTilesItsTrackFourteenTimesFromTheTop) {
    const QImage track = Rendered(bar_.Track());
    ASSERT_EQ(track.size(), QSize(13, 174));
    int marks = 0;
    for (int y = 0; y < 174; ++y) {
        const QRgb expected = y % 13 == 0 ? kTileMark : BandColor(88);
        EXPECT_EQ(track.pixel(6, y), expected) << y;
        marks += track.pixel(6, y) == kTileMark;
    }
    EXPECT_EQ(marks, 14);  // the fourteenth tile shows its first 5 rows only
    // A taller list rebuilds the track at its new height.
    list_->setGeometry(10, 40, 220, 226);
    list_->SetListGeometry(list_->geometry().translated(origin_), origin_);
    bar_.PlaceAllParts();
    EXPECT_EQ(Rendered(bar_.Track()).size(), QSize(13, 200));
    EXPECT_EQ(bar_.Down().geometry(), QRect(230, 253, 13, 13));
}

TEST_F(ScrollBarTest, EachArrowPressScrollsOneLineAndShowsThePressedImageUntilRelease) {
    const QPoint at(6, 6);
    Send(bar_.Down(), QEvent::MouseButtonPress, at, Qt::LeftButton);
    EXPECT_TRUE(Uniform(Rendered(bar_.Down()), BandColor(26)));
    EXPECT_EQ(list_->ScrollPos(), 1);
    Send(bar_.Down(), QEvent::MouseButtonRelease, at, Qt::NoButton);
    EXPECT_TRUE(Uniform(Rendered(bar_.Down()), BandColor(0)));
    // Two quick clicks reach a widget as press, release, double-click, release: two lines
    // more, not one.
    Send(bar_.Down(), QEvent::MouseButtonPress, at, Qt::LeftButton);
    Send(bar_.Down(), QEvent::MouseButtonRelease, at, Qt::NoButton);
    Send(bar_.Down(), QEvent::MouseButtonDblClick, at, Qt::LeftButton);
    EXPECT_TRUE(Uniform(Rendered(bar_.Down()), BandColor(26)));
    Send(bar_.Down(), QEvent::MouseButtonRelease, at, Qt::NoButton);
    EXPECT_EQ(list_->ScrollPos(), 3);
    EXPECT_EQ(list_->TopIndex(), 3);
    Send(bar_.Up(), QEvent::MouseButtonPress, at, Qt::LeftButton);
    Send(bar_.Up(), QEvent::MouseButtonRelease, at, Qt::NoButton);
    Send(bar_.Up(), QEvent::MouseButtonPress, at, Qt::LeftButton);
    EXPECT_TRUE(Uniform(Rendered(bar_.Up()), BandColor(39)));
    Send(bar_.Up(), QEvent::MouseButtonRelease, at, Qt::NoButton);
    EXPECT_EQ(list_->ScrollPos(), 1);
    // The thumb followed: limit L, position 1 of it.
    const int limit = list_->ScrollLimit();
    ASSERT_GT(limit, 10);
    EXPECT_EQ(bar_.Thumb().y(), int(float(200 - 44) * (1.0f / float(limit)) + 53.0f));
}

TEST_F(ScrollBarTest, DraggingTheThumbScrollsAsItGoesAndProbesOnlyAtTheRelease) {
    const int limit = list_->ScrollLimit();
    ASSERT_GT(limit, 10);
    const int probes = owner_.probes;
    Send(bar_.Thumb(), QEvent::MouseButtonPress, QPoint(6, 4), Qt::LeftButton);
    EXPECT_TRUE(bar_.Thumb().Dragging());
    EXPECT_TRUE(Uniform(Rendered(bar_.Thumb()), BandColor(70)));
    // 78 of the 156 pixels of travel: half the limit.
    Send(bar_.Thumb(), QEvent::MouseMove, QPoint(6, 4 + 78), Qt::LeftButton);
    EXPECT_EQ(bar_.Thumb().y(), 53 + 78);
    EXPECT_EQ(list_->ScrollPos(), int(float(limit) * (78.0f / 156.0f)));
    EXPECT_EQ(list_->TopIndex(), list_->ScrollPos());
    // Past the bottom: pinned at the end, last top row; a further move changes nothing.
    Send(bar_.Thumb(), QEvent::MouseMove, QPoint(6, 4 + 200), Qt::LeftButton);
    EXPECT_EQ(bar_.Thumb().y(), 209);
    EXPECT_EQ(list_->ScrollPos(), limit);
    list_->SetScrollPos(3);
    Send(bar_.Thumb(), QEvent::MouseMove, QPoint(6, 4 + 40), Qt::LeftButton);
    EXPECT_EQ(list_->ScrollPos(), 3);
    EXPECT_EQ(owner_.probes, probes);
    Send(bar_.Thumb(), QEvent::MouseButtonRelease, QPoint(6, 44), Qt::NoButton);
    EXPECT_EQ(owner_.probes, probes + 1);
    EXPECT_FALSE(bar_.Thumb().Dragging());
    EXPECT_TRUE(Uniform(Rendered(bar_.Thumb()), BandColor(52)));
}

TEST_F(ScrollBarTest, AMissingOrShortBitmapLeavesThePartsBlank) {
    TempEnvironment env;
    EXPECT_TRUE(ListScrollBar::LoadBitmap(env.Path("absent.bmp")).isNull());
    EXPECT_TRUE(ListScrollBar::LoadBitmap(env.Root()).isNull());  // a folder
    TempEnvironment::WriteFile(env.Path("junk.bmp"), "BM not a bitmap");
    EXPECT_TRUE(ListScrollBar::LoadBitmap(env.Path("junk.bmp")).isNull());
    const QImage skin = GeneratedSkin();
    ASSERT_TRUE(skin.save(QString::fromStdString(env.Path("scrollskin.bmp")), "BMP"));
    EXPECT_EQ(ListScrollBar::LoadBitmap(env.Path("scrollskin.bmp")).pixel(0, 60), BandColor(52));

    bar_.SetScrollSkin(QImage());
    for (XCListCtrlScrollPart* part : std::initializer_list<XCListCtrlScrollPart*>{
             &bar_.Up(), &bar_.Track(), &bar_.Thumb(), &bar_.Down()})
        EXPECT_TRUE(part->Shown().isNull());
    // Cut off below the thumbs: the arrows have pictures, the thumb and track none.
    bar_.SetScrollSkin(skin.copy(0, 0, 13, 60));
    EXPECT_FALSE(bar_.Up().Shown().isNull());
    EXPECT_TRUE(bar_.Thumb().Shown().isNull());
    EXPECT_TRUE(bar_.Track().Shown().isNull());
    // The arrows still scroll.
    Send(bar_.Down(), QEvent::MouseButtonPress, QPoint(6, 6), Qt::LeftButton);
    EXPECT_EQ(list_->ScrollPos(), 1);
}

}  // namespace
