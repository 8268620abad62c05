#include "player/shell/PlayerWindowFactory.h"

#include <QScreen>

#include "platform/system/ProcessLauncher.h"
#include "player/playback/MovieEffectTarget.h"
#include "player/shell/KalvorDlg.h"
#include "player/shell/MoviePlayback.h"
#include "player/wizard/WizardHost.h"

namespace {

// The main window as the wizard's host.
class MainWindowWizardHost : public IWizardHost {
public:
    explicit MainWindowWizardHost(CKalvorDlg& main) : main_(main) {}
    PlayerSettings& Settings() override { return main_.Settings(); }
    void ShowHelp(int context) override { main_.ShowHelp(context); }
    QRect MainWindowRect() override { return main_.frameGeometry(); }
    QRect DesktopRect() override {
        const QScreen* screen = main_.screen();
        return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    }
    void KeepCursorShown() override { main_.SetCursorCountdown(-1); }
    std::string SubtitlesPath() override {
        return main_.Movie() ? main_.Movie()->SubtitlesPath() : std::string();
    }
    EffectParams Effects() override {
        const SettingsLiveState live = main_.LiveState();
        return live.liveEffects ? *live.liveEffects : DefaultEffectParams();
    }
    std::string AppDataFolder() override { return main_.Folders().appData; }
    std::string ProgramFolder() override { return main_.Folders().program; }

private:
    CKalvorDlg& main_;
};

// The host goes with the wizard, and is made before it: the wizard asks it while it starts.
struct WizardHostHolder {
    explicit WizardHostHolder(CKalvorDlg& main) : host(main) {}
    MainWindowWizardHost host;
};

class PlayerWizard : private WizardHostHolder, public CKalvorWizard {
public:
    PlayerWizard(CKalvorDlg& main, QWidget* parent)
        : WizardHostHolder(main), CKalvorWizard(host, DefaultProcessLauncher(), parent) {}
};

}  // namespace

std::unique_ptr<IPlaybackWindow> PlayerWindowFactory::CreatePlaybackWindow(IMovieHost& host,
                                                                           QWidget* owner) {
    return std::make_unique<MoviePlayback>(host, owner);
}

// The controls edit the player's video window; a stand-in window has no block to edit.
std::unique_ptr<CEffectControls> PlayerWindowFactory::CreateEffectControls(IPlaybackWindow* movie,
                                                                           QWidget* parent) {
    auto* video = movie ? qobject_cast<CKalvorMovie*>(movie->Widget()) : nullptr;
    if (!video) return std::make_unique<CEffectControls>(static_cast<IEffectTarget*>(nullptr), parent);
    return std::make_unique<CEffectControls>(std::make_unique<MovieEffectTarget>(*video), parent);
}

std::unique_ptr<CKalvorOptions> PlayerWindowFactory::CreateOptions(CKalvorDlg* main, QWidget* parent) {
    return std::make_unique<CKalvorOptions>(main, parent);
}

std::unique_ptr<CKalvorWizard> PlayerWindowFactory::CreateWizard(CKalvorDlg* main, QWidget* parent) {
    return std::make_unique<PlayerWizard>(*main, parent);
}

std::unique_ptr<CKalvorPlaylist> PlayerWindowFactory::CreatePlaylist(CKalvorDlg* main,
                                                                     PlayerSettings& settings,
                                                                     QWidget* parent) {
    return std::make_unique<CKalvorPlaylist>(main, settings, parent);
}

std::unique_ptr<CHKTip> PlayerWindowFactory::CreateTip(QWidget* parent) {
    return std::make_unique<CHKTip>(parent);
}

std::unique_ptr<QSystemTrayIcon> PlayerWindowFactory::CreateTrayIcon(QWidget* main) {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return nullptr;
    auto tray = std::make_unique<QSystemTrayIcon>(main->windowIcon());
    tray->setToolTip("Kalvor");
    tray->show();
    return tray;
}
