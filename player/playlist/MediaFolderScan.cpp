#include "player/playlist/MediaFolderScan.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "player/playlist/MediaFileTypes.h"

namespace mediafolderscan {

namespace {

namespace fs = std::filesystem;

void Scan(const fs::path& folder, int depth, std::vector<std::string>& out,
          const std::atomic<bool>* stop) {
    if (stop && stop->load()) return;
    std::vector<std::string> files;
    std::vector<std::string> folders;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        if (stop && stop->load(std::memory_order_relaxed)) return;
        const std::string name = it->path().filename().string();
        if (name.empty() || name.front() == '.') continue;
        std::error_code statError;
        if (it->is_symlink(statError)) {
            // A link to a file is the file; a link to a folder is not followed.
            if (it->is_regular_file(statError) && mediafiles::IsMediaFile(name))
                files.push_back(name);
        } else if (it->is_directory(statError)) {
            folders.push_back(name);
        } else if (it->is_regular_file(statError) && mediafiles::IsMediaFile(name)) {
            files.push_back(name);
        }
    }
    std::sort(files.begin(), files.end());
    std::sort(folders.begin(), folders.end());
    const std::string prefix = folder.string() == "/" ? "/" : folder.string() + "/";
    for (const std::string& name : files) {
        if (out.size() >= kMaxFiles) return;
        out.push_back(prefix + name);
    }
    if (depth >= kMaxDepth) return;
    for (const std::string& name : folders) Scan(folder / name, depth + 1, out, stop);
}

}  // namespace

std::vector<std::string> MediaFilesBelow(const std::string& folder, const std::atomic<bool>* stop) {
    std::vector<std::string> out;
    if (folder.empty()) return out;
    std::string root = folder;
    while (root.size() > 1 && root.back() == '/') root.pop_back();
    Scan(fs::path(root), 0, out, stop);
    return out;
}

}  // namespace mediafolderscan
