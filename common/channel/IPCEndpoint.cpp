#include "common/channel/IPCEndpoint.h"

#include "common/channel/IPCEndpointRegistry.h"

IPCEndpoint::IPCEndpoint(IPCFunctionTable* table, std::string peerPath, ChannelNames names)
    : table_(table), peerPath_(std::move(peerPath)), names_(std::move(names)) {}

IPCEndpoint::~IPCEndpoint() {
    if (registry_ != nullptr) registry_->Endpoints().Remove(names_.joined.c_str());
}
