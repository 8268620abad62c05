#pragma once

// The four files of a channel, two per name, in the private temporary folder. Files left
// by an earlier run under the same names are deleted; none is created here.

#include <array>
#include <string>

#include "common/channel/ChannelNames.h"
#include "common/channel/ChannelSystem.h"

class IPCChannelFiles {
public:
    // Paths in the order first".ipc", first"f.ipc", second".ipc", second"f.ipc"; all
    // empty when there is no private temporary folder.
    using Paths = std::array<std::string, 4>;

    IPCChannelFiles(const ChannelNames& names, const ChannelSystem& system);

    const Paths& FilePaths() const { return paths_; }

private:
    void DeleteLeftovers(const ChannelSystem& system) const;

    Paths paths_;
};
