#include "platform/system/Paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>
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

// Why folder cannot be the private folder, or empty when it can. It must be ours alone: a
// symlink or someone else's folder could let another user read or plant files, and so
// could a parent that others may rename entries in. Our own folder is narrowed to 0700.
std::string RefusePrivateFolder(const std::string& folder) {
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return std::strerror(errno);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        struct stat link {};
        if (lstat(folder.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) return "a symlink";
        return error == ENOTDIR ? "not a folder" : std::strerror(error);
    }
    struct stat info {};
    std::string why;
    if (fstat(fd, &info) != 0) {
        why = std::strerror(errno);
    } else if (info.st_uid != geteuid()) {
        why = "owned by another user";
    } else if ((info.st_mode & 07777) != 0700 && fchmod(fd, 0700) != 0) {
        why = std::string("its mode cannot be narrowed: ") + std::strerror(errno);
    }
    ::close(fd);
    if (!why.empty()) return why;

    const size_t slash = folder.find_last_of('/');
    const std::string parent = slash == 0 ? "/" : folder.substr(0, slash);
    struct stat above {};
    if (stat(parent.c_str(), &above) != 0) return std::strerror(errno);
    const bool othersMayRename = (above.st_mode & 022) != 0 && (above.st_mode & S_ISVTX) == 0;
    if ((above.st_uid != geteuid() && above.st_uid != 0) || othersMayRename) {
        return "its parent folder is open to other users";
    }
    return {};
}

// Each refusal is said once per process, though the folder is asked for more than once.
void ReportRefusal(const std::string& text) {
    static std::mutex mutex;
    static std::set<std::string> reported;
    const std::string line = std::string(program_invocation_short_name) + ": " + text + "\n";
    std::lock_guard<std::mutex> lock(mutex);
    if (reported.insert(line).second) std::fputs(line.c_str(), stderr);
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

std::string UserCacheFolder() { return Join(XdgFolder("XDG_CACHE_HOME", ".cache"), kAppFolder); }

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
    const std::string why = RefusePrivateFolder(folder);
    if (why.empty()) return folder;

    // Anyone may make a name in /tmp first; the user's cache folder is out of their reach,
    // so the one-instance rule and the private files still hold.
    const std::string cacheHome = XdgFolder("XDG_CACHE_HOME", ".cache");
    const std::string cache = Join(cacheHome, kAppFolder);
    EnsureFolder(cacheHome);
    const std::string cacheWhy = RefusePrivateFolder(cache);
    const std::string refused = "the temporary folder " + folder + " is refused (" + why + ")";
    if (cacheWhy.empty()) {
        ReportRefusal(refused + "; using " + cache);
        return cache;
    }
    ReportRefusal(refused + ", and so is " + cache + " (" + cacheWhy + "); running without one");
    return {};
}

std::string ShortPrivateFolder(size_t maxLength) {
    const std::string name = std::string(kAppFolder) + "-" + std::to_string(geteuid());
    const char* tmp = std::getenv("TMPDIR");
    for (const char* parent : {tmp && tmp[0] == '/' ? tmp : "/tmp", "/tmp"}) {
        const std::string folder = Join(parent, name);
        if (folder.size() <= maxLength && RefusePrivateFolder(folder).empty()) return folder;
    }
    return {};
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
