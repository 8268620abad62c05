// Any bytes of a stranger's playlist read into entries a row can hold, and what is read
// writes back into a file that reads the same. Built twice: M3U, and PLS with
// KALVOR_FUZZ_PLS.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "player/playlist/PlaylistFormats.h"

namespace {

#ifdef KALVOR_FUZZ_PLS
std::vector<MediaEntry> Read(std::string_view text) { return playlistformat::ReadPls(text); }
std::string Write(const std::vector<MediaEntry>& e) { return playlistformat::WritePls(e); }
#else
std::vector<MediaEntry> Read(std::string_view text) { return playlistformat::ReadM3u(text); }
std::string Write(const std::vector<MediaEntry>& e) { return playlistformat::WriteM3u(e); }
#endif

bool Holdable(const MediaEntry& e) {
    return !e.path.empty() && e.path.size() <= playlistformat::kMaxLineBytes &&
           std::isfinite(e.begin) && e.begin >= 0.0 &&
           (e.end > 0.0 || e.end == -1.0 || e.end == -2.0) && std::isfinite(e.end);
}

// Six decimals are what a file keeps of a value.
bool Near(double a, double b) { return std::fabs(a - b) <= 1e-5 + 1e-12 * std::fabs(a); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<MediaEntry> read =
        Read(std::string_view(reinterpret_cast<const char*>(data), size));
    if (read.size() > playlistformat::kMaxEntries) std::abort();
    std::vector<MediaEntry> writable;
    for (const MediaEntry& e : read) {
        if (!Holdable(e)) std::abort();
        if (e.path.find_first_of("\r\n") != std::string::npos) continue;
        // A file keeps six decimals, and no start for an entry that was never probed.
        const bool rounded = playlistformat::FormatSeconds(e.end) == "0.000000";
        writable.push_back({e.path, e.end == -1.0 ? 0.0 : e.begin, rounded ? -1.0 : e.end});
    }
    const std::vector<MediaEntry> again = Read(Write(read));
    if (again.size() != writable.size()) std::abort();
    for (size_t i = 0; i < again.size(); ++i) {
        if (again[i].path != writable[i].path || !Near(again[i].begin, writable[i].begin) ||
            !Near(again[i].end, writable[i].end))
            std::abort();
    }
    return 0;
}
