#include "player/options/SkinPackages.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "common/AsciiCase.h"
#include "platform/system/Paths.h"
#include "platform/system/RegularFile.h"

namespace skinpackages {
namespace {

bool EndsWithPackage(const std::string& name) {
    const size_t n = std::strlen(kExtension);
    return name.size() > n && name.compare(name.size() - n, n, kExtension) == 0;
}

}  // namespace

std::vector<std::string> List(const std::string& skinsFolder) {
    std::vector<std::string> names;
    DIR* dir = opendir(skinsFolder.c_str());
    if (!dir) return names;
    while (const dirent* entry = readdir(dir)) {
        const std::string file = entry->d_name;
        if (!EndsWithPackage(file)) continue;
        struct stat st {};
        if (stat((skinsFolder + "/" + file).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        names.push_back(file.substr(0, file.size() - std::strlen(kExtension)));
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> Folders(const std::string& appDataFolder,
                                 const std::string& programFolder) {
    std::vector<std::string> folders;
    for (const std::string* base : {&appDataFolder, &programFolder})
        if (!base->empty()) folders.push_back(*base + "/skins");
    return folders;
}

std::string Find(const std::vector<std::string>& folders, const std::string& name) {
    for (const std::string& folder : folders) {
        const std::vector<std::string> names = List(folder);
        if (std::binary_search(names.begin(), names.end(), name))
            return folder + "/" + name + kExtension;
    }
    return {};
}

std::vector<std::string> ListAll(const std::vector<std::string>& folders) {
    std::vector<std::string> names;
    for (const std::string& folder : folders) {
        const std::vector<std::string> more = List(folder);
        names.insert(names.end(), more.begin(), more.end());
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

std::optional<StartPackage> ChooseStartPackage(const std::vector<std::string>& folders,
                                               const std::string& name) {
    const bool plain = !name.empty() && name.find('/') == std::string::npos && name != "." && name != "..";
    for (const std::string& folder : folders) {
        const std::string path = folder + "/" + name + kExtension;
        if (plain && RegularFile(path).IsOpen()) return StartPackage{path, name, true};
    }
    std::vector<std::pair<std::string, std::string>> packages;  // file name, path
    for (const std::string& folder : folders) {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
            const std::string file = entry.path().filename().string();
            if (file.size() > 4 && EndsWithNoCase(file, kExtension) &&
                RegularFile(entry.path().string()).IsOpen())
                packages.emplace_back(file, entry.path().string());
        }
    }
    std::stable_sort(packages.begin(), packages.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    if (packages.empty()) return std::nullopt;
    const auto& [file, path] = packages.front();
    return StartPackage{path, file.substr(0, file.size() - 4), false};
}

bool Install(const std::string& source, const std::string& skinsFolder, std::string& name,
             std::string& error) {
    const size_t slash = source.rfind('/');
    const std::string file = slash == std::string::npos ? source : source.substr(slash + 1);
    if (!EndsWithPackage(file)) {
        error = file + " is not a skin package (*.krs)";
        return false;
    }
    RegularFile package(source);
    if (!package.IsOpen()) {
        error = source + ": " + package.Refusal();
        return false;
    }
    const int in = package.Descriptor();
    const std::string target = skinsFolder + "/" + file;
    if (!paths::EnsureFolder(skinsFolder)) {
        error = skinsFolder + ": the folder cannot be made";
        return false;
    }
    const int out = open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (out < 0) {
        error = target + ": " + std::strerror(errno);
        return false;
    }
    char buffer[65536];
    bool ok = true;
    for (;;) {
        const ssize_t n = read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = source + ": " + std::strerror(errno);
            ok = false;
            break;
        }
        if (n == 0) break;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = write(out, buffer + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) {
                error = target + ": " + std::strerror(w < 0 ? errno : ENOSPC);
                ok = false;
                break;
            }
            done += w;
        }
        if (!ok) break;
    }
    if (close(out) != 0 && ok) {
        error = target + ": " + std::strerror(errno);
        ok = false;
    }
    if (!ok) {
        unlink(target.c_str());
        return false;
    }
    name = file.substr(0, file.size() - std::strlen(kExtension));
    return true;
}

bool LooksLikePackage(const std::string& path) {
    RegularFile file(path);
    unsigned char head[4] = {};
    return file.Read(head, sizeof head) == 4 && head[0] == 'P' && head[1] == 'K' && head[2] == 3 &&
           head[3] == 4;
}

}  // namespace skinpackages
