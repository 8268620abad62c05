#pragma once

// The base of every channel command: its name, the endpoint it is registered with and
// the layout of its parameters. A registered command leaves the endpoint's command map
// when it is destroyed.

#include <string>

#include "common/channel/FieldLayout.h"

class IPCEndpoint;

class EasyFunction {
public:
    virtual ~EasyFunction();
    EasyFunction(const EasyFunction&) = delete;
    EasyFunction& operator=(const EasyFunction&) = delete;

    // Acts on parameters a transport has filled in through the layout.
    virtual void Execute() = 0;

    // Copies the name and enters it into the endpoint's command map.
    void Register(const char* name, IPCEndpoint* endpoint);

    const std::string& Name() const { return name_; }
    IPCEndpoint* Endpoint() const { return endpoint_; }
    const FieldLayout& Layout() const { return layout_; }

protected:
    EasyFunction() = default;
    // Each command with parameters calls this from its constructor, once its members exist.
    void BuildLayout();
    virtual void DescribeParameters(FieldLayout& layout);

private:
    IPCEndpoint* endpoint_ = nullptr;
    FieldLayout layout_;
    std::string name_;
};
