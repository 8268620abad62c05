#include "player/shell/LaunchRequest.h"

#include <cstring>

#include "platform/system/FixedText.h"

std::optional<LaunchRequest> MakeLaunchRequest(int32_t flags, std::string_view path) {
    LaunchRequest request{};
    if (!fixedtext::SetPath(request.path, path)) return std::nullopt;
    request.flags = flags & kLaunchFlagMask;
    return request;
}

std::optional<LaunchRequest> DecodeLaunchRequest(std::span<const char> bytes) {
    if (bytes.size() != sizeof(LaunchRequest)) return std::nullopt;
    LaunchRequest request;
    std::memcpy(&request, bytes.data(), sizeof request);
    fixedtext::Terminate(request.path);
    request.flags &= kLaunchFlagMask;
    if (request.path[0] == '\0') {
        request.flags &= ~kLaunchPath;
    } else {
        request.flags |= kLaunchPath;
    }
    return request;
}
