// The player's dialogs for the layout walk, each in the state a user meets it in, with the
// widest values its fields show.

#include <QApplication>
#include <QImage>
#include <QComboBox>
#include <QLineEdit>

#include "dialogs/DialogWalk.h"
#include "platform/system/Paths.h"
#include "player/options/DialogFileTypes.h"
#include "player/options/KalvorOptions.h"
#include "player/playback/EffectControls.h"
#include "player/playback/MediaProperties.h"
#include "player/playlist/KalvorPlaylist.h"
#include "player/playlist/LengthWait.h"
#include "player/playlist/PlaylistWindowHost.h"
#include "player/playlist/PlayRange.h"
#include "player/playlist/XCListCtrl.h"
#include "player/settings/SettingsFile.h"
#include "player/shell/AboutDlg.h"
#include "player/shell/PlayerCommands.h"
#include "player/wizard/ChooseLogo.h"
#include "player/wizard/KalvorWizard.h"
#include "player/wizard/WizardTestHost.h"
#include "support/TempEnvironment.h"
#include "tests/player/options/QuietOptionsHost.h"
#include "tests/player/playlist/QuietListOwner.h"

namespace {

struct LongModes : IDisplayModes {
    std::vector<DisplayMode> Modes() override { return {{1920, 1080, 60, 32}, {800, 600, 75, 16}}; }
};

void WalkOptions(Walk& walk, const TempEnvironment& env) {
    QuietOptionsHost host;
    host.program = env.Path("program");
    host.config = env.ConfigHome() + "/Kalvor";
    paths::EnsureFolder(host.program + "/skins");
    TempEnvironment::WriteFile(host.program + "/skins/Default.krs", "PK\3\4");
    LongModes modes;
    CKalvorOptions options(&host, nullptr);
    options.SetDisplayModes(&modes);
    options.SetAudioOutputNames([] { return std::vector<std::string>{"Built-in Audio Stereo"}; });
    options.LoadControls();
    const WinRect main{300, 500, 575, 616}, desktop{0, 0, 1280, 1024};
    options.setGeometry(playercommands::OptionsPlacement(main, desktop, options.ShownSize()));
    for (int page = 1; page <= CKalvorOptions::kPages; ++page) {
        options.ShowPage(page);
        walk.Page(options, "options-" + std::to_string(page));
    }
    options.FileTypes()->RefreshList();
    walk.Page(*options.FileTypes(), "file-types");
}

struct WidestEffects : IEffectTarget {
    EffectParams params = DefaultEffectParams();
    WidestEffects() {
        // The values with the most digits each edit shows.
        params.timeShift = -6000;
        params.timeMultiplier = 10.0;
        params.leftBound = params.rightBound = params.textVertical = 1000;
        params.brightness = 256, params.contrast = 32;
        params.balanceRed = params.balanceGreen = params.balanceBlue = 255;
        params.sharpen = 64, params.smooth = 4000, params.correction2 = 200;
    }
    EffectParams& Effects() override { return params; }
    int ApplyEffect(int) override { return 1; }
    int32_t VideoWidth() const override { return 1920; }
    int32_t VideoHeight() const override { return 1080; }
    void AfterToolHidden() override {}
};

void WalkEffectControls(Walk& walk) {
    WidestEffects target;
    CEffectControls effects(&target);
    const WinRect main{300, 500, 575, 616}, desktop{0, 0, 1280, 1024};
    effects.setGeometry(
        playercommands::EffectControlsPlacement(main, desktop, effects.PanelSize()));
    effects.SyncControls();
    for (int page = effectcontrols::kFirstPage; page <= effectcontrols::kPageCount; ++page) {
        effects.ShowPage(page);
        std::vector<PaintedText> labels;
        for (const EffectLabel& label : effectcontrols::Labels()) {
            if (label.page != page) continue;
            labels.push_back({QString::fromUtf8(label.text.data(), qsizetype(label.text.size())),
                              effects.LabelRoom(label), effects.LabelFont(),
                              Qt::AlignLeft | Qt::AlignTop});
        }
        walk.Page(effects, "effects-" + std::to_string(page), labels);
    }
}

struct InfoSource : IMediaInfoSource {
    MediaInfoFacts Facts() const override {
        MediaInfoFacts facts;
        facts.hasVideo = true, facts.duration = 36000.5, facts.frameRate = 29.97;
        facts.width = 1920, facts.height = 1080, facts.bitCount = 24;
        facts.fourCC = 'M' | 'J' << 8 | 'P' << 16 | 'G' << 24;
        facts.sampleRate = 48000, facts.channels = 6, facts.bitRate = 1536000;
        return facts;
    }
    GstElement* Graph() const override { return nullptr; }
    QRect VideoWindowRect() const override { return {100, 100, 640, 480}; }
    QRect MainWindowRect() const override { return {100, 600, 300, 100}; }
    QRect DesktopRect() const override { return {0, 0, 1280, 1024}; }
    void AfterToolHidden() override {}
};

void WalkMediaInfo(Walk& walk) {
    InfoSource source;
    CMediaProperties info(&source);
    info.ShowMediaInfo();
    walk.Page(info, "media-information");
    info.Hide();
}

void WalkPlayRange(Walk& walk) {
    QuietListOwner owner;
    QWidget playlist;
    XCListCtrl list(&playlist);
    list.SetOwner(kPlaylistMode, &owner);
    LengthWait lengths(nullptr, nullptr, nullptr, {});
    double rangeEnd = 0;
    CPlayRange range(list, lengths, rangeEnd, &playlist);
    // A range of ten hours and more, as the fields show it.
    const char* texts[8] = {"10", "59", "59", "999999", "12", "00", "00", "000000"};
    for (int k = 0; k < 8; ++k) range.Field(k).setText(texts[k]);
    walk.Page(range, "play-range");
}

struct PlaylistHost : IPlaylistWindowHost {
    PlayerSettings settings{};
    std::string skin;
    PlayerSettings& Settings() override { return settings; }
    PlaylistColors Colors() override { return {0x00302010, 0x00E0E0E0, 0x00A06040, 0x000000F0}; }
    std::string UserConfigFolder() override { return skin; }
    std::string SkinFolder() override { return skin; }
    void ShowHelp(int) override {}
    void FocusMainWindow() override {}
    void PlaySelected() override {}
    double PlaybackPosition() override { return -1.0; }
};

// The playlist's rows with the widest times, the now-playing one in its bold face.
void WalkPlaylist(Walk& walk, const TempEnvironment& env) {
    PlaylistHost host;
    host.skin = env.Path("playlist-skin");
    paths::EnsureFolder(host.skin);
    QImage scroll(13, 127, QImage::Format_RGB32);
    scroll.fill(Qt::gray);
    scroll.save(QString::fromStdString(host.skin + "/scrollskin.bmp"), "BMP");
    host.settings.playlistRect = {100, 100, 375, 250};
    CKalvorPlaylist playlist(host, nullptr);
    MediaEntryLists& entries = playlist.List().Entries();
    entries.AddEntry(0, "/m/a.avi", 0, 88888);
    entries.AddEntry(1, "/m/b.avi", 38888, 88888);
    playlist.List().SetCurrentItem(1);
    playlist.LayoutPlaylist();
    // The thumb rides on the track by design.
    playlist.ScrollBar().Thumb().hide();
    walk.Page(playlist, "playlist");
}

void WalkWizard(Walk& walk, const TempEnvironment& env) {
    WizardTestHost host;
    host.appData = env.DataHome();
    WizardTestLauncher launcher;
    WizardTestFileDialog logoDialog;
    CKalvorWizard wizard(host, launcher, nullptr, nullptr, &logoDialog);
    wizard.List().Entries().AddEntry(0, "/m/a.avi", 38888, 88888);
    walk.Page(wizard, "wizard");

    PlayerSettings settings{};
    CChooseLogo logo(settings, nullptr);
    logo.CoverDesktop({0, 0, 1024, 768});
    logo.SetCaption("Position of image in a video fragment - Drag and Drop - X: 100.0%  Y: 100.0%");
    walk.Page(logo, "logo-placement",
              {{QString::fromStdString(logo.Caption()), logo.CaptionTextRect(), logo.CaptionFont(),
                Qt::AlignLeft | Qt::AlignVCenter}});
    logo.close();
}


}  // namespace

void WalkPlayerDialogs(Walk& walk, const TempEnvironment& env) {
    WalkOptions(walk, env);
    WalkEffectControls(walk);
    WalkMediaInfo(walk);
    WalkPlayRange(walk);
    WalkPlaylist(walk, env);
    WalkWizard(walk, env);
    CAboutDlg about;
    walk.Page(about, "about");
}
