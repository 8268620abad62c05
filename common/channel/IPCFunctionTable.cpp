#include "common/channel/IPCFunctionTable.h"

#include "common/channel/ChannelCommands.h"
#include "common/channel/IPCEndpointRegistry.h"

IPCFunctionTable::IPCFunctionTable(IPCEndpointRegistry& registry, const std::string& peerName)
    : endpoint_(registry.CreateEndpoint(this, peerName)) {
    commands_.reserve(std::size(kChannelCommands));
    for (const ChannelCommandEntry& entry : kChannelCommands) {
        commands_.push_back(entry.make());
        commands_.back()->Register(entry.name, endpoint_.get());
    }
}

IPCFunctionTable::~IPCFunctionTable() {
    while (!commands_.empty()) commands_.pop_back();
}
