// The video window's rectangle: fitting to each aspect mode, docking, zoom, snapping, the
// letterbox in full screen, and which band of the window the mouse is in.

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <vector>

#include "player/playback/VideoGeometry.h"

namespace {

using namespace videogeometry;

const WinRect kMain{100, 600, 500, 700};

std::string Show(const WinRect& r) {
    return "{" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + "}";
}

struct FitCase {
    const char* what;
    WinRect movie;
    int32_t side;
    int edge;
    int32_t mode, customX, customY, videoW, videoH;
    bool fullScreen;
    WinRect wantMovie;
    int32_t wantSide;
    std::optional<Destination> wantDestination;
};

TEST(VideoGeometry, FitsTheRectangleToEachAspectModeAndDockSide) {
    // clang-format off
    const std::vector<FitCase> cases = {
        {"4:3 bottom dragged to 360 widens by halves", {100, 100, 500, 460}, 0, 3,
         2, 0, 0, 640, 480, false, {60, 100, 540, 460}, 0, {}},
        {"4:3 odd height: one pixel more is no half", {0, 0, 400, 301}, 0, 3,
         2, 0, 0, 640, 480, false, {0, 0, 400, 301}, 0, {}},
        {"4:3 odd height: four more are two each side", {0, 0, 400, 303}, 0, 3,
         2, 0, 0, 640, 480, false, {-2, 0, 402, 303}, 0, {}},
        {"16:9 top dragged below 50 stops at 50", {0, 100, 400, 120}, 0, 1,
         1, 0, 0, 640, 480, false, {156, 70, 244, 120}, 0, {}},
        {"custom 1:10 top dragged stops at 50*b/a", {0, 100, 400, 120}, 0, 1,
         4, 1, 10, 640, 480, false, {175, -380, 225, 120}, 0, {}},
        {"original 640x480 re-fit above the main window moves the top", {100, 200, 500, 600}, 0, 0,
         0, 0, 0, 640, 480, false, {100, 300, 500, 600}, 1, {}},
        {"re-fit right of the main window moves the right edge", {500, 550, 900, 800}, 0, 0,
         1, 0, 0, 640, 480, false, {500, 550, 944, 800}, 2, {}},
        {"left of the main window, top dragged: the left edge follows", {0, 560, 100, 700}, 4, 1,
         2, 0, 0, 640, 480, false, {-86, 560, 100, 700}, 4, {}},
        {"below the main window, right dragged: the bottom follows", {150, 700, 350, 820}, 3, 2,
         2, 0, 0, 640, 480, false, {150, 700, 350, 850}, 3, {}},
        {"corner dragged small: width 50*a/b, bottom follows", {0, 0, 30, 30}, 0, 5,
         2, 0, 0, 640, 480, false, {0, 0, 66, 49}, 0, {}},
        {"a side that no longer touches is undocked", {0, 0, 400, 300}, 1, 3,
         2, 0, 0, 640, 480, false, {0, 0, 400, 300}, 0, {}},
        {"fit to screen keeps only the minimum, corner", {0, 0, 30, 30}, 0, 5,
         3, 0, 0, 640, 480, false, {0, 0, 50, 50}, 0, {}},
        {"fit to screen keeps only the minimum, left edge", {10, 10, 40, 100}, 0, 4,
         3, 0, 0, 640, 480, false, {-10, 10, 40, 100}, 0, {}},
        {"an unknown mode acts as fit to screen", {0, 0, 400, 360}, 0, 3,
         9, 0, 0, 640, 480, false, {0, 0, 400, 360}, 0, {}},
        {"original with no source size has no rule", {0, 0, 400, 360}, 0, 3,
         0, 0, 0, 0, 480, false, {0, 0, 400, 360}, 0, {}},
        {"original 1x1 source gives a square", {0, 0, 400, 360}, 0, 3,
         0, 0, 0, 1, 1, false, {20, 0, 380, 360}, 0, {}},
        {"custom terms below 1 are 1", {0, 0, 400, 360}, 0, 3,
         4, 0, -5, 640, 480, false, {20, 0, 380, 360}, 0, {}},
        {"a huge custom term is computed wide and kept on the plane", {0, 0, 400, 300}, 0, 3,
         4, INT_MAX, 1, 640, 480, false, {-524088, 0, 524488, 300}, 0, {}},
        {"full screen 16:9 letterboxes top and bottom", {0, 0, 1280, 1024}, 0, 0,
         1, 0, 0, 640, 480, true, {0, 0, 1280, 1024}, 0, Destination{0, 152, 1280, 720}},
        {"full screen 4:3 on a wide screen pillarboxes", {0, 0, 1920, 1080}, 0, 0,
         2, 0, 0, 640, 480, true, {0, 0, 1920, 1080}, 0, Destination{240, 0, 1440, 1080}},
        {"full screen, fit to screen: the whole window", {0, 0, 1280, 1024}, 0, 0,
         3, 0, 0, 640, 480, true, {0, 0, 1280, 1024}, 0, {}},
    };
    // clang-format on
    for (const FitCase& c : cases) {
        const Fit fit = FitVideoRect(c.movie, kMain, c.side, c.edge,
                                     AspectRatio(c.mode, c.customX, c.customY, c.videoW, c.videoH),
                                     c.fullScreen);
        EXPECT_EQ(Show(fit.movie), Show(c.wantMovie)) << c.what;
        EXPECT_EQ(fit.dockSide, c.wantSide) << c.what;
        EXPECT_EQ(fit.destination, c.wantDestination) << c.what;
    }
}

TEST(VideoGeometry, ZoomsToTheSourceSizeAnchoredOnTheDockedSide) {
    // clang-format off
    struct Case {
        const char* what;
        WinRect movie;
        int32_t side;
        int num, den, videoW, videoH;
        WinRect want;
    } const cases[] = {
        {"2x docked left: the right edge stays", {-300, 560, 100, 700}, 4, 2, 1, 320, 240,
         {-540, 390, 100, 870}},
        {"1/2 of an odd source around the centre", {0, 0, 400, 300}, 0, 1, 2, 641, 481,
         {40, 30, 360, 270}},
        {"3x docked above: the bottom edge stays", {100, 300, 500, 600}, 1, 3, 1, 641, 481,
         {-661, -843, 1261, 600}},
        {"1x docked below: the top edge stays", {150, 700, 350, 850}, 3, 1, 1, 320, 240,
         {90, 700, 410, 940}},
        {"1x docked right: the left edge stays", {500, 550, 900, 800}, 2, 1, 1, 320, 240,
         {500, 555, 820, 795}},
        {"no source size leaves the window", {0, 0, 400, 300}, 0, 2, 1, 0, 240,
         {0, 0, 400, 300}},
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(Show(ZoomToSource(c.movie, c.side, c.num, c.den, c.videoW, c.videoH)),
                  Show(c.want))
            << c.what;
}

TEST(VideoGeometry, SnapsToTheMainWindowUnderTwentyPixelsOnly) {
    // clang-format off
    struct Case {
        const char* what;
        WinRect movie;
        WinRect want;
        int32_t side;
    } const cases[] = {
        {"19 above", {100, 281, 500, 581}, {100, 300, 500, 600}, 1},
        {"20 above", {100, 280, 500, 580}, {100, 280, 500, 580}, 0},
        {"19 right of it", {519, 500, 819, 800}, {500, 500, 800, 800}, 2},
        {"20 right of it", {520, 500, 820, 800}, {520, 500, 820, 800}, 0},
        {"19 left of it", {-219, 550, 81, 750}, {-200, 550, 100, 750}, 4},
        {"near the top but beside it", {600, 290, 900, 590}, {600, 290, 900, 590}, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        const Snap snap = SnapToControlWindow(c.movie, kMain);
        EXPECT_EQ(Show(snap.movie), Show(c.want)) << c.what;
        EXPECT_EQ(snap.dockSide, c.side) << c.what;
    }
}

TEST(VideoGeometry, TellsTheBandUnderTheMouse) {
    constexpr int w = 400, h = 300;
    // clang-format off
    struct Case {
        int x, y;
        std::optional<ResizeEdge> hover;
        bool resizeBand, inside;
    } const cases[] = {
        {390, 290, kCornerEdge, true, false}, {200, 290, kBottomEdge, true, false},
        {390, 100, kRightEdge, true, false},  {200, 5, kTopEdge, true, false},
        {5, 5, kLeftEdge, true, false},       {14, 150, kLeftEdge, true, false},
        {15, 150, std::nullopt, false, false}, {16, 150, std::nullopt, false, true},
        {384, 150, std::nullopt, false, true}, {385, 150, std::nullopt, false, false},
        {0, 150, std::nullopt, false, false},  {200, 300, std::nullopt, false, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(HoverEdge(c.x, c.y, w, h), c.hover) << c.x << "," << c.y;
        EXPECT_EQ(InResizeBand(c.x, c.y, w, h), c.resizeBand) << c.x << "," << c.y;
        EXPECT_EQ(Inside(c.x, c.y, w, h), c.inside) << c.x << "," << c.y;
    }
    // clang-format off
    struct Band {
        int x, y;
        bool bottom, top, left;
    } const bands[] = {
        {15, 150, false, false, true}, {16, 150, false, false, false},
        {0, 0, false, true, true},     {400, 300, true, false, false},
        {200, 285, true, false, false}, {200, 284, false, false, false},
    };
    // clang-format on
    for (const Band& b : bands) {
        const RevealBands got = BandsAt(b.x, b.y, w, h);
        EXPECT_EQ(std::tuple(got.bottom, got.top, got.left), std::tuple(b.bottom, b.top, b.left))
            << b.x << "," << b.y;
    }
}

}  // namespace
