#pragma once

// The player's main window: a captionless window whose whole surface is the skin. It owns
// the settings record and every other window of the player, starts them in their order,
// receives the launch requests of later instances, runs the commands of buttons, keys and
// other windows, and opens what plays.

#include <QDialog>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "player/options/OptionsHost.h"
#include "player/playback/MovieHooks.h"
#include "player/playback/MovieHost.h"
#include "player/playback/VideoWindowOwner.h"
#include "player/playlist/PlaylistWindowHost.h"
#include "player/settings/PlayerSettings.h"
#include "player/shell/CodecSettings.h"
#include "player/shell/CommandTable.h"
#include "player/shell/FileDialogs.h"
#include "player/shell/FullScreenSwitch.h"
#include "player/shell/HelpOpener.h"
#include "player/shell/HotKeyHook.h"
#include "player/shell/LaunchQueue.h"
#include "player/shell/LaunchRequest.h"
#include "player/shell/LogindPowerOff.h"
#include "player/shell/MainPlayback.h"
#include "player/shell/MainSurface.h"
#include "player/shell/PlaySequence.h"
#include "player/shell/PlayerCommands.h"
#include "player/shell/PlayerFolders.h"
#include "player/shell/PlayerWindowFactory.h"
#include "player/shell/PlaylistRows.h"
#include "player/shell/PlaylistWindowRows.h"
#include "player/shell/RangeEndStop.h"
#include "player/shell/SkinToolTips.h"
#include "player/shell/StatusTip.h"
#include "player/shell/VideoPlaylistLink.h"
#include "player/shell/WindowArrangement.h"
#include "player/skin/SkinResources.h"
#include "player/wizard/WizardHost.h"

class CKalvorMovie;

inline constexpr char kNoSkinsText[] = "Can't find skins. Please, re-install Kalvor or download skins.";

// What a launch request opens: a playlist into the playlist, or a media file into the video
// window and a new last row. The main window is its own; tests put a recorder in.
class ILaunchTarget {
public:
    virtual ~ILaunchTarget() = default;
    virtual void OpenPlaylistAndPlay(const std::string& path) = 0;
    virtual void OpenMediaAndPlay(const std::string& path) = 0;
};

