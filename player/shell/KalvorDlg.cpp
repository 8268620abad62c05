#include "player/shell/KalvorDlg.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimerEvent>
#include <QUrl>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "krkeys/HotKeyEvent.h"
#include "platform/keys/KeyTable.h"
#include "platform/registry/RegistryStore.h"
#include "platform/system/FixedText.h"
#include "platform/ui/ColorRef.h"
#include "platform/ui/MessageSink.h"
#include "platform/ui/ModalWindows.h"
#include "platform/ui/ProgramIcons.h"
#include "player/menus/MenuXP.h"
#include "player/options/SkinPackages.h"
#include "player/playback/KalvorMovie.h"
#include "player/playback/VideoContextMenu.h"
#include "player/playback/VideoGeometry.h"
#include "player/playback/VideoKeys.h"
#include "player/settings/SettingsFile.h"
#include "player/shell/AboutDlg.h"
#include "player/shell/DisplayTexts.h"
#include "player/shell/HotKeyActions.h"
#include "player/shell/PlayerFullScreen.h"
#include "player/shell/StatusText.h"
#include "player/shell/WindowPlacement.h"
#include "player/skin/SkinUnpacker.h"

namespace {

constexpr char kTitle[] = "Kalvor";
constexpr int32_t kAboutEntry = 0x10;
constexpr int kMainHelpContext = 1;

int64_t NowHundredths() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count() / 10;
}

}  // namespace

