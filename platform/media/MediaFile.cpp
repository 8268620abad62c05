#include "platform/media/MediaFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace media {

MediaFile::MediaFile(const std::string& path) {
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        refusal_ = std::strerror(errno);
        return;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        refusal_ = "not a regular file";
        ::close(fd);
        return;
    }
    fd_ = fd;
}

MediaFile::~MediaFile() {
    if (fd_ >= 0) ::close(fd_);
}

MediaFile::MediaFile(MediaFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), refusal_(std::move(other.refusal_)) {}

MediaFile& MediaFile::operator=(MediaFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        refusal_ = std::move(other.refusal_);
    }
    return *this;
}

std::string MediaFile::Location() const {
    return fd_ < 0 ? std::string() : "/proc/self/fd/" + std::to_string(fd_);
}

std::string MediaFile::Uri() const { return fd_ < 0 ? std::string() : "file://" + Location(); }

}  // namespace media
