#include <gtest/gtest.h>

#include <climits>

#include "platform/display/DisplayModes.h"
#include "tests/support/Xvfb.h"

namespace {

TEST(DisplayModeText, ModesAreReadBackAsAScanOfTheirFormWouldReadThem) {
    const struct {
        const char* text;
        std::optional<DisplayMode> mode;
    } cases[] = {
        {"1024x768 60Hz 32 bits", DisplayMode{1024, 768, 60, 32}},
        {" 800x600  75Hz 16 bits", DisplayMode{800, 600, 75, 16}},
        {"640x480 60Hz 8", DisplayMode{640, 480, 60, 8}},  // the trailing word is not needed
        {"-5x0 0Hz 0 bits", DisplayMode{-5, 0, 0, 0}},
        {"99999999999x1 1Hz 1 bits", DisplayMode{INT_MAX, 1, 1, 1}},
        {"UNCHANGED", std::nullopt},
        {"800 x600 75Hz 16 bits", std::nullopt},
        {"800x600 75Hz", std::nullopt},
        {"800x600 75 Hz 16 bits", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(displaymode::Parse(c.text), c.mode) << c.text;
    const DisplayMode mode{1920, 1080, 144, 32};
    EXPECT_EQ(displaymode::Format(mode), "1920x1080 144Hz 32 bits");
    EXPECT_EQ(displaymode::Parse(displaymode::Format(mode)), mode);
}

TEST(DisplayModeText, RefreshRatesComeFromTheModeLineWithScanFlags) {
    const struct {
        uint64_t clock;
        unsigned h, v;
        bool doubleScan, interlace;
        int hz;
    } cases[] = {
        {148500000, 2200, 1125, false, false, 60},
        {148352000, 2200, 1125, false, false, 60},  // 59.94
        {74250000, 2200, 1125, false, true, 60},    // interlaced: two fields a frame
        {25175000, 800, 525, false, false, 60},
        {12588000, 400, 525, true, false, 30},  // double-scanned lines count twice
        {241500000, 2720, 1481, false, false, 60},
        {1000, 0, 1125, false, false, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(displaymode::RefreshRate(c.clock, c.h, c.v, c.doubleScan, c.interlace), c.hz)
            << c.clock;
}

TEST(DisplayModeText, SortingPutsTheLargestFirstAndKeepsEachModeOnce) {
    std::vector<DisplayMode> modes = {{800, 600, 60, 32},
                                      {1024, 768, 60, 32},
                                      {800, 600, 75, 32},
                                      {1024, 768, 60, 32},
                                      {1024, 600, 60, 32}};
    displaymode::SortModes(modes);
    EXPECT_EQ(
        modes,
        (std::vector<DisplayMode>{
            {1024, 768, 60, 32}, {1024, 600, 60, 32}, {800, 600, 75, 32}, {800, 600, 60, 32}}));
}

TEST(XRandrDisplayModes, AnXServerListsItsCurrentSizeAtItsPixelDepth) {
    Xvfb xvfb;
    KALVOR_REQUIRE_XVFB(xvfb);
    const auto modes = XRandrDisplayModes().Modes();
    ASSERT_FALSE(modes.empty());
    bool current = false;
    for (const DisplayMode& m : modes) {
        current = current || (m.width == 1280 && m.height == 1024);
        EXPECT_EQ(m.bitsPerPixel, 32) << displaymode::Format(m);
        EXPECT_GE(m.refresh, 0);
    }
    EXPECT_TRUE(current);
    EXPECT_TRUE(XRandrDisplayModes(":99999").Modes().empty());
}

}  // namespace
