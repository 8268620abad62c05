#include "common/FileAccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

struct Keyword {
    const char* text;
    void (*apply)(FileAccess::OpenParams&);
};

// Tested in this order by substring; a later hit overrides an earlier one, so
// "SharedForReadingWriting", which also holds "SharedForReading", ends with both shares.
const Keyword kKeywords[] = {
    {"SharedForReading", [](FileAccess::OpenParams& p) { p.share = FileAccess::kShareRead; }},
    {"SharedForWriting", [](FileAccess::OpenParams& p) { p.share = FileAccess::kShareWrite; }},
    {"SharedForReadingWriting",
     [](FileAccess::OpenParams& p) { p.share = FileAccess::kShareRead | FileAccess::kShareWrite; }},
    {"WriteOnly", [](FileAccess::OpenParams& p) { p.access = FileAccess::kGenericWrite; }},
    {"ReadOnly", [](FileAccess::OpenParams& p) { p.access = FileAccess::kGenericRead; }},
    {"ReadWrite",
     [](FileAccess::OpenParams& p) { p.access = FileAccess::kGenericRead | FileAccess::kGenericWrite; }},
    {"New",
     [](FileAccess::OpenParams& p) {
         p.disposition = FileAccess::kCreateNew;
         p.flagsAndAttributes = FileAccess::kAttributeNormal;
     }},
    {"AlwaysCreate",
     [](FileAccess::OpenParams& p) {
         p.disposition = FileAccess::kCreateAlways;
         p.flagsAndAttributes = FileAccess::kAttributeNormal;
     }},
};

int OpenFlags(const FileAccess::OpenParams& p) {
    // Without O_NONBLOCK a FIFO named as the file would block the open until a writer came.
    int flags = O_CLOEXEC | O_NONBLOCK;
    const bool reads = p.access & FileAccess::kGenericRead;
    const bool writes = p.access & FileAccess::kGenericWrite;
    if (reads && writes) {
        flags |= O_RDWR;
    } else if (writes) {
        flags |= O_WRONLY;
    } else {
        flags |= O_RDONLY;  // also for access 0, which only asks whether the file opens
    }
    if (p.disposition == FileAccess::kCreateNew) flags |= O_CREAT | O_EXCL;
    if (p.disposition == FileAccess::kCreateAlways) flags |= O_CREAT | O_TRUNC;
    return flags;
}

}  // namespace

FileAccess::FileAccess() { params_.isWin9x = IsWin9xPlatform(); }

FileAccess::~FileAccess() { Close(); }

FileAccess::OpenParams FileAccess::ParseMode(const char* mode) {
    OpenParams params;
    params.isWin9x = IsWin9xPlatform();
    if (!mode) return params;
    for (const Keyword& keyword : kKeywords) {
        if (std::strstr(mode, keyword.text)) keyword.apply(params);
    }
    return params;
}

int FileAccess::Open(const char* path, const char* mode) {
    if (isOpen_ == 1 || !path) return 0;
    OpenParams params = ParseMode(mode);
    int fd;
    do {
        fd = ::open(path, OpenFlags(params), 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return 0;
    // Only a regular file has an end: a FIFO or a device could feed a reader forever.
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int why = S_ISDIR(info.st_mode) ? EISDIR : info.st_mode ? EINVAL : errno;
        ::close(fd);
        errno = why;
        return 0;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    params.handle = fd;
    params_ = params;
    isOpen_ = 1;
    return 1;
}

int64_t FileAccess::Size() const {
    struct stat info;
    if (isOpen_ != 1 || fstat(params_.handle, &info) != 0) return -1;
    return info.st_size;
}

int FileAccess::Write(const void* data, int32_t n) {
    if (isOpen_ != 1 || n < 0) return 0;
    const char* bytes = static_cast<const char*>(data);
    size_t left = static_cast<size_t>(n);
    while (left > 0) {
        const ssize_t moved = ::write(params_.handle, bytes, left);
        if (moved < 0 && errno == EINTR) continue;
        if (moved <= 0) return 0;
        bytes += moved;
        left -= static_cast<size_t>(moved);
    }
    return 1;
}

int FileAccess::Read(void* data, int32_t n) {
    if (isOpen_ != 1 || n < 0) return 0;
    char* bytes = static_cast<char*>(data);
    size_t left = static_cast<size_t>(n);
    while (left > 0) {
        const ssize_t moved = ::read(params_.handle, bytes, left);
        if (moved < 0 && errno == EINTR) continue;
        if (moved <= 0) return 0;  // an end of file before n bytes is a short read
        bytes += moved;
        left -= static_cast<size_t>(moved);
    }
    return 1;
}

int FileAccess::Close() {
    if (isOpen_ != 1) return 1;
    isOpen_ = 0;
    const int result = ::close(params_.handle);
    params_.handle = -1;
    return result == 0 ? 1 : 0;
}
