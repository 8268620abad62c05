#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <future>
#include <sstream>

#include "player/skin/SkinUnpacker.h"
#include "support/TempEnvironment.h"
#include "support/ZipArchive.h"

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;
using Entries = std::vector<std::pair<std::string, std::string>>;  // name, content
constexpr auto ReadFile = &TempEnvironment::ReadFile;

class SkinUnpackerTest : public TempFolderTest {
protected:
    // A zip archive: entries in order, names as given, each dated 2025-01-11 13:33:02.
    std::string Package(const Entries& entries, const std::string& name = "skin.krs") {
        const std::string path = env_.Path(name);
        EXPECT_TRUE(WriteZipArchive(path, entries, 0x5A2B6C21)) << path;
        return path;
    }
    static std::string Temp() { return fs::path(SkinUnpacker::SkinFolder()).parent_path(); }
    static std::string Skin(const std::string& name) { return Temp() + "/_krsktmp/" + name; }
    static Names Tree(const std::string& root) {  // every path below root, relative, sorted
        Names names;
        for (const auto& entry : fs::recursive_directory_iterator(root))
            names.push_back(fs::relative(entry.path(), root).string());
        std::sort(names.begin(), names.end());
        return names;
    }
    bool Printed(const std::string& text) { return out_.str().find(text) != std::string::npos; }

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
    const std::string binary = Binary();
    ASSERT_TRUE(unpacker_.UnpackSkin(Package({{"skin.ini", "BtnPlay = 1, 2;\r\n"},
                                              {"main.bmp", binary}, {"empty/", ""},
                                              {"deep/er/file.bmp", "x"}, {"win\\style.bmp", "y"}})))
        << out_.str();
    EXPECT_EQ(ReadFile(Skin("skin.ini")), "BtnPlay = 1, 2;\r\n");
    EXPECT_EQ(ReadFile(Skin("main.bmp")), binary);
    EXPECT_TRUE(fs::is_directory(Skin("empty")));
    EXPECT_EQ(ReadFile(Skin("deep/er/file.bmp")) + ReadFile(Skin("win/style.bmp")), "xy");
    EXPECT_TRUE(Printed(" extracting: main.bmp\n"));
    // The entry's DOS time (local time) becomes the file's modification time.
    std::tm local{.tm_sec = 2, .tm_min = 33, .tm_hour = 13, .tm_mday = 11, .tm_year = 125};
    local.tm_isdst = -1;
    const auto written = std::chrono::file_clock::to_sys(fs::last_write_time(Skin("main.bmp")));
    EXPECT_EQ(std::chrono::system_clock::to_time_t(written), mktime(&local));
}

TEST_F(SkinUnpackerTest, HostileEntryNamesWriteNothingOutsideTheSkinFolder) {
    const std::string absolute = env_.Path("abs/x");
    ASSERT_TRUE(unpacker_.UnpackSkin(Package({{"../x", "1"}, {absolute, "2"}, {"a/../../x", "3"},
                                              {"..\\y", "4"}, {"a/..", "5"},
                                              {std::string(300, 'n'), "6"}, {"ok.bmp", "ok"}})));
    for (const std::string& path : {Temp() + "/x", Temp() + "/y", Temp() + "/../x", absolute})
        EXPECT_FALSE(TempEnvironment::Exists(path)) << path;
    EXPECT_EQ(Tree(SkinUnpacker::SkinFolder()), Names{"ok.bmp"});  // the others still come out
    EXPECT_TRUE(Printed("error opening ../x\n") && Printed("error opening a/../../x\n"));
}

