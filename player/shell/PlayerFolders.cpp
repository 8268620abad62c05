#include "player/shell/PlayerFolders.h"

#include "platform/system/Paths.h"

PlayerFolders PlayerFolders::FromEnvironment() {
    return PlayerFolders{paths::ProgramFolder(), paths::UserConfigFolder(), paths::AppDataFolder(),
                         paths::TempFolder()};
}
