#include "common/channel/IPCChannelFiles.h"

IPCChannelFiles::IPCChannelFiles(const ChannelNames& names, const ChannelSystem& system) {
    if (system.tempFolder.empty()) return;
    const std::string folder = system.tempFolder + "/";
    paths_ = {folder + names.first + ".ipc", folder + names.first + "f.ipc",
              folder + names.second + ".ipc", folder + names.second + "f.ipc"};
    DeleteLeftovers(system);
}

// The second name's files first, each name's "f" file before its other one; a file that
// is not there is no failure.
void IPCChannelFiles::DeleteLeftovers(const ChannelSystem& system) const {
    if (!system.removeFile) return;
    for (const size_t i : {3, 2, 1, 0}) system.removeFile(paths_[i]);
}
