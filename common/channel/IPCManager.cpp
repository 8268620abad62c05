#include "common/channel/IPCManager.h"

IPCManager::IPCManager(ChannelSystem system)
    : system_(std::move(system)),
      registry_(std::make_unique<IPCEndpointRegistry>(system_)),
      connection_(std::make_unique<IPCConnection>(*registry_, system_)) {}
