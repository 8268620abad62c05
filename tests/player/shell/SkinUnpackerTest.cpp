#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <sstream>

#include "SkinTestPackage.h"
#include "player/shell/SkinUnpacker.h"
#include "support/TempEnvironment.h"

namespace {

namespace fs = std::filesystem;

class SkinUnpackerTest : public TempFolderTest {
protected:
    std::string Package(const skintest::Entries& entries, const std::string& name = "skin.krs") {
        const std::string path = env_.Path(name);
        skintest::WritePackage(path, entries);
        return path;
    }
    std::string Skin(const std::string& name) const {
        return SkinUnpacker::SkinFolder() + "/" + name;
    }
    // Every path below root, relative to it.
    static std::vector<std::string> Tree(const std::string& root) {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(root))
            names.push_back(fs::relative(entry.path(), root).string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::ostringstream out_;
    std::istringstream in_;
    SkinUnpacker unpacker_{out_, in_};
};

std::string Binary() {
    std::string bytes;
    for (int i = 0; i < 20000; ++i) bytes.push_back(static_cast<char>((i * 7919) % 256));
    return bytes;
}

TEST_F(SkinUnpackerTest, GoodPackageUnpacksByteExactlyWithEntryTimes) {
    // Files come out byte for byte, sub-folders from entry paths and directory entries.
    const std::string binary = Binary();
    ASSERT_TRUE(unpacker_.UnpackSkin(Package({{"skin.ini", "BtnPlay = 1, 2;\r\n"},
                                              {"main.bmp", binary},
                                              {"empty/", ""},
                                              {"deep/er/file.bmp", "x"},
                                              {"win\\style.bmp", "y"}})))
        << out_.str();
    EXPECT_EQ(TempEnvironment::ReadFile(Skin("skin.ini")), "BtnPlay = 1, 2;\r\n");
    EXPECT_EQ(TempEnvironment::ReadFile(Skin("main.bmp")), binary);
    EXPECT_TRUE(fs::is_directory(Skin("empty")));
    EXPECT_EQ(TempEnvironment::ReadFile(Skin("deep/er/file.bmp")), "x");
    EXPECT_EQ(TempEnvironment::ReadFile(Skin("win/style.bmp")), "y");
    EXPECT_NE(out_.str().find(" extracting: main.bmp\n"), std::string::npos);

    // The entry's DOS time (local time) becomes the file's modification time.
    std::tm local{};
    local.tm_year = 2025 - 1900;
    local.tm_mon = 0;
    local.tm_mday = 11;
    local.tm_hour = 13;
    local.tm_min = 33;
    local.tm_sec = 2;
    local.tm_isdst = -1;
    struct stat info {};
    ASSERT_EQ(stat(Skin("main.bmp").c_str(), &info), 0);
    EXPECT_EQ(info.st_mtime, mktime(&local));
}

TEST_F(SkinUnpackerTest, NewSkinReplacesTheWholeOldTree) {
    ASSERT_TRUE(unpacker_.UnpackSkin(Package({{"a.bmp", "a"}, {"sub/b.bmp", "b"}}, "a.krs")));
    ASSERT_TRUE(unpacker_.UnpackSkin(Package({{"c.bmp", "c"}}, "c.krs")));
    EXPECT_EQ(Tree(SkinUnpacker::SkinFolder()), std::vector<std::string>{"c.bmp"});
    // Nothing of the work folders is left beside the skin folder.
    EXPECT_EQ(Tree(fs::path(SkinUnpacker::SkinFolder()).parent_path()),
              (std::vector<std::string>{"_krsktmp", "_krsktmp/c.bmp"}));
}

TEST_F(SkinUnpackerTest, HostileEntryNamesWriteNothingOutsideTheSkinFolder) {
    const std::string absolute = env_.Path("abs/x");
    ASSERT_TRUE(unpacker_.UnpackSkin(Package({{"../x", "1"},
                                              {absolute, "2"},
                                              {"a/../../x", "3"},
                                              {"..\\y", "4"},
                                              {"a/..", "5"},
                                              {std::string(300, 'n'), "6"},
                                              {"ok.bmp", "ok"}})));
    const std::string temp = fs::path(SkinUnpacker::SkinFolder()).parent_path();
    EXPECT_FALSE(TempEnvironment::Exists(temp + "/x"));
    EXPECT_FALSE(TempEnvironment::Exists(temp + "/y"));
    EXPECT_FALSE(TempEnvironment::Exists(env_.RuntimeDir() + "/x"));
    EXPECT_FALSE(TempEnvironment::Exists(absolute));
    // Skipped entries do not stop the others.
    EXPECT_EQ(Tree(SkinUnpacker::SkinFolder()), std::vector<std::string>{"ok.bmp"});
    EXPECT_NE(out_.str().find("error opening ../x\n"), std::string::npos);
    EXPECT_NE(out_.str().find("error opening a/../../x\n"), std::string::npos);
}

TEST_F(SkinUnpackerTest, SymlinksInTheSkinFolderAreNeverFollowed) {
    // Planted in the current skin folder: removed with it, their targets untouched.
    const std::string outsideFile = env_.Path("outside/target.ini");
    const std::string outsideDir = env_.Path("outside/dir");
    TempEnvironment::WriteFile(outsideFile, "precious");
    TempEnvironment::WriteFile(outsideDir + "/keep.bmp", "kept");
    fs::create_directories(SkinUnpacker::SkinFolder());
    fs::create_symlink(outsideFile, Skin("skin.ini"));
    fs::create_directory_symlink(outsideDir, Skin("dir"));

    ASSERT_TRUE(
        unpacker_.UnpackSkin(Package({{"skin.ini", "new"}, {"dir/keep.bmp", "overwritten"}})));
    EXPECT_EQ(TempEnvironment::ReadFile(outsideFile), "precious");
    EXPECT_EQ(TempEnvironment::ReadFile(outsideDir + "/keep.bmp"), "kept");
    EXPECT_FALSE(fs::is_symlink(Skin("skin.ini")));
    EXPECT_EQ(TempEnvironment::ReadFile(Skin("skin.ini")), "new");
    EXPECT_EQ(TempEnvironment::ReadFile(Skin("dir/keep.bmp")), "overwritten");
}

TEST_F(SkinUnpackerTest, ExtractionNeverWritesThroughAnExistingSymlink) {
    const std::string destination = env_.Path("dest");
    const std::string outside = env_.Path("outside");
    TempEnvironment::WriteFile(outside + "/file", "precious");
    fs::create_directories(destination);
    fs::create_symlink(outside + "/file", destination + "/link");
    fs::create_directory_symlink(outside, destination + "/linkdir");

    unpacker_.SetDestination(destination);
    EXPECT_EQ(
        unpacker_.ExtractArchive({"", Package({{"link", "evil"}, {"linkdir/file", "evil"}}), "-o"}),
        0);
    EXPECT_EQ(TempEnvironment::ReadFile(outside + "/file"), "precious");
    EXPECT_EQ(Tree(outside), std::vector<std::string>{"file"});
}

TEST_F(SkinUnpackerTest, FailedPackagesLeaveTheCurrentSkinInPlace) {
    ASSERT_TRUE(unpacker_.UnpackSkin(Package({{"skin.ini", "current"}}, "good.krs")));

    // Not an archive at all, a missing file, and an archive whose data is damaged.
    TempEnvironment::WriteFile(env_.Path("junk.krs"), "PK\x03\x04 definitely not a zip");
    EXPECT_FALSE(unpacker_.UnpackSkin(env_.Path("junk.krs")));
    EXPECT_NE(out_.str().find("Cannot open " + env_.Path("junk.krs") + " or " +
                              env_.Path("junk.krs") + ".zip\n"),
              std::string::npos);
    EXPECT_FALSE(unpacker_.UnpackSkin(env_.Path("missing.krs")));

    const std::string damaged =
        Package({{"skin.ini", "next"}, {"main.bmp", Binary()}}, "damaged.krs");
    std::string bytes = TempEnvironment::ReadFile(damaged);
    const size_t data = bytes.find("main.bmp") + 8;  // the local header's name, then the data
    for (size_t i = data + 100; i < data + 400; ++i) bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
    TempEnvironment::WriteFile(damaged, bytes);
    EXPECT_FALSE(unpacker_.UnpackSkin(damaged));

    EXPECT_EQ(Tree(fs::path(SkinUnpacker::SkinFolder()).parent_path()),
              (std::vector<std::string>{"_krsktmp", "_krsktmp/skin.ini"}));
    EXPECT_EQ(TempEnvironment::ReadFile(Skin("skin.ini")), "current");
}

TEST_F(SkinUnpackerTest, PackageThatInflatesBeyondTheLimitFails) {
    const std::string big(SkinUnpacker::kMaxExtractedBytes + 1, '\0');
    EXPECT_FALSE(unpacker_.UnpackSkin(Package({{"skin.ini", "x"}, {"bomb.bmp", big}})));
    EXPECT_NE(out_.str().find("error in writing extracted file\n"), std::string::npos);
    EXPECT_FALSE(TempEnvironment::Exists(SkinUnpacker::SkinFolder()));
}

TEST_F(SkinUnpackerTest, ArchiveOptions) {
    const std::string destination = env_.Path("dest");
    fs::create_directories(destination);
    unpacker_.SetDestination(destination);
    const std::string package = Package({{"a/one.bmp", "1"}, {"b/two.bmp", "2"}});

    // "-l" lists without writing; the ".zip" name is tried when the plain one does not open.
    fs::rename(package, package + ".zip");
    EXPECT_EQ(unpacker_.ExtractArchive({"", package, "-L"}), 0);
    EXPECT_NE(out_.str().find(package + ".zip opened\n"), std::string::npos);
    EXPECT_NE(out_.str().find("b/two.bmp"), std::string::npos);
    EXPECT_TRUE(Tree(destination).empty());

    // One named entry; without its path under "-e".
    EXPECT_EQ(unpacker_.ExtractArchive({"", "-xe", package, "b/two.bmp"}), 0);
    EXPECT_EQ(Tree(destination), std::vector<std::string>{"two.bmp"});
    EXPECT_EQ(unpacker_.ExtractArchive({"", package, "c/none.bmp"}), 2);
    EXPECT_NE(out_.str().find("file c/none.bmp not found in the zipfile\n"), std::string::npos);
}

TEST_F(SkinUnpackerTest, ExistingFilesAreOverwrittenOnlyWhenTheConsoleSaysSo) {
    const std::string destination = env_.Path("dest");
    unpacker_.SetDestination(destination);
    const std::string package =
        Package({{"one.bmp", "new1"}, {"two.bmp", "new2"}, {"three.bmp", "new3"}});
    for (const auto& [input, expected] : std::vector<std::pair<std::string, std::string>>{
             {"n\nn\nn\n", "old1old2old3"},  // no
             {"q y n y\n", "new1old2new3"},  // an unknown answer asks again
             {"A\n", "new1new2new3"},        // all: asked once
             {"", "old1old2old3"},           // no console: kept
         }) {
        TempEnvironment::WriteFile(destination + "/one.bmp", "old1");
        TempEnvironment::WriteFile(destination + "/two.bmp", "old2");
        TempEnvironment::WriteFile(destination + "/three.bmp", "old3");
        in_.clear();
        in_.str(input);
        EXPECT_EQ(unpacker_.ExtractArchive({"", package}), 0);
        EXPECT_EQ(TempEnvironment::ReadFile(destination + "/one.bmp") +
                      TempEnvironment::ReadFile(destination + "/two.bmp") +
                      TempEnvironment::ReadFile(destination + "/three.bmp"),
                  expected)
            << input;
    }
}

}  // namespace