class CKalvorDlg : public QDialog,
                   public ICommandTarget,
                   public ILaunchRequestHandler,
                   public ILaunchTarget,
                   public IMainPlaybackHost,
                   public IMovieHost,
                   public IOptionsHost,
                   public IPlaySequenceHost,
                   public IPlaylistWindowHost,
                   public ISurfaceHost,
                   public IVideoWindowOwner,
                   public IWizardHost {
    Q_OBJECT
public:
    static constexpr int kUiTickMs = 500;
    static constexpr int kRangeTickMs = 10;
    // Set in the environment, the display timer writes the playback position to stderr.
    static constexpr char kTracePositionVariable[] = "KALVOR_TRACE_POSITION";

    // owner: the invisible window whose loop is the player's; it ends that loop on ExitDone.
    CKalvorDlg(QWidget* owner, PlayerFolders folders);
    ~CKalvorDlg() override;

    // Parts built apart from the main window; set before start-up. Not owned.
    void SetWindowFactory(PlayerWindowFactory* factory) { m_factory = factory; }
    void SetHotKeyHook(IHotKeyHook* hook) { m_hook = hook; }
    // Where help pages open; nullptr returns to the desktop's browser.
    void SetUrlOpener(IUrlOpener* opener) { m_help = HelpOpener(m_folders.program, opener); }
    // The display mode that full screen may have switched; the exit puts it back.
    void SetDisplayModes(IDisplayModeSwitch* modes) { m_displayModes = modes; }
    void SetLaunchTarget(ILaunchTarget* target) { m_launchTarget = target ? target : this; }
    void SetFileDialogs(IFileDialogs* dialogs) { m_playback.SetFileDialogs(dialogs); }
    void SetPowerOff(IPowerOff* power) { m_powerOff = power ? power : &m_ownPowerOff; }
    void SetFullScreenSwitch(IFullScreenSwitch* fullScreen) { m_fullScreen = fullScreen; }
    void SetPlaylistCommands(IPlaylistKeyCommands* commands) { m_videoPlaylist.SetCommands(commands); }
    // The playlist that plays: the playlist window's list from start-up on, the player's
    // own rows before (nullptr returns to them).
    void SetPlaylist(IPlaylist* playlist);

    // The start-up steps of the main window; false when the player must end (the reason
    // has been shown to the user) with FailureCode() as its exit status.
    bool OnInitDialog();
    // 1 after a skin package that could not be unpacked, else 0.
    int FailureCode() const { return m_failureCode; }
    // Default rectangles when none are remembered, then the main and playlist windows.
    void PlaceMainWindow();

    // Requests are applied in arrival order once the player is not busy; one without a
    // path or switch brings the windows back. Refused once the exit has begun.
    void OnLaunchRequest(const LaunchRequest& request) override;
    void ApplyLaunchRequest(int32_t flags, const std::string& path);
    // ILaunchTarget
    void OpenPlaylistAndPlay(const std::string& path) override;
    void OpenMediaAndPlay(const std::string& path) override;

    // Opens the current file at the current position and starts it as the options say.
    void OpenAndPlayCurrent() { m_playback.OpenAndPlayCurrent(); }
    void PlayNext() override { m_sequence->PlayNext(); }
    void PlayPrevious() override { m_sequence->PlayPrevious(); }
    void PlaySelected() override { m_sequence->PlaySelected(); }
    // The dropped files replace the playlist, whose first row then plays; nothing while
    // the playlist shows a filtered view.
    void DropFiles(const std::vector<std::string>& paths) { m_playback.DropFiles(paths); }
    // A key press as the key table sees it.
    void OnKeyDown(uint16_t vk, bool shift, bool ctrl);
    // Switches, then fits the video window to the new state.
    void ToggleFullScreen() override;
    // The About entry of the window's menu.
    void ShowAbout();

    // Moves the volume control (shown at once with redraw) and sets the playback volume.
    int DrawVolumeBar(double volume, bool redraw);
    void DrawSeekBar(double fraction, bool redraw);

    // Folds the live state into the record's image and writes options.cfg; false (with the
    // reason in error) when it was not written.
    bool SaveOptions(std::string* error = nullptr);
    // The one way out of the player: the exit steps in their order, then the owner window's
    // loop ends with code 0. Modal dialogs and menus still open are closed, since their
    // loops would hold the owner's up. A second call while it runs or after it does nothing.
    void ExitPlayer() override;
    // The exit of a signal: nothing waits for the user's answer, and a signal that comes
    // while the exit runs closes what still holds it up.
    void ExitOnSignal();
    bool Exiting() const override { return m_exiting; }

    // The tray icon's clicks: the left one brings the windows back, the right one opens the
    // video window's menu.
    void OnTrayActivated(QSystemTrayIcon::ActivationReason reason);
    QSystemTrayIcon* TrayIcon() const { return m_tray.get(); }

    // A global hot key: the slot it matches runs, unless hot keys are suspended.
    void OnHotKey(uint32_t code, intptr_t kind);
    // While the options dialog captures keys: no hot key runs and the hook is off.
    void SuspendHotKeys(bool suspended) override;
    bool HotKeysSuspended() const { return m_hotKeysSuspended; }
    // The tip's text of kind (statustext), when tips are on; unless keep, the tip's time
    // starts again.
    void ShowStatusMessage(int kind, bool keep) { m_status.Show(kind, keep); }

    // IOptionsHost
    SettingsLiveState LiveState() override;
    std::string ProgramFolder() override { return m_folders.program; }
    std::string UserConfigFolder() override { return m_folders.userConfig; }
    std::string AppDataFolder() override { return m_folders.appData; }
    std::string CurrentSkinPackage() override { return m_skinPath; }
    bool ChangeSkin(const std::string& package) override;
    void RestoreZOrder() override {
        if (m_arrangement) m_arrangement->RestoreZOrder();
    }
    void AfterOptionsClosed() override {
        if (m_arrangement) m_arrangement->AfterOptionsClosed();
    }
    void KeepCursorShown() override { m_cursorCountdown = -1; }

    // IMovieHost
    PlayerSettings& Settings() override { return m_settings; }
    void EnableMainWindow(bool enable) override { setEnabled(enable); }
    void StopRangeEndTimer() override;
    void AfterEndOfMedia() override { m_sequence->AfterEndOfMedia(); }
    // Unlike a status tip, a problem is shown whether tips are on or not.
    void ReportProblem(const std::string& text) override { m_status.ReportProblem(text); }
    // IPlaySequenceHost
    void LoadEntry(const MediaEntry& entry) override { m_playback.LoadEntry(entry); }
    bool HasMedia() override { return m_movie && m_movie->HasMedia(); }
    bool HasVideo() override { return m_movie && m_movie->HasVideo(); }
    bool Paused() override { return m_movie && m_movie->Paused(); }
    void SeekTo(double seconds) override { m_playback.SeekTo(seconds); }
    void Play() override {
        if (m_movie) m_movie->Play();
    }
    void PowerOff() override { m_powerOff->PowerOff(); }
    // ISurfaceHost. Buttons 0..6 are the fixed buttons (callers pass code 1); 7 or more
    // run code. (0, 0) is the surface's: the hovered button with its command.
    void ExecuteCommand(int button, int code) override;
    int SetPlaybackVolume(double volume) override;
    double MediaDuration() override { return m_playback.MediaDuration(); }
    double SeekMedia(double seconds) override { return m_playback.SeekMedia(seconds); }
    void ShowHelp(int contextId) override;
    // IPlaylistWindowHost
    PlaylistColors Colors() override;
    std::string SkinFolder() override;
    void FocusMainWindow() override;
    double PlaybackPosition() override;
    // IWizardHost
    QRect MainWindowRect() override { return frameGeometry(); }
    QRect DesktopRect() override;
    std::string SubtitlesPath() override;
    EffectParams Effects() override;
    // IVideoWindowOwner
    void ShutdownComputer() override { m_powerOff->PowerOff(); }
    int CursorCountdown() const override { return m_cursorCountdown; }
    void SetCursorCountdown(int ticks) override { m_cursorCountdown = ticks; }
    // The window arrangement's, once the windows exist.
    void MoveMainWindowBy(int dx, int dy) override {
        if (m_arrangement) m_arrangement->MoveMainWindowBy(dx, dy);
    }
    void RevealMainWindow(const WinRect& rect) override {
        if (m_arrangement) m_arrangement->RevealMainWindow(rect);
    }
    void ConcealMainWindow(const WinRect& rect) override {
        if (m_arrangement) m_arrangement->ConcealMainWindow(rect);
    }
    void RevealEffectControls(const WinRect& rect) override {
        if (m_arrangement) m_arrangement->RevealEffectControls(rect);
    }
    void ConcealEffectControls() override {
        if (m_arrangement) m_arrangement->ConcealEffectControls();
    }
    WinRect PlaylistWindowRect() const override {
        return m_arrangement ? m_arrangement->PlaylistWindowRect() : m_settings.playlistRect;
    }
    void RevealPlaylist() override {
        if (m_arrangement) m_arrangement->RevealPlaylist();
    }
    void ConcealPlaylist() override {
        if (m_arrangement) m_arrangement->ConcealPlaylist();
    }
    void ActivateMainWindow() override;

    // The windows full screen moves, for a full screen made apart from the player's own.
    FullScreenParts FullScreenWindows();

    const PlayerFolders& Folders() const { return m_folders; }
    const std::string& CurrentFile() const { return m_playback.CurrentFile(); }
    double CurrentPosition() const { return m_playback.CurrentPosition(); }
    void SetCurrentFile(const std::string& path) { m_playback.SetCurrentFile(path); }
    void SetCurrentPosition(double seconds) { m_playback.SetCurrentPosition(seconds); }
    IPlaylist& Rows() { return *m_list; }
    PlaylistRows& OwnRows() { return *m_rows; }
    const playercommands::Range& DisplayRange() const { return m_playback.DisplayRange(); }
    bool Hidden() const { return m_hidden; }
    size_t PendingRequests() const { return m_launches.Pending(); }
    void SetLaunchFlags(int32_t flags) { m_launchFlags = flags; }
    // The end of a busy time applies the requests that waited for it.
    void SetBusy(bool busy) {
        m_launches.SetBusy(busy);
        if (!busy) m_launches.ApplyPending();
    }
    bool IsBusy() const { return m_launches.Busy(); }
    const std::string& SkinPath() const { return m_skinPath; }
    const SkinResources& Skin() const { return m_skin; }
    MainSurface& Surface() { return m_surface; }
    const SkinToolTips& ToolTips() const { return m_toolTips; }
    bool UiTimerRunning() const { return m_uiTimer != 0; }
    bool RangeTimerRunning() const { return m_rangeTimer != 0; }

    IPlaybackWindow* Movie() const { return m_movie.get(); }
    // The player's own video window; nullptr when the factory made a stand-in.
    CKalvorMovie* Video() const { return m_video; }
    const VideoPlaylistLink& VideoPlaylist() const { return m_videoPlaylist; }
    CEffectControls* EffectControls() const { return m_effects.get(); }
    CKalvorOptions* Options() const { return m_options.get(); }
    CKalvorWizard* Wizard() const { return m_wizard.get(); }
    CKalvorPlaylist* Playlist() const { return m_playlist.get(); }
    CHKTip* Tip() const { return m_tip.get(); }

signals:
    // The exit has begun: no launch request is taken from now on.
    void ExitBegun();
    // Everything the exit writes is written: a new start may be the first instance.
    void ExitSaved();
    // The exit is over: the owner ends the player's loop with exitCode.
    void ExitDone(int exitCode);

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Escape must not hide the main window: the player ends only through ExitPlayer.
    void reject() override;

private:
    // The steps of OnInitDialog.
    bool ReadOptions();
    void PatchCodecSettings();
    bool ChooseSkin();
    void InitDisplayTexts();
    bool UnpackAndLoadSkin();
    void InstallHook();
    void CreateChildWindows();
    void ConnectVideoWindow();
    void StartUiTimer();
    void ResumeLastMovie();
    void AddTrayIcon();

    // The steps of ExitPlayer.
    void StopUiTimer();
    void CloseGraph();
    bool SaveInternalPlaylist(std::string* error);
    void RemoveTrayIcon();
    void RestoreDisplayMode();
    void RemoveHotKeyHook();
    void RestoreCodecSettings();
    void SayUnsavedChanges(const std::vector<std::string>& failures);
    std::string RegistryPath() const;

    void OnUiTick();
    void FollowPosition();
    void TickTip();
    void TickCursor();
    void OnRangeTick();

    // ICommandTarget
    void TogglePause() override { m_playback.TogglePause(); }
    void StopPlayback() override { m_playback.StopPlayback(); }
    void OpenMediaDialog() override { m_playback.OpenMediaDialog(); }
    void ShowOptions() override;
    void TogglePlaylistWindow() override;
    void OpenSubtitlesDialog() override { m_playback.OpenSubtitlesDialog(); }
    void ToggleHidden() override;
    void ShowWizard() override;
    void ToggleVideoFullScreen() override;
    void VolumeUp() override;
    void VolumeDown() override;
    void Forward() override { m_playback.Forward(); }
    void Rewind() override { m_playback.Rewind(); }
    void ShowEffectControls() override;
    void MarkRangeStart() override { m_playback.MarkRange(false); }
    void MarkRangeEnd() override { m_playback.MarkRange(true); }
    // IMainPlaybackHost
    QWidget* DialogOwner() override { return this; }
    void Redraw() override { update(); }
    void LeaveFullScreenForGood() override;
    void RaiseMovieInFullScreen() override {
        if (m_arrangement) m_arrangement->RaiseMovieInFullScreen();
    }

    void StepVolume(std::optional<double> volume);
    void ShowHiddenWindows();
    void RunKeyAction(VideoKeyAction action);
    void BringToFront();
    void PlaceByDefault();
    void DockToResizedMainWindow();
    // The desktop the options dialog and the effect controls are kept on.
    WinRect VirtualDesktop() const;
    void ApplyRequest(const LaunchRequest& request);

    QWidget* m_owner;  // carries the loop; the video window is its child too
    PlayerFolders m_folders;
    PlayerSettings m_settings{};
    PlayerWindowFactory m_ownFactory;
    PlayerWindowFactory* m_factory = &m_ownFactory;
    IHotKeyHook* m_hook = nullptr;
    HelpOpener m_help{m_folders.program};
    IDisplayModeSwitch* m_displayModes = nullptr;
    ILaunchTarget* m_launchTarget = this;
    LogindPowerOff m_ownPowerOff;
    IPowerOff* m_powerOff = &m_ownPowerOff;
    IFullScreenSwitch* m_fullScreen = nullptr;
    std::unique_ptr<PlaylistRows> m_rows;
    IPlaylist* m_list = m_rows.get();
    VideoPlaylistLink m_videoPlaylist{m_list};
    std::unique_ptr<PlaySequence> m_sequence;

    // The child windows, in creation order: destroyed in reverse, the video window last,
    // so that none outlives the window it belongs to.
    std::unique_ptr<IPlaybackWindow> m_movie;
    CKalvorMovie* m_video = nullptr;  // m_movie's window when it is the player's own
    std::unique_ptr<CEffectControls> m_effects;
    std::unique_ptr<CKalvorOptions> m_options;
    std::unique_ptr<CKalvorWizard> m_wizard;
    std::unique_ptr<CKalvorPlaylist> m_playlist;
    std::unique_ptr<CHKTip> m_tip;
    std::unique_ptr<QSystemTrayIcon> m_tray;
    // The playlist window's list as the playlist that plays; goes before the window.
    std::unique_ptr<PlaylistWindowRows> m_windowRows;
    // Made once the video window exists, when no switch was given; goes before the windows.
    std::unique_ptr<PlayerFullScreen> m_ownFullScreen;
    // Made with the windows; goes before them.
    std::unique_ptr<WindowArrangement> m_arrangement;

    std::string m_skinPath;
    SkinResources m_skin;
    SkinToolTips m_toolTips;
    MainSurface m_surface{m_settings, *this};
    MainPlayback m_playback{m_settings, m_surface, m_skin, m_toolTips, *this};
    StatusTip m_status{m_settings, m_surface};
    std::vector<std::string> m_tooltipTexts;
    int m_uiTimer = 0;
    int m_uiTicks = 0;             // the display timer's ticks, for what runs on every fourth
    int m_cursorCountdown = -1;    // ticks until the cursor over the video hides; < 1 idle
    int m_rangeTimer = 0;
    RangeEndStop m_rangeStop;

    // Window drag: the pointer's client position when the drag began.
    bool m_dragging = false;
    QPoint m_dragAnchor;

    int32_t m_launchFlags = 0;
    // 1 while starting up and while a received request is applied: requests that arrive
    // then are answered without being acted on.
    LaunchQueue m_launches{[this](const LaunchRequest& request) { ApplyRequest(request); }};
    int m_failureCode = 0;
    bool m_hidden = false;          // the main and playlist windows hidden by command 6
    bool m_minimisedToHide = false;  // without a tray, command 6 minimised the main window
    bool m_tracePosition = false;
    bool m_hotKeysSuspended = false;
    bool m_optionsRead = false;  // nothing is saved over options.cfg before it was read
    bool m_exiting = false;
    bool m_signalExit = false;  // no box of the exit waits for an answer
    CodecSettings m_codecs;
    bool m_codecsPatched = false;  // the store was read at start: the exit puts values back
};
