// A skin package is a stranger's zip archive: whatever it holds, unpacking must write
// only below the skin folder and never crash.

#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "player/shell/SkinUnpacker.h"

namespace {

std::string g_root;

// Only the temporary folder (with the skin folder and its work folders beside it) and the
// package may exist below the root after an unpack.
void CheckNothingEscaped() {
    for (const auto& entry : std::filesystem::directory_iterator(g_root)) {
        const std::string name = entry.path().filename().string();
        if (name != "runtime" && name != "package.krs") std::abort();
    }
    for (const auto& entry : std::filesystem::directory_iterator(g_root + "/runtime/Kalvor")) {
        const std::string name = entry.path().filename().string();
        if (name != "_krsktmp") std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/tmp/kalvor-skin-fuzz-XXXXXX";
    if (!mkdtemp(pattern)) std::abort();
    g_root = pattern;
    mkdir((g_root + "/runtime").c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", (g_root + "/runtime").c_str(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string package = g_root + "/package.krs";
    {
        std::ofstream out(package, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    std::ostringstream messages;
    std::istringstream console;
    SkinUnpacker unpacker(messages, console);
    unpacker.UnpackSkin(package);
    CheckNothingEscaped();
    return 0;
}
