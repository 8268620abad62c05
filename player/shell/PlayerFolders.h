#pragma once

// The folders the player works with, taken once at start-up; tests give their own.

#include <string>

struct PlayerFolders {
    std::string program;     // read-only assets and the installed options.cfg
    std::string userConfig;  // the user's options.cfg and playlists
    std::string appData;     // job file, subtitle hand-over
    std::string temp;        // private: instance socket, unpacked skin; empty when no private
                             // folder could be had (paths::TempFolder)

    static PlayerFolders FromEnvironment();
};
