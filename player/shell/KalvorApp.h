#pragma once

// The player process's entry: one instance per user, the command line, the hand-over of
// a command line to the running instance, then the owner window's loop.

#include <memory>
#include <string>
#include <vector>

#include "platform/system/SingleInstance.h"
#include "player/shell/PlayerFolders.h"

class CKalvorParent;
class KrKeysHook;
struct CommandLine;

class CKalvorApp {
public:
    explicit CKalvorApp(PlayerFolders folders = PlayerFolders::FromEnvironment());
    ~CKalvorApp();

    // args: the tokens after the program's name. Returns the process's exit code.
    int InitInstance(const std::vector<std::string>& args);

private:
    // Gives the request to the running instance, or takes the lock when that one ended
    // meanwhile; a failure (also a path that does not fit the record) is said on stderr.
    SingleInstance::Start HandOver(const CommandLine& line);
    bool TakeInstance();
    void ListenForLaunchRequests();
    int RunOwnerWindow(const CommandLine& line);

    PlayerFolders m_folders;
    std::unique_ptr<SingleInstance> m_instance;
    // Declared last, so the windows go before the socket that feeds them.
    std::unique_ptr<CKalvorParent> m_parent;
    // After the windows in the list, so its watch ends before the window it posts to goes.
    std::unique_ptr<KrKeysHook> m_hotKeys;
};
