#include "player/skin/SkinUnpacker.h"

#include <fcntl.h>
#include <minizip/unzip.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <new>
#include <utility>

#include "common/AsciiCase.h"
#include "platform/system/Paths.h"
#include "platform/system/RegularFile.h"

namespace {

class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    ~UniqueFd() {
        if (fd_ >= 0) close(fd_);
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            if (fd_ >= 0) close(fd_);
            fd_ = other.release();
        }
        return *this;
    }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int size = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(size > 0 ? static_cast<size_t>(size) : 0, '\0');
    if (size > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);
    return text;
}

// Splits an entry name at "/" and "\" (archives made on Windows use both). False for a
// name that would leave the destination: absolute, or with a ".." component.
bool SplitEntryName(const std::string& name, std::vector<std::string>& folders, std::string& file) {
    folders.clear();
    file.clear();
    if (name.empty() || name[0] == '/' || name[0] == '\\') return false;
    size_t start = 0;
    while (true) {
        const size_t end = name.find_first_of("/\\", start);
        std::string part =
            name.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part == "..") return false;
        if (end == std::string::npos) {
            if (part != ".") file = std::move(part);
            return true;
        }
        if (!part.empty() && part != ".") folders.push_back(std::move(part));
        start = end + 1;
    }
}

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// minizip's own opener would wait on a FIFO and read a device for ever; only a regular file
// is handed to its stdio reader.
voidpf ZCALLBACK OpenRegularFile(voidpf, const void* filename, int mode) {
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
    RegularFile package(static_cast<const char*>(filename));
    if (!package.IsOpen()) return nullptr;
    const int fd = package.Release();
    FILE* file = fdopen(fd, "rb");
    if (!file) close(fd);
    return file;
}

unzFile OpenArchive(const std::string& path) {
    zlib_filefunc64_def functions{};
    fill_fopen64_filefunc(&functions);
    functions.zopen64_file = OpenRegularFile;
    return unzOpen2_64(path.c_str(), &functions);
}

void RemoveTree(const std::string& path) {
    std::error_code error;
    std::filesystem::remove_all(path, error);  // removes symlinks, never what they point to
}

bool PathExists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

}  // namespace

SkinUnpacker::SkinUnpacker(std::ostream& out, std::istream& in) : out_(out), in_(in) {}

std::string SkinUnpacker::SkinFolder() {
    const std::string temp = paths::TempFolder();
    return temp.empty() ? std::string() : paths::Join(temp, kSkinFolderName);
}

std::string SkinUnpacker::FailureMessage(const std::string& packagePath, const std::string& why) {
    return "The skin package " + packagePath + " cannot be used: " + why + ".";
}

bool SkinUnpacker::UnpackSkin(const std::string& packagePath) {
    failure_.clear();
    const std::string folder = SkinFolder();
    if (folder.empty()) {
        failure_ = "there is no private temporary folder to unpack it into";
        return false;
    }
    const std::string fresh = folder + ".new";
    const std::string old = folder + ".old";
    RemoveTree(fresh);
    RemoveTree(old);
    if (mkdir(fresh.c_str(), 0700) != 0) {
        failure_ = "the folder " + fresh + " cannot be made";
        return false;
    }

    SetDestination(fresh);
    if (ExtractArchive({"", packagePath, "-o"}) != 0) {
        if (failure_.empty()) failure_ = "its files cannot be unpacked";
        RemoveTree(fresh);
        return false;
    }
    // Only a complete new skin replaces the current one.
    if (PathExists(folder) && rename(folder.c_str(), old.c_str()) != 0) {
        failure_ = "the folder " + folder + " cannot be replaced";
        RemoveTree(fresh);
        return false;
    }
    if (rename(fresh.c_str(), folder.c_str()) != 0) {
        failure_ = "the folder " + folder + " cannot be replaced";
        rename(old.c_str(), folder.c_str());
        RemoveTree(fresh);
        return false;
    }
    RemoveTree(old);
    return true;
}

