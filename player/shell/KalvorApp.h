#pragma once

// The player process's entry: one instance per user, the command line, the hand-over of
// a command line to the running instance, then the owner window's loop.

#include <memory>
#include <string>
#include <vector>

#include "player/shell/PlayerFolders.h"

class CKalvorParent;
class KrKeysHook;
class SingleInstance;
struct CommandLine;

class CKalvorApp {
public:
    explicit CKalvorApp(PlayerFolders folders = PlayerFolders::FromEnvironment());
    ~CKalvorApp();

    // args: the tokens after the program's name. Returns the process's exit code.
    int InitInstance(const std::vector<std::string>& args);

    // Sends the request to the running instance; false when it could not be sent (also
    // when the path does not fit the record).
    static bool HandOver(const std::string& tempFolder, const CommandLine& line);

private:
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