TEST_F(SkinUnpackerTest, SymlinksAreNeverFollowed) {
    // Planted in the current skin folder: removed with it, their targets untouched.
    const std::string outside = env_.Path("outside");
    TempEnvironment::WriteFile(outside + "/target.ini", "precious");
    TempEnvironment::WriteFile(outside + "/dir/keep.bmp", "kept");
    fs::create_directories(SkinUnpacker::SkinFolder());
    fs::create_symlink(outside + "/target.ini", Skin("skin.ini"));
    fs::create_directory_symlink(outside + "/dir", Skin("dir"));
    ASSERT_TRUE(unpacker_.UnpackSkin(Package({{"skin.ini", "new"}, {"dir/keep.bmp", "new"}})));
    EXPECT_EQ(ReadFile(Skin("skin.ini")) + ReadFile(Skin("dir/keep.bmp")), "newnew");
    // Extracting with "-o" into a folder that holds symlinks does not write through them.
    const std::string destination = env_.Path("dest");
    fs::create_directories(destination);
    fs::create_symlink(outside + "/target.ini", destination + "/link");
    fs::create_directory_symlink(outside + "/dir", destination + "/linkdir");
    unpacker_.SetDestination(destination);
    EXPECT_EQ(unpacker_.ExtractArchive(
                  {"", Package({{"link", "evil"}, {"linkdir/keep.bmp", "evil"}}, "o.krs"), "-o"}),
              0);
    EXPECT_EQ(ReadFile(outside + "/target.ini") + ReadFile(outside + "/dir/keep.bmp"),
              "preciouskept");
    EXPECT_EQ(Tree(outside), (Names{"dir", "dir/keep.bmp", "target.ini"}));
}

TEST_F(SkinUnpackerTest, ANewSkinReplacesTheWholeTreeAndAFailedOneLeavesItInPlace) {
    ASSERT_TRUE(unpacker_.UnpackSkin(Package({{"a.bmp", "a"}, {"sub/b.bmp", "b"}}, "a.krs")));
    ASSERT_TRUE(unpacker_.UnpackSkin(Package({{"skin.ini", "current"}}, "good.krs")));
    // Not an archive, a missing file, damaged data, and data inflating beyond the limit.
    const std::string junk = env_.Path("junk.krs");
    TempEnvironment::WriteFile(junk, "PK\x03\x04 definitely not a zip");
    EXPECT_FALSE(unpacker_.UnpackSkin(junk));
    EXPECT_TRUE(Printed("Cannot open " + junk + " or " + junk + ".zip\n"));
    EXPECT_FALSE(unpacker_.UnpackSkin(env_.Path("missing.krs")));
    const std::string damaged = Package({{"skin.ini", "next"}, {"main.bmp", Binary()}}, "d.krs");
    std::string bytes = ReadFile(damaged);
    const size_t data = bytes.find("main.bmp") + 8;  // the local header's name, then the data
    for (size_t i = data + 100; i < data + 400; ++i) bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
    TempEnvironment::WriteFile(damaged, bytes);
    EXPECT_FALSE(unpacker_.UnpackSkin(damaged));
    const std::string big(SkinUnpacker::kMaxExtractedBytes + 1, '\0');
    EXPECT_FALSE(unpacker_.UnpackSkin(Package({{"skin.ini", "x"}, {"bomb.bmp", big}}, "b.krs")));
    EXPECT_TRUE(Printed("error in writing extracted file\n"));
    EXPECT_EQ(Tree(Temp()), (Names{"_krsktmp", "_krsktmp/skin.ini"}));  // and no work folders
    EXPECT_EQ(ReadFile(Skin("skin.ini")), "current");
}

TEST_F(SkinUnpackerTest, APackageThatIsNoRegularFileIsRefusedWithoutWaiting) {
    ASSERT_TRUE(unpacker_.UnpackSkin(Package({{"skin.ini", "current"}}, "good.krs")));
    const std::string fifo = env_.Path("fifo.krs");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((fifo + ".zip").c_str(), 0600), 0);
    const std::string device = env_.Path("device.krs");
    fs::create_symlink("/dev/zero", device);
    fs::create_directories(env_.Path("folder.krs"));
    for (const std::string& package : {fifo, device, env_.Path("folder.krs")}) {
        SCOPED_TRACE(package);
        auto unpacked = std::async(std::launch::async, [&] {
            std::ostringstream out;
            return SkinUnpacker(out, in_).UnpackSkin(package);
        });
        if (unpacked.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            ADD_FAILURE() << "the unpacker waits on a FIFO";
            for (int i = 0; i < 100 && unpacked.wait_for(std::chrono::milliseconds(50)) !=
                                           std::future_status::ready; ++i) {
                for (const std::string& name : {fifo, fifo + ".zip"})  // let it go
                    close(open(name.c_str(), O_WRONLY | O_NONBLOCK));
            }
        }
        EXPECT_FALSE(unpacked.get());
    }
    EXPECT_EQ(ReadFile(Skin("skin.ini")), "current");
}

