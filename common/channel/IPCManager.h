#pragma once

// The root of the command channel towards the peer program "korp". Constructing it is the
// whole set-up: the commands and their layouts, two random channel names, and the removal
// of channel files a run with the same names left behind. No peer is started and nothing
// is sent or received; the player keeps the root for its run.

#include <memory>

#include "common/channel/ChannelSystem.h"
#include "common/channel/IPCConnection.h"
#include "common/channel/IPCEndpointRegistry.h"

class IPCManager {
public:
    explicit IPCManager(ChannelSystem system);
    IPCManager(const IPCManager&) = delete;
    IPCManager& operator=(const IPCManager&) = delete;

    IPCEndpointRegistry& Registry() { return *registry_; }
    IPCConnection& Connection() { return *connection_; }

private:
    ChannelSystem system_;  // first: everything below refers to it
    std::unique_ptr<IPCEndpointRegistry> registry_;
    std::unique_ptr<IPCConnection> connection_;  // last: destroyed first
};
