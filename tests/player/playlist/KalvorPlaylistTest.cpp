// The playlist window on the offscreen platform with a host of the test's own and a
// generated scroll bitmap: layout, menus, painting, the mouse on its frame and start-up.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "platform/system/FixedText.h"
#include "platform/ui/ColorRef.h"
#include "player/menus/MenuXP.h"
#include "player/playlist/KalvorPlaylist.h"
#include "player/playlist/PlaylistFormats.h"
#include "player/playlist/XCListCtrl.h"
#include "player/settings/PlayerSettings.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"

namespace {

using namespace playlistframe;

constexpr PlaylistColors kColors{0x00302010, 0x00E0E0E0, 0x00A06040, 0x000000F0};

struct Host : IPlaylistWindowHost {
    PlayerSettings settings{};
    std::string config, skin;
    std::vector<int> helps;
    int focused = 0;
    PlayerSettings& Settings() override { return settings; }
    PlaylistColors colors = kColors;
    PlaylistColors Colors() override { return colors; }
    std::string UserConfigFolder() override { return config; }
    std::string SkinFolder() override { return skin; }
    void ShowHelp(int contextId) override { helps.push_back(contextId); }
    void FocusMainWindow() override { ++focused; }
    void PlaySelected() override {}
    double PlaybackPosition() override { return -1.0; }
};

struct Commands : IPlaylistCommandHandler {
    std::vector<int32_t> ids;
    void OnPlaylistCommand(int32_t id) override { ids.push_back(id); }
};

// Records each menu it is asked to show and answers with a chosen id.
class Playlist : public CKalvorPlaylist {
public:
    using CKalvorPlaylist::CKalvorPlaylist;
    std::vector<std::pair<CMenuXP*, QPoint>> shown;
    int32_t answer = 0;

protected:
    int32_t TrackMenu(CMenuXP& menu, const QPoint& at) override {
        shown.push_back({&menu, at});
        return answer;
    }
};

// Menu entries as (id, text), a separator as (0, "-").
std::vector<std::pair<int, std::string>> Entries(const CMenuXP& menu) {
    std::vector<std::pair<int, std::string>> entries;
    for (const QAction* action : menu.actions()) {
        const CMenuXPItem* item = menu.ItemOf(action);
        if (!item || item->sideBar) continue;
        entries.push_back(item->separator ? std::pair(0, std::string("-"))
                                          : std::pair(int(item->id), item->text));
    }
    return entries;
}

class PlaylistWindowTest : public TempFolderTest {
public:
    Host host_;
    Commands commands_;
    std::unique_ptr<Playlist> window_;

