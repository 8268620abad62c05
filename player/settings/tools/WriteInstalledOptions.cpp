// Writes the installed options.cfg into the program folder at build time.

#include <cstdio>
#include <string>

#include "platform/system/AtomicFile.h"
#include "player/settings/PlayerSettings.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
        return 2;
    }
    const PlayerSettings settings = InstalledSettings();
    std::string error;
    if (!atomicfile::Write(argv[1], &settings, sizeof settings, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
