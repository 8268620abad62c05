#include "player/shell/KalvorApp.h"

#include <QByteArray>

#include <cstdio>

#include "common/channel/IPCManager.h"
#include "platform/system/AtomicFile.h"
#include "platform/system/Paths.h"
#include "platform/system/SingleInstance.h"
#include "player/shell/CommandLine.h"
#include "player/shell/ExitSignals.h"
#include "player/shell/KalvorParent.h"
#include "player/shell/KrKeysHook.h"
#include "player/shell/LaunchRequest.h"
#include "player/shell/SettingsFile.h"

namespace {

// A hung running instance must not hold up the new one for long.
constexpr int kHandOverTimeoutMs = 200;

}  // namespace

CKalvorApp::CKalvorApp(PlayerFolders folders) : m_folders(std::move(folders)) {}

CKalvorApp::~CKalvorApp() = default;

int CKalvorApp::InitInstance(const std::vector<std::string>& args) {
    const bool first = TakeInstance();
    if (!first && !m_instance->Refusal().empty()) {
        // Neither running alone nor handing over is safe with a lock that is not ours.
        std::fprintf(stderr, "Kalvor: %s\n", m_instance->Refusal().c_str());
        return 1;
    }
    CommandLine line = ParseCommandLine(args);
    line.path = paths::MakeAbsolute(line.path);  // the running instance has another folder
    if (!first) {
        HandOver(m_folders.temp, line);  // not answered in time: the request is dropped
        return 0;
    }
    // Only the instance holding the lock saves options.cfg, so what a killed save left
    // can go now.
    if (m_instance) atomicfile::RemoveLeftovers(m_folders.userConfig, kOptionsFileName);
    return RunOwnerWindow(line);
}

// Without any private folder (the temporary one and the cache fallback both refused, which
// has been said) there is no safe place for the lock and socket; the player then runs
// without the one-instance rule.
bool CKalvorApp::TakeInstance() {
    if (m_folders.temp.empty()) return true;
    m_instance = std::make_unique<SingleInstance>(m_folders.temp, kInstanceName, kLaunchRequestTag,
                                                  sizeof(LaunchRequest));
    return m_instance->Acquire();
}

bool CKalvorApp::HandOver(const std::string& tempFolder, const CommandLine& line) {
    const std::optional<LaunchRequest> request = MakeLaunchRequest(line.flags, line.path);
    if (!request || tempFolder.empty()) return false;
    const QByteArray bytes(reinterpret_cast<const char*>(&*request), sizeof(LaunchRequest));
    return SingleInstance::Send(tempFolder, kInstanceName, kLaunchRequestTag, bytes,
                                kHandOverTimeoutMs);
}

void CKalvorApp::ListenForLaunchRequests() {
    if (!m_instance) return;
    CKalvorDlg* dlg = &m_parent->MainDialog();
    QObject::connect(m_instance.get(), &SingleInstance::FrameReceived, dlg,
                     [dlg](const QByteArray& frame) {
                         const auto request = DecodeLaunchRequest(frame);
                         if (request) dlg->OnLaunchRequest(*request);
                     });
    m_instance->Listen();  // a socket that cannot be made now is tried again later
}

int CKalvorApp::RunOwnerWindow(const CommandLine& line) {
    m_parent = std::make_unique<CKalvorParent>(m_folders);
    CKalvorDlg& dlg = m_parent->MainDialog();
    m_hotKeys = std::make_unique<KrKeysHook>();
    dlg.SetHotKeyHook(m_hotKeys.get());
    dlg.SetBusy(true);
    ListenForLaunchRequests();
    dlg.SetCurrentFile(line.path);
    // The command channel is only set up, never used; its root lives for the whole run.
    const IPCManager channel(ChannelSystem::ForFolders(m_folders.program, m_folders.temp));
    dlg.SetLaunchFlags(line.flags);
    // A signal ends the player the way its Exit button does, from the loop, never from the
    // handler.
    const ExitSignals exitSignals([&dlg](int) { dlg.ExitPlayer(); });
    return m_parent->DoModal();
}
