#include "player/playback/SubtitleFiles.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <memory>
#include <string_view>
#include <vector>

#include "common/AsciiCase.h"
#include "platform/system/AtomicFile.h"
#include "platform/system/Paths.h"

namespace subtitles {
namespace {

// SRT is told by its content, MicroDVD comes as .sub or .txt; the element reads both.
constexpr std::string_view kExtensions[] = {"srt", "sub", "txt"};
// A folder of media is not expected to hold more; past this the search gives up.
constexpr size_t kMaxEntries = 100000;

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

}  // namespace

bool IsSubtitleName(const std::string& name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) return false;
    const std::string_view extension = std::string_view(name).substr(dot + 1);
    return std::any_of(std::begin(kExtensions), std::end(kExtensions),
                       [&](std::string_view known) { return EqualsNoCase(extension, known); });
}

std::string FindBeside(const std::string& mediaPath) {
    const size_t slash = mediaPath.rfind('/');
    if (slash == std::string::npos) return {};
    const std::string folder = mediaPath.substr(0, slash + 1);
    const std::string mediaName = mediaPath.substr(slash + 1);
    const size_t dot = mediaName.rfind('.');
    const std::string stem =
        (dot == std::string::npos ? mediaName : mediaName.substr(0, dot)) + ".";

    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) return {};
    std::vector<std::string> candidates;
    size_t seen = 0;
    while (const dirent* entry = readdir(dir.get())) {
        if (++seen > kMaxEntries) return {};
        const std::string name = entry->d_name;
        if (name.size() > stem.size() && name.compare(0, stem.size(), stem) == 0 &&
            name != mediaName && IsSubtitleName(name))
            candidates.push_back(name);
    }
    // readdir's order is the file system's; the name order is the same on every run.
    std::sort(candidates.begin(), candidates.end());
    for (const std::string& name : candidates) {
        struct stat info {};
        if (stat((folder + name).c_str(), &info) == 0 && S_ISREG(info.st_mode))
            return folder + name;
    }
    return {};
}

bool WriteHandOver(const std::string& subtitlePath, std::string* error) {
    const std::string folder = paths::AppDataFolder();
    if (!paths::EnsureFolder(folder)) {
        if (error) *error = "cannot create " + folder;
        return false;
    }
    // The path with its terminating zero, as readers of the file expect.
    return atomicfile::Write(paths::Join(folder, kHandOverName), subtitlePath.c_str(),
                             subtitlePath.size() + 1, error);
}

}  // namespace subtitles
