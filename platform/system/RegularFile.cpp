#include "platform/system/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace {

std::string TooLarge(uint64_t maxBytes) {
    return "larger than " + std::to_string(maxBytes) + " bytes";
}

}  // namespace

RegularFile::RegularFile(const std::string& path, uint64_t maxBytes) : bound_(maxBytes) {
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        status_ = errno == ENOENT || errno == ENOTDIR ? Status::Absent : Status::Failed;
        refusal_ = std::strerror(errno);
        return;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        status_ = Status::Refused;
        refusal_ = "not a regular file";
        return;
    }
    if (static_cast<uint64_t>(info.st_size) > maxBytes) {
        ::close(fd);
        status_ = Status::Refused;
        refusal_ = TooLarge(maxBytes);
        return;
    }
    fd_ = fd;
    size_ = static_cast<uint64_t>(info.st_size);
    status_ = Status::Ok;
}

RegularFile::~RegularFile() { Close(); }

RegularFile::RegularFile(RegularFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      status_(std::exchange(other.status_, Status::Absent)),
      size_(std::exchange(other.size_, 0)),
      bound_(other.bound_),
      refusal_(std::move(other.refusal_)) {}

RegularFile& RegularFile::operator=(RegularFile&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        status_ = std::exchange(other.status_, Status::Absent);
        size_ = std::exchange(other.size_, 0);
        bound_ = other.bound_;
        refusal_ = std::move(other.refusal_);
    }
    return *this;
}

void RegularFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::string RegularFile::Location() const {
    return fd_ < 0 ? std::string() : "/proc/self/fd/" + std::to_string(fd_);
}

std::string RegularFile::Uri() const { return fd_ < 0 ? std::string() : "file://" + Location(); }

size_t RegularFile::Read(void* buffer, size_t size) {
    size_t total = 0;
    while (fd_ >= 0 && total < size) {
        const ssize_t got = ::read(fd_, static_cast<char*>(buffer) + total, size - total);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        total += static_cast<size_t>(got);
    }
    return total;
}

RegularFile::Status RegularFile::ReadAll(std::string& bytes) {
    bytes.clear();
    if (fd_ < 0) return status_ == Status::Ok ? Status::Failed : status_;
    // Room for what fstat said and one byte more, so a file that grew since shows at once;
    // the buffer grows while the file does, up to one byte past the bound. The kernel's
    // own text files say 0 and hold more.
    const uint64_t limit = bound_ == kAnySize ? kAnySize : bound_ + 1;
    std::string data(static_cast<size_t>(std::min(limit, size_ + 1)), '\0');
    size_t got = 0;
    for (;;) {
        if (got == data.size()) {
            if (data.size() == limit) break;
            data.resize(static_cast<size_t>(std::min<uint64_t>(limit, data.size() * 2)));
        }
        const ssize_t n = ::read(fd_, data.data() + got, data.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            refusal_ = std::strerror(errno);
            return Status::Failed;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    if (got > bound_) {
        refusal_ = TooLarge(bound_);
        return Status::Refused;
    }
    data.resize(got);
    bytes = std::move(data);
    return Status::Ok;
}

int RegularFile::Release() { return std::exchange(fd_, -1); }

RegularFile::Status RegularFile::ReadWhole(const std::string& path, uint64_t maxBytes,
                                           std::string& bytes, std::string* error) {
    bytes.clear();
    RegularFile file(path, maxBytes);
    const Status status = file.IsOpen() ? file.ReadAll(bytes) : file.Result();
    if (error && status != Status::Ok && status != Status::Absent)
        *error = path + ": " + file.Refusal();
    return status;
}
