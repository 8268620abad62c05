#include "common/channel/ChannelSystem.h"

#include <unistd.h>

#include <ctime>

ChannelSystem ChannelSystem::ForFolders(std::string programFolder, std::string tempFolder) {
    ChannelSystem system;
    system.programFolder = std::move(programFolder);
    system.tempFolder = std::move(tempFolder);
    system.clockSeconds = [] { return static_cast<uint32_t>(std::time(nullptr)); };
    system.removeFile = [](const std::string& path) { return ::unlink(path.c_str()) == 0 ? 0 : 1; };
    return system;
}
