#include "player/shell/KalvorDlg.h"

#include <QCloseEvent>

#include <algorithm>
#include <cctype>

#include "common/AsciiCase.h"
#include "platform/system/FixedText.h"
#include "platform/ui/MessageSink.h"
#include "player/shell/KalvorParent.h"
#include "player/shell/SettingsFile.h"

namespace {

constexpr char kTitle[] = "Kalvor";

}  // namespace

bool IsPlaylistPath(const std::string& path) {
    return path.size() >= 5 && (EndsWithNoCase(path, "pls") || EndsWithNoCase(path, "m3u"));
}

CKalvorDlg::CKalvorDlg(CKalvorParent* parent, PlayerFolders folders)
    : QDialog(parent), m_parent(parent), m_folders(std::move(folders)) {
    setObjectName("KalvorClass");
    setWindowTitle(kTitle);
}

CKalvorDlg::~CKalvorDlg() = default;

bool CKalvorDlg::OnInitDialog() {
    if (!ReadOptions()) return false;
    // The skin, the hot-key hook, the child windows and their placement start here as
    // they are built; until the skin exists the main window is a plain window.
    ResumeLastMovie();
    ApplyLaunchRequest(m_launchFlags, m_currentFile);
    m_busy = 0;
    show();
    return true;
}

bool CKalvorDlg::ReadOptions() {
    const SettingsLoadResult loaded = LoadSettings(m_folders.userConfig, m_folders.program, m_settings);
    if (loaded.source == SettingsSource::Absent) {
        ShowMessage(this, kTitle, kOptionsAbsentText, MessageIcon::Warning);
        return false;
    }
    return true;
}

// Only a start with neither a switch nor a path resumes the last movie.
void CKalvorDlg::ResumeLastMovie() {
    if (m_settings.resumeLastMovie != 1 || m_launchFlags != 0) return;
    m_currentPosition = m_settings.lastPosition;
    m_currentFile = fixedtext::Read(m_settings.lastFile);
    if (m_launchTarget && !m_currentFile.empty()) m_launchTarget->OpenMediaAndPlay(m_currentFile);
}

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

bool CKalvorDlg::SaveOptions() {
    SettingsLiveState live;
    live.currentPosition = m_currentPosition;
    return SaveSettings(FoldLiveState(m_settings, live), m_folders.userConfig);
}

void CKalvorDlg::ExitPlayer() {
    SaveOptions();  // a failed write must not keep the player from ending
    m_parent->EndLoop(0);
}

void CKalvorDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
    ExitPlayer();
}

void CKalvorDlg::reject() {}
