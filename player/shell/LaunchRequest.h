#pragma once

// The record a second player instance hands to the running one: its command line's path
// and switches. It travels byte for byte, so the layout is a wire format.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

enum LaunchFlag : int32_t {
    kLaunchPath = 1,
    kLaunchWizard = 2,
    kLaunchFullScreen = 4,
    kLaunchNoFullScreen = 8,
};
inline constexpr int32_t kLaunchFlagMask = 0xF;

struct LaunchRequest {
    char path[5000];  // UTF-8, zero-terminated; empty when the command line had no path
    int32_t flags;    // LaunchFlag bits
};
static_assert(sizeof(LaunchRequest) == 5004);
static_assert(offsetof(LaunchRequest, path) == 0);
static_assert(offsetof(LaunchRequest, flags) == 5000);

// The frame tag that marks a launch request on the instance socket.
inline constexpr uint32_t kLaunchRequestTag = 0x6ABE51;
// The name of the one running instance (its lock and its socket).
inline constexpr char kInstanceName[] = "KALVOR-52435454-6267-6754-8367-254335475465";

// Nothing when the path does not fit the record (it is never cut).
std::optional<LaunchRequest> MakeLaunchRequest(int32_t flags, std::string_view path);

// Checks a received record: exactly the record's size; the path is forced to end inside
// its field; unknown flag bits are dropped, and the path flag agrees with the path.
std::optional<LaunchRequest> DecodeLaunchRequest(std::span<const char> bytes);

// Receives the launch requests of later instances (the main window).
class ILaunchRequestHandler {
public:
    virtual ~ILaunchRequestHandler() = default;
    virtual void OnLaunchRequest(const LaunchRequest& request) = 0;
};
