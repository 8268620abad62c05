// A player laid out in a temporary environment as an installation leaves it, and a Qt
// application on the X server that DISPLAY names: the set-up of tests on a real X server.

#pragma once

#include <QApplication>
#include <string>

#include "player/settings/PlayerSettings.h"
#include "player/shell/PlayerFolders.h"
#include "support/TempEnvironment.h"

// Writes program/options.cfg holding `installed` and the default skin into env, and returns
// the folders the player finds them through.
PlayerFolders InstallPlayer(const TempEnvironment& env, const PlayerSettings& installed);

// Copies the skin package from into to with main.bmp stretched extraRows taller: the same
// skin with a taller main window. False when the package cannot be read or written.
bool WriteTallerSkin(const std::string& from, const std::string& to, int extraRows);

// A QApplication on the xcb platform; its arguments live as long as it does.
class XcbApplication {
public:
    explicit XcbApplication(const std::string& name);

private:
    std::string name_;
    char* argv_[2];
    int argc_ = 1;
    QApplication application_;
};