TEST_F(SkinUnpackerTest, APackageWithMoreEntriesThanASkinCouldNeedIsRefusedWhole) {
    const auto many = [](unsigned long count) {
        Entries entries;
        for (unsigned long i = 0; i < count; ++i) entries.push_back({"f" + std::to_string(i), "x"});
        return entries;
    };
    ASSERT_TRUE(unpacker_.UnpackSkin(Package(many(SkinUnpacker::kMaxEntries), "full.krs")));
    EXPECT_EQ(Tree(SkinUnpacker::SkinFolder()).size(), SkinUnpacker::kMaxEntries);
    ASSERT_TRUE(unpacker_.UnpackSkin(Package({{"skin.ini", "current"}}, "good.krs")));

    const std::string crowded = Package(many(SkinUnpacker::kMaxEntries + 1), "crowded.krs");
    EXPECT_FALSE(unpacker_.UnpackSkin(crowded));
    EXPECT_TRUE(Printed("too many entries in the zipfile: 4097\n")) << out_.str();
    EXPECT_EQ(Tree(Temp()), (Names{"_krsktmp", "_krsktmp/skin.ini"}));
    const std::string destination = env_.Path("dest");
    fs::create_directories(destination);
    unpacker_.SetDestination(destination);
    EXPECT_NE(unpacker_.ExtractArchive({"", crowded, "f7"}), 0);
    EXPECT_TRUE(Tree(destination).empty());
}

TEST_F(SkinUnpackerTest, ArchiveOptionsAndOverwritePrompts) {
    const std::string destination = env_.Path("dest");
    fs::create_directories(destination);
    unpacker_.SetDestination(destination);
    const std::string sub = Package({{"a/one.bmp", "1"}, {"b/two.bmp", "2"}}, "sub.krs");
    // "-l" lists without writing; the ".zip" name is tried when the plain one does not open.
    fs::rename(sub, sub + ".zip");
    EXPECT_EQ(unpacker_.ExtractArchive({"", sub, "-L"}), 0);
    EXPECT_TRUE(Printed(sub + ".zip opened\n") && Printed("b/two.bmp")) << out_.str();
    EXPECT_TRUE(Tree(destination).empty());
    // One named entry; without its path under "-e".
    EXPECT_EQ(unpacker_.ExtractArchive({"", "-xe", sub, "b/two.bmp"}), 0);
    EXPECT_EQ(Tree(destination), Names{"two.bmp"});
    EXPECT_EQ(unpacker_.ExtractArchive({"", sub, "c/none.bmp"}), 2);
    EXPECT_TRUE(Printed("file c/none.bmp not found in the zipfile\n"));

    // Existing files are overwritten only when the console says so.
    const std::string package = Package({{"1", "new1"}, {"2", "new2"}, {"3", "new3"}});
    for (const auto& [input, expected] : Entries{{"n\nn\nn\n", "old1old2old3"},  // no
                                                 {"q y n y\n", "new1old2new3"},  // asks again
                                                 {"A\n", "new1new2new3"},  // all: asked once
                                                 {"", "old1old2old3"}}) {  // no console: kept
        std::string contents;
        for (std::string f : {"1", "2", "3"})
            TempEnvironment::WriteFile(destination + "/" + f, "old" + f);
        in_ = std::istringstream(input);
        EXPECT_EQ(unpacker_.ExtractArchive({"", package}), 0);
        for (std::string f : {"1", "2", "3"}) contents += ReadFile(destination + "/" + f);
        EXPECT_EQ(contents, expected) << input;
    }
}

}  // namespace
