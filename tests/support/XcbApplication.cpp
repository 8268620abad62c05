#include "support/XcbApplication.h"

namespace {

std::string OnXcb(const std::string& name) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    return name;
}

}  // namespace

XcbApplication::XcbApplication(const std::string& name)
    : name_(OnXcb(name)), argv_{name_.data(), nullptr}, application_(argc_, argv_) {}
