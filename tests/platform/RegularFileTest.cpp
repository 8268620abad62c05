// The opener every reader of an outside file goes through: what it refuses, that it never
// waits on a name, and that what it hands on is the file it checked.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/system/RegularFile.h"
#include "support/TempEnvironment.h"

namespace {

using Status = RegularFile::Status;

TEST(RegularFile, ReadsToTheEndAndRefusesOnlyPastTheBound) {
    TempEnvironment env;
    const size_t bound = 4096;
    const struct {
        size_t size;
        Status result;
    } cases[] = {{0, Status::Ok},
                 {1, Status::Ok},
                 {bound - 1, Status::Ok},
                 {bound, Status::Ok},
                 {bound + 1, Status::Refused}};
    for (const auto& c : cases) {
        std::string written(c.size, 'x');
        for (size_t i = 0; i < written.size(); ++i) written[i] = char('a' + i % 26);
        const std::string path = env.Path("f" + std::to_string(c.size));
        TempEnvironment::WriteFile(path, written);
        std::string bytes = "stale";
        EXPECT_EQ(RegularFile::ReadWhole(path, bound, bytes), c.result) << c.size;
        EXPECT_EQ(bytes, c.result == Status::Ok ? written : "") << c.size;
    }
    std::string bytes;
    EXPECT_EQ(RegularFile::ReadWhole(env.Path("none"), bound, bytes), Status::Absent);
}

TEST(RegularFile, AFileWhoseSizeSaysNothingIsReadWhole) {
    // The kernel's text files are regular with a size of 0 and hold more than a page.
    std::string bytes;
    ASSERT_EQ(RegularFile::ReadWhole("/proc/self/maps", 1u << 20, bytes), Status::Ok);
    EXPECT_GT(bytes.size(), 0u);
    EXPECT_EQ(bytes.back(), '\n');
    std::string small, error;
    EXPECT_EQ(RegularFile::ReadWhole("/proc/self/maps", 8, small, &error), Status::Refused);
    EXPECT_TRUE(small.empty());
    EXPECT_EQ(error, "/proc/self/maps: larger than 8 bytes");
}

TEST(RegularFile, OnlyARegularFileOpensAndNothingUnderTheNameIsWaitedOn) {
    // A FIFO without a writer would hold a blocking open for good; this returns at once.
    TempEnvironment env;
    ASSERT_EQ(mkfifo(env.Path("fifo").c_str(), 0600), 0);
    ASSERT_EQ(symlink("fifo", env.Path("link").c_str()), 0);
    const struct {
        std::string path;
        Status result;
    } cases[] = {{env.Path("fifo"), Status::Refused}, {env.Path("link"), Status::Refused},
                 {env.Root(), Status::Refused},       {"/dev/zero", Status::Refused},
                 {env.Path("none"), Status::Absent},  {env.Path("none/deeper"), Status::Absent}};
    for (const auto& c : cases) {
        const RegularFile file(c.path);
        EXPECT_FALSE(file.IsOpen()) << c.path;
        EXPECT_EQ(file.Result(), c.result) << c.path;
        EXPECT_FALSE(file.Refusal().empty()) << c.path;
        EXPECT_EQ(file.Location(), "") << c.path;
    }
}

TEST(RegularFile, ReadersAfterTheCheckReadTheCheckedFileWhateverTheNameBecomes) {
    TempEnvironment env;
    const std::string path = env.Path("clip");
    TempEnvironment::WriteFile(path, "checked");
    RegularFile file(path, 100);
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(file.Size(), 7u);

    // The name now stands for a FIFO: a reader that opened the name again would wait.
    ASSERT_EQ(std::rename(path.c_str(), env.Path("moved").c_str()), 0);
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    std::string bytes;
    ASSERT_EQ(RegularFile::ReadWhole(file.Location(), 100, bytes), Status::Ok);
    EXPECT_EQ(bytes, "checked");
    EXPECT_EQ(file.Uri(), "file://" + file.Location());

    char head[4] = {};
    EXPECT_EQ(file.Read(head, 3), 3u);
    EXPECT_EQ(std::string(head), "che");
    ASSERT_EQ(file.ReadAll(bytes), Status::Ok);  // the rest, from where the last read ended
    EXPECT_EQ(bytes, "cked");

    // A reader that closes the descriptor itself takes it over.
    const int fd = file.Release();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(lseek(fd, 0, SEEK_SET), 0);
    EXPECT_EQ(close(fd), 0);
}

}  // namespace
