#include "player/shell/KalvorDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QTimerEvent>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>

#include "common/AsciiCase.h"
#include "platform/system/FixedText.h"
#include "platform/ui/ColorRef.h"
#include "platform/ui/MessageSink.h"
#include "player/shell/DisplayTexts.h"
#include "player/shell/KalvorParent.h"
#include "player/shell/SettingsFile.h"
#include "player/shell/WindowPlacement.h"
#include "player/skin/SkinUnpacker.h"

namespace {

constexpr char kTitle[] = "Kalvor";
constexpr char kSkinsFolder[] = "/skins";
constexpr char kSkinExtension[] = ".krs";

// Opens for reading the way every reader of an outside file does: a regular file only.
bool IsReadableFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    return regular;
}

// A skin name from the settings file names a package in the skins folder, nothing else.
bool IsPlainName(const std::string& name) {
    return !name.empty() && name.find('/') == std::string::npos && name != "." && name != "..";
}

}  // namespace

bool IsPlaylistPath(const std::string& path) {
    return path.size() >= 5 && (EndsWithNoCase(path, "pls") || EndsWithNoCase(path, "m3u"));
}

CKalvorDlg::CKalvorDlg(CKalvorParent* parent, PlayerFolders folders)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint),
      m_parent(parent),
      m_folders(std::move(folders)) {
    setObjectName("KalvorClass");
    setWindowTitle(kTitle);
    setMouseTracking(true);
    setAcceptDrops(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CKalvorDlg::~CKalvorDlg() {
    if (m_uiTimer) killTimer(m_uiTimer);
}

bool CKalvorDlg::OnInitDialog() {
    setWindowIcon(QApplication::style()->standardIcon(QStyle::SP_MediaPlay));
    if (!ReadOptions()) return false;
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
    ApplyLaunchRequest(m_launchFlags, m_currentFile);
    m_busy = 0;
    AddTrayIcon();
    unsetCursor();
    activateWindow();
    setFocus();
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
    return true;
}

// The named package when it can be read, else the first package by name; the name follows
// the choice, so the fallback is what the next start finds.
bool CKalvorDlg::ChooseSkin() {
    const std::string folder = m_folders.program + kSkinsFolder;
    const std::string name = fixedtext::Read(m_settings.skinName);
    if (IsPlainName(name) && IsReadableFile(folder + "/" + name + kSkinExtension)) {
        m_skinPath = folder + "/" + name + kSkinExtension;
        return true;
    }
    std::vector<std::string> packages;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string file = entry.path().filename().string();
        if (file.size() > 4 && EndsWithNoCase(file, kSkinExtension) &&
            IsReadableFile(entry.path().string()))
            packages.push_back(file);
    }
    std::sort(packages.begin(), packages.end());
    if (packages.empty() ||
        !fixedtext::SetPath(m_settings.skinName, packages.front().substr(0, packages.front().size() - 4))) {
        ShowMessage(this, kTitle, kNoSkinsText, MessageIcon::Warning);
        return false;
    }
    m_skinPath = folder + "/" + packages.front();
    return true;
}

void CKalvorDlg::InitDisplayTexts() {
    const auto texts = InitialDisplayTexts(m_settings.repeatMode);
    for (int n = 0; n < kDisplayTexts; ++n) m_surface.SetText(n, texts[n]);
    m_tooltipTexts = TooltipTexts();
}

// A package that does not unpack would leave whatever skin folder an earlier run left
// behind; it is reported as the loader reports a package without a description.
bool CKalvorDlg::UnpackAndLoadSkin() {
    const std::string folder = SkinUnpacker::SkinFolder();
    // The unpacker's progress lines are for its console use; the player shows none.
    std::ostringstream progress;
    std::istringstream noAnswers;
    SkinUnpacker unpacker(progress, noAnswers);
    if (folder.empty() || !unpacker.UnpackSkin(m_skinPath)) {
        ShowMessage(this, kTitle, kSkinIniMissingText, MessageIcon::Error);
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
    m_movie = m_factory->CreatePlaybackWindow(*this, m_parent);
    QWidget* movie = m_movie->Widget();
    m_effects = m_factory->CreateEffectControls(m_movie.get(), movie);
    m_options = m_factory->CreateOptions(this, movie);
    m_wizard = m_factory->CreateWizard(this, movie);
    m_playlist = m_factory->CreatePlaylist(this, m_settings, movie);
    m_tip = m_factory->CreateTip(movie);
}

void CKalvorDlg::PlaceMainWindow() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize desktop = screen ? screen->virtualGeometry().size() : QSize(1024, 768);
    const int w = m_skin.Width();
    const int h = m_skin.Height();
    if (m_settings.rememberWindowPlacement == 0) {
        const DefaultPlacement placed = DefaultPlacement::Compute(desktop.width(), desktop.height(), w, h);
        m_settings.mainRect = placed.main;
        m_settings.movieRect = placed.movie;
        m_settings.movieDockSide = static_cast<int32_t>(DockSide::Above);
        m_settings.playlistRect = placed.playlist;
    }
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
    m_currentPosition = m_settings.lastPosition;
    m_currentFile = fixedtext::Read(m_settings.lastFile);
    if (m_launchTarget && !m_currentFile.empty()) m_launchTarget->OpenMediaAndPlay(m_currentFile);
}

void CKalvorDlg::AddTrayIcon() { m_tray = m_factory->CreateTrayIcon(this); }

void CKalvorDlg::OnLaunchRequest(const LaunchRequest& request) {
    if (m_busy) return;
    m_busy = 1;
    ApplyLaunchRequest(request.flags, fixedtext::Read(request.path));
    m_busy = 0;
}

void CKalvorDlg::ApplyLaunchRequest(int32_t flags, const std::string& path) {
    if (flags == 0 || (flags & kLaunchWizard) || !(flags & kLaunchPath)) return;
    if (flags & kLaunchFullScreen) m_settings.fullScreenOnPlay = 1;
    if (flags & kLaunchNoFullScreen) m_settings.fullScreenOnPlay = 0;
    m_currentPosition = 0.0;
    m_settings.rangeEnd = -1.0;
    if (IsPlaylistPath(path)) {
        if (m_launchTarget) m_launchTarget->OpenPlaylistAndPlay(path);
        return;
    }
    m_currentFile = path;
    if (m_launchTarget) m_launchTarget->OpenMediaAndPlay(path);
}

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
    if (m_actions) m_actions->StopRangeEndTimer();
}

