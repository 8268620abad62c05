// On a real X server the player's main window shows the default skin: cut to its shape,
// painted as the surface, near the bottom of the desktop.

#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTimer>

#include <filesystem>

#include "player/shell/KalvorParent.h"
#include "player/shell/SettingsFile.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"
#include "support/Xvfb.h"

namespace {

TEST(MainWindowOnX, StartsWithTheDefaultSkinInItsShape) {
    Xvfb xvfb;
    KALVOR_REQUIRE_XVFB(xvfb);
    TempEnvironment env;
    const PlayerSettings installed = InstalledSettings();
    TempEnvironment::WriteFile(env.Path("program/options.cfg"),
                               std::string(reinterpret_cast<const char*>(&installed), sizeof installed));
    std::filesystem::create_directories(env.Path("program/skins"));
    std::filesystem::copy_file(std::string(KALVOR_PROGRAM_DIR) + "/skins/Default.krs",
                               env.Path("program/skins/Default.krs"));
    qputenv("QT_QPA_PLATFORM", "xcb");
    int argc = 1;
    char name[] = "kmainwindow_xvfb_tests";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);

    CKalvorParent parent(PlayerFolders{env.Path("program"), env.ConfigHome() + "/Kalvor",
                                       env.DataHome() + "/Kalvor", env.RuntimeDir()});
    CKalvorDlg& dlg = parent.MainDialog();
    QTimer::singleShot(0, &dlg, [&] {
        ASSERT_TRUE(qttest::WaitUntil([&] { return dlg.isVisible(); }, 3000));
        qttest::Pump(500);
        const QImage screen = dlg.screen()->grabWindow(0).toImage();
        const QImage& surface = dlg.Surface().Image();
        const QRect at = dlg.geometry();
        EXPECT_EQ(at.size(), surface.size());
        EXPECT_GT(at.top(), screen.height() / 2);
        // Inside the shape the screen shows the surface; at the cut corners, the desktop.
        int same = 0, inside = 0;
        for (int y = 0; y < surface.height(); y += 3)
            for (int x = 0; x < surface.width(); x += 3) {
                if (!dlg.Skin().Shape().contains(QPoint(x, y))) continue;
                ++inside;
                same += screen.pixel(at.x() + x, at.y() + y) == surface.pixel(x, y);
            }
        EXPECT_GT(same, inside * 95 / 100);
        EXPECT_EQ(screen.pixel(at.topLeft()), screen.pixel(0, 0));
        EXPECT_NE(surface.pixel(0, 0), screen.pixel(0, 0));
        dlg.close();
    });
    EXPECT_EQ(parent.DoModal(), 0);
}

}  // namespace
