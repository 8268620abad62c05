// On a real X server the player starts with the default skin and its playlist window docked
// below the main window, drawn with its shaded frame, menu bar and the rows of internal.pls.
// With KALVOR_SCREENSHOT set, the screen is also saved there as PNG for a person to look at.

#include <gtest/gtest.h>

#include <QScreen>
#include <cstdlib>
#include <filesystem>

#include "platform/ui/ColorRef.h"
#include "player/playlist/KalvorPlaylist.h"
#include "player/playlist/PlaylistFormats.h"
#include "player/playlist/PlaylistFrame.h"
#include "player/playlist/XCListCtrl.h"
#include "player/settings/SettingsFile.h"
#include "support/PlayerInstall.h"
#include "support/PlayerOnX.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"
#include "support/Xvfb.h"

namespace {

TEST(PlaylistOnX, StartsDockedBelowTheMainWindowWithItsFrameAndRows) {
    Xvfb xvfb;
    KALVOR_REQUIRE_XVFB(xvfb);
    TempEnvironment env;
    PlayerSettings installed = InstalledSettings();
    installed.playlistVisible = 1;
    installed.autoLoadLastPlaylist = 1;
    installed.currentIndex = 1;
    const PlayerFolders folders = InstallPlayer(env, installed);
    std::vector<MediaEntry> rows;
    for (const char* name : {"Holiday.avi", "Concert.mpg", "Interview.wmv", "Lecture.avi"}) {
        rows.push_back({env.Path(std::string("media/") + name), 0.0, 75.0});
        TempEnvironment::WriteFile(rows.back().path, "");
    }
    std::filesystem::create_directories(folders.userConfig);
    TempEnvironment::WriteFile(folders.userConfig + "/internal.pls", playlistformat::WritePls(rows));

    PlayerOnX player(folders, "kplaylist_xvfb_tests");
    EXPECT_EQ(player.Run([&](CKalvorDlg& dlg) {
        CKalvorPlaylist* playlist = dlg.Playlist();
        ASSERT_NE(playlist, nullptr);
        ASSERT_TRUE(qttest::WaitUntil([&] { return playlist->isVisible(); }, 30000));

        // Docked below the main window, and the frame on the screen once painted: outermost
        // pixels nearest the border colour, the tenth nearest the background.
        const PlaylistColors colors = playlist->Colors();
        const auto pen = [&](int i) {
            return colorref::ToQColor(
                       playlistframe::GradientColor(i, colors.border, colors.background))
                .rgb();
        };
        QRect main, list;
        QImage screen;
        int middle = 0;
        const auto shown = [&] {
            main = dlg.geometry();
            list = playlist->geometry();
            middle = list.top() + list.height() / 2;
            screen = dlg.screen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
            return list.top() == main.bottom() + 1 && screen.pixel(list.left(), middle) == pen(29) &&
                   screen.pixel(list.left() + 9, middle) == pen(2);
        };
        EXPECT_TRUE(qttest::WaitUntil(shown, 30000));
        EXPECT_EQ(list.top(), main.bottom() + 1);
        EXPECT_EQ(list.left(), main.left());
        EXPECT_EQ(list.width(), main.width());
        EXPECT_EQ(dlg.Settings().playlistDocked, playlistframe::kBelow);
        EXPECT_EQ(playlist->List().Entries().Count(), 4);
        EXPECT_EQ(playlist->List().Entries().CurrentRow(), 1);
        if (const char* out = std::getenv("KALVOR_SCREENSHOT")) screen.save(out, "PNG");
        EXPECT_EQ(screen.pixel(list.left(), middle), pen(29));
        EXPECT_EQ(screen.pixel(list.left() + 9, middle), pen(2));
        EXPECT_EQ(screen.pixel(list.right(), middle), pen(29));
        EXPECT_EQ(screen.pixel(list.left() + list.width() / 2, list.bottom()), pen(29));
        // The scroll bar's up arrow shows the skin's picture, not the background.
        const QRect up = playlist->ScrollBar().Up().geometry().translated(list.topLeft());
        int differing = 0;
        for (int y = up.top(); y <= up.bottom(); ++y)
            for (int x = up.left(); x <= up.right(); ++x)
                differing += screen.pixel(x, y) != colorref::ToQColor(colors.background).rgb();
        EXPECT_GT(differing, 20);
        dlg.close();
    }), 0);
}

}  // namespace
