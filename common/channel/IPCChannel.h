#pragma once

// The channel on an endpoint: its files and the component ids. Only the peer's id can
// arrive, through the "ComponentID" command.

#include <cstdint>
#include <memory>

#include "common/channel/ChannelSystem.h"
#include "common/channel/ComponentIdStore.h"
#include "common/channel/IPCChannelFiles.h"

class IPCEndpoint;

class IPCChannel {
public:
    IPCChannel(IPCEndpoint& endpoint, const ChannelSystem& system);
    ~IPCChannel();
    IPCChannel(const IPCChannel&) = delete;
    IPCChannel& operator=(const IPCChannel&) = delete;

    // Keeps the first four bytes as the peer's id; a shorter blob is ignored.
    void SetComponentId(const void* data, uint64_t length);

    const IPCChannelFiles& Files() const { return *files_; }
    const ComponentIdStore& Ids() const { return ids_; }
    int32_t IdReceived() const { return idReceived_; }

private:
    IPCEndpoint& endpoint_;
    std::unique_ptr<IPCChannelFiles> files_;
    ComponentIdStore ids_;
    int32_t idReceived_ = 0;
};