int SkinUnpacker::ExtractArchive(const std::vector<std::string>& args) {
    bool list = false;
    bool withoutPath = false;
    bool overwriteAll = false;
    std::vector<std::string> plain;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!arg.empty() && arg[0] == '-') {
            for (char c : arg.substr(1)) {
                const char option = FoldAscii(c);
                if (option == 'l' || option == 'v') list = true;
                if (option == 'x') list = false;
                if (option == 'e') withoutPath = true;
                if (option == 'o') overwriteAll = true;
            }
        } else if (plain.size() < 2) {
            plain.push_back(arg);
        }
    }
    if (plain.empty()) return 1;

    const std::string& path = plain[0];
    std::string opened = path;
    unzFile archive = OpenArchive(path);
    if (!archive) {
        opened = path + ".zip";
        archive = OpenArchive(opened);
    }
    if (!archive) {
        out_ << Format("Cannot open %s or %s.zip\n", path.c_str(), path.c_str());
        failure_ = kNotAnArchive;
        return 1;
    }
    out_ << Format("%s opened\n", opened.c_str());

    unz_global_info global{};
    int result = unzGetGlobalInfo(archive, &global);
    if (result != UNZ_OK) {
        out_ << Format("error %d with zipfile in unzGetGlobalInfo\n", result);
    } else if (global.number_entry > kMaxEntries) {
        out_ << Format("too many entries in the zipfile: %lu\n", global.number_entry);
        result = UNZ_BADZIPFILE;
    } else if (list) {
        result = ListArchive(archive);
    } else {
        UniqueFd root(open(destination_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (root.get() < 0) {
            out_ << Format("error opening %s\n", destination_.c_str());
            result = -1;
        } else {
            root_ = root.get();
            extractedBytes_ = 0;
            result = plain.size() > 1
                         ? ExtractOneEntry(archive, plain[1], withoutPath, overwriteAll)
                         : ExtractAllEntries(archive, withoutPath, overwriteAll);
            root_ = -1;
        }
    }
    unzClose(archive);
    return result;
}

int SkinUnpacker::ExtractAllEntries(void* archive, bool withoutPath, bool& overwriteAll) {
    unz_global_info info{};
    int error = unzGetGlobalInfo(archive, &info);
    if (error != UNZ_OK) {
        out_ << Format("error %d with zipfile in unzGetGlobalInfo\n", error);
        return error;
    }
    for (uLong i = 0; i < info.number_entry; ++i) {
        error = ExtractCurrentEntry(archive, withoutPath, overwriteAll);
        if (error != UNZ_OK) break;
        if (i + 1 < info.number_entry) {
            error = unzGoToNextFile(archive);
            if (error != UNZ_OK) {
                out_ << Format("error %d with zipfile in unzGoToNextFile\n", error);
                break;
            }
        }
    }
    return error;
}

int SkinUnpacker::ExtractOneEntry(void* archive, const std::string& name, bool withoutPath,
                                  bool& overwriteAll) {
    if (unzLocateFile(archive, name.c_str(), 0) != UNZ_OK) {
        out_ << Format("file %s not found in the zipfile\n", name.c_str());
        return 2;
    }
    return ExtractCurrentEntry(archive, withoutPath, overwriteAll) == UNZ_OK ? 0 : 1;
}

int SkinUnpacker::ExtractCurrentEntry(void* archive, bool withoutPath, bool& overwriteAll) {
    char nameBuffer[kEntryNameSize] = {};
    unz_file_info info{};
    int error = unzGetCurrentFileInfo(archive, &info, nameBuffer, sizeof nameBuffer, nullptr, 0,
                                      nullptr, 0);
    if (error != UNZ_OK) {
        out_ << Format("error %d with zipfile in unzGetCurrentFileInfo\n", error);
        return error;
    }
    // A cut name, or one with a zero inside, would be a different file than the entry's.
    const bool whole = info.size_filename < sizeof nameBuffer &&
                       std::memchr(nameBuffer, '\0', info.size_filename) == nullptr;
    nameBuffer[sizeof nameBuffer - 1] = '\0';
    const std::string name = nameBuffer;

    std::unique_ptr<char[]> buffer(new (std::nothrow) char[kCopyBufferSize]);
    if (!buffer) {
        out_ << "Error allocating memory\n";
        return UNZ_INTERNALERROR;
    }

    std::vector<std::string> folders;
    std::string file;
    if (!whole || !SplitEntryName(name, folders, file)) {
        out_ << Format("error opening %s\n", name.c_str());
        return UNZ_OK;  // skipped, like a file that cannot be created
    }
    if (file.empty()) {
        if (!withoutPath) {
            out_ << Format("creating directory: %s\n", name.c_str());
            UniqueFd created(MakeDirectoryPath(folders));
        }
        return UNZ_OK;
    }
    if (withoutPath) folders.clear();

    error = unzOpenCurrentFile(archive);
    if (error != UNZ_OK) {
        out_ << Format("error %d with zipfile in unzOpenCurrentFile\n", error);
        return error;
    }

    UniqueFd folder(MakeDirectoryPath(folders));
    struct stat existing {};
    const bool declined =
        folder.get() >= 0 && !overwriteAll &&
        fstatat(folder.get(), file.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0 &&
        !AskOverwrite(name, overwriteAll);
    UniqueFd output;
    if (folder.get() >= 0 && !declined) {
        // O_NOFOLLOW: an existing symlink fails the open instead of being written through.
        output = UniqueFd(openat(folder.get(), file.c_str(),
                                 O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                                 0644));
    }
    if (output.get() < 0 && !declined) out_ << Format("error opening %s\n", name.c_str());

    bool complete = false;
    if (output.get() >= 0) {
        out_ << Format(" extracting: %s\n", name.c_str());
        while (true) {
            const int read = unzReadCurrentFile(archive, buffer.get(), kCopyBufferSize);
            if (read < 0) {
                out_ << Format("error %d with zipfile in unzReadCurrentFile\n", read);
                error = read;
                break;
            }
            if (read == 0) {
                complete = true;
                break;
            }
            extractedBytes_ += static_cast<uint64_t>(read);
            if (extractedBytes_ > kMaxExtractedBytes ||
                !WriteAll(output.get(), buffer.get(), read)) {
                out_ << "error in writing extracted file\n";
                error = -1;
                break;
            }
        }
        if (complete) SetFileDosTime(output.get(), info.dosDate);
        output = UniqueFd();
    }

    const int closed = unzCloseCurrentFile(archive);
    if (complete && closed != UNZ_OK) {
        out_ << Format("error %d with zipfile in unzCloseCurrentFile\n", closed);
        error = closed;
    }
    return error;
}

int SkinUnpacker::ListArchive(void* archive) {
    unz_global_info global{};
    int error = unzGetGlobalInfo(archive, &global);
    if (error != UNZ_OK) {
        out_ << Format("error %d with zipfile in unzGetGlobalInfo\n", error);
        return error;
    }
    out_ << "  Length  Size     Name\n  ------  ----     ----\n";
    for (uLong i = 0; i < global.number_entry; ++i) {
        char name[kEntryNameSize] = {};
        unz_file_info info{};
        error =
            unzGetCurrentFileInfo(archive, &info, name, sizeof name - 1, nullptr, 0, nullptr, 0);
        if (error != UNZ_OK) {
            out_ << Format("error %d with zipfile in unzGetCurrentFileInfo\n", error);
            return error;
        }
        out_ << Format("%8lu  %7lu  %s\n", info.uncompressed_size, info.compressed_size, name);
        if (i + 1 < global.number_entry && (error = unzGoToNextFile(archive)) != UNZ_OK) {
            out_ << Format("error %d with zipfile in unzGoToNextFile\n", error);
            return error;
        }
    }
    return 0;
}

int SkinUnpacker::MakeDirectoryPath(const std::vector<std::string>& folders) {
    UniqueFd current(dup(root_));
    std::string made;
    for (const std::string& name : folders) {
        made += made.empty() ? name : "/" + name;
        if (mkdirat(current.get(), name.c_str(), 0755) != 0 && errno != EEXIST) {
            out_ << Format("couldn't create directory %s\n", made.c_str());
            return -1;
        }
        // O_NOFOLLOW: a symlink where a folder should be is never entered.
        UniqueFd next(
            openat(current.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (next.get() < 0) {
            out_ << Format("couldn't create directory %s\n", made.c_str());
            return -1;
        }
        current = UniqueFd(next.release());
    }
    return current.release();
}

bool SkinUnpacker::AskOverwrite(const std::string& name, bool& overwriteAll) {
    while (true) {
        out_ << Format("The file %s exist. Overwrite ? [y]es, [n]o, [A]ll: ", name.c_str());
        out_.flush();
        std::string answer;
        if (!(in_ >> answer)) return false;  // no console: keep the file
        const char letter = FoldAscii(answer[0]);
        if (letter == 'a') overwriteAll = true;
        if (letter == 'y' || letter == 'a') return true;
        if (letter == 'n') return false;
    }
}

void SkinUnpacker::SetFileDosTime(int fd, unsigned long dosDate) {
    // The DOS date and time are local time.
    std::tm local{};
    const unsigned long date = dosDate >> 16;
    local.tm_mday = static_cast<int>(date & 0x1F);
    local.tm_mon = static_cast<int>((date >> 5) & 0x0F) - 1;
    local.tm_year = static_cast<int>((date >> 9) & 0x7F) + 80;
    local.tm_hour = static_cast<int>((dosDate >> 11) & 0x1F);
    local.tm_min = static_cast<int>((dosDate >> 5) & 0x3F);
    local.tm_sec = static_cast<int>(dosDate & 0x1F) * 2;
    local.tm_isdst = -1;
    const time_t when = mktime(&local);
    if (when == static_cast<time_t>(-1)) return;
    // Linux keeps no creation time; the last-access time stays as it is.
    const timespec times[2] = {{0, UTIME_OMIT}, {when, 0}};
    futimens(fd, times);
}
