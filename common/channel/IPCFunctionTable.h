#pragma once

// The endpoint and the commands registered with it. The commands go first, newest first,
// so each leaves the endpoint's map while the map still exists.

#include <memory>
#include <string>
#include <vector>

#include "common/channel/EasyFunction.h"
#include "common/channel/IPCEndpoint.h"

class IPCEndpointRegistry;

class IPCFunctionTable {
public:
    IPCFunctionTable(IPCEndpointRegistry& registry, const std::string& peerName);
    ~IPCFunctionTable();
    IPCFunctionTable(const IPCFunctionTable&) = delete;
    IPCFunctionTable& operator=(const IPCFunctionTable&) = delete;

    IPCEndpoint& Endpoint() { return *endpoint_; }
    const std::vector<std::unique_ptr<EasyFunction>>& Commands() const { return commands_; }

private:
    std::unique_ptr<IPCEndpoint> endpoint_;
    std::vector<std::unique_ptr<EasyFunction>> commands_;
};
