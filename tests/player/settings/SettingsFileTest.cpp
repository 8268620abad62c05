// options.cfg is a raw record: a field read from the wrong offset, a lost reserved byte or
// a half-written file would silently change every user's settings.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <future>

#include "player/settings/SettingsFile.h"
#include "support/TempEnvironment.h"

namespace {

// The documented int32 fields and their offsets, written out apart from the struct.
struct IntField {
    size_t offset;
    int32_t PlayerSettings::*member;
};
const IntField kIntFields[] = {
    {0, &PlayerSettings::rememberWindowPlacement}, {4, &PlayerSettings::alwaysOnTop},
    {8, &PlayerSettings::autostartPlayback},       {12, &PlayerSettings::fullScreenOnPlay},
    {16, &PlayerSettings::moveWithMovieWindow},    {20, &PlayerSettings::resumeLastMovie},
    {24, &PlayerSettings::shutdownWhenFinished},   {28, &PlayerSettings::keepEffectSettings},
    {32, &PlayerSettings::autoLoadSubtitles},      {36, &PlayerSettings::autoLoadLastPlaylist},
    {1240, &PlayerSettings::customAspectX},        {1244, &PlayerSettings::customAspectY},
    {1248, &PlayerSettings::displayWidth},         {1252, &PlayerSettings::displayHeight},
    {1256, &PlayerSettings::displayRefresh},       {1260, &PlayerSettings::displayBitsPerPixel},
    {1564, &PlayerSettings::scanLineCheck},        {1568, &PlayerSettings::overlayLimitCheck},
    {1644, &PlayerSettings::seekStepSeconds},      {1648, &PlayerSettings::showTips},
    {2164, &PlayerSettings::playlistVisible},      {3408, &PlayerSettings::currentIndex},
    {9412, &PlayerSettings::logoEnabled},          {9416, &PlayerSettings::logoPosX},
    {9420, &PlayerSettings::logoPosY},
};

template <typename T>
void Put(std::string& bytes, size_t offset, T value) {
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

class SettingsFileTest : public TempFolderTest {
protected:
    std::string UserFolder() const { return env_.ConfigHome() + "/Kalvor"; }
    std::string ProgramFolder() const { return env_.Path("program"); }
    std::string UserFile() const { return UserFolder() + "/options.cfg"; }
    std::string ProgramFile() const { return ProgramFolder() + "/options.cfg"; }

    // A valid record with a distinct value in every field and in the reserved bytes.
    static std::string MarkedRecord() {
        std::string bytes(sizeof(PlayerSettings), '\0');
        int32_t marker = 1;
        for (const IntField& f : kIntFields) Put<int32_t>(bytes, f.offset, marker++);
        for (int slot = 0; slot < kHotKeySlots; ++slot) Put<int32_t>(bytes, 1572 + 4 * slot, 0x20041 + slot);
        Put<int32_t>(bytes, 2168, 1);  // repeatMode
        Put<int32_t>(bytes, 2172, 4);  // aspectMode
        Put<int32_t>(bytes, 2176, 2);  // movieDockSide
        Put<int32_t>(bytes, 2180, 3);  // playlistDocked
        Put<int32_t>(bytes, 9416, 250);  // logoPosX within 0..1000
        Put<int32_t>(bytes, 9420, 750);
        Put<WinRect>(bytes, 2096, WinRect{1, 2, 3, 4});
        Put<WinRect>(bytes, 2112, WinRect{5, 6, 7, 8});
        Put<WinRect>(bytes, 2132, WinRect{9, 10, 11, 12});
        Put<WinRect>(bytes, 2148, WinRect{13, 14, 15, 16});
        Put<double>(bytes, 2184, 0.625);
        Put<double>(bytes, 3392, 81.5);
        Put<double>(bytes, 3400, 90.25);
        std::memcpy(bytes.data() + 40, "bluesky", 7);
        std::memcpy(bytes.data() + 1264, "USB Audio", 9);
        std::memcpy(bytes.data() + 2192, "/home/u/last.avi", 16);
        for (int i = 0; i < kRecentPlaylists; ++i) {
            const std::string name = "/p/list" + std::to_string(i) + ".m3u";
            std::memcpy(bytes.data() + 3412 + 1200 * i, name.data(), name.size());
        }
        std::memcpy(bytes.data() + 8212, "/p/logo.bmp", 11);
        EffectParams effects = DefaultEffectParams();
        effects.hue = -33;
        effects.padding108[2] = 0x77;
        Put<EffectParams>(bytes, 1656, effects);
        for (size_t i = 0; i < 4; ++i) bytes[1652 + i] = static_cast<char>(0xA0 + i);
        for (size_t i = 0; i < 288; ++i) bytes[9424 + i] = static_cast<char>(i * 7 + 1);
        return bytes;
    }
};

TEST_F(SettingsFileTest, LoadAndSaveRoundTripByteForByte) {
    const std::string original = MarkedRecord();
    TempEnvironment::WriteFile(UserFile(), original);
    PlayerSettings s;
    ASSERT_EQ(LoadSettings(UserFolder(), ProgramFolder(), s).source, SettingsSource::User);
    SettingsLiveState live;
    live.currentPosition = s.lastPosition;
    ASSERT_TRUE(SaveSettings(FoldLiveState(s, live), UserFolder()));
    EXPECT_TRUE(TempEnvironment::ReadFile(UserFile()) == original);
}

TEST_F(SettingsFileTest, TheUsersCopyWinsAndSavesNeverTouchTheProgramFolder) {
    PlayerSettings installed = InstalledSettings();
    installed.seekStepSeconds = 11;
    TempEnvironment::WriteFile(ProgramFile(), std::string(reinterpret_cast<char*>(&installed), sizeof installed));
    const std::string programBytes = TempEnvironment::ReadFile(ProgramFile());

    PlayerSettings s;
    EXPECT_EQ(LoadSettings(UserFolder(), ProgramFolder(), s).source, SettingsSource::Installed);
    EXPECT_EQ(s.seekStepSeconds, 11);

    s.seekStepSeconds = 22;
    ASSERT_TRUE(SaveSettings(s, UserFolder()));
    EXPECT_EQ(TempEnvironment::ReadFile(ProgramFile()), programBytes);

    PlayerSettings again;
    const SettingsLoadResult result = LoadSettings(UserFolder(), ProgramFolder(), again);
    EXPECT_EQ(result.source, SettingsSource::User);
    EXPECT_EQ(result.path, UserFile());
    EXPECT_EQ(again.seekStepSeconds, 22);
}

TEST_F(SettingsFileTest, AbsentOnlyWhenNeitherCopyCanBeRead) {
    PlayerSettings s;
    s.seekStepSeconds = 999;
    EXPECT_EQ(LoadSettings(UserFolder(), ProgramFolder(), s).source, SettingsSource::Absent);
    EXPECT_EQ(s.seekStepSeconds, InstalledSettings().seekStepSeconds);

    // A folder where the user's file should be is passed over.
    std::filesystem::create_directories(UserFile());
    TempEnvironment::WriteFile(ProgramFile(), std::string(sizeof(PlayerSettings), '\0'));
    EXPECT_EQ(LoadSettings(UserFolder(), ProgramFolder(), s).source, SettingsSource::Installed);
}

// A FIFO opened for reading waits for a writer; at start-up that wait would hold the
// instance lock for ever. Special files count as files that cannot be read.
TEST_F(SettingsFileTest, SpecialFilesAreRefusedWithoutWaiting) {
    const std::string record(sizeof(PlayerSettings), '\0');
    struct Case {
        const char* what;
        bool fifoAsUser;
        bool fifoAsInstalled;
        bool installedFile;
        SettingsSource expected;
    };
    const Case cases[] = {
        {"user FIFO, installed file", true, false, true, SettingsSource::Installed},
        {"user FIFO, nothing installed", true, false, false, SettingsSource::Absent},
        {"both FIFOs", true, true, false, SettingsSource::Absent},
        {"no user copy, installed FIFO", false, true, false, SettingsSource::Absent},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(UserFolder());
        std::filesystem::remove_all(ProgramFolder());
        std::filesystem::create_directories(UserFolder());
        std::filesystem::create_directories(ProgramFolder());
        if (c.fifoAsUser) {
            ASSERT_EQ(mkfifo(UserFile().c_str(), 0600), 0);
        }
        if (c.fifoAsInstalled) {
            ASSERT_EQ(mkfifo(ProgramFile().c_str(), 0600), 0);
        }
        if (c.installedFile) TempEnvironment::WriteFile(ProgramFile(), record);

        auto loaded = std::async(std::launch::async, [&] {
            PlayerSettings s;
            return LoadSettings(UserFolder(), ProgramFolder(), s).source;
        });
        if (loaded.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            ADD_FAILURE() << "the reader waits on a FIFO";
            for (int i = 0; i < 100 && loaded.wait_for(std::chrono::milliseconds(50)) !=
                                           std::future_status::ready; ++i) {
                for (const std::string& fifo : {UserFile(), ProgramFile()})  // let it go
                    close(open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
            }
        }
        EXPECT_EQ(loaded.get(), c.expected);
    }
    // A device behind a link is no settings file either.
    std::filesystem::remove(UserFile());
    std::filesystem::create_symlink("/dev/zero", UserFile());
    PlayerSettings s;
    EXPECT_EQ(LoadSettings(UserFolder(), ProgramFolder(), s).source, SettingsSource::Absent);
}

TEST_F(SettingsFileTest, AShortFileLiesOverTheInstalledDefaultsAndALongOneIsCut) {
    std::string head(100, '\0');
    Put<int32_t>(head, 4, 1);   // alwaysOnTop
    Put<int32_t>(head, 36, 0);  // autoLoadLastPlaylist
    TempEnvironment::WriteFile(UserFile(), head);
    PlayerSettings s;
    const SettingsLoadResult result = LoadSettings(UserFolder(), ProgramFolder(), s);
    EXPECT_EQ(result.bytesRead, 100u);
    EXPECT_EQ(s.alwaysOnTop, 1);
    EXPECT_EQ(s.autoLoadLastPlaylist, 0);
    EXPECT_STREQ(s.audioDevice, "AUTODETECT");  // beyond the file: installed value
    EXPECT_EQ(s.volume, InstalledSettings().volume);
    EXPECT_EQ(s.rangeEnd, -1.0);

    std::string longer = MarkedRecord() + std::string(5000, '\xEE');
    TempEnvironment::WriteFile(UserFile(), longer);
    EXPECT_EQ(LoadSettings(UserFolder(), ProgramFolder(), s).bytesRead, sizeof(PlayerSettings));
    EXPECT_STREQ(s.skinName, "bluesky");

    TempEnvironment::WriteFile(UserFile(), "");
    EXPECT_EQ(LoadSettings(UserFolder(), ProgramFolder(), s).source, SettingsSource::User);
    EXPECT_EQ(s.seekStepSeconds, InstalledSettings().seekStepSeconds);
}

TEST_F(SettingsFileTest, AFailedSaveLeavesTheOldFile) {
    const std::string original = MarkedRecord();
    TempEnvironment::WriteFile(UserFile(), original);
    PlayerSettings s = InstalledSettings();

    const bool written =
        TempEnvironment::WithFileSizeLimit(1000, [&] { return SaveSettings(s, UserFolder()); });  // < a record

    EXPECT_FALSE(written);
    EXPECT_TRUE(TempEnvironment::ReadFile(UserFile()) == original);
}

}  // namespace
