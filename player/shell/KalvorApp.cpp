#include "player/shell/KalvorApp.h"

#include <QByteArray>

#include <csignal>
#include <cstdio>

#include "common/JobFile.h"
#include "common/channel/IPCManager.h"
#include "platform/registry/RegistryStore.h"
#include "platform/system/AtomicFile.h"
#include "platform/system/Paths.h"
#include "platform/system/SignalWatch.h"
#include "platform/system/SingleInstance.h"
#include "player/playback/SubtitleFiles.h"
#include "player/playlist/PlaylistDocument.h"
#include "player/settings/SettingsFile.h"
#include "player/shell/CommandLine.h"
#include "player/shell/KalvorParent.h"
#include "player/shell/KrKeysHook.h"
#include "player/shell/LaunchRequest.h"

namespace {

// The running instance may not listen yet (it started a moment ago) or no more (it is
// ending and will let the lock go): this long the new start keeps trying.
constexpr int kHandOverWindowMs = 2000;
// A running instance answers once its loop runs, which its own start-up or the opening of
// a file may hold up for many seconds on a busy machine (two files opened at once from a
// file manager start two players together); a hung one lets the new start go after that.
constexpr int kAnswerWaitMs = 30000;

// The files the instance holding the lock writes through a temporary name, by folder.
void RemoveLeftovers(const PlayerFolders& folders) {
    for (const char* name : {kOptionsFileName, kInternalPlaylistName, RegistryStore::kFileName})
        atomicfile::RemoveLeftovers(folders.userConfig, name);
    for (const char* name : {kJobFileName, subtitles::kHandOverName}) atomicfile::RemoveLeftovers(folders.appData, name);
}

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
        switch (HandOver(line)) {
        case SingleInstance::Start::HandedOver: return 0;
        case SingleInstance::Start::Failed: return 1;
        case SingleInstance::Start::First: break;  // the running one ended meanwhile
        }
    }
    // Only the instance holding the lock writes these files, so what a killed write left
    // can go now.
    if (m_instance) RemoveLeftovers(m_folders);
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

SingleInstance::Start CKalvorApp::HandOver(const CommandLine& line) {
    const std::optional<LaunchRequest> request = MakeLaunchRequest(line.flags, line.path);
    std::string why;
    SingleInstance::Start start = SingleInstance::Start::Failed;
    if (!request) {
        why = "the path is longer than a launch request holds";
    } else {
        const QByteArray bytes(reinterpret_cast<const char*>(&*request), sizeof(LaunchRequest));
        start = m_instance->HandOver(bytes, kHandOverWindowMs, kAnswerWaitMs, &why);
    }
    if (start == SingleInstance::Start::Failed) {
        const std::string what = line.path.empty() ? "this start" : line.path;
        std::fprintf(stderr, "Kalvor: the running player was not given %s: %s\n", what.c_str(),
                     why.c_str());
    }
    return start;
}

void CKalvorApp::ListenForLaunchRequests() {
    if (!m_instance) return;
    CKalvorDlg* dlg = &m_parent->MainDialog();
    QObject::connect(m_instance.get(), &SingleInstance::FrameReceived, dlg,
                     [dlg](const QByteArray& frame) {
                         const auto request = DecodeLaunchRequest(frame);
                         if (request) dlg->OnLaunchRequest(*request);
                     });
    // From the start of the exit no request is taken; once its files are written a new
    // start may be the first instance, while this one still ends.
    QObject::connect(dlg, &CKalvorDlg::ExitBegun, m_instance.get(), &SingleInstance::StopListening);
    QObject::connect(dlg, &CKalvorDlg::ExitSaved, m_instance.get(), &SingleInstance::Release);
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
    const SignalWatch exitSignals(
        {SIGINT, SIGTERM, SIGHUP}, [&dlg](int) { dlg.ExitOnSignal(); }, "Kalvor");
    return m_parent->DoModal();
}
