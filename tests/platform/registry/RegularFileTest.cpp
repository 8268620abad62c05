// The whole-file reader: a file is read to its end whatever fstat said of its size, and a
// file past the bound is refused rather than cut.

#include <gtest/gtest.h>

#include <string>

#include "platform/registry/RegularFile.h"
#include "support/TempEnvironment.h"

namespace {

TEST(RegularFile, ReadsToTheEndAndRefusesOnlyPastTheBound) {
    TempEnvironment env;
    const size_t bound = 4096;
    const struct {
        size_t size;
        registry::ReadResult result;
    } cases[] = {{0, registry::ReadResult::Ok},
                 {1, registry::ReadResult::Ok},
                 {bound - 1, registry::ReadResult::Ok},
                 {bound, registry::ReadResult::Ok},
                 {bound + 1, registry::ReadResult::Refused}};
    for (const auto& c : cases) {
        std::string written(c.size, 'x');
        for (size_t i = 0; i < written.size(); ++i) written[i] = char('a' + i % 26);
        const std::string path = env.Path("f" + std::to_string(c.size));
        TempEnvironment::WriteFile(path, written);
        std::string bytes = "stale";
        EXPECT_EQ(registry::ReadRegularFile(path, bound, bytes), c.result) << c.size;
        EXPECT_EQ(bytes, c.result == registry::ReadResult::Ok ? written : "") << c.size;
    }
    std::string bytes;
    EXPECT_EQ(registry::ReadRegularFile(env.Path("none"), bound, bytes),
              registry::ReadResult::Absent);
}

TEST(RegularFile, AFileWhoseSizeSaysNothingIsReadWhole) {
    // The kernel's text files are regular with a size of 0 and hold more than a page.
    std::string bytes;
    ASSERT_EQ(registry::ReadRegularFile("/proc/self/maps", 1u << 20, bytes),
              registry::ReadResult::Ok);
    EXPECT_GT(bytes.size(), 0u);
    EXPECT_EQ(bytes.back(), '\n');
    std::string small;
    EXPECT_EQ(registry::ReadRegularFile("/proc/self/maps", 8, small),
              registry::ReadResult::Refused);
    EXPECT_TRUE(small.empty());
}

}  // namespace
