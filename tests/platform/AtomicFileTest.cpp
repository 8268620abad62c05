// A failed save must leave the previous file intact and no debris beside it.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

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

// A save killed half-way leaves its temporary file; the next start clears exactly those.
TEST_F(AtomicFileTest, LeftoversOfAKilledSaveAreRemovedAndNothingElse) {
    const std::string folder = env_.Path("config");
    const std::string path = folder + "/options.cfg";
    TempEnvironment::WriteFile(path, "old");
    // A real leftover: the file-size limit's signal kills the writer in mid-write.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_DFL);
        rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        const std::string big(4096, 'n');
        atomicfile::Write(path, big.data(), big.size());
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_EQ(FilesIn(folder), 2u);

    const std::vector<std::string> kept = {
        "options.cfg",          ".options.cfg.12-.tmp",      ".options.cfg.-3.tmp",
        ".options.cfg.1x-2.tmp", ".options.cfg.12-3.tmp.bak", ".options.cfg.12-3.TMP",
        "options.cfg.12-3.tmp", "..options.cfg.12-3.tmp",    ".internal.pls.12-3.tmp",
        ".options.cfg.12+3.tmp", ".options.cfg.12-3-4.tmp",  ".options.cfg..tmp"};
    for (const std::string& name : kept)
        if (name != "options.cfg") TempEnvironment::WriteFile(folder + "/" + name, "x");
    TempEnvironment::WriteFile(folder + "/.options.cfg.7-0.tmp", "");
    TempEnvironment::WriteFile(env_.Path("target"), "keep");
    std::filesystem::create_symlink(env_.Path("target"), folder + "/.options.cfg.8-0.tmp");
    std::filesystem::create_directory(folder + "/.options.cfg.9-0.tmp");

    EXPECT_EQ(atomicfile::RemoveLeftovers(folder, "options.cfg"), 2u);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        left.push_back(entry.path().filename().string());
    std::vector<std::string> expected = kept;
    expected.push_back(".options.cfg.8-0.tmp");
    expected.push_back(".options.cfg.9-0.tmp");
    std::sort(left.begin(), left.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(left, expected);
    EXPECT_EQ(TempEnvironment::ReadFile(path), "old");
    EXPECT_EQ(TempEnvironment::ReadFile(env_.Path("target")), "keep");
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