CKalvorDlg::CKalvorDlg(QWidget* owner, PlayerFolders folders)
    : QDialog(owner, Qt::Window | Qt::FramelessWindowHint),
      m_owner(owner),
      m_folders(std::move(folders)),
      m_rows(std::make_unique<PlaylistRows>(m_settings)),
      m_sequence(std::make_unique<PlaySequence>(*m_list, *this)) {
    const char* trace = std::getenv(kTracePositionVariable);
    m_tracePosition = trace && trace[0];
    setObjectName("KalvorClass");
    setWindowTitle(kTitle);
    setMouseTracking(true);
    setAcceptDrops(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_playback.SetList(m_list);
}

CKalvorDlg::~CKalvorDlg() {
    if (m_uiTimer) killTimer(m_uiTimer);
    if (m_rangeTimer) killTimer(m_rangeTimer);
}

bool CKalvorDlg::OnInitDialog() {
    setWindowIcon(programicons::Icon(programicons::kPlayer));
    if (!ReadOptions()) return false;
    PatchCodecSettings();
    if (!ChooseSkin()) return false;
    InitDisplayTexts();
    if (!UnpackAndLoadSkin()) return false;
    InstallHook();
    CreateChildWindows();
    PlaceMainWindow();
    StartUiTimer();
    m_movie->InitGraph();
    DrawVolumeBar(m_settings.volume, false);
    ResumeLastMovie();
    ApplyLaunchRequest(m_launchFlags, m_playback.CurrentFile());
    m_launches.SetBusy(false);
    AddTrayIcon();
    unsetCursor();
    activateWindow();
    setFocus();
    // What later instances sent while this one started is applied now, in order.
    QMetaObject::invokeMethod(this, [this] { m_launches.ApplyPending(); }, Qt::QueuedConnection);
    return true;
}

bool CKalvorDlg::ReadOptions() {
    const SettingsLoadResult loaded = LoadSettings(m_folders.userConfig, m_folders.program, m_settings);
    if (loaded.source == SettingsSource::Absent) {
        ShowMessage(this, kTitle, kOptionsAbsentText, MessageIcon::Warning);
        return false;
    }
    for (WinRect* rect : {&m_settings.mainRect, &m_settings.movieRect, &m_settings.movieWindowedRect,
                          &m_settings.playlistRect})
        *rect = KeepOnPlane(*rect);
    m_optionsRead = true;
    return true;
}

// The named package when it can be read, from the user's skins folder or else the
// program's, else the first package by name (the user's first among equal names); the name
// follows the choice, so the fallback is what the next start finds.
bool CKalvorDlg::ChooseSkin() {
    const std::optional<skinpackages::StartPackage> package = skinpackages::ChooseStartPackage(
        skinpackages::Folders(m_folders.appData, m_folders.program), fixedtext::Read(m_settings.skinName));
    if (!package || (!package->named && !fixedtext::SetPath(m_settings.skinName, package->name))) {
        ShowMessage(this, kTitle, kNoSkinsText, MessageIcon::Warning);
        return false;
    }
    m_skinPath = package->path;
    return true;
}

void CKalvorDlg::InitDisplayTexts() {
    const auto texts = InitialDisplayTexts(m_settings.repeatMode);
    for (int n = 0; n < kDisplayTexts; ++n) m_surface.SetText(n, texts[n]);
    m_tooltipTexts = TooltipTexts();
}

// A package that does not unpack leaves whatever skin folder was there; the user is told
// which package it is and why, and a start ends with 1.
bool CKalvorDlg::UnpackAndLoadSkin() {
    const std::string folder = SkinUnpacker::SkinFolder();
    // The unpacker's progress lines are for its console use; the player shows none.
    std::ostringstream progress;
    std::istringstream noAnswers;
    SkinUnpacker unpacker(progress, noAnswers);
    if (!unpacker.UnpackSkin(m_skinPath)) {
        ShowMessage(this, kTitle, SkinUnpacker::FailureMessage(m_skinPath, unpacker.Failure()),
                    MessageIcon::Error);
        m_failureCode = 1;
        return false;
    }
    if (!m_skin.LoadSkin(folder, this, m_tooltipTexts, &m_settings.mainRect, &m_toolTips))
        return false;
    m_surface.SetSkin(&m_skin);
    setFixedSize(m_skin.Width(), m_skin.Height());
    if (m_skin.IsShaped())
        setMask(m_skin.Shape());
    else
        clearMask();
    return true;
}

void CKalvorDlg::InstallHook() {
    if (m_hook) m_hook->Install(this);
}

// Each window gets its way back before it exists; the effect controls get the video window.
void CKalvorDlg::CreateChildWindows() {
    m_movie = m_factory->CreatePlaybackWindow(*this, m_owner);
    m_playback.SetMovie(m_movie.get());
    QWidget* movie = m_movie->Widget();
    m_effects = m_factory->CreateEffectControls(m_movie.get(), movie);
    if (m_effects) m_effects->SetHelp([this](int context) { ShowHelp(context); });
    m_options = m_factory->CreateOptions(this, movie);
    m_wizard = m_factory->CreateWizard(*this, movie);
    m_playback.SetWizard(m_wizard.get());
    m_playlist = m_factory->CreatePlaylist(*this, movie);
    if (m_playlist) {
        m_windowRows = std::make_unique<PlaylistWindowRows>(*m_playlist);
        SetPlaylist(m_windowRows.get());
        m_playlist->Commands().SetWizard(m_wizard.get());
        // The main and the video window's playlist keys, unless others were given.
        if (!m_videoPlaylist.HasCommands()) SetPlaylistCommands(&m_playlist->Commands());
    }
    m_tip = m_factory->CreateTip(movie);
    m_status.SetTip(m_tip.get());
    m_arrangement = std::make_unique<WindowArrangement>(FullScreenWindows());
    ConnectVideoWindow();
}

// The video window asks the main window for its commands and full screen, and the playlist
// for its rows; its own start needs the settings that ReadOptions brought.
void CKalvorDlg::ConnectVideoWindow() {
    m_video = qobject_cast<CKalvorMovie*>(m_movie->Widget());
    if (!m_video) return;
    m_video->SetOwner(this);
    m_video->SetPlaylist(&m_videoPlaylist);
    m_video->OnInitDialog();
    // The player's own full screen, unless one was given; it also puts the display mode back.
    if (m_fullScreen) return;
    m_ownFullScreen = std::make_unique<PlayerFullScreen>(FullScreenWindows());
    m_fullScreen = m_ownFullScreen.get();
    m_arrangement->SetFullScreen(m_ownFullScreen.get());
    if (!m_displayModes) m_displayModes = &m_ownFullScreen->Sequence();
}

FullScreenParts CKalvorDlg::FullScreenWindows() {
    return {m_settings,      *this,         m_movie.get(), m_video,
            m_playlist.get(), m_effects.get(), m_tip.get(),   [this] { return m_hidden; }};
}

// The video window on top of the main window, the playlist below it, both docked.
void CKalvorDlg::PlaceByDefault() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize desktop = screen ? screen->virtualGeometry().size() : QSize(1024, 768);
    const DefaultPlacement placed =
        DefaultPlacement::Compute(desktop.width(), desktop.height(), m_skin.Width(), m_skin.Height());
    m_settings.mainRect = placed.main;
    m_settings.movieRect = placed.movie;
    m_settings.movieDockSide = static_cast<int32_t>(DockSide::Above);
    m_settings.playlistRect = placed.playlist;
    m_settings.playlistDocked = static_cast<int32_t>(DockSide::Below);
}

