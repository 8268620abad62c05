#include "common/channel/EasyFunction.h"

#include "common/channel/IPCEndpoint.h"

EasyFunction::~EasyFunction() {
    if (endpoint_ != nullptr) endpoint_->Commands().Remove(name_.c_str());
}

void EasyFunction::Register(const char* name, IPCEndpoint* endpoint) {
    if (endpoint_ != nullptr) endpoint_->Commands().Remove(name_.c_str());
    name_ = name;
    endpoint_ = endpoint;
    if (endpoint_ != nullptr) endpoint_->Commands().Insert(name_.c_str(), this);
}

void EasyFunction::BuildLayout() {
    layout_.Build([this](FieldLayout& layout) { DescribeParameters(layout); });
}

void EasyFunction::DescribeParameters(FieldLayout&) {}
