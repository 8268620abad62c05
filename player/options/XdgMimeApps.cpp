#include "player/options/XdgMimeApps.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "common/AsciiCase.h"
#include "platform/system/RegularFile.h"
#include "player/options/MimeAppsList.h"

namespace {

std::vector<std::string> SplitList(const char* value, char separator) {
    std::vector<std::string> parts;
    if (!value) return parts;
    std::string part;
    for (const char* p = value;; ++p) {
        if (*p == separator || *p == '\0') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
            if (*p == '\0') break;
        } else {
            part += *p;
        }
    }
    return parts;
}

std::string HomeOr(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    if (value && *value == '/') return value;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + fallback;
}

bool IsRegular(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

XdgMimeApps::Folders XdgMimeApps::FromEnvironment() {
    Folders f;
    f.configHome = HomeOr("XDG_CONFIG_HOME", "/.config");
    f.dataHome = HomeOr("XDG_DATA_HOME", "/.local/share");
    f.configDirs = SplitList(std::getenv("XDG_CONFIG_DIRS"), ':');
    if (f.configDirs.empty()) f.configDirs = {"/etc/xdg"};
    f.dataDirs = SplitList(std::getenv("XDG_DATA_DIRS"), ':');
    if (f.dataDirs.empty()) f.dataDirs = {"/usr/local/share", "/usr/share"};
    for (std::string desktop : SplitList(std::getenv("XDG_CURRENT_DESKTOP"), ':')) {
        for (char& c : desktop) c = FoldAscii(c);
        f.desktops.push_back(desktop);
    }
    return f;
}

std::vector<std::string> XdgMimeApps::ListPaths() const {
    std::vector<std::string> folders = {folders_.configHome};
    folders.insert(folders.end(), folders_.configDirs.begin(), folders_.configDirs.end());
    folders.push_back(folders_.dataHome + "/applications");
    for (const std::string& dir : folders_.dataDirs) folders.push_back(dir + "/applications");
    std::vector<std::string> paths;
    for (const std::string& folder : folders) {
        for (const std::string& desktop : folders_.desktops)
            paths.push_back(folder + "/" + desktop + "-mimeapps.list");
        paths.push_back(folder + "/mimeapps.list");
    }
    return paths;
}

std::optional<std::string> XdgMimeApps::DefaultOf(const std::string& type) const {
    for (const std::string& path : ListPaths()) {
        std::string text;
        if (RegularFile::ReadWhole(path, kMaxListBytes, text) != RegularFile::Status::Ok)
            continue;
        const auto value = MimeAppsList(text).Value(MimeAppsList::kDefaultGroup, type);
        if (!value) continue;
        for (const std::string& id : SplitList(value->c_str(), ';'))
            if (IsInstalled(id)) return id;
    }
    return std::nullopt;
}

bool XdgMimeApps::IsInstalled(const std::string& id) const {
    if (id.empty() || id.find('/') != std::string::npos || id == "." || id == "..") return false;
    std::vector<std::string> dirs = {folders_.dataHome};
    dirs.insert(dirs.end(), folders_.dataDirs.begin(), folders_.dataDirs.end());
    for (const std::string& dir : dirs) {
        const std::string apps = dir + "/applications";
        if (IsRegular(apps + "/" + id)) return true;
        // "vendor-name.desktop" may live as vendor/name.desktop, or one folder down.
        const size_t dash = id.rfind('-');
        if (dash != std::string::npos &&
            IsRegular(apps + "/" + id.substr(0, dash) + "/" + id.substr(dash + 1)))
            return true;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(apps, error)) {
            if (entry.is_directory(error) && IsRegular(entry.path().string() + "/" + id))
                return true;
        }
    }
    return false;
}