void CKalvorDlg::PlaceMainWindow() {
    const int w = m_skin.Width();
    const int h = m_skin.Height();
    if (m_settings.rememberWindowPlacement == 0) PlaceByDefault();
    const bool topmost = m_settings.alwaysOnTop == 1;
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) != topmost)
        setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
    // The skin's size, whatever size the remembered rectangle has.
    setGeometry(m_settings.mainRect.left, m_settings.mainRect.top, w, h);
    show();
    raise();
    if (!m_playlist) return;
    m_playlist->LayoutPlaylist();
    m_playlist->update();
    m_playlist->LayoutPlaylist();
    if (m_settings.playlistVisible == 1) m_playlist->show();
}

void CKalvorDlg::StartUiTimer() {
    if (m_uiTimer) killTimer(m_uiTimer);
    m_uiTimer = startTimer(kUiTickMs);
}

// Only a start with neither a switch nor a path resumes the last movie.
void CKalvorDlg::ResumeLastMovie() {
    if (m_settings.resumeLastMovie != 1 || m_launchFlags != 0) return;
    m_playback.SetCurrentPosition(m_settings.lastPosition);
    m_playback.SetCurrentFile(fixedtext::Read(m_settings.lastFile));
    if (!m_playback.CurrentFile().empty()) OpenAndPlayCurrent();
}

void CKalvorDlg::AddTrayIcon() {
    m_tray = m_factory->CreateTrayIcon(this);
    if (m_tray) connect(m_tray.get(), &QSystemTrayIcon::activated, this, &CKalvorDlg::OnTrayActivated);
}

void CKalvorDlg::OnLaunchRequest(const LaunchRequest& request) { m_launches.Offer(request); }

// A start with nothing to open asks for the player itself, hidden or not.
void CKalvorDlg::ApplyRequest(const LaunchRequest& request) {
    if (request.flags == 0)
        ShowHiddenWindows();
    else
        ApplyLaunchRequest(request.flags, fixedtext::Read(request.path));
}

void CKalvorDlg::ApplyLaunchRequest(int32_t flags, const std::string& path) {
    if (flags == 0 || (flags & kLaunchWizard) || !(flags & kLaunchPath)) return;
    if (flags & kLaunchFullScreen) m_settings.fullScreenOnPlay = 1;
    if (flags & kLaunchNoFullScreen) m_settings.fullScreenOnPlay = 0;
    m_playback.SetCurrentPosition(0.0);
    m_settings.rangeEnd = -1.0;
    m_list->ClearFilter();
    if (IsPlaylistPath(path)) {
        m_launchTarget->OpenPlaylistAndPlay(path);
        return;
    }
    m_playback.SetCurrentFile(path);
    m_launchTarget->OpenMediaAndPlay(path);
}

void CKalvorDlg::OpenPlaylistAndPlay(const std::string& path) {
    m_playback.OpenPlaylist(path, [this] { PlaySelected(); });
}

void CKalvorDlg::OpenMediaAndPlay(const std::string& path) { m_playback.OpenMediaAndPlay(path); }

// What the video window showed over the picture would stay on the desktop.
void CKalvorDlg::LeaveFullScreenForGood() {
    if (m_settings.fullScreen != 1) return;
    if (m_fullScreen) m_fullScreen->TakeBackRevealedWindows();
    ToggleFullScreen();
}

