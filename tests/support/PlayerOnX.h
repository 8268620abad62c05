#pragma once

// The player in the test's own process on the X server that DISPLAY names, as the X tests
// of its windows start it: an xcb application, then the owner window with the main window
// on the folders of an installation (InstallPlayer).

#include <functional>
#include <string>

#include "player/shell/KalvorParent.h"
#include "support/XcbApplication.h"

class PlayerOnX {
public:
    PlayerOnX(const PlayerFolders& folders, const std::string& name);

    CKalvorDlg& Dialog() { return parent_.MainDialog(); }

    // Runs the player's loop and returns its exit code. body runs in the loop once the main
    // window shows, and ends the player itself (closing the main window, say). When the
    // window never shows or body stops at a fatal failure, the main window is closed for it,
    // so that a failing test ends rather than waits for its time limit.
    int Run(const std::function<void(CKalvorDlg&)>& body);

private:
    XcbApplication application_;
    CKalvorParent parent_;
};
