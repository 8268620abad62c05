#include "platform/system/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace atomicfile {
namespace {

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

}  // namespace atomicfile