// The switch fits, places and moves the video window itself.
void CKalvorDlg::ToggleFullScreen() {
    if (m_fullScreen) m_fullScreen->ToggleFullScreen();
}

// The keys and the commands are the main window's; hidden, it has nothing to take.
void CKalvorDlg::ActivateMainWindow() {
    if (isVisible() && !isMinimized()) activateWindow();
}

void CKalvorDlg::SetPlaylist(IPlaylist* playlist) {
    m_list = playlist ? playlist : m_rows.get();
    m_videoPlaylist.SetRows(m_list);
    m_playback.SetList(m_list);
    m_sequence = std::make_unique<PlaySequence>(*m_list, *this);
}

void CKalvorDlg::ShowAbout() { CAboutDlg::RunModal(); }

int CKalvorDlg::DrawVolumeBar(double volume, bool redraw) {
    const int result = m_surface.DrawVolumeBar(volume);
    if (redraw) update();
    return result;
}

void CKalvorDlg::DrawSeekBar(double fraction, bool redraw) {
    m_surface.DrawSeekBar(fraction);
    if (redraw) update();
}

void CKalvorDlg::StopRangeEndTimer() {
    if (m_rangeTimer) killTimer(m_rangeTimer);
    m_rangeTimer = 0;
    m_rangeStop.Disarm();
}

void CKalvorDlg::ExecuteCommand(int button, int code) {
    if (button == 0 && code == 0) {
        button = m_surface.CurrentButton();
        if (button < 0 || !m_skin.Loaded() || button >= static_cast<int>(m_skin.Buttons().size())) return;
        code = m_skin.Buttons()[static_cast<size_t>(button)].command;
    }
    commandtable::Run(*this, button, code);
}

// Options and effect controls are centred on the main window and kept on the desktop.
void CKalvorDlg::ShowOptions() {
    if (!m_options) return;
    m_options->setGeometry(
        playercommands::OptionsPlacement(m_settings.mainRect, VirtualDesktop(), m_options->ShownSize()));
    m_options->show();
    m_options->raise();
    m_options->LoadControls();
}

void CKalvorDlg::ShowEffectControls() {
    if (m_tip) m_tip->HideTip();
    if (!m_effects) return;
    m_effects->setGeometry(playercommands::EffectControlsPlacement(m_settings.mainRect, VirtualDesktop(),
                                                                   m_effects->PanelSize()));
    m_effects->show();
    m_effects->raise();
}

void CKalvorDlg::ShowWizard() {
    if (m_wizard) m_wizard->PlaceAndShowWizard(true);
}

void CKalvorDlg::ToggleVideoFullScreen() {
    if (HasVideo()) ToggleFullScreen();
}

void CKalvorDlg::VolumeUp() { StepVolume(playercommands::VolumeUp(m_settings.volume)); }

void CKalvorDlg::VolumeDown() { StepVolume(playercommands::VolumeDown(m_settings.volume)); }

void CKalvorDlg::StepVolume(std::optional<double> volume) {
    if (volume) DrawVolumeBar(*volume, true);
}

// Hidden windows come back through the tray icon; without one, nothing would bring them
// back, so the main window is minimised where the window manager keeps it.
void CKalvorDlg::ToggleHidden() {
    if (m_hidden) return ShowHiddenWindows();
    if (m_playlist) m_playlist->hide();
    m_hidden = true;
    if (m_tray) {
        hide();
        return;
    }
    m_minimisedToHide = true;
    showMinimized();
}

void CKalvorDlg::ShowHiddenWindows() {
    if (m_minimisedToHide || isMinimized()) showNormal();
    m_minimisedToHide = false;
    if (m_playlist && m_settings.playlistVisible == 1) m_playlist->show();
    m_hidden = false;
    BringToFront();
}

void CKalvorDlg::TogglePlaylistWindow() {
    if (!m_playlist) return;
    const bool visible = !m_playlist->isVisible();
    m_playlist->setVisible(visible);
    m_settings.playlistVisible = visible ? 1 : 0;
}

