#include "engine/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
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
    std::string pattern = folder + "/." + path.filename().string() + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        if (error) *error = Reason("Cannot create a file in " + folder);
        return false;
    }
    // mkostemp makes the file private; the output gets the mode a new file would.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    fd_ = fd;
    final_ = finalPath;
    temporary_ = name.data();
    return true;
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
    return true;
}

void OutputFile::Discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}