void CKalvorDlg::AfterEndOfMedia() {
    if (m_actions) m_actions->AfterEndOfMedia();
}

void CKalvorDlg::ExecuteCommand(int button, int code) {
    if (m_actions) m_actions->ExecuteCommand(button, code);
}

int CKalvorDlg::SetPlaybackVolume(double volume) { return m_movie ? m_movie->SetVolume(volume) : 1; }

double CKalvorDlg::MediaDuration() {
    const double duration = m_movie ? m_movie->Duration() : 0.0;
    return std::isfinite(duration) && duration > 0.0 ? duration : 0.0;
}

double CKalvorDlg::SeekMedia(double seconds) {
    if (!m_movie) return 0.0;
    m_movie->SetPosition(seconds);
    m_currentPosition = m_movie->GetPosition();
    return m_currentPosition;
}

void CKalvorDlg::ShowHelp(int contextId) {
    if (m_actions) m_actions->ShowHelp(contextId);
}

bool CKalvorDlg::SaveOptions() {
    SettingsLiveState live;
    live.currentPosition = m_currentPosition;
    return SaveSettings(FoldLiveState(m_settings, live), m_folders.userConfig);
}

void CKalvorDlg::ExitPlayer() {
    SaveOptions();  // a failed write must not keep the player from ending
    m_parent->EndLoop(0);
}

// ---- surface ------------------------------------------------------------------------

bool CKalvorDlg::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (!m_toolTips.Show(this, help->pos(), help->globalPos())) event->ignore();
        return true;
    }
    return QDialog::event(event);
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
    if (m_dragging) DragWindowTo(event->globalPosition().toPoint());
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

// The windows docked to the main window go along by the same distance. In full screen the
// video window covers the desktop and stays where it is.
void CKalvorDlg::DragWindowTo(const QPoint& global) {
    const QPoint delta = global - m_dragAnchor - pos();
    if (delta.isNull()) return;
    move(pos() + delta);
    const bool moveMovie = m_settings.movieDockSide != 0 || m_settings.moveWithMovieWindow == 1;
    if (moveMovie && m_settings.fullScreen == 0 && m_movie) {
        QWidget* movie = m_movie->Widget();
        movie->move(movie->pos() + delta);
        m_settings.movieRect = colorref::FromQRect(movie->geometry());
    }
    if (m_settings.playlistDocked != 0 && m_playlist) {
        m_playlist->move(m_playlist->pos() + delta);
        m_settings.playlistRect = colorref::FromQRect(m_playlist->geometry());
    }
    m_settings.mainRect = colorref::FromQRect(geometry());
}

// ---- display timer ------------------------------------------------------------------

void CKalvorDlg::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_uiTimer) OnUiTick();
    QDialog::timerEvent(event);
}

// The seek bar and the time follow the playback, except while the bar is dragged.
void CKalvorDlg::OnUiTick() {
    if (!m_movie || m_surface.SeekDragging()) return;
    const double position = m_movie->GetPosition();
    m_currentPosition = std::isfinite(position) ? position : 0.0;
    const double duration = MediaDuration();
    if (duration != 0.0) m_surface.DrawSeekBar(m_currentPosition / duration);
    m_surface.SetDisplayedPosition(m_currentPosition);
    update();
}

void CKalvorDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
    ExitPlayer();
}

void CKalvorDlg::reject() {}