    void SetUp() override {
        host_.config = env_.Path("config");
        host_.skin = env_.Path("skin");
        QImage skin(13, 127, QImage::Format_RGB32);
        for (int y = 0; y < 127; ++y)
            for (int x = 0; x < 13; ++x) skin.setPixel(x, y, qRgb(y, 255 - y, 7 * (y / 13)));
        std::filesystem::create_directories(host_.skin);
        ASSERT_TRUE(skin.save(QString::fromStdString(host_.skin + "/scrollskin.bmp"), "BMP"));
        host_.settings.playlistRect = {100, 100, 500, 400};
        host_.settings.mainRect = {100, 400, 400, 500};
        host_.settings.playlistVisible = 1;
    }
    void Open() {
        window_ = std::make_unique<Playlist>(host_, nullptr);
        window_->SetCommandHandler(&commands_);
        window_->LayoutPlaylist();
        window_->show();
        qttest::Pump(0);
    }
    WinRect& Rect() { return host_.settings.playlistRect; }
    // A mouse event at a client point of the rectangle placed, with its screen position.
    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButtons held = Qt::NoButton) {
        const QPoint global = at + QPoint(Rect().left, Rect().top);
        QMouseEvent event(type, QPointF(at), QPointF(global), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(window_.get(), &event);
    }
    // The pointer dragged with the button down to a screen point.
    void DragTo(QPoint global) {
        const QPoint local = global - QPoint(Rect().left, Rect().top);
        QMouseEvent event(QEvent::MouseMove, QPointF(local), QPointF(global), Qt::NoButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window_.get(), &event);
    }
    void WriteInternalPlaylist(int rows) {
        std::vector<MediaEntry> entries;
        // Entries whose files are gone are dropped at loading; these exist.
        for (int i = 0; i < rows; ++i) {
            entries.push_back({env_.Path("m/" + std::to_string(i) + ".avi"), 0.0, 5.0});
            TempEnvironment::WriteFile(entries.back().path, "");
        }
        std::filesystem::create_directories(host_.config);
        TempEnvironment::WriteFile(host_.config + "/internal.pls",
                                   playlistformat::WritePls(entries));
    }
};

TEST_F(PlaylistWindowTest, LayoutPlacesTheListItsScrollBarCloseButtonAndFilterBox) {
    Open();
    EXPECT_EQ(window_->geometry(), QRect(100, 100, 400, 300));
    XCListCtrl& list = window_->List();
    EXPECT_EQ(list.geometry(), QRect(10, 40, 367, 250));
    EXPECT_EQ(list.ListRect(), QRect(110, 140, 367, 250));
    EXPECT_EQ(window_->ScrollBar().Up().geometry(), QRect(377, 40, 13, 13));
    EXPECT_EQ(window_->ScrollBar().Down().geometry(), QRect(377, 277, 13, 13));
    EXPECT_EQ(window_->ScrollBar().Track().geometry(), QRect(377, 53, 13, 224));
    const MenuBar& bar = window_->MenuBarMetrics();
    const WinRect box = bar.FilterBoxRect(400);
    EXPECT_EQ(window_->FilterBox().geometry(),
              QRect(box.left + 1, box.top + 1, box.Width() - 2, box.Height() - 2));
    EXPECT_EQ(window_->FilterBox().maxLength(), 254);
    // The list width decides the columns (220 scales them, 221 gives column 0 the rest);
    // the times keep the room their bold text needs in the face the list has.
    const int time = list.TimeColumnWidth();
    for (int width : {253, 254, 400}) {
        Rect().right = Rect().left + width;
        window_->LayoutPlaylist();
        EXPECT_EQ(
            (std::array<int, 3>{list.columnWidth(0), list.columnWidth(1), list.columnWidth(2)}),
            ColumnWidths(width - 33, time))
            << width;
    }
    EXPECT_EQ(list.viewport()->width(), 367) << "the columns fill the list to its edges";
    // Too small a rectangle grows to the minimum at its top-left corner.
    Rect() = {100, 100, 250, 150};
    window_->LayoutPlaylist();
    EXPECT_EQ(window_->geometry(), QRect(100, 100, 200, 100));
}

TEST_F(PlaylistWindowTest, TheRecentMenuListsTheRememberedPlaylistsInTheirOrder) {
    fixedtext::SetPath(host_.settings.recentPlaylists[0], "/lists/new.pls");
    fixedtext::SetPath(host_.settings.recentPlaylists[1], "/lists/old.m3u");
    Open();
    using E = std::vector<std::pair<int, std::string>>;
    ASSERT_NE(window_->RecentMenu(), nullptr);
    EXPECT_EQ(Entries(*window_->RecentMenu()),
              (E{{5108, "/lists/new.pls"}, {5109, "/lists/old.m3u"}, {5110, ""}, {5111, ""}}));
}

TEST_F(PlaylistWindowTest, ACaptionOpensItsMenuOnceUntilThePointerMovesOverItAgain) {
    Open();
    const MenuBar& bar = window_->MenuBarMetrics();
    const QPoint edit(bar.CaptionZoneLeft(kEdit) + 3, 32);
    window_->answer = 5123;
    window_->grab();  // painted once: captions may be redrawn from now on
    Mouse(QEvent::MouseMove, edit);
    EXPECT_EQ(window_->HoverCaption(), kEdit);
    // The hovered caption is filled with the highlight, the others with the background.
    const QImage hovered = window_->grab().toImage();
    const auto fill = [&](int k) {
        const WinRect r = bar.CaptionRect(k);
        return hovered.pixel(r.left + 2, r.bottom - 2);
    };
    EXPECT_EQ(std::tuple(fill(kFile), fill(kEdit), fill(kSort)),
              std::tuple(colorref::ToQColor(kColors.background).rgb(),
                         colorref::ToQColor(kColors.highlight).rgb(),
                         colorref::ToQColor(kColors.background).rgb()));
    Mouse(QEvent::MouseButtonPress, edit, Qt::LeftButton);
    ASSERT_EQ(window_->shown.size(), size_t(1));
    EXPECT_EQ(window_->shown[0].first, &window_->CaptionMenu(kEdit));
    EXPECT_EQ(window_->shown[0].second, QPoint(100 + bar.CaptionZoneLeft(kEdit), 140));
    EXPECT_EQ(commands_.ids, std::vector<int32_t>{5123});
    EXPECT_EQ(window_->HoverCaption(), -kEdit);
    // The same point again: nothing opens, also after a move that did not move.
    Mouse(QEvent::MouseButtonPress, edit, Qt::LeftButton);
    Mouse(QEvent::MouseMove, edit);
    Mouse(QEvent::MouseButtonPress, edit, Qt::LeftButton);
    Mouse(QEvent::MouseButtonDblClick, edit, Qt::LeftButton);
    EXPECT_EQ(window_->shown.size(), size_t(1));
    Mouse(QEvent::MouseMove, edit + QPoint(1, 0));
    EXPECT_EQ(window_->HoverCaption(), kEdit);
    Mouse(QEvent::MouseButtonPress, edit + QPoint(1, 0), Qt::LeftButton);
    EXPECT_EQ(window_->shown.size(), size_t(2));
    // Another caption opens at once; the File menu starts at the frame's border.
    Mouse(QEvent::MouseButtonPress, QPoint(12, 32), Qt::LeftButton);
    ASSERT_EQ(window_->shown.size(), size_t(3));
    EXPECT_EQ(window_->shown[2].second, QPoint(110, 140));
    // Leaving the window drops the mark of a hovered caption.
    Mouse(QEvent::MouseMove, QPoint(13, 32));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(window_.get(), &leave);
    EXPECT_EQ(window_->HoverCaption(), 0);
}

TEST_F(PlaylistWindowTest, TheFrameShadesFromTheBorderColourOutsideToTheBackgroundInside) {
    Open();
    const QImage image = window_->grab().toImage();
    const auto color = [&](int pen) {
        return colorref::ToQColor(GradientColor(pen, kColors.border, kColors.background)).rgb();
    };
    const int w = 400, h = 300;
    struct Case {
        int x, y, pen;
    } cases[] = {{0, 150, 29},     {9, 150, 2},      {w - 1, 150, 29},
                 {w - 10, 150, 2}, {200, h - 1, 29}, {200, h - 10, 2},
                 {200, 0, 29},     {0, h - 1, 29},   {w - 1, h - 1, 29}};
    for (const Case& c : cases) EXPECT_EQ(image.pixel(c.x, c.y), color(c.pen)) << c.x << "," << c.y;
    // Inside the frame: background; the menu bar's outline is the highlight.
    const MenuBar& bar = window_->MenuBarMetrics();
    ASSERT_GE(bar.height, 10);
    const int boxLeft = bar.FilterBoxRect(w).left;
    EXPECT_EQ(image.pixel(boxLeft, bar.Top() + 1), colorref::ToQColor(kColors.background).rgb());
    EXPECT_EQ(image.pixel(w - 11, bar.Top()), colorref::ToQColor(kColors.highlight).rgb());
    EXPECT_EQ(image.pixel(w - 11, 39), colorref::ToQColor(kColors.highlight).rgb());
    EXPECT_EQ(image.pixel(w - 10, 39), color(2));
}

TEST_F(PlaylistWindowTest, ANewSkinRepaintsTheFrameScrollBarAndCloseButton) {
    Open();
    const QImage oldUp = window_->ScrollBar().Up().Shown();
    ASSERT_FALSE(oldUp.isNull());
    host_.colors = {0x00000000, 0x00FFFFFF, 0x0000FF00, 0x00FFFFFF};
    QImage skin(13, 127, QImage::Format_RGB32);
    skin.fill(qRgb(1, 2, 3));
    ASSERT_TRUE(skin.save(QString::fromStdString(host_.skin + "/scrollskin.bmp"), "BMP"));
    window_->ApplyPlaylistSkin();
    const QImage image = window_->grab().toImage();
    EXPECT_EQ(image.pixel(0, 150), qRgb(246, 246, 246));  // 29/30 of white over black
    EXPECT_EQ(image.pixel(9, 150), qRgb(17, 17, 17));
    EXPECT_EQ(window_->ScrollBar().Up().Shown().pixel(6, 6), qRgb(1, 2, 3));
    EXPECT_EQ(image.pixel(400 - 12, 10), qRgb(1, 2, 3));  // the close button
    // The skin's scroll bitmap gone: blank pieces, nothing breaks.
    std::filesystem::remove(host_.skin + "/scrollskin.bmp");
    window_->ApplyPlaylistSkin();
    EXPECT_TRUE(window_->ScrollBar().Thumb().Shown().isNull());
}

TEST_F(PlaylistWindowTest, MovingFollowsThePointerAndSnapsBelowOrAboveTheMainWindow) {
    Open();
    Mouse(QEvent::MouseMove, QPoint(50, 5));
    Mouse(QEvent::MouseButtonPress, QPoint(50, 5), Qt::LeftButton);
    ASSERT_TRUE(window_->Moving());
    // The press was at (150, 105) on the screen. 30 pixels down: bottom 430 is 30 past the
    // main window's top, too far for above; nothing else is near.
    DragTo(QPoint(150, 135));
    EXPECT_EQ(std::tuple(Rect().left, Rect().top, Rect().Width(), Rect().Height()),
              std::tuple(100, 130, 400, 300));
    EXPECT_EQ(host_.settings.playlistDocked, kUndocked);
    EXPECT_EQ(window_->pos(), QPoint(100, 130));
    // 19 past: snaps above.
    DragTo(QPoint(150, 124));
    EXPECT_EQ(std::tuple(Rect().top, Rect().bottom, host_.settings.playlistDocked),
              std::tuple(100, 400, int32_t(kAbove)));
    Mouse(QEvent::MouseButtonRelease, QPoint(50, 5));
    EXPECT_FALSE(window_->Moving());
    DragTo(QPoint(400, 400));
    EXPECT_EQ(Rect().top, 100);
}

TEST_F(PlaylistWindowTest, ResizingHidesTheChildrenKeepsTheMinimumAndLaysOutAtTheRelease) {
    Open();
    const QPoint corner(395, 295);
    Mouse(QEvent::MouseMove, corner);
    EXPECT_EQ(window_->ResizeKind(), kCorner);
    Mouse(QEvent::MouseButtonPress, corner, Qt::LeftButton);
    ASSERT_TRUE(window_->Resizing());
    EXPECT_FALSE(window_->List().isVisible());
    EXPECT_FALSE(window_->FilterBox().isVisible());
    DragTo(QPoint(100 + 150, 100 + 60));
    EXPECT_EQ(std::tuple(Rect().left, Rect().top, Rect().right, Rect().bottom),
              std::tuple(100, 100, 300, 200));
    DragTo(QPoint(100 + 320, 100 + 250));
    EXPECT_EQ(std::tuple(Rect().right, Rect().bottom), std::tuple(420, 350));
    Mouse(QEvent::MouseButtonRelease, QPoint(320, 250));
    EXPECT_FALSE(window_->Resizing());
    EXPECT_TRUE(window_->List().isVisible());
    EXPECT_EQ(window_->List().geometry(), QRect(10, 40, 320 - 33, 250 - 50));

    // The left edge keeps the right one.
    Mouse(QEvent::MouseMove, QPoint(5, 100));
    Mouse(QEvent::MouseButtonPress, QPoint(5, 100), Qt::LeftButton);
    ASSERT_EQ(window_->ResizeKind(), kLeft);
    DragTo(QPoint(400, 200));
    EXPECT_EQ(std::tuple(Rect().left, Rect().right), std::tuple(220, 420));
    // A release that never comes: the window lost the pointer; the children come back.
    QEvent lost(QEvent::WindowDeactivate);
    QApplication::sendEvent(window_.get(), &lost);
    EXPECT_FALSE(window_->Resizing());
    EXPECT_TRUE(window_->List().isVisible());
    EXPECT_EQ(window_->geometry(), QRect(220, 100, 200, 250));
}

TEST_F(PlaylistWindowTest, TheCloseButtonActsOnAPressInItsZoneOnly) {
    Open();
    const QPoint close(400 - 12, 10);
    Mouse(QEvent::MouseMove, close);
    EXPECT_TRUE(window_->CloseHovered());
    // Hovered, but pressed elsewhere without a move in between: a move, not a close.
    Mouse(QEvent::MouseButtonPress, QPoint(50, 5), Qt::LeftButton);
    EXPECT_TRUE(window_->isVisible());
    EXPECT_TRUE(window_->Moving());
    Mouse(QEvent::MouseButtonRelease, QPoint(50, 5));
    Mouse(QEvent::MouseButtonPress, close, Qt::LeftButton);
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(host_.settings.playlistVisible, 0);
    EXPECT_EQ(host_.focused, 1);
    EXPECT_FALSE(window_->CloseHovered());  // hiding forgets the hover
}

TEST_F(PlaylistWindowTest, StartUpLoadsTheInternalPlaylistAndKeepsThePlayingEntry) {
    struct Case {
        int32_t autoLoad, currentIndex;
        int rows, current;
    } cases[] = {{1, 2, 4, 2}, {1, 9, 4, 0}, {1, -1, 4, 0}, {0, 2, 0, 0}};
    WriteInternalPlaylist(4);
    for (const Case& c : cases) {
        host_.settings.autoLoadLastPlaylist = c.autoLoad;
        host_.settings.currentIndex = c.currentIndex;
        host_.settings.rangeEnd = 12.0;
        Open();
        MediaEntryLists& entries = window_->List().Entries();
        EXPECT_EQ(entries.Count(), c.rows) << c.currentIndex;
        EXPECT_EQ(host_.settings.currentIndex, c.current) << c.currentIndex;
        EXPECT_EQ(entries.CurrentRow(), c.rows ? c.current : -1) << c.currentIndex;
        EXPECT_EQ(host_.settings.rangeEnd, c.rows ? -1.0 : 12.0) << c.currentIndex;
        EXPECT_TRUE(window_->Document().LastDirectory().empty());
        EXPECT_FALSE(window_->RandomOrder());
    }
}

TEST_F(PlaylistWindowTest, F1AsksForHelpAndTheFilterBoxNarrowsTheRows) {
    WriteInternalPlaylist(4);
    host_.settings.autoLoadLastPlaylist = 1;
    Open();
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(window_.get(), &f1);
    EXPECT_EQ(host_.helps, std::vector<int>{2});
    window_->FilterBox().setText("2.avi");
    EXPECT_EQ(window_->List().Entries().Count(), 1);
    window_->ClearFilter();
    EXPECT_EQ(window_->List().Entries().Count(), 4);
}

TEST_F(PlaylistWindowTest, ItsMenusAndKeysRunThePlaylistsOwnCommands) {
    WriteInternalPlaylist(3);
    host_.settings.autoLoadLastPlaylist = 1;
    window_ = std::make_unique<Playlist>(host_, nullptr);  // no handler of the test's
    window_->LayoutPlaylist();
    window_->show();
    qttest::Pump(0);
    const auto choose = [&](int32_t id) {
        window_->answer = id;
        window_->ShowListMenu(QPoint(0, 0));
    };

    choose(5146);
    EXPECT_TRUE(window_->RandomOrder());
    EXPECT_TRUE(window_->CaptionMenu(3).IsChecked(5146));
    choose(5107);
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(host_.settings.playlistVisible, 0);
    EXPECT_EQ(host_.focused, 1);
    choose(5107);
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(host_.settings.playlistVisible, 1);

    QKeyEvent selectAll(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
    QApplication::sendEvent(&window_->List(), &selectAll);
    EXPECT_EQ(window_->List().SelectedRows(), (std::vector<int>{0, 1, 2}));
    QKeyEvent remove(QEvent::KeyPress, Qt::Key_Delete, Qt::ControlModifier);
    QApplication::sendEvent(&window_->List(), &remove);
    EXPECT_EQ(window_->List().Entries().Count(), 0);
}

// While lengths are found for a sort the band above the menu bar counts them, and Escape
// cancels the sort instead of closing the window.
TEST_F(PlaylistWindowTest, ASortWaitingForLengthsCountsThemAndEscapeCancelsIt) {
    WriteInternalPlaylist(3);
    host_.settings.autoLoadLastPlaylist = 1;
    Open();
    for (int row = 0; row < 3; ++row) window_->List().Entries().SetEnd(row, -1.0);
    window_->Commands().SortBy(PlaylistCommands::kByDuration);
    ASSERT_TRUE(window_->Commands().Lengths().Busy());
    EXPECT_EQ(window_->BusyStatus(), "Finding lengths: 0 of 3 - Esc cancels");
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&window_->List(), &escape);
    EXPECT_FALSE(window_->Commands().Lengths().Busy());
    EXPECT_EQ(window_->BusyStatus(), "");
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(host_.settings.playlistVisible, 1);
    QApplication::sendEvent(&window_->List(), &escape);  // nothing waits: Escape hides it again
    EXPECT_FALSE(window_->isVisible());
}

}  // namespace
