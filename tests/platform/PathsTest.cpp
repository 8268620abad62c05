// The folders decide where user data goes; the temporary folder must never be one that
// another user can reach into.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/system/Paths.h"
#include "support/TempEnvironment.h"

namespace {

class PathsTest : public TempFolderTest {};

TEST_F(PathsTest, FoldersFollowTheXdgVariables) {
    EXPECT_EQ(paths::UserConfigFolder(), env_.ConfigHome() + "/Kalvor");
    EXPECT_EQ(paths::AppDataFolder(), env_.DataHome() + "/Kalvor");
    EXPECT_EQ(paths::TempFolder(), env_.RuntimeDir() + "/Kalvor");

    setenv("XDG_CONFIG_HOME", "relative/path", 1);  // not absolute: ignored
    setenv("HOME", env_.Root().c_str(), 1);
    EXPECT_EQ(paths::UserConfigFolder(), env_.Root() + "/.config/Kalvor");
}

TEST_F(PathsTest, TempFolderFallsBackToAPerUserFolderInTmpdir) {
    unsetenv("XDG_RUNTIME_DIR");
    const std::string expected = env_.TmpDir() + "/Kalvor-" + std::to_string(geteuid());
    EXPECT_EQ(paths::TempFolder(), expected);
    struct stat info {};
    ASSERT_EQ(stat(expected.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(PathsTest, TempFolderRefusesSymlinksAndForeignFolders) {
    std::filesystem::create_directories(env_.Path("elsewhere"));
    std::filesystem::create_directory_symlink(env_.Path("elsewhere"), env_.RuntimeDir() + "/Kalvor");
    EXPECT_EQ(paths::TempFolder(), "");

    std::filesystem::remove(env_.RuntimeDir() + "/Kalvor");
    std::filesystem::create_directories(env_.RuntimeDir() + "/Kalvor");
    chmod((env_.RuntimeDir() + "/Kalvor").c_str(), 0777);
    EXPECT_EQ(paths::TempFolder(), env_.RuntimeDir() + "/Kalvor");  // ours: narrowed
    struct stat info {};
    stat((env_.RuntimeDir() + "/Kalvor").c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    if (geteuid() == 0) {  // only root can hand a folder to another user
        ASSERT_EQ(chown((env_.RuntimeDir() + "/Kalvor").c_str(), 4242, 4242), 0);
        EXPECT_EQ(paths::TempFolder(), "");
    }
}

TEST_F(PathsTest, RelativePathsAreMadeAbsolute) {
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(env_.Root());
    EXPECT_EQ(paths::MakeAbsolute("a/../clip one.avi"), env_.Root() + "/clip one.avi");
    EXPECT_EQ(paths::MakeAbsolute("/abs/x.avi"), "/abs/x.avi");
    EXPECT_EQ(paths::MakeAbsolute(""), "");
    std::filesystem::current_path(cwd);
    EXPECT_EQ(paths::Join("/a/", "b"), "/a/b");
    EXPECT_EQ(paths::Join("/a", "b"), "/a/b");
}

}  // namespace
