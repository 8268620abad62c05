// The main window asks whether an automation proxy is attached before it closes: the
// factory's count must follow every proxy's creation and release.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "player/shell/AutoProxyFactory.h"

namespace {

TEST(AutoProxyFactory, EachRequestMakesANewProxyAndReleasingOneLeavesTheCount) {
    EXPECT_STREQ(AutoProxyFactory::kProgramId, "Kalvor.Application");
    EXPECT_STREQ(AutoProxyFactory::kClassId, "{360C8120-8856-4797-BABC-5B9EF097D592}");
    AutoProxyFactory& factory = AutoProxyFactory::Instance();
    EXPECT_EQ(&factory, &AutoProxyFactory::Instance());
    const int before = factory.LiveCount();
    {
        std::vector<std::unique_ptr<CKalvorDlgAutoProxy>> proxies;
        for (int i = 1; i <= 3; ++i) {
            proxies.push_back(factory.Create());
            ASSERT_NE(proxies.back(), nullptr);
            EXPECT_EQ(factory.LiveCount(), before + i);
        }
        EXPECT_NE(proxies[0].get(), proxies[1].get());
        proxies.erase(proxies.begin() + 1);
        EXPECT_EQ(factory.LiveCount(), before + 2);
    }
    EXPECT_EQ(factory.LiveCount(), before);

    AutoProxyFactory other;  // counts only its own proxies
    const auto proxy = other.Create();
    EXPECT_EQ(other.LiveCount(), 1);
    EXPECT_EQ(factory.LiveCount(), before);
}

}  // namespace
