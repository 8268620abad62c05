// The folders decide where user data goes; the temporary folder must never be one that
// another user can reach into.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

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

TEST_F(PathsTest, AWiderTemporaryFolderOfOursIsNarrowedToTheOwnerAlone) {
    const std::string folder = env_.RuntimeDir() + "/Kalvor";
    for (const mode_t mode : {0777, 0770, 0750, 0705, 0701, 02700, 0500}) {
        SCOPED_TRACE(mode);
        std::filesystem::create_directories(folder);
        ASSERT_EQ(chmod(folder.c_str(), mode), 0);
        EXPECT_EQ(paths::TempFolder(), folder);
        struct stat info {};
        ASSERT_EQ(stat(folder.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0700u);
    }
}

// Whoever made the refused name first, the user's cache folder takes its place, so the
// private files and the one-instance rule still hold.
TEST_F(PathsTest, ARefusedTemporaryFolderFallsBackToThePrivateCacheFolder) {
    const std::string tmpFolder = env_.TmpDir() + "/Kalvor-" + std::to_string(geteuid());
    const std::string cache = env_.CacheHome() + "/Kalvor";
    struct Case {
        const char* what;
        bool runtime;  // XDG_RUNTIME_DIR set, else the per-user name in TMPDIR
        std::function<void(const std::string&)> plant;
    };
    const Case cases[] = {
        {"a symlink to a folder", true,
         [&](const std::string& f) { std::filesystem::create_directory_symlink(env_.Path("elsewhere"), f); }},
        {"a dangling symlink", false,
         [&](const std::string& f) { std::filesystem::create_symlink(env_.Path("nowhere"), f); }},
        {"a file", false, [&](const std::string& f) { TempEnvironment::WriteFile(f, "x"); }},
        {"another user's folder", false,
         [&](const std::string& f) {
             std::filesystem::create_directories(f);
             // Only root can hand a folder to another user; others get a file instead.
             if (geteuid() != 0 || chown(f.c_str(), 4242, 4242) != 0) {
                 std::filesystem::remove(f);
                 TempEnvironment::WriteFile(f, "x");
             }
         }},
        {"a folder in a parent others may write", true,
         [&](const std::string& f) {
             std::filesystem::create_directories(f);
             chmod(env_.RuntimeDir().c_str(), 0777);
         }},
    };
    std::filesystem::create_directories(env_.Path("elsewhere"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string folder = c.runtime ? env_.RuntimeDir() + "/Kalvor" : tmpFolder;
        if (!c.runtime) unsetenv("XDG_RUNTIME_DIR");
        c.plant(folder);

        EXPECT_EQ(paths::TempFolder(), cache);
        struct stat info {};
        ASSERT_EQ(lstat(cache.c_str(), &info), 0);
        EXPECT_TRUE(S_ISDIR(info.st_mode));
        EXPECT_EQ(info.st_mode & 07777, 0700u);
        EXPECT_TRUE(std::filesystem::is_empty(env_.Path("elsewhere")));

        std::filesystem::remove_all(folder);
        chmod(env_.RuntimeDir().c_str(), 0700);
        setenv("XDG_RUNTIME_DIR", env_.RuntimeDir().c_str(), 1);
    }

    // A cache folder that is itself refused leaves no temporary folder at all.
    std::filesystem::remove_all(cache);
    std::filesystem::create_directory_symlink(env_.Path("elsewhere"), cache);
    std::filesystem::create_directory_symlink(env_.Path("elsewhere"), env_.RuntimeDir() + "/Kalvor");
    EXPECT_EQ(paths::TempFolder(), "");
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
