// The main window's start-up and its handling of launch requests, on the offscreen
// platform with the message boxes captured.

#include <gtest/gtest.h>

#include <QTimer>

#include <filesystem>

#include "platform/system/FixedText.h"
#include "platform/ui/MessageSink.h"
#include "player/shell/KalvorApp.h"
#include "player/shell/KalvorParent.h"
#include "player/shell/SettingsFile.h"
#include "support/TempEnvironment.h"

namespace {

struct RecordingSink : IMessageSink {
    struct Shown {
        std::string caption, text;
        MessageIcon icon;
    };
    std::vector<Shown> shown;
    MessageAnswer Show(QWidget*, const std::string& caption, const std::string& text, MessageIcon icon,
                       MessageButtons) override {
        shown.push_back({caption, text, icon});
        return MessageAnswer::Ok;
    }
};

struct RecordingTarget : ILaunchTarget {
    std::vector<std::string> playlists, media;
    void OpenPlaylistAndPlay(const std::string& path) override { playlists.push_back(path); }
    void OpenMediaAndPlay(const std::string& path) override { media.push_back(path); }
};

class KalvorDlgTest : public TempFolderTest {
protected:
    void SetUp() override { SetMessageSink(&sink_); }
    void TearDown() override { SetMessageSink(nullptr); }

    PlayerFolders Folders() const {
        return PlayerFolders{env_.Path("program"), env_.ConfigHome() + "/Kalvor",
                             env_.DataHome() + "/Kalvor", env_.RuntimeDir()};
    }
    void InstallOptions(const PlayerSettings& s) {
        TempEnvironment::WriteFile(env_.Path("program/options.cfg"),
                                   std::string(reinterpret_cast<const char*>(&s), sizeof s));
    }

    RecordingSink sink_;
};

TEST_F(KalvorDlgTest, WithoutAnyOptionsFileThePlayerSaysSoAndEndsWithZero) {
    CKalvorApp app(Folders());
    EXPECT_EQ(app.InitInstance({"/m/x.avi"}), 0);
    ASSERT_EQ(sink_.shown.size(), 1u);
    EXPECT_EQ(sink_.shown[0].caption, "Kalvor");
    EXPECT_EQ(sink_.shown[0].text, "File options.cfg is absent. Please, re-install Kalvor.");
}

TEST_F(KalvorDlgTest, StartsWithTheInstalledOptionsAndSavesToTheUserFolderOnExit) {
    PlayerSettings installed = InstalledSettings();
    installed.resumeLastMovie = 1;
    installed.lastPosition = 12.5;
    fixedtext::SetPath(installed.lastFile, "/m/last.avi");
    InstallOptions(installed);

    CKalvorParent parent(Folders());
    CKalvorDlg& dlg = parent.MainDialog();
    RecordingTarget target;
    dlg.SetLaunchTarget(&target);
    QTimer::singleShot(0, &dlg, [&] {
        // Start-up done: nothing from the command line, so the last movie resumes.
        EXPECT_FALSE(dlg.IsBusy());
        EXPECT_EQ(dlg.CurrentFile(), "/m/last.avi");
        EXPECT_EQ(dlg.CurrentPosition(), 12.5);
        dlg.close();
    });
    EXPECT_EQ(parent.DoModal(), 0);
    EXPECT_TRUE(sink_.shown.empty());
    EXPECT_EQ(target.media, std::vector<std::string>{"/m/last.avi"});

    PlayerSettings saved;
    EXPECT_EQ(LoadSettings(Folders().userConfig, "/nonexistent", saved).source, SettingsSource::User);
    EXPECT_EQ(saved.lastPosition, 12.5);
}

TEST_F(KalvorDlgTest, ACommandLinePathWinsOverResuming) {
    PlayerSettings installed = InstalledSettings();
    installed.resumeLastMovie = 1;
    fixedtext::SetPath(installed.lastFile, "/m/last.avi");
    InstallOptions(installed);
    CKalvorParent parent(Folders());
    CKalvorDlg& dlg = parent.MainDialog();
    dlg.SetCurrentFile("/m/new.avi");
    dlg.SetLaunchFlags(kLaunchPath);
    QTimer::singleShot(0, &dlg, [&] { dlg.close(); });
    parent.DoModal();
    EXPECT_EQ(dlg.CurrentFile(), "/m/new.avi");
    EXPECT_EQ(dlg.CurrentPosition(), 0.0);
}

TEST_F(KalvorDlgTest, LaunchRequestsSetFullScreenAndOpenByKind) {
    CKalvorParent parent(Folders());
    CKalvorDlg& dlg = parent.MainDialog();
    RecordingTarget target;
    dlg.SetLaunchTarget(&target);
    dlg.SetBusy(false);
    auto send = [&](int32_t flags, const char* path) {
        dlg.OnLaunchRequest(*MakeLaunchRequest(flags, path));
    };
    const int32_t P = kLaunchPath, F = kLaunchFullScreen, N = kLaunchNoFullScreen;

    send(P | F, "/m/a.avi");
    EXPECT_EQ(dlg.Settings().fullScreenOnPlay, 1);
    send(P | F | N, "/m/b.avi");  // nofullscreen wins
    EXPECT_EQ(dlg.Settings().fullScreenOnPlay, 0);
    send(F, "");  // no path: nothing at all
    EXPECT_EQ(dlg.Settings().fullScreenOnPlay, 0);
    send(P | kLaunchWizard | F, "/m/c.avi");  // the wizard switch is ignored whole
    EXPECT_EQ(dlg.Settings().fullScreenOnPlay, 0);

    send(P, "a.PLS");   // five characters: a playlist
    send(P, ".m3u");    // four: a media file
    send(P, "/l/x.M3u");
    EXPECT_EQ(target.playlists, (std::vector<std::string>{"a.PLS", "/l/x.M3u"}));
    EXPECT_EQ(target.media, (std::vector<std::string>{"/m/a.avi", "/m/b.avi", ".m3u"}));
    EXPECT_EQ(dlg.CurrentFile(), ".m3u");
    EXPECT_EQ(dlg.Settings().rangeEnd, -1.0);

    dlg.SetBusy(true);  // still starting: answered, not acted on
    send(P | F, "/m/late.avi");
    EXPECT_EQ(dlg.Settings().fullScreenOnPlay, 0);
    EXPECT_EQ(target.media.size(), 3u);
}

}  // namespace
