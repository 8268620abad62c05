#pragma once

// One end of the command channel: the peer's path, the two channel names, and the map
// from command name to command. It leaves the registry's map when destroyed.

#include <string>

#include "common/channel/ChannelNames.h"
#include "common/channel/NameMap.h"

class IPCChannel;
class IPCEndpointRegistry;
class IPCFunctionTable;

class IPCEndpoint {
public:
    IPCEndpoint(IPCFunctionTable* table, std::string peerPath, ChannelNames names);
    ~IPCEndpoint();
    IPCEndpoint(const IPCEndpoint&) = delete;
    IPCEndpoint& operator=(const IPCEndpoint&) = delete;

    NameMap& Commands() { return commands_; }
    const NameMap& Commands() const { return commands_; }
    IPCFunctionTable* FunctionTable() const { return table_; }
    const std::string& PeerPath() const { return peerPath_; }
    const ChannelNames& Names() const { return names_; }

    // The channel built on this endpoint, for commands that hand it what they received.
    IPCChannel* Channel() const { return channel_; }
    void AttachChannel(IPCChannel* channel) { channel_ = channel; }
    // Set by the registry that entered this endpoint under its joined name.
    void SetRegistry(IPCEndpointRegistry* registry) { registry_ = registry; }

private:
    IPCFunctionTable* table_;
    NameMap commands_;
    std::string peerPath_;
    ChannelNames names_;
    IPCChannel* channel_ = nullptr;
    IPCEndpointRegistry* registry_ = nullptr;
};
