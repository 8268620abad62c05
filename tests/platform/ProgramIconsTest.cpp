// Every icon the programs name exists, shows something at menu and window sizes, and looks
// unlike the others; a menu icon the desktop's theme has comes from the theme.

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPixmap>
#include <set>

#include "platform/ui/ProgramIcons.h"
#include "support/TempEnvironment.h"

namespace {

namespace icons = programicons;

constexpr int kAll[] = {icons::kPlayer, icons::kPlay,      icons::kStop,      icons::kPause,
                        icons::kPrevious, icons::kNext,    icons::kExit,      icons::kOpen,
                        icons::kOptions, icons::kSubtitles, icons::kRangeEnd, icons::kRangeBegin,
                        icons::kKorc};

// How many pixels of the picture are not transparent.
int Painted(const QImage& image) {
    int painted = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) painted += qAlpha(image.pixel(x, y)) > 0;
    return painted;
}

TEST(ProgramIcons, EachNamedIconIsDrawnVisiblyAtEverySizeAndUnlikeTheOthers) {
    std::set<QByteArray> seen;
    for (int resource : kAll) {
        const QIcon icon = icons::DrawnIcon(resource);
        ASSERT_FALSE(icon.isNull()) << resource;
        for (int size : {16, 32}) {
            const QImage image = icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
            EXPECT_EQ(image.size(), QSize(size, size)) << resource;
            // Neither empty nor a filled square.
            const int painted = Painted(image);
            EXPECT_GT(painted, size * size / 10) << resource << " at " << size;
            EXPECT_LT(painted, size * size) << resource << " at " << size;
        }
        const QImage large = icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_TRUE(seen.insert(QByteArray(reinterpret_cast<const char*>(large.constBits()),
                                           large.sizeInBytes()))
                        .second)
            << resource << " looks like another icon";
    }
    EXPECT_TRUE(icons::Icon(999).isNull());
}

TEST(ProgramIcons, AMenuIconTheThemeHasComesFromTheThemeAndTheRestAreDrawn) {
    TempEnvironment env;
    const QString root = QString::fromStdString(env.Path("icons"));
    QDir().mkpath(root + "/plain/16x16/actions");
    TempEnvironment::WriteFile(env.Path("icons/plain/index.theme"),
                               "[Icon Theme]\nName=plain\nDirectories=16x16/actions\n\n"
                               "[16x16/actions]\nSize=16\nType=Fixed\n");
    QImage red(16, 16, QImage::Format_ARGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(root + "/plain/16x16/actions/media-playback-start.png"));
    const QStringList paths = QIcon::themeSearchPaths();
    const QString theme = QIcon::themeName();
    QIcon::setThemeSearchPaths({root});
    QIcon::setThemeName("plain");

    const QImage play = icons::Icon(icons::kPlay).pixmap(16, 16).toImage();
    EXPECT_EQ(play.pixelColor(8, 8), QColor(Qt::red));
    // The theme has no stop icon, and no theme gives the range marks.
    const QImage stop = icons::Icon(icons::kStop).pixmap(16, 16).toImage();
    EXPECT_EQ(stop, icons::DrawnIcon(icons::kStop).pixmap(16, 16).toImage());
    EXPECT_EQ(icons::ThemeName(icons::kRangeBegin), nullptr);

    QIcon::setThemeName(theme);
    QIcon::setThemeSearchPaths(paths);
}

}  // namespace
