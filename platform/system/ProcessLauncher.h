#pragma once

// Starts another program without waiting for it. The player starts korc this way; tests
// replace the launcher to see what would have been started.

#include <string>
#include <vector>

class IProcessLauncher {
public:
    virtual ~IProcessLauncher() = default;
    // Each argument reaches the program as one argv entry, blanks and all.
    virtual bool StartDetached(const std::string& program, const std::vector<std::string>& args) = 0;
};

IProcessLauncher& DefaultProcessLauncher();
