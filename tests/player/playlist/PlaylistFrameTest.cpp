// The playlist window's arithmetic: snapping, resizing, zones, captions, shading and the
// scroll thumb, each against cases where a wrong sign, bound or order answers otherwise.

#include <gtest/gtest.h>

#include <tuple>

#include "player/playlist/PlaylistFrame.h"

namespace {

using namespace playlistframe;

std::tuple<int, int, int, int> T(const WinRect& r) { return {r.left, r.top, r.right, r.bottom}; }

const WinRect kMain{400, 300, 700, 400};

TEST(PlaylistFrame, MovesSnapToTheFirstNearSideOfTheMainWindowAndKeepTheirSize) {
    struct Case {
        WinRect moved;
        int32_t docked;
        WinRect snapped;
    } cases[] = {
        // Above: bottom within 19 of the main top.
        {{450, 81, 750, 281}, kAbove, {450, 100, 750, 300}},
        {{450, 119, 750, 319}, kAbove, {450, 100, 750, 300}},
        {{450, 80, 750, 280}, kUndocked, {450, 80, 750, 280}},  // 20 away
        // Right of: left within 19 of the main right, overlapping vertically.
        {{719, 350, 919, 450}, kRightOf, {700, 350, 900, 450}},
        {{681, 250, 881, 340}, kRightOf, {700, 250, 900, 340}},
        {{720, 350, 920, 450}, kUndocked, {720, 350, 920, 450}},
        // Below.
        {{100, 419, 401, 619}, kBelow, {100, 400, 401, 600}},
        {{100, 420, 401, 620}, kUndocked, {100, 420, 401, 620}},
        {{100, 410, 400, 610}, kUndocked, {100, 410, 400, 610}},  // touches no column
        // Left of.
        {{181, 350, 381, 450}, kLeftOf, {200, 350, 400, 450}},
        {{180, 350, 380, 450}, kUndocked, {180, 350, 380, 450}},
        // Bottom near the top and left near the right: above wins.
        {{690, 110, 990, 310}, kAbove, {690, 100, 990, 300}},
        // Top near the bottom and right near the left: below wins.
        {{110, 395, 405, 495}, kBelow, {110, 400, 405, 500}},
        // Left near the right and top near the bottom: right-of comes before below.
        {{695, 395, 895, 495}, kRightOf, {700, 395, 900, 495}},
    };
    for (const Case& c : cases) {
        const Snap snap = SnapToMainWindow(c.moved, kMain);
        EXPECT_EQ(snap.docked, c.docked) << c.moved.left << "," << c.moved.top;
        EXPECT_EQ(T(snap.rect), T(c.snapped)) << c.moved.left << "," << c.moved.top;
        EXPECT_EQ(snap.rect.Width(), c.moved.Width());
        EXPECT_EQ(snap.rect.Height(), c.moved.Height());
    }
}

TEST(PlaylistFrame, ResizingKeepsTheOppositeEdgeAndNeverGoesBelowTheMinimum) {
    const WinRect start{100, 100, 500, 400};
    struct Case {
        int kind, x, y;
        WinRect result;
    } cases[] = {
        {kRight, 350, 999, {100, 100, 450, 400}},
        {kRight, 200, 5, {100, 100, 300, 400}},  // exactly 200 stays
        {kRight, 150, 5, {100, 100, 300, 400}},
        {kRight, -40, 5, {100, 100, 300, 400}},
        {kBottom, 999, 100, {100, 100, 500, 200}},  // exactly 100 stays
        {kBottom, 5, 60, {100, 100, 500, 200}},
        {kBottom, 5, 250, {100, 100, 500, 350}},
        {kCorner, 250, 150, {100, 100, 350, 250}},
        {kCorner, 20, 20, {100, 100, 300, 200}},
        {kLeft, -30, 999, {70, 100, 500, 400}},
        {kLeft, 200, 5, {300, 100, 500, 400}},  // exactly 200 wide
        {kLeft, 250, 5, {300, 100, 500, 400}},  // the right edge stays
        {kNoResize, 17, 17, {100, 100, 500, 400}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(T(Resize(start, c.kind, c.x, c.y)), T(c.result)) << c.kind << " " << c.x;
    EXPECT_EQ(T(ClampToMinimum({5, 6, 205, 106})), T(WinRect{5, 6, 205, 106}));
    EXPECT_EQ(T(ClampToMinimum({5, 6, 100, 7})), T(WinRect{5, 6, 205, 106}));
}

TEST(PlaylistFrame, ZonesAreStrictOnEveryBorder) {
    const Size w{300, 200};
    MenuBar bar;
    bar.height = 17;  // menu bar from y 23
    struct Case {
        int x, y, zone;
        bool close, move;
    } cases[] = {
        {295, 195, kCorner, false, false}, {289, 195, kBottom, false, false},
        {291, 189, kRight, false, false},  {291, 190, -1, false, false},
        {290, 195, -1, false, false},      {300, 195, -1, false, false},
        {295, 200, -1, false, false},      {150, 191, kBottom, false, false},
        {10, 195, -1, false, false},       {11, 195, kBottom, false, false},
        {295, 24, kRight, false, false},   {295, 23, -1, false, false},
        {295, 22, kNoResize, false, true}, {5, 24, kLeft, false, false},
        {5, 199, kLeft, false, false},     {0, 50, -1, false, false},
        {10, 50, -1, false, false},        {11, 50, kNoResize, false, false},
        {150, 0, -1, false, false},        {150, 1, kNoResize, false, true},
        {283, 6, kNoResize, true, true},   {282, 6, kNoResize, false, true},
        {294, 17, kNoResize, true, true},  {295, 17, kNoResize, false, true},
        {290, 5, kNoResize, false, true},  {290, 18, kNoResize, false, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ZoneAt(w, bar, c.x, c.y), c.zone) << c.x << "," << c.y;
        EXPECT_EQ(InCloseZone(w, c.x, c.y), c.close) << c.x << "," << c.y;
        EXPECT_EQ(InMoveBand(w, bar, c.x, c.y), c.move) << c.x << "," << c.y;
    }
}

TEST(PlaylistFrame, CaptionsFollowTheirTextWidthsAndHitZonesExcludeTheirEdges) {
    MenuBar bar;
    bar.height = 17;
    bar.captionWidth = {20, 21, 22, 55};  // zones: 10|37|65|94|156
    EXPECT_EQ(T(bar.CaptionRect(kFile)), std::tuple(10, 23, 39, 40));
    EXPECT_EQ(T(bar.CaptionRect(kEdit)), std::tuple(37, 23, 66, 40));
    EXPECT_EQ(T(bar.CaptionRect(kSort)), std::tuple(65, 23, 95, 40));
    EXPECT_EQ(T(bar.CaptionRect(kOperation)), std::tuple(94, 23, 157, 40));
    EXPECT_EQ(T(bar.FilterBoxRect(400)), std::tuple(157, 23, 390, 40));
    struct Case {
        int x, y, caption;
    } cases[] = {{10, 30, 0},  {11, 30, 1}, {36, 30, 1}, {37, 30, 0}, {38, 30, 2}, {64, 30, 2},
                 {65, 30, 0},  {66, 30, 3}, {93, 30, 3}, {94, 30, 0}, {95, 30, 4}, {155, 30, 4},
                 {156, 30, 0}, {50, 23, 0}, {50, 24, 2}, {50, 39, 2}, {50, 40, 0}};
    for (const Case& c : cases) EXPECT_EQ(bar.CaptionAt(c.x, c.y), c.caption) << c.x << "," << c.y;
    for (int k = kFile; k <= kOperation; ++k)
        EXPECT_EQ(bar.CaptionAt(bar.CaptionZoneLeft(k) + 1, 30), k);
}

TEST(PlaylistFrame, TheListAndItsColumnsFollowTheWindowSize) {
    EXPECT_EQ(T(ListRect({400, 300})), std::tuple(10, 40, 377, 290));
    struct Case {
        int l, timeWidth;
        std::array<int, 3> widths;
    } cases[] = {{221, 0, {101, 60, 60}},  {220, 0, {100, 60, 60}},  {219, 0, {99, 59, 59}},
                 {167, 0, {75, 45, 45}},   {500, 0, {380, 60, 60}},  {500, 60, {380, 60, 60}},
                 // A wider face takes the time columns' room from the name column only.
                 {500, 71, {358, 71, 71}}, {167, 50, {65, 50, 50}},  {100, 80, {0, 80, 80}}};
    for (const Case& c : cases) EXPECT_EQ(ColumnWidths(c.l, c.timeWidth), c.widths) << c.l;
}

TEST(PlaylistFrame, ShadingRunsFromTheBorderColourOutsideToTheBackgroundInside) {
    const uint32_t border = 0x00FF8000, back = 0x1E3C5A;
    EXPECT_EQ(GradientColor(0, border, back), back);
    EXPECT_EQ(GradientColor(30, border, back), border);
    // Per channel: red (29 * 0x00 + 1 * 0x5A) / 30 = 3, green (29*0x80 + 0x3C)/30, blue (29*0xFF +
    // 0x1E)/30.
    EXPECT_EQ(GradientColor(29, border, back), uint32_t(0x03 | (0x7D << 8) | (0xF7 << 16)));

    const std::vector<ShadeLine> tall = FrameShading({300, 200}, 17);  // g = 23
    ASSERT_EQ(tall.size(), size_t(23 + 30));
    EXPECT_EQ(std::tuple(tall[0].pen, tall[0].x1, tall[0].y1, tall[0].x2, tall[0].y2),
              std::tuple(29, 0, 0, 300, 0));
    EXPECT_EQ(std::tuple(tall[22].pen, tall[22].x1, tall[22].x2),
              std::tuple(29 - 22 * 30 / 23, 10, 291));
    const ShadeLine& left9 = tall[23 + 27];
    const ShadeLine& right9 = tall[23 + 28];
    const ShadeLine& bottom9 = tall[23 + 29];
    EXPECT_EQ(std::tuple(left9.pen, left9.x1, left9.y1, left9.y2), std::tuple(2, 9, 20, 191));
    EXPECT_EQ(std::tuple(right9.x1, right9.y1), std::tuple(290, 20));
    EXPECT_EQ(std::tuple(bottom9.x1, bottom9.y1, bottom9.x2), std::tuple(9, 190, 291));
    // A band of 31 rows or more above the bar has no top shading.
    EXPECT_EQ(FrameShading({300, 200}, 9).size(), size_t(30));
    EXPECT_EQ(FrameShading({300, 200}, 10).size(), size_t(30 + 30));
}

TEST(PlaylistFrame, TheThumbMapsTheTopRowOntoItsTravel) {
    const ScrollGeometry bar{{10, 40, 177, 184}};  // 144 high: travel 100, T0 53, T1 153
    ASSERT_EQ(std::tuple(bar.ThumbMin(), bar.ThumbMax(), bar.Travel()), std::tuple(53, 153, 100));
    EXPECT_EQ(T(bar.UpRect()), std::tuple(177, 40, 190, 53));
    EXPECT_EQ(T(bar.TrackRect()), std::tuple(177, 53, 190, 171));
    EXPECT_EQ(T(bar.DownRect()), std::tuple(177, 171, 190, 184));
    struct Case {
        int pos, limit, top;
    } cases[] = {{0, 0, 53},  {0, 10, 53},   {10, 10, 153}, {5, 10, 103}, {1, 3, 86},
                 {2, 3, 119}, {14, 10, 153}, {-3, 10, 53},  {7, 0, 53}};
    for (const Case& c : cases)
        EXPECT_EQ(bar.ThumbTop(c.pos, c.limit), c.top) << c.pos << "/" << c.limit;
    // Too short for any travel: the thumb stays at the top and a drag maps nothing.
    const ScrollGeometry flat{{10, 40, 177, 80}};
    EXPECT_EQ(flat.ThumbTop(3, 10), flat.ThumbMin());
    EXPECT_FALSE(DragThumb(flat, flat.ThumbMin(), flat.ThumbMin() + 5, 10).moved);
}

TEST(PlaylistFrame, DraggingTheThumbScrollsByItsShareOfTheTravelAndOnceAtEachEnd) {
    const ScrollGeometry bar{{10, 40, 177, 184}};
    struct Case {
        int top, wanted;
        bool moved;
        int newTop, pos;
    } cases[] = {
        {53, 108, true, 108, 5},  // 55 px of 100 with limit 10
        {53, 54, true, 54, 0},     {53, 152, true, 152, 9},
        {100, 153, true, 153, 10},                             // reaching the end pins it there
        {100, 400, true, 153, 10}, {153, 400, false, 153, 0},  // pinned: nothing more
        {153, 153, false, 153, 0}, {100, 53, true, 53, 0},
        {100, -30, true, 53, 0},   {53, 20, false, 53, 0},
        {53, 53, false, 53, 0},
    };
    for (const Case& c : cases) {
        const ThumbStep step = DragThumb(bar, c.top, c.wanted, 10);
        EXPECT_EQ(std::tuple(step.moved, step.top), std::tuple(c.moved, c.newTop))
            << c.top << "->" << c.wanted;
        if (c.moved) {
            EXPECT_EQ(step.scrollPos, c.pos) << c.top << "->" << c.wanted;
        }
    }
}

TEST(PlaylistFrame, TheTrackIsTiledFromTheTopWithTheLastTileClipped) {
    struct Case {
        int listHeight, trackHeight, tiles;
    } cases[] = {{200, 174, 14}, {39, 13, 2}, {38, 12, 1}, {26, 0, 0}, {10, 0, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(std::tuple(TrackHeight(c.listHeight), TrackTiles(c.listHeight)),
                  std::tuple(c.trackHeight, c.tiles))
            << c.listHeight;
}

}  // namespace
