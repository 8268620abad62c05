#pragma once

// The player in the test's own process, as the tests of its windows run it: its loop with
// the test's body in it, and, for the X tests, on the X server that DISPLAY names with an
// xcb application and the owner window on the folders of an installation (InstallPlayer).

#include <functional>
#include <string>

#include "player/shell/KalvorParent.h"
#include "support/XcbApplication.h"

// Runs the player's loop and returns its exit code. body runs in the loop once the main
// window shows, and ends the player itself (closing the main window, say). When the window
// never shows or body stops at a fatal failure, the main window is closed for it, so that a
// failing test ends rather than waits for its time limit.
int RunPlayer(CKalvorParent& parent, const std::function<void(CKalvorDlg&)>& body);

class PlayerOnX {
public:
    PlayerOnX(const PlayerFolders& folders, const std::string& name);

    CKalvorDlg& Dialog() { return parent_.MainDialog(); }
    int Run(const std::function<void(CKalvorDlg&)>& body) { return RunPlayer(parent_, body); }

private:
    XcbApplication application_;
    CKalvorParent parent_;
};