// The main window reads the video window's key table: both reach the same commands.
void CKalvorDlg::OnKeyDown(uint16_t vk, bool shift, bool ctrl) {
    for (VideoKeyAction action : videokeys::ActionsFor(vk, shift, ctrl)) RunKeyAction(action);
}

void CKalvorDlg::RunKeyAction(VideoKeyAction action) {
    if (action == VideoKeyAction::TogglePause) {
        if (m_movie) m_movie->TogglePause();
        return;
    }
    m_videoPlaylist.RunKeyAction(action);
}

WinRect CKalvorDlg::VirtualDesktop() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect desktop = screen ? screen->availableVirtualGeometry() : QRect(0, 0, 1024, 768);
    return colorref::FromQRect(desktop);
}

int CKalvorDlg::SetPlaybackVolume(double volume) { return m_movie ? m_movie->SetVolume(volume) : 1; }

void CKalvorDlg::ShowHelp(int contextId) { m_help.Show(contextId); }

PlaylistColors CKalvorDlg::Colors() {
    return {m_skin.PlayLBG(), m_skin.PlayLTX(), m_skin.PlayLCR(), m_skin.PlayLBR()};
}

std::string CKalvorDlg::SkinFolder() { return SkinUnpacker::SkinFolder(); }

void CKalvorDlg::FocusMainWindow() {
    activateWindow();
    setFocus();
}

double CKalvorDlg::PlaybackPosition() {
    return m_movie && m_movie->HasMedia() ? m_movie->GetPosition() : -1.0;
}

QRect CKalvorDlg::DesktopRect() {
    const QScreen* shown = screen();
    return shown ? shown->availableGeometry() : QRect(0, 0, 1024, 768);
}

std::string CKalvorDlg::SubtitlesPath() { return m_movie ? m_movie->SubtitlesPath() : std::string(); }

EffectParams CKalvorDlg::Effects() {
    const SettingsLiveState live = LiveState();
    return live.liveEffects ? *live.liveEffects : DefaultEffectParams();
}

bool CKalvorDlg::SaveOptions(std::string* error) {
    if (!m_optionsRead) return false;
    return SaveSettings(FoldLiveState(m_settings, LiveState()), m_folders.userConfig, error);
}

SettingsLiveState CKalvorDlg::LiveState() {
    SettingsLiveState live;
    live.currentPosition = m_playback.CurrentPosition();
    live.playlistWindowedRect =
        m_ownFullScreen ? m_ownFullScreen->Sequence().PlaylistWindowedRect() : m_settings.playlistRect;
    if (m_video) {
        live.mainRevealed = m_video->Mouse().MainRevealed();
        live.mainWindowedRect = m_video->Mouse().SavedMainRect();
        live.liveEffects = &m_video->effectParams;
    }
    return live;
}

// The start-up steps that depend on the skin, again; a package that fails leaves the old
// path for the caller to load back.
bool CKalvorDlg::ChangeSkin(const std::string& package) {
    const std::string old = m_skinPath;
    m_skinPath = package;
    InitDisplayTexts();
    if (!UnpackAndLoadSkin()) {
        m_skinPath = old;
        return false;
    }
    // The open file's title, fitted to the new skin's text area, and its range stay shown.
    m_playback.ShowTitleAndRange();
    DrawVolumeBar(m_settings.volume, true);
    update();
    DockToResizedMainWindow();
    if (m_video) {
        m_video->FitVideoRect(videogeometry::kRefit);
        m_video->SetVideoWindowPosition();
    }
    const bool topmost = m_settings.alwaysOnTop == 1;
    if (m_arrangement) m_arrangement->SetMainTopmost(topmost);
    move(m_settings.mainRect.left, m_settings.mainRect.top);
    if (m_arrangement) m_arrangement->SetMovieTopmost(topmost);
    if (m_video) m_video->MoveWindow(m_settings.movieRect);
    if (m_playlist) {
        m_playlist->ApplyPlaylistSkin();
        m_playlist->LayoutPlaylist();
    }
    return true;
}

