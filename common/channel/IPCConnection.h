#pragma once

// The function table for the peer program and the channel on its endpoint; the channel
// goes first.

#include <memory>

#include "common/channel/ChannelSystem.h"
#include "common/channel/IPCChannel.h"
#include "common/channel/IPCFunctionTable.h"

class IPCEndpointRegistry;

inline constexpr char kChannelPeerName[] = "korp";

class IPCConnection {
public:
    IPCConnection(IPCEndpointRegistry& registry, const ChannelSystem& system);
    IPCConnection(const IPCConnection&) = delete;
    IPCConnection& operator=(const IPCConnection&) = delete;

    IPCFunctionTable& FunctionTable() { return *table_; }
    IPCChannel& Channel() { return *channel_; }

private:
    std::unique_ptr<IPCFunctionTable> table_;
    std::unique_ptr<IPCChannel> channel_;  // after table_, so it is destroyed before it
};
