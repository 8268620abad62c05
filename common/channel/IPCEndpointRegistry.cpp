#include "common/channel/IPCEndpointRegistry.h"

#include "common/channel/IPCEndpoint.h"

std::unique_ptr<IPCEndpoint> IPCEndpointRegistry::CreateEndpoint(IPCFunctionTable* table,
                                                                 const std::string& peerName) {
    const uint32_t seed = system_.clockSeconds ? system_.clockSeconds() : 0;
    auto endpoint = std::make_unique<IPCEndpoint>(table, system_.programFolder + "/" + peerName,
                                                  MakeChannelNames(seed));
    endpoint->SetRegistry(this);
    endpoints_.Insert(endpoint->Names().joined.c_str(), endpoint.get());
    return endpoint;
}