// The loader gave the main rectangle the new skin's size; the windows docked to it go with
// it as at start. In full screen the video window covers the desktop and keeps its place.
void CKalvorDlg::DockToResizedMainWindow() {
    const bool fullScreen = m_settings.fullScreen == 1;
    if (m_settings.rememberWindowPlacement == 0 && !fullScreen) return PlaceByDefault();
    if (!fullScreen)
        m_settings.movieRect = Redock(m_settings.movieRect, m_settings.movieDockSide, m_settings.mainRect);
    m_settings.playlistRect = Redock(m_settings.playlistRect, m_settings.playlistDocked, m_settings.mainRect);
}

// Nothing stops the exit: a failed save leaves the old file and is said, and the player
// ends all the same.
void CKalvorDlg::ExitPlayer() {
    if (m_exiting) return;
    m_exiting = true;
    emit ExitBegun();
    m_launches.Close();
    modalwindows::CloseAbove(m_owner);
    std::vector<std::string> unsaved;
    std::string error;
    if (m_optionsRead && !SaveOptions(&error)) unsaved.push_back("The settings: " + error);
    StopUiTimer();
    CloseGraph();
    if (!SaveInternalPlaylist(&error)) unsaved.push_back("The playlist: " + error);
    RemoveTrayIcon();
    RestoreDisplayMode();
    RemoveHotKeyHook();
    RestoreCodecSettings();
    emit ExitSaved();
    SayUnsavedChanges(unsaved);
    emit ExitDone(0);
}

void CKalvorDlg::ExitOnSignal() {
    m_signalExit = true;
    if (m_exiting)
        modalwindows::CloseAbove(m_owner);
    else
        ExitPlayer();
}

// A read-only or full folder must not lose the run's changes without a word. The box is
// only for an exit the user asked for in a window; a signal's exit waits for nobody.
void CKalvorDlg::SayUnsavedChanges(const std::vector<std::string>& failures) {
    if (failures.empty()) return;
    std::string text = "The changes of this run could not be saved.";
    for (const std::string& failure : failures) {
        std::fprintf(stderr, "Kalvor: not saved: %s\n", failure.c_str());
        text += "\n" + failure;
    }
    if (!m_signalExit && m_movie) ShowMessage(this, kTitle, text, MessageIcon::Warning);
}

void CKalvorDlg::StopUiTimer() {
    if (m_uiTimer) killTimer(m_uiTimer);
    m_uiTimer = 0;
    StopRangeEndTimer();
}

void CKalvorDlg::CloseGraph() {
    if (m_movie) m_movie->CloseGraph();
}

bool CKalvorDlg::SaveInternalPlaylist(std::string* error) {
    if (m_settings.autoLoadLastPlaylist != 1 || !m_playlist) return true;
    return m_playlist->Document().SaveInternalPlaylist(error);
}

void CKalvorDlg::RemoveTrayIcon() {
    if (m_tray) m_tray->hide();
    m_tray.reset();
}

void CKalvorDlg::RestoreDisplayMode() {
    if (m_displayModes) m_displayModes->RestoreDisplayMode();
}

// The hook's thread posts to this window: it must be gone before the window is.
void CKalvorDlg::RemoveHotKeyHook() {
    if (m_hook) m_hook->Remove();
}

std::string CKalvorDlg::RegistryPath() const {
    return m_folders.userConfig + "/" + RegistryStore::kFileName;
}

// A store that cannot be read is not written over: it is left for the user to see.
void CKalvorDlg::PatchCodecSettings() {
    RegistryStore store(RegistryPath());
    if (!store.Load()) return;
    m_codecsPatched = true;
    if (m_codecs.Patch(store)) store.Save();
}

void CKalvorDlg::RestoreCodecSettings() {
    if (!m_codecsPatched) return;
    RegistryStore store(RegistryPath());
    if (store.Load() && m_codecs.Restore(store)) store.Save();
}

void CKalvorDlg::OnTrayActivated(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger) {
        ShowHiddenWindows();
    } else if (reason == QSystemTrayIcon::Context) {
        BringToFront();
        // The menu's choice reaches the video window through its CommandChosen.
        if (m_video && m_video->ContextMenu()) m_video->ContextMenu()->Menu().TrackPopupMenu(QCursor::pos());
    }
}

