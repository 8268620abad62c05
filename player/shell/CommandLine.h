#pragma once

// The player's command line: the whole tokens "/wizard", "/fullscreen" and "/nofullscreen"
// are switches; the path is the tokens after the last switch joined with single blanks
// (all tokens when there is no switch), without leading and trailing white space.

#include <cstdint>
#include <string>
#include <vector>

struct CommandLine {
    int32_t flags = 0;  // LaunchFlag bits
    std::string path;
};

// args: the tokens after the program's name.
CommandLine ParseCommandLine(const std::vector<std::string>& args);
