// Whatever a stranger's skin package holds, unpacking it writes only below the skin folder
// and never crashes.
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "player/skin/SkinUnpacker.h"

static std::string g_root;

// Only the package and, in the runtime folder, the skin folder may exist after an unpack.
static void ExpectOnly(const std::string& dir, const std::string& a, const std::string& b = "") {
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.path().filename() != a && entry.path().filename() != b) std::abort();
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/tmp/kalvor-skin-fuzz-XXXXXX";
    if (!mkdtemp(pattern)) std::abort();
    g_root = pattern;
    mkdir((g_root + "/runtime").c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", (g_root + "/runtime").c_str(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::ofstream(g_root + "/package.krs", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    std::ostringstream messages;
    std::istringstream console;
    SkinUnpacker(messages, console).UnpackSkin(g_root + "/package.krs");
    ExpectOnly(g_root, "runtime", "package.krs");
    ExpectOnly(g_root + "/runtime/Kalvor", "_krsktmp");
    return 0;
}
