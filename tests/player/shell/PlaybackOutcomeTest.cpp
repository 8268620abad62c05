// The player with its own video window and generated media, sound going to sinks the test
// makes: lengths that the stream tells late, a medium that fails while it plays, files that
// cannot be played, and playback without a sound device, each said to the user.

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <functional>

#include "player/playback/KalvorMovie.h"
#include "player/settings/SettingsFile.h"
#include "player/shell/HKTip.h"
#include "player/shell/KalvorParent.h"
#include "support/MediaGenerator.h"
#include "support/PlayerInstall.h"
#include "support/PlayerOnX.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"

namespace {

constexpr int kWaitMs = 15000;

// Sound in real time into nothing; the output made while failAfter is set stops the stream
// with an error after that many buffers, as a device that goes away would.
struct TestSinks : ISinkFactory {
    int failAfter = 0;
    GstElement* CreateVideoRenderer() override {
        return gst_element_factory_make("fakesink", nullptr);
    }
    GstElement* CreateAudioSink(const std::string&) override {
        const std::string description =
            (failAfter > 0 ? "identity error-after=" + std::to_string(failAfter) + " ! " : "") +
            "fakesink sync=true";
        failAfter = 0;
        return gst_parse_bin_from_description(description.c_str(), TRUE, nullptr);
    }
};

// The player started in env with installed settings; body runs in its loop with the sinks
// in place.
void WithPlayer(TempEnvironment& env, const std::function<void(CKalvorDlg&, TestSinks&)>& body) {
    PlayerSettings installed = InstalledSettings();
    installed.autostartPlayback = 1;
    installed.resumeLastMovie = 0;
    installed.repeatMode = 2;  // off: nothing follows the last row
    installed.showTips = 0;    // problems are shown all the same
    const PlayerFolders folders = InstallPlayer(env, installed);
    CKalvorParent parent(folders);
    TestSinks sinks;
    EXPECT_EQ(RunPlayer(parent, [&](CKalvorDlg& dlg) {
        ASSERT_NE(dlg.Video(), nullptr);
        dlg.Video()->SetSinkFactory(&sinks);
        body(dlg, sinks);
        dlg.close();
    }), 0);
}

void Click(QWidget* window, QPoint at) {
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, QPointF(at), window->mapToGlobal(QPointF(at)), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(window, &event);
    }
}

int Seconds(const std::string& timeText) {
    int h = 0, m = 0, s = 0;
    return std::sscanf(timeText.c_str(), "%d:%d:%d", &h, &m, &s) == 3 ? h * 3600 + m * 60 + s : -1;
}

TEST(PlaybackOutcome, AnMp3sLengthShowsSoonAfterOpeningAndAClickAtHalfSeeksToTheMiddle) {
    TempEnvironment env;
    struct Case {
        const char* name;
        media::AudioSpec spec;
    };
    const Case cases[] = {
        {"cbr.mp3", {.seconds = 60.0, .mp3 = media::Mp3Mode::Cbr}},
        {"vbr-no-xing.mp3",
         {.seconds = 60.0, .rate = 48000, .channels = 1, .mp3 = media::Mp3Mode::Vbr}},
    };
    for (const Case& c : cases) {
        std::string error;
        ASSERT_TRUE(media::MakeMp3(env.Path(c.name), c.spec, &error)) << error;
    }
    WithPlayer(env, [&](CKalvorDlg& dlg, TestSinks&) {
        const QRect bar = dlg.Skin().SeekRect();
        // The display tick puts the bar where the position is in the length, and the time.
        const auto shown = [&] {
            const double fraction = dlg.CurrentPosition() / dlg.MediaDuration();
            return std::abs(dlg.Surface().SeekPosition() - (bar.x() + fraction * bar.width())) <=
                       2 &&
                   Seconds(dlg.Surface().TextAt(MainSurface::kTimeText)) ==
                       int(dlg.CurrentPosition());
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            dlg.OpenMediaAndPlay(env.Path(c.name));
            ASSERT_TRUE(qttest::WaitUntil(
                [&] { return std::abs(dlg.MediaDuration() - 60.0) < 2.0; }, kWaitMs))
                << dlg.MediaDuration();
            ASSERT_TRUE(
                qttest::WaitUntil([&] { return dlg.CurrentPosition() > 0.5 && shown(); }, kWaitMs));

            Click(&dlg, QPoint(bar.x() + bar.width() / 2, bar.y() + bar.height() / 2));
            EXPECT_NEAR(dlg.CurrentPosition(), 30.0, 1.0);
            EXPECT_NEAR(Seconds(dlg.Surface().TextAt(MainSurface::kTimeText)), 30, 1);
            ASSERT_TRUE(qttest::WaitUntil([&] { return dlg.CurrentPosition() > 30.5 && shown(); },
                                          kWaitMs));
            EXPECT_LT(dlg.CurrentPosition(), 40.0);
        }
    });
}

TEST(PlaybackOutcome, AMediumThatFailsMovesOnAndWhatCannotPlayIsSaid) {
    TempEnvironment env;
    media::AudioSpec spec;
    spec.seconds = 4.0;
    std::string error;
    ASSERT_TRUE(media::MakeWav(env.Path("first.wav"), spec, &error)) << error;
    ASSERT_TRUE(media::MakeWav(env.Path("second.wav"), spec, &error)) << error;
    TempEnvironment::WriteFile(env.Path("notes.txt"), "not a medium\n");
    testing::internal::CaptureStderr();
    WithPlayer(env, [&](CKalvorDlg& dlg, TestSinks& sinks) {
        // The first file's sound stops with an error about a second in: the second row plays.
        sinks.failAfter = 40;
        dlg.DropFiles({env.Path("first.wav"), env.Path("second.wav")});
        ASSERT_EQ(dlg.CurrentFile(), env.Path("first.wav"));
        ASSERT_TRUE(qttest::WaitUntil([&] { return dlg.CurrentFile() == env.Path("second.wav"); },
                                      kWaitMs));
        EXPECT_EQ(dlg.Rows().CurrentRow(), 1);
        EXPECT_EQ(dlg.Tip()->Text().rfind("first.wav: ", 0), 0u) << dlg.Tip()->Text();
        EXPECT_TRUE(dlg.Tip()->isVisible());
        ASSERT_TRUE(qttest::WaitUntil([&] { return dlg.CurrentPosition() > 0.5; }, kWaitMs));

        dlg.OpenMediaAndPlay(env.Path("notes.txt"));
        EXPECT_EQ(dlg.Tip()->Text().rfind("notes.txt cannot be played", 0), 0u)
            << dlg.Tip()->Text();
        dlg.OpenMediaAndPlay(env.Path("gone.wav"));
        EXPECT_EQ(dlg.Tip()->Text().rfind("gone.wav cannot be played", 0), 0u) << dlg.Tip()->Text();
    });
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("Kalvor: first.wav: "), std::string::npos) << said;
    EXPECT_NE(said.find("Kalvor: notes.txt cannot be played"), std::string::npos) << said;
    EXPECT_NE(said.find("Kalvor: gone.wav cannot be played"), std::string::npos) << said;
    // Both files played into sinks that drop the sound: that is said once.
    const std::string silent = "playback is silent";
    const size_t first = said.find(silent);
    EXPECT_NE(first, std::string::npos) << said;
    EXPECT_EQ(said.find(silent, first + 1), std::string::npos) << said;
}

}  // namespace
