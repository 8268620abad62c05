#pragma once

// What the channel set-up asks of the system, given by the caller so tests can fix the
// clock and watch the deletions.

#include <cstdint>
#include <functional>
#include <string>

struct ChannelSystem {
    std::string programFolder;  // where the peer program is expected
    std::string tempFolder;     // private; empty when there is none, and then nothing is deleted
    std::function<uint32_t()> clockSeconds;                  // seeds the channel names
    std::function<int(const std::string& path)> removeFile;  // 0 deleted, 1 failed

    // The real clock and file removal.
    static ChannelSystem ForFolders(std::string programFolder, std::string tempFolder);
};