// ---- hot keys -----------------------------------------------------------------------

void CKalvorDlg::OnHotKey(uint32_t code, intptr_t kind) {
    if (m_hotKeysSuspended) return;
    const std::optional<hotkeys::Action> action = hotkeys::ActionFor(m_settings, code, kind);
    if (!action) return;
    switch (action->run) {
    case hotkeys::Run::Command: ExecuteCommand(action->button, action->code); break;
    case hotkeys::Run::FrontCommand:
        BringToFront();
        ExecuteCommand(action->button, action->code);
        break;
    case hotkeys::Run::CycleRepeat:
        m_settings.repeatMode = (m_settings.repeatMode + 1) % 3;
        m_surface.SetText(MainSurface::kRepeatText, MainSurface::RepeatText(m_settings.repeatMode));
        update();
        break;
    case hotkeys::Run::Exit: return ExitPlayer();
    }
    switch (action->status) {
    case hotkeys::Status::TitleAndTime: return ShowStatusMessage(statustext::kTitleAndTime, false);
    case hotkeys::Status::Volume: return ShowStatusMessage(statustext::kVolume, false);
    case hotkeys::Status::Repeat: return ShowStatusMessage(statustext::kRepeat, false);
    case hotkeys::Status::None: return;
    }
}

void CKalvorDlg::SuspendHotKeys(bool suspended) {
    m_hotKeysSuspended = suspended;
    if (!m_hook) return;
    if (suspended)
        m_hook->Suspend();
    else
        m_hook->Resume();
}

// X gives no topmost-for-a-moment; raising and activating is what a window may ask for.
void CKalvorDlg::BringToFront() {
    show();
    raise();
    activateWindow();
    setFocus();
}

// ---- surface ------------------------------------------------------------------------

bool CKalvorDlg::event(QEvent* event) {
    if (event->type() == HotKeyEvent::EventType()) {
        const auto* hotKey = static_cast<HotKeyEvent*>(event);
        OnHotKey(hotKey->Code(), hotKey->Kind());
        return true;
    }
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (!m_toolTips.Show(this, help->pos(), help->globalPos())) event->ignore();
        return true;
    }
    return QDialog::event(event);
}

// Restored by the window manager, the main window brings back what its minimising hid.
void CKalvorDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !m_minimisedToHide || isMinimized()) return;
    m_minimisedToHide = false;
    m_hidden = false;
    if (m_playlist && m_settings.playlistVisible == 1) m_playlist->show();
}

void CKalvorDlg::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QImage& image = m_surface.Image();
    if (image.isNull())
        p.fillRect(rect(), Qt::black);
    else
        p.drawImage(0, 0, image);
}

void CKalvorDlg::mouseMoveEvent(QMouseEvent* event) {
    m_cursorCountdown = -1;  // the pointer left the picture: it stays shown
    // The pointer keeps its place on the window; the windows docked to it go along.
    if (m_dragging && m_arrangement) {
        const QPoint delta = event->globalPosition().toPoint() - m_dragAnchor - pos();
        if (!delta.isNull()) m_arrangement->DragMainWindowBy(delta);
    }
    const QPoint at = event->position().toPoint();
    m_surface.OnMouseMove(at.x(), at.y(), event->buttons().testFlag(Qt::LeftButton));
    update();
}

void CKalvorDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QDialog::mousePressEvent(event);
    const QPoint at = event->position().toPoint();
    if (m_surface.OnLButtonDown(at.x(), at.y())) {
        // Qt keeps the pointer with this window until the button is released.
        m_dragging = true;
        m_dragAnchor = at;
    }
    update();
}

void CKalvorDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QDialog::mouseReleaseEvent(event);
    m_dragging = false;
    const QPoint at = event->position().toPoint();
    m_surface.OnLButtonUp(at.x(), at.y());
    update();
}

