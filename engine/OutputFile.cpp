#include "engine/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <vector>

namespace {

std::string Canonical(const std::string& path) {
    std::error_code error;
    const std::filesystem::path canonical =
        std::filesystem::weakly_canonical(std::filesystem::absolute(path, error), error);
    return error ? path : canonical.string();
}

std::string Reason(const std::string& what) { return what + ": " + std::strerror(errno); }

}  // namespace

bool IsSameFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    struct stat first {
    }, second{};
    if (::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0)
        return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
    return Canonical(a) == Canonical(b);
}

OutputFile::~OutputFile() { Discard(); }

bool OutputFile::Create(const std::string& finalPath, std::string* error) {
    Discard();
    const std::filesystem::path path(finalPath);
    const std::string folder = path.has_parent_path() ? path.parent_path().string() : ".";
    const std::string stem = folder + "/." + path.filename().string() + ".";
    // The name is noted before the file exists: a run killed at any moment leaves no file
    // the next run does not know of.
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device entropy;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = stem;
        for (int i = 0; i < 6; ++i) name += kLetters[entropy() % (sizeof kLetters - 1)];
        record_.Note(name);
        const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) break;
        // Made private; the output gets the mode a new file would.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
        fd_ = fd;
        final_ = finalPath;
        temporary_ = name;
        return true;
    }
    if (error) *error = Reason("Cannot create a file in " + folder);
    record_.Drop();
    return false;
}

bool OutputFile::Commit(std::string* error) {
    auto fail = [&](const std::string& text) {
        if (error) *error = text;
        Discard();
        return false;
    };
    if (fd_ < 0) return fail("There is no output file to keep.");
    if (::fsync(fd_) != 0) return fail(Reason("Cannot write " + final_));
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return fail(Reason("Cannot write " + final_));
    if (::rename(temporary_.c_str(), final_.c_str()) != 0)
        return fail(Reason("Cannot rename " + temporary_ + " to " + final_));
    temporary_.clear();
    record_.Drop();
    return true;
}

void OutputFile::Discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
    record_.Drop();
}
