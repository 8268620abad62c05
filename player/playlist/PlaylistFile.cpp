#include "player/playlist/PlaylistFile.h"

#include <sys/stat.h>

#include "platform/system/AtomicFile.h"
#include "platform/system/RegularFile.h"

namespace playlistfile {

bool PathExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::optional<std::string> ReadBytes(const std::string& path, std::string* error) {
    std::string bytes;
    const RegularFile::Status result =
        RegularFile::ReadWhole(path, playlistformat::kMaxFileBytes, bytes, error);
    if (result == RegularFile::Status::Ok) return bytes;
    if (result == RegularFile::Status::Absent && error) *error = path + ": no such file";
    return std::nullopt;
}

std::optional<std::vector<MediaEntry>> Load(const std::string& path, const ExistsFunction& exists,
                                            std::string* error, const std::atomic<bool>* stop) {
    const std::optional<std::string> bytes = ReadBytes(path, error);
    if (!bytes) return std::nullopt;
    const bool m3u = playlistformat::HasM3uHeader(*bytes);
    const bool pls = playlistformat::HasPlsHeader(*bytes);
    if (!m3u && !pls) {
        if (error) *error = "not a playlist";
        return std::nullopt;
    }
    std::vector<MediaEntry> written;
    if (m3u) written = playlistformat::ReadM3u(*bytes);
    if (pls) {
        std::vector<MediaEntry> more = playlistformat::ReadPls(*bytes);
        more.resize(std::min(more.size(), playlistformat::kMaxEntries - written.size()));
        written.insert(written.end(), std::make_move_iterator(more.begin()),
                       std::make_move_iterator(more.end()));
    }
    // Resolved in place: a million entries are not copied.
    const std::string folder = FolderOf(path);
    size_t kept = 0;
    for (size_t i = 0; i < written.size(); ++i) {
        if (stop && i % 4096 == 0 && stop->load()) return std::nullopt;
        // A relative path is taken from the playlist's folder; one that does not exist is
        // dropped.
        std::string& entryPath = written[i].path;
        if (entryPath.empty()) continue;
        if (entryPath.front() != '/') entryPath.insert(0, folder);
        if (!exists(entryPath)) continue;
        if (kept != i) written[kept] = std::move(written[i]);
        ++kept;
    }
    written.resize(kept);
    written.shrink_to_fit();
    return written;
}

bool Save(const std::string& path, playlistformat::Kind kind,
          const std::vector<MediaEntry>& entries, std::string* error) {
    const std::string text = kind == playlistformat::Kind::Pls ? playlistformat::WritePls(entries)
                                                               : playlistformat::WriteM3u(entries);
    return atomicfile::Write(path, text.data(), text.size(), error);
}

}  // namespace playlistfile
