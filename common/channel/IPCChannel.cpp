#include "common/channel/IPCChannel.h"

#include <cstring>

#include "common/channel/IPCEndpoint.h"

IPCChannel::IPCChannel(IPCEndpoint& endpoint, const ChannelSystem& system)
    : endpoint_(endpoint), files_(std::make_unique<IPCChannelFiles>(endpoint.Names(), system)) {
    endpoint_.AttachChannel(this);
}

IPCChannel::~IPCChannel() { endpoint_.AttachChannel(nullptr); }

void IPCChannel::SetComponentId(const void* data, uint64_t length) {
    if (data == nullptr || length < sizeof(uint32_t)) return;
    uint32_t id = 0;
    std::memcpy(&id, data, sizeof id);
    ids_.SetSecond(id);
    idReceived_ = 1;
}