void CKalvorDlg::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QDialog::mouseDoubleClickEvent(event);
    const QPoint at = event->position().toPoint();
    m_surface.OnLButtonDblClk(at.x(), at.y());
    update();
}

// ---- display timer ------------------------------------------------------------------

void CKalvorDlg::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_uiTimer) OnUiTick();
    if (event->timerId() == m_rangeTimer && m_rangeTimer != 0) OnRangeTick();
    QDialog::timerEvent(event);
}

// A range end reached while paused only stops the countdown.
void CKalvorDlg::OnRangeTick() {
    if (!m_rangeStop.Tick(NowHundredths())) return;
    killTimer(m_rangeTimer);
    m_rangeTimer = 0;
    if (m_movie && !m_movie->Paused()) m_movie->EndOfMedia();
}

// The seek bar and the time follow the playback, except while the bar is dragged.
void CKalvorDlg::OnUiTick() {
    if (m_surface.SeekDragging()) return;
    m_playback.FollowPosition();
    // The renderer may have been moved behind the window's back (a new picture size).
    if (m_video && ++m_uiTicks % 4 == 0) m_video->SetVideoWindowPosition();
    TickTip();
    TickCursor();
    if (m_movie && m_rangeStop.Check(m_settings.rangeEnd, m_playback.CurrentPosition(), NowHundredths(),
                                     m_video ? m_video->rate : 1.0))
        m_rangeTimer = startTimer(kRangeTickMs, Qt::PreciseTimer);
    if (m_tracePosition && m_movie)
        std::fprintf(stderr, "Kalvor: position %.3f %s\n", m_playback.CurrentPosition(),
                     m_playback.CurrentFile().c_str());
}

// A shown tip counts down; hiding it in full screen puts the picture back on top.
void CKalvorDlg::TickTip() {
    if (m_status.Tick() && m_settings.fullScreen == 1 && m_video) m_video->RaiseWindow();
}

// Over a full-screen picture the cursor goes once the mouse rested; a negative countdown
// (the mouse is over another window) never runs out.
void CKalvorDlg::TickCursor() {
    if (!m_video || m_settings.fullScreen != 1) return;
    if (m_cursorCountdown > 0) --m_cursorCountdown;
    if (m_cursorCountdown == 0) m_video->HideCursor(true);
}


void CKalvorDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
    ExitPlayer();
}

void CKalvorDlg::keyPressEvent(QKeyEvent* event) {
    // The modifiers as they are now, not as they were when the key went down.
    const Qt::KeyboardModifiers held = QGuiApplication::queryKeyboardModifiers();
    const uint16_t key =
        keytable::FromQtKey(event->key(), event->modifiers().testFlag(Qt::KeypadModifier));
    if (key == vk::F1 + 3 && held.testFlag(Qt::AltModifier)) return ExitPlayer();
    if (key == vk::F1) return ShowHelp(kMainHelpContext);
    if (key == vk::Escape) {
        if (m_settings.fullScreen == 1) ToggleFullScreen();
        return;
    }
    if (key != 0)
        OnKeyDown(key, held.testFlag(Qt::ShiftModifier), held.testFlag(Qt::ControlModifier));
}

// A right click opens the video window's menu, whose commands go to the video window. X11
// window managers show no system menu of ours, so "About" rides on it while it is open
// from here.
void CKalvorDlg::contextMenuEvent(QContextMenuEvent* event) {
    SetCursorCountdown(-1);
    CVideoContextMenu* videoMenu = m_video ? m_video->ContextMenu() : nullptr;
    std::unique_ptr<CMenuXP> own;
    CMenuXP& menu = videoMenu ? videoMenu->Menu() : *(own = std::make_unique<CMenuXP>(this));
    menu.AppendItem(kMenuEnabled, std::make_unique<CMenuXPText>(kAboutEntry, kAboutCaption));
    const int32_t chosen = menu.TrackPopupMenu(event->globalPos());
    menu.RemoveItem(kAboutEntry);
    if (chosen == kAboutEntry) ShowAbout();
}

void CKalvorDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CKalvorDlg::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
    DropFiles(paths);
    event->acceptProposedAction();
}

void CKalvorDlg::reject() {}
