#include "platform/system/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string_view>

namespace atomicfile {
namespace {

// A user's folder is small; a huge one is not worth scanning to the end at start-up.
constexpr size_t kMaxEntriesScanned = 100000;

// "." name "." <digits> "-" <digits> ".tmp", as Write makes them.
bool IsTemporaryName(std::string_view entry, const std::string& name) {
    const std::string prefix = "." + name + ".";
    constexpr std::string_view suffix = ".tmp";
    if (entry.size() <= prefix.size() + suffix.size() || !entry.starts_with(prefix) ||
        !entry.ends_with(suffix)) {
        return false;
    }
    entry = entry.substr(prefix.size(), entry.size() - prefix.size() - suffix.size());
    const size_t dash = entry.find('-');
    const auto digits = [](std::string_view part) {
        return !part.empty() && part.find_first_not_of("0123456789") == std::string_view::npos;
    };
    return dash != std::string_view::npos && digits(entry.substr(0, dash)) &&
           digits(entry.substr(dash + 1));
}

bool Fail(std::string* error, const std::string& what) {
    if (error) *error = what + ": " + std::strerror(errno);
    return false;
}

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

bool Write(const std::string& path, const void* data, size_t size, std::string* error) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);

    // Our own unique name rather than mkstemp, so that the file gets the mode (umask) that
    // a plain create would give it.
    static std::atomic<unsigned> counter{0};
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder + "." + name + "." + std::to_string(getpid()) + "-" +
               std::to_string(counter++) + ".tmp";
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return Fail(error, "cannot create a temporary file beside " + path);

    bool ok = WriteAll(fd, static_cast<const char*>(data), size);
    if (!ok) Fail(error, "cannot write " + path);
    if (ok && fsync(fd) != 0) ok = Fail(error, "cannot flush " + path);
    if (::close(fd) != 0 && ok) ok = Fail(error, "cannot close " + path);
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0) ok = Fail(error, "cannot replace " + path);
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

size_t RemoveLeftovers(const std::string& folder, const std::string& name) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return 0;
    struct stat info {};
    DIR* list = fstat(fd, &info) == 0 && info.st_uid == geteuid() ? fdopendir(fd) : nullptr;
    if (!list) {
        ::close(fd);
        return 0;
    }
    size_t removed = 0;
    size_t scanned = 0;
    while (const dirent* entry = readdir(list)) {
        if (++scanned > kMaxEntriesScanned) break;
        if (!IsTemporaryName(entry->d_name, name)) continue;
        struct stat file {};
        if (fstatat(fd, entry->d_name, &file, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(file.st_mode) ||
            file.st_uid != geteuid()) {
            continue;
        }
        if (unlinkat(fd, entry->d_name, 0) == 0) ++removed;
    }
    closedir(list);
    return removed;
}

}  // namespace atomicfile
