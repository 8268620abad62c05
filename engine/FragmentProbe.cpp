#include "engine/FragmentProbe.h"

#include <sys/resource.h>

#include <algorithm>
#include <unordered_map>

namespace {

constexpr char kReadingCaption[] = "Kalvor Wizard - Reading the fragments";
constexpr char kReadingItem[] = "file";
// Descriptors beside the inputs': the graph's own files, sockets and the libraries' threads.
constexpr rlim_t kOtherDescriptors = 256;

// Every distinct file stays open until the graph is gone: room for them all, as far as the
// hard limit goes. A file past it is refused when it is read, and says why.
void MakeRoomFor(size_t files) {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return;
    const rlim_t needed = rlim_t(files) + kOtherDescriptors;
    if (limit.rlim_cur >= needed) return;
    limit.rlim_cur = std::min(needed, limit.rlim_max);
    setrlimit(RLIMIT_NOFILE, &limit);
}

}  // namespace

FragmentFacts ProbeFragments(IPageDriver& pages, WizardState& state,
                             const std::vector<InputFragment>& fragments, FileProbe probe) {
    if (!probe) {
        probe = [](const std::string& path, RegularFile& file, editing::MediaDetFacts& facts,
                   std::string* error) {
            file = RegularFile(path);
            return editing::MediaDet().Probe(file, path, facts, error);
        };
    }
    // Each fragment's index into the distinct paths, which keep their first-named order.
    std::vector<std::string> paths;
    std::vector<size_t> fileOf(fragments.size());
    std::unordered_map<std::string, size_t> known;
    for (size_t i = 0; i < fragments.size(); ++i) {
        const auto [at, added] = known.try_emplace(fragments[i].path, paths.size());
        if (added) paths.push_back(fragments[i].path);
        fileOf[i] = at->second;
    }

    MakeRoomFor(paths.size());
    std::vector<editing::MediaDetFacts> files(paths.size());
    std::vector<std::shared_ptr<RegularFile>> checked(paths.size());
    std::string error;
    BackgroundWork work;
    work.caption = kReadingCaption;
    work.item = kReadingItem;
    work.total = static_cast<int>(paths.size());
    work.run = [&](const std::atomic<bool>& stop, std::atomic<int>& done) {
        for (size_t i = 0; i < paths.size() && !stop; ++i) {
            checked[i] = std::make_shared<RegularFile>();
            if (!probe(paths[i], *checked[i], files[i], &error)) {
                if (error.empty()) error = "Cannot read " + paths[i] + ".";
                return;
            }
            done = static_cast<int>(i) + 1;
        }
    };
    FragmentFacts result;
    result.stopped = !pages.RunInBackground(state, work);
    if (result.stopped) return result;
    if (!error.empty()) {
        result.error = error;
        return result;
    }
    result.facts.reserve(fragments.size());
    result.files.reserve(fragments.size());
    for (size_t file : fileOf) {
        result.facts.push_back(files[file]);
        result.files.push_back(checked[file]);
    }
    return result;
}
