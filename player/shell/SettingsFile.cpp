#include "player/shell/SettingsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/system/AtomicFile.h"
#include "platform/system/Paths.h"

namespace {

// Reads at most size bytes; -1 when the file cannot be opened as a regular file. O_NONBLOCK
// keeps a FIFO under the name from holding up the start (and the instance lock with it).
ssize_t ReadPrefix(const std::string& path, void* buffer, size_t size) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    size_t total = 0;
    while (total < size) {
        const ssize_t got = ::read(fd, static_cast<char*>(buffer) + total, size - total);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        total += static_cast<size_t>(got);
    }
    ::close(fd);
    return static_cast<ssize_t>(total);
}

}  // namespace

SettingsLoadResult LoadSettings(const std::string& userFolder, const std::string& programFolder,
                                PlayerSettings& settings) {
    SettingsLoadResult result;
    const std::pair<SettingsSource, std::string> candidates[] = {
        {SettingsSource::User, paths::Join(userFolder, kOptionsFileName)},
        {SettingsSource::Installed, paths::Join(programFolder, kOptionsFileName)},
    };
    for (const auto& [source, path] : candidates) {
        PlayerSettings record = InstalledSettings();
        const ssize_t got = ReadPrefix(path, &record, sizeof record);
        if (got < 0) continue;
        ClampSettings(record);
        settings = record;
        result.source = source;
        result.path = path;
        result.bytesRead = static_cast<size_t>(got);
        return result;
    }
    settings = InstalledSettings();
    return result;
}

bool SaveSettings(const PlayerSettings& image, const std::string& userFolder, std::string* error) {
    if (!paths::EnsureFolder(userFolder)) {
        if (error) *error = "cannot create " + userFolder;
        return false;
    }
    return atomicfile::Write(paths::Join(userFolder, kOptionsFileName), &image, sizeof image, error);
}
