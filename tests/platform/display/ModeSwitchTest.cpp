#include <gtest/gtest.h>

#include <cstring>

#include "platform/display/DisplayModes.h"
#include "platform/display/ModeSwitch.h"
#include "tests/support/Xvfb.h"

// Xlib's macros (None, Bool) break gtest's headers: it comes last.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace {

TEST(ModeChoice, TheModeOfTheExactSizeNearestTheRateIsChosen) {
    const std::vector<DisplayMode> modes = {
        {1024, 768, 75, 32}, {1024, 768, 60, 32}, {800, 600, 85, 32},
        {800, 600, 56, 32},  {768, 1024, 60, 32}, {1024, 768, 70, 32},
    };
    const struct {
        int width, height, refresh;
        std::optional<size_t> chosen;
    } cases[] = {
        {1024, 768, 60, 1},
        {1024, 768, 72, 5},  // 70 is nearer than 75
        {1024, 768, 100, 0},
        {1024, 768, 0, 1},  // a stored rate of 0 takes the lowest
        {800, 600, 70, 3},  // 85 and 56 are 15 and 14 away
        {800, 600, 71, 2},
        {1024, 768, 65, 1},  // 60 and 70 equally far: the first
        {768, 1024, 60, 4},  // width and height are not swapped
        {1024, 600, 60, std::nullopt},
        {0, 0, 60, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(displaymode::Nearest(modes, c.width, c.height, c.refresh), c.chosen)
            << c.width << "x" << c.height << " " << c.refresh;
}

struct ScreenState {
    int width = 0, height = 0;
    RRMode mode = 0;
};

// What a fresh client sees, as the next program started would.
ScreenState ReadScreen() {
    ScreenState state;
    Display* d = XOpenDisplay(nullptr);
    if (!d) return state;
    state.width = DisplayWidth(d, DefaultScreen(d));
    state.height = DisplayHeight(d, DefaultScreen(d));
    XRRScreenResources* res = XRRGetScreenResourcesCurrent(d, DefaultRootWindow(d));
    if (res && res->ncrtc > 0) {
        XRRCrtcInfo* crtc = XRRGetCrtcInfo(d, res, res->crtcs[0]);
        if (crtc) state.mode = crtc->mode;
        if (crtc) XRRFreeCrtcInfo(crtc);
    }
    if (res) XRRFreeScreenResources(res);
    XCloseDisplay(d);
    return state;
}

// Xvfb starts with the one mode of its screen; a second is given to its output the way a
// user's xrandr --newmode/--addmode would. False when the server refuses.
bool AddMode(int width, int height, unsigned long dotClock, unsigned hTotal, unsigned vTotal) {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return false;
    bool added = false;
    XRRScreenResources* res = XRRGetScreenResourcesCurrent(d, DefaultRootWindow(d));
    if (res && res->noutput > 0) {
        XRRModeInfo info;
        std::memset(&info, 0, sizeof info);
        info.width = static_cast<unsigned>(width);
        info.height = static_cast<unsigned>(height);
        info.dotClock = dotClock;
        info.hTotal = hTotal;
        info.vTotal = vTotal;
        std::string name =
            std::to_string(width) + "x" + std::to_string(height) + "_" + std::to_string(dotClock);
        info.name = name.data();
        info.nameLength = static_cast<unsigned>(name.size());
        const RRMode id = XRRCreateMode(d, DefaultRootWindow(d), &info);
        if (id != 0) {
            XRRAddOutputMode(d, res->outputs[0], id);
            XSync(d, False);
            added = true;
        }
    }
    if (res) XRRFreeScreenResources(res);
    XCloseDisplay(d);
    return added;
}

class ModeSwitchOnXvfb : public ::testing::Test {
protected:
    void SetUp() override {
        KALVOR_REQUIRE_XVFB(xvfb_);
        if (!AddMode(800, 600, 40000000, 1056, 628) || !AddMode(800, 600, 49500000, 1056, 625))
            GTEST_SKIP() << "this Xvfb offers no second mode";
        before_ = ReadScreen();
        ASSERT_EQ(before_.width, 1280);
    }
    Xvfb xvfb_;
    ScreenState before_;
};

TEST_F(ModeSwitchOnXvfb, TheListerReadsTheServersModesWithTheirRates) {
    const std::vector<DisplayMode> modes = XRandrDisplayModes().Modes();
    int rate60 = 0, rate75 = 0;
    for (const DisplayMode& m : modes) {
        if (m.width == 800 && m.height == 600 && m.refresh == 60) ++rate60;
        if (m.width == 800 && m.height == 600 && m.refresh == 75) ++rate75;
    }
    EXPECT_EQ(rate60, 1);
    EXPECT_EQ(rate75, 1);
    ASSERT_FALSE(modes.empty());
    EXPECT_EQ(modes.front().width, 1280);  // the screen's own mode, largest first
}

TEST_F(ModeSwitchOnXvfb, ASwitchShowsTheNearestModeAndRestoreBringsBackTheOneFound) {
    XRandrModeSwitch modes;
    ASSERT_TRUE(modes.Switch(800, 600, 72));
    EXPECT_TRUE(modes.Switched());
    const ScreenState switched = ReadScreen();
    EXPECT_EQ(switched.width, 800);
    EXPECT_EQ(switched.height, 600);
    EXPECT_NE(switched.mode, before_.mode);
    const std::vector<DisplayMode> listed = XRandrDisplayModes().Modes();

    // A second entry keeps the mode and what is to be restored.
    EXPECT_TRUE(modes.Switch(800, 600, 60));
    EXPECT_EQ(ReadScreen().mode, switched.mode);

    EXPECT_TRUE(modes.Restore());
    EXPECT_FALSE(modes.Switched());
    const ScreenState restored = ReadScreen();
    EXPECT_EQ(restored.width, 1280);
    EXPECT_EQ(restored.height, 1024);
    EXPECT_EQ(restored.mode, before_.mode);
    EXPECT_TRUE(modes.Restore());  // nothing left to put back
    EXPECT_EQ(ReadScreen().mode, before_.mode);
}

TEST_F(ModeSwitchOnXvfb, TheRateDecidesBetweenModesOfOneSize) {
    for (const int rate : {60, 75}) {
        XRandrModeSwitch modes;
        ASSERT_TRUE(modes.Switch(800, 600, rate));
        RRMode shown = ReadScreen().mode;
        Display* d = XOpenDisplay(nullptr);
        ASSERT_NE(d, nullptr);
        XRRScreenResources* res = XRRGetScreenResourcesCurrent(d, DefaultRootWindow(d));
        int hz = -1;
        for (int i = 0; i < res->nmode; ++i)
            if (res->modes[i].id == shown)
                hz = displaymode::RefreshRate(res->modes[i].dotClock, res->modes[i].hTotal,
                                              res->modes[i].vTotal, false, false);
        XRRFreeScreenResources(res);
        XCloseDisplay(d);
        EXPECT_EQ(hz, rate);
    }
    EXPECT_EQ(ReadScreen().mode, before_.mode);  // each switcher restored as it went
}

TEST_F(ModeSwitchOnXvfb, AModeTheOutputLacksOrUnchangedLeavesTheScreenAsItWas) {
    XRandrModeSwitch modes;
    for (const auto& size : {std::pair{1024, 768}, std::pair{0, 0}, std::pair{-800, 600}}) {
        EXPECT_FALSE(modes.Switch(size.first, size.second, 60)) << size.first;
        EXPECT_FALSE(modes.Switched());
        EXPECT_EQ(ReadScreen().mode, before_.mode);
    }
    // The mode already shown needs nothing put back.
    EXPECT_TRUE(modes.Switch(1280, 1024, 0));
    EXPECT_FALSE(modes.Switched());
}

TEST(ModeSwitchWithoutServer, NoDisplayMeansNoSwitch) {
    XRandrModeSwitch modes(":9999");
    EXPECT_FALSE(modes.Switch(800, 600, 60));
    EXPECT_FALSE(modes.Switched());
    EXPECT_TRUE(modes.Restore());
}

}  // namespace
