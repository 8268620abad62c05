// The command line decides what the player opens and what it hands to a running instance.

#include <gtest/gtest.h>

#include "player/shell/CommandLine.h"
#include "player/shell/LaunchRequest.h"

namespace {

TEST(CommandLine, SwitchesAndThePathAfterTheLastOne) {
    struct Case {
        std::vector<std::string> args;
        int32_t flags;
        std::string path;
    };
    const int32_t P = kLaunchPath, W = kLaunchWizard, F = kLaunchFullScreen, N = kLaunchNoFullScreen;
    const Case cases[] = {
        {{}, 0, ""},
        {{"/home/u/a movie.avi"}, P, "/home/u/a movie.avi"},
        {{"/home/u/a", "movie.avi"}, P, "/home/u/a movie.avi"},  // tokens joined with one blank
        {{"/fullscreen", "/nofullscreen", "/m/x.avi"}, P | F | N, "/m/x.avi"},
        {{"/wizard", "x.avi"}, P | W, "x.avi"},
        {{"/wizard"}, W, ""},
        {{"x.avi", "/fullscreen"}, F, ""},  // the path is what follows the last switch
        {{"/FULLSCREEN", "x.avi"}, P, "/FULLSCREEN x.avi"},  // case-sensitive, so no switch
        {{"/fullscreenx", "y"}, P, "/fullscreenx y"},        // whole tokens only
        {{"/wizard", "  spaced  "}, P | W, "spaced"},
        {{"/nofullscreen", " "}, N, ""},
        {{"/usr/share/video.avi", "/fullscreen", "b.avi"}, P | F, "b.avi"},
    };
    for (const Case& c : cases) {
        const CommandLine line = ParseCommandLine(c.args);
        std::string joined;
        for (const auto& a : c.args) joined += "[" + a + "]";
        EXPECT_EQ(line.flags, c.flags) << joined;
        EXPECT_EQ(line.path, c.path) << joined;
    }
}

}  // namespace
