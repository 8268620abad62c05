#include "engine/OutputRecord.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "platform/system/Paths.h"

namespace {

constexpr char kNotePrefix[] = "korc-output-";
// A note is written under this name and renamed once it is locked and complete, so that no
// run ever takes a note being written for a stale one.
constexpr char kPendingPrefix[] = "korc-pending-";
constexpr size_t kMaxNoteBytes = 4096;

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
        if (wrote <= 0) return false;
        done += static_cast<size_t>(wrote);
    }
    return true;
}

// The hidden temporary name OutputFile gives: "." + the output's name + "." + six characters.
bool IsHiddenTemporary(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (path.empty() || path[0] != '/' || slash == std::string::npos) return false;
    const std::string name = path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    return name.size() > 8 && name[0] == '.' && dot != std::string::npos && dot > 1 &&
           name.size() - dot - 1 == 6;
}

// The file a stale note names, read from its open descriptor; empty when it says nothing usable.
std::string NotedPath(int fd) {
    std::string text(kMaxNoteBytes, '\0');
    const ssize_t got = ::pread(fd, text.data(), text.size(), 0);
    if (got <= 0) return {};
    text.resize(static_cast<size_t>(got));
    return text.find('\0') == std::string::npos && IsHiddenTemporary(text) ? text : std::string();
}

}  // namespace

OutputRecord::~OutputRecord() { Drop(); }

void OutputRecord::Note(const std::string& temporaryPath) {
    Drop();
    const std::string folder = paths::TempFolder();
    if (folder.empty()) return;
    std::string pattern = paths::Join(folder, kPendingPrefix) + "XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return;
    const std::string pending = name.data();
    const std::string note = paths::Join(folder, kNotePrefix) + pending.substr(pending.size() - 6);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !WriteAll(fd, temporaryPath) ||
        ::rename(pending.c_str(), note.c_str()) != 0) {
        ::unlink(pending.c_str());
        ::close(fd);
        return;
    }
    fd_ = fd;
    path_ = note;
}

void OutputRecord::Drop() {
    if (fd_ < 0) return;
    ::unlink(path_.c_str());
    ::close(fd_);
    fd_ = -1;
    path_.clear();
}

int OutputRecord::RemoveStale() {
    const std::string folder = paths::TempFolder();
    DIR* dir = folder.empty() ? nullptr : ::opendir(folder.c_str());
    if (!dir) return 0;
    std::vector<std::string> notes;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        // A pending note of a killed run never named a file that was made.
        if (name.rfind(kNotePrefix, 0) == 0 || name.rfind(kPendingPrefix, 0) == 0)
            notes.push_back(paths::Join(folder, name));
    }
    ::closedir(dir);
    int removed = 0;
    for (const std::string& note : notes) {
        const int fd = ::open(note.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat info {};
        // A note a live run holds stays; so does anything that is not a note of ours.
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::getuid() ||
            ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            continue;
        }
        const std::string file = NotedPath(fd);
        struct stat written {};
        if (!file.empty() && ::lstat(file.c_str(), &written) == 0 && S_ISREG(written.st_mode) &&
            written.st_uid == ::getuid() && ::unlink(file.c_str()) == 0)
            ++removed;
        ::unlink(note.c_str());
        ::close(fd);
    }
    return removed;
}
