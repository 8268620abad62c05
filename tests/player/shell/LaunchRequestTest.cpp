// A launch request comes from another process: whatever arrives must be made safe before
// the main window sees it, and a path must never be cut into another one.

#include <gtest/gtest.h>

#include <cstring>

#include "player/shell/LaunchRequest.h"

namespace {

std::span<const char> Bytes(const LaunchRequest& request) {
    return {reinterpret_cast<const char*>(&request), sizeof request};
}

TEST(LaunchRequest, PathsLongerThanTheFieldAreNotSent) {
    EXPECT_TRUE(MakeLaunchRequest(kLaunchPath, std::string(4999, 'a')).has_value());
    EXPECT_FALSE(MakeLaunchRequest(kLaunchPath, std::string(5000, 'a')).has_value());
    const auto request = MakeLaunchRequest(kLaunchPath | kLaunchFullScreen | 0x100, "/m/x.avi");
    ASSERT_TRUE(request);
    EXPECT_STREQ(request->path, "/m/x.avi");
    EXPECT_EQ(request->flags, kLaunchPath | kLaunchFullScreen);
}

TEST(LaunchRequest, DecodingChecksSizeTerminatorAndFlags) {
    LaunchRequest sent = *MakeLaunchRequest(kLaunchPath | kLaunchNoFullScreen, "/m/x.avi");
    const auto same = DecodeLaunchRequest(Bytes(sent));
    ASSERT_TRUE(same);
    EXPECT_EQ(std::memcmp(&*same, &sent, sizeof sent), 0);

    EXPECT_FALSE(DecodeLaunchRequest(Bytes(sent).first(5003)));
    std::vector<char> longer(5005, 0);
    EXPECT_FALSE(DecodeLaunchRequest(longer));

    LaunchRequest hostile;
    std::memset(hostile.path, 'A', sizeof hostile.path);
    hostile.flags = -1;
    const auto cleaned = DecodeLaunchRequest(Bytes(hostile));
    ASSERT_TRUE(cleaned);
    EXPECT_EQ(std::strlen(cleaned->path), 4999u);
    EXPECT_EQ(cleaned->flags, kLaunchFlagMask);

    LaunchRequest noPath{};
    noPath.flags = kLaunchPath | kLaunchFullScreen;
    EXPECT_EQ(DecodeLaunchRequest(Bytes(noPath))->flags, kLaunchFullScreen);
}

}  // namespace
