// A player laid out in a temporary environment as an installation leaves it: the set-up of
// tests that start the player, in their own process or as a program.

#pragma once

#include <string>
#include <vector>

#include "player/settings/PlayerSettings.h"
#include "player/shell/PlayerFolders.h"
#include "support/TempEnvironment.h"

// Writes program/options.cfg holding `installed` and the default skin under each of the
// names in skins into env, and returns the folders the player finds them through.
PlayerFolders InstallPlayer(const TempEnvironment& env, const PlayerSettings& installed,
                            const std::vector<std::string>& skins = {"Default"});
// The folders of a player installed in env.
PlayerFolders InstalledFolders(const TempEnvironment& env);

// Copies the skin package from into to with main.bmp stretched extraRows taller: the same
// skin with a taller main window. False when the package cannot be read or written.
bool WriteTallerSkin(const std::string& from, const std::string& to, int extraRows);
