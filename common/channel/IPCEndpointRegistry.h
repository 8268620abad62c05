#pragma once

// Makes endpoints and finds them by their joined channel name.

#include <memory>
#include <string>

#include "common/channel/ChannelSystem.h"
#include "common/channel/NameMap.h"

class IPCEndpoint;
class IPCFunctionTable;

class IPCEndpointRegistry {
public:
    explicit IPCEndpointRegistry(const ChannelSystem& system) : system_(system) {}
    IPCEndpointRegistry(const IPCEndpointRegistry&) = delete;
    IPCEndpointRegistry& operator=(const IPCEndpointRegistry&) = delete;

    // A new endpoint for the peer program peerName in the program folder, with fresh
    // channel names, entered into the map. The endpoint must go before the registry.
    std::unique_ptr<IPCEndpoint> CreateEndpoint(IPCFunctionTable* table, const std::string& peerName);

    NameMap& Endpoints() { return endpoints_; }
    const NameMap& Endpoints() const { return endpoints_; }

private:
    const ChannelSystem& system_;
    NameMap endpoints_;
};
