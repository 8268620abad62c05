// Every page of every dialog of the player and of korc, as a new user first sees it and with
// the widest values its fields take: no two shown controls overlap, none sticks out of its
// window, and every text fits its control at the default font. The program runs once at
// 96 and once at 120 dots per inch (KALVOR_TEST_DPI), on the offscreen platform with fonts
// growing with the resolution.

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "dialogs/DialogWalk.h"
#include "support/TempEnvironment.h"

namespace {

TEST(DialogLayout, EveryPageOfBothProgramsShowsItsControlsApartAndItsTextsWhole) {
    TempEnvironment env;
    Walk walk;
    WalkPlayerDialogs(walk, env);
    WalkKorcDialogs(walk);
    EXPECT_GE(walk.Pages(), 30);
    std::string all;
    for (const std::string& fault : walk.Faults()) all += "\n  " + fault;
    EXPECT_TRUE(walk.Faults().empty()) << walk.Faults().size() << " faults at " << WalkDpi()
                                       << " dpi:" << all;
}

}  // namespace
// The offscreen platform is given the resolution before the application exists; fonts
// follow it while the pixel sizes of windows stay as they are, as on a desktop set to
// larger fonts.
int main(int argc, char** argv) {
    const std::string config = (std::filesystem::temp_directory_path() /
                                ("kalvor-dpi-" + std::to_string(getpid()) + ".json"))
                                   .string();
    {
        std::ofstream out(config);
        out << R"({"screens":[{"name":"walk","x":0,"y":0,"width":1920,"height":1200,"logicalDpi":)"
            << WalkDpi() << "}]}";
    }
    setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).c_str(), 1);
    setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 1);
    QApplication application(argc, argv);
    std::remove(config.c_str());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
