// A failed save must leave the previous file intact and no debris beside it.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "platform/system/AtomicFile.h"
#include "support/TempEnvironment.h"

namespace {

class AtomicFileTest : public TempFolderTest {
protected:
    size_t FilesIn(const std::string& folder) {
        return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                 std::filesystem::directory_iterator()));
    }
};

TEST_F(AtomicFileTest, ReplacesTheWholeFile) {
    const std::string path = env_.Path("out/data.bin");
    std::filesystem::create_directories(env_.Path("out"));
    TempEnvironment::WriteFile(path, std::string(5000, 'o'));
    const std::string bytes = "new contents";
    std::string error;
    ASSERT_TRUE(atomicfile::Write(path, bytes.data(), bytes.size(), &error)) << error;
    EXPECT_EQ(TempEnvironment::ReadFile(path), bytes);
    EXPECT_EQ(FilesIn(env_.Path("out")), 1u);
}

TEST_F(AtomicFileTest, AShortWriteKeepsTheOldFile) {
    // A file-size limit makes the write fail even for root, like a full disk would.
    const std::string path = env_.Path("limited.bin");
    TempEnvironment::WriteFile(path, "old");
    const std::string big(64 * 1024, 'n');

    std::string error;
    const bool written = TempEnvironment::WithFileSizeLimit(
        4096, [&] { return atomicfile::Write(path, big.data(), big.size(), &error); });

    EXPECT_FALSE(written);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(TempEnvironment::ReadFile(path), "old");
    EXPECT_EQ(FilesIn(env_.Root()), 5u);  // the four XDG folders and the old file
}

TEST_F(AtomicFileTest, FailsWhereTheTargetCannotBeReplacedOrMade) {
    std::filesystem::create_directories(env_.Path("folder/inner"));
    EXPECT_FALSE(atomicfile::Write(env_.Path("folder/inner"), "x", 1));  // a folder is there
    EXPECT_EQ(FilesIn(env_.Path("folder")), 1u);
    EXPECT_FALSE(atomicfile::Write(env_.Path("missing/file"), "x", 1));
}

TEST_F(AtomicFileTest, NewFilesGetTheUsualMode) {
    const mode_t old = umask(022);
    ASSERT_TRUE(atomicfile::Write(env_.Path("mode.bin"), "x", 1));
    umask(old);
    struct stat info {};
    ASSERT_EQ(stat(env_.Path("mode.bin").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

}  // namespace
