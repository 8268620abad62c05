#include "common/channel/IPCConnection.h"

IPCConnection::IPCConnection(IPCEndpointRegistry& registry, const ChannelSystem& system)
    : table_(std::make_unique<IPCFunctionTable>(registry, kChannelPeerName)),
      channel_(std::make_unique<IPCChannel>(table_->Endpoint(), system)) {}
