#include "platform/system/Paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace paths {
namespace {

constexpr char kAppFolder[] = "Kalvor";

// An XDG variable counts only when set to an absolute path.
std::string XdgFolder(const char* variable, const char* fallbackBelowHome) {
    const char* value = std::getenv(variable);
    if (value && value[0] == '/') return value;
    const char* home = std::getenv("HOME");
    return Join(home && home[0] ? home : "/", fallbackBelowHome);
}

// The private folder must be ours alone: a symlink or a folder of someone else could
// let another user read or plant files. Our own folder is narrowed to 0700 when wider.
bool MakePrivateFolder(const std::string& folder) {
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0) return false;
    if (!S_ISDIR(info.st_mode) || info.st_uid != geteuid()) return false;
    return (info.st_mode & 077) == 0 || chmod(folder.c_str(), 0700) == 0;
}

}  // namespace

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

std::string ProgramFolder() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return ".";
    return exe.parent_path().string();
}

std::string UserConfigFolder() { return Join(XdgFolder("XDG_CONFIG_HOME", ".config"), kAppFolder); }

std::string AppDataFolder() { return Join(XdgFolder("XDG_DATA_HOME", ".local/share"), kAppFolder); }

std::string TempFolder() {
    std::string folder;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/') {
        folder = Join(runtime, kAppFolder);
    } else {
        const char* tmp = std::getenv("TMPDIR");
        folder = Join(tmp && tmp[0] == '/' ? tmp : "/tmp",
                      std::string(kAppFolder) + "-" + std::to_string(geteuid()));
    }
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};
    return MakePrivateFolder(folder) ? folder : std::string();
}

bool EnsureFolder(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

std::string MakeAbsolute(const std::string& path) {
    if (path.empty() || path.front() == '/') return path;
    std::error_code error;
    const auto cwd = std::filesystem::current_path(error);
    if (error) return path;
    return (cwd / path).lexically_normal().string();
}

}  // namespace paths
