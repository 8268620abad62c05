#include "player/wizard/WizardPlacement.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr char kCaptionHead[] = "Position of image in a video fragment - Drag and Drop - X: ";
constexpr int kBottomMargin = 40;
}  // namespace

QPoint PlaceWizard(const QRect& mainWindow, const QSize& wizard, const QRect& desktop) {
    const int desktopRight = desktop.x() + desktop.width();
    const int desktopBottom = desktop.y() + desktop.height();
    int x = mainWindow.x() + mainWindow.width() / 2 - wizard.width() / 2;
    if (x + wizard.width() > desktopRight) x = desktopRight - wizard.width();
    if (x < desktop.x()) x = desktop.x();
    const int centre = mainWindow.y() + mainWindow.height() / 2;
    int y = centre;
    if (centre + wizard.height() + kBottomMargin > desktopBottom) y = centre - wizard.height();
    // A tall wizard on a short screen would otherwise put its title bar out of reach.
    if (y < desktop.y()) y = desktop.y();
    return {x, y};
}

int LogoFreeRange(int screenExtent, int logoExtent, int captionHeight) {
    const int range = screenExtent - logoExtent - captionHeight;
    return range <= 0 ? 1 : range;
}

int LogoPosition(int offset, int freeRange) {
    const double position =
        std::trunc(static_cast<double>(offset) / std::max(freeRange, 1) * 1000.0);
    return static_cast<int>(std::clamp(position, 0.0, 1000.0));
}

int ClampLogoOffset(int offset, int freeRange) {
    return std::clamp(offset, 0, std::max(freeRange, 0));
}

std::string LogoCaption(int x, int y) {
    return kCaptionHead + std::to_string(x / 10) + "." + std::to_string(x % 10) +
           "%  Y: " + std::to_string(y / 10) + "." + std::to_string(y % 10) + "%";
}
