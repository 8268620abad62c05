#include "engine/FragmentProbe.h"

#include <unordered_map>

namespace {

constexpr char kReadingCaption[] = "Kalvor Wizard - Reading the fragments";
constexpr char kReadingItem[] = "file";

}  // namespace

FragmentFacts ProbeFragments(IPageDriver& pages, WizardState& state,
                             const std::vector<InputFragment>& fragments, FileProbe probe) {
    if (!probe) {
        probe = [](const std::string& path, editing::MediaDetFacts& facts, std::string* error) {
            return editing::MediaDet().Probe(path, facts, error);
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

    std::vector<editing::MediaDetFacts> files(paths.size());
    std::string error;
    BackgroundWork work;
    work.caption = kReadingCaption;
    work.item = kReadingItem;
    work.total = static_cast<int>(paths.size());
    work.run = [&](const std::atomic<bool>& stop, std::atomic<int>& done) {
        for (size_t i = 0; i < paths.size() && !stop; ++i) {
            if (!probe(paths[i], files[i], &error)) {
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
    for (size_t file : fileOf) result.facts.push_back(files[file]);
    return result;
}
