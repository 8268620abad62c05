#include "platform/registry/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace registry {
namespace {

ReadResult Fail(ReadResult result, const std::string& why, std::string* error) {
    if (error) *error = why;
    return result;
}

}  // namespace

ReadResult ReadRegularFile(const std::string& path, size_t maxBytes, std::string& bytes,
                           std::string* error) {
    bytes.clear();
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return ReadResult::Absent;
        return Fail(ReadResult::Failed, path + ": " + std::strerror(errno), error);
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return Fail(ReadResult::Refused, path + ": not a regular file", error);
    }
    if (static_cast<unsigned long long>(st.st_size) > maxBytes) {
        close(fd);
        return Fail(ReadResult::Refused,
                    path + ": larger than " + std::to_string(maxBytes) + " bytes", error);
    }
    // Room for what fstat says and one byte more, so a file that grew since shows at once;
    // the buffer grows while the file does, up to one byte past the bound.
    const size_t limit = maxBytes + 1;
    std::string data(std::min(limit, static_cast<size_t>(st.st_size) + 1), '\0');
    size_t got = 0;
    for (;;) {
        if (got == data.size()) {
            if (data.size() == limit) break;
            data.resize(std::min(limit, data.size() * 2));
        }
        const ssize_t n = read(fd, data.data() + got, data.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const std::string why = path + ": " + std::strerror(errno);
            close(fd);
            return Fail(ReadResult::Failed, why, error);
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    close(fd);
    if (got > maxBytes)
        return Fail(ReadResult::Refused,
                    path + ": larger than " + std::to_string(maxBytes) + " bytes", error);
    data.resize(got);
    bytes = std::move(data);
    return ReadResult::Ok;
}

}  // namespace registry
