// Loads, sorts and filters a playlist-sized model, alone and under the list control, and
// prints how long each step takes. The times go into reviews, not into tests. The sorts are
// also timed on lists whose keys take only a few distinct values: ties are what make a
// quicksort's scans run long.

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "common/FindNoCase.h"
#include "player/playlist/MediaEntryLists.h"
#include "player/playlist/PlaylistFile.h"
#include "player/playlist/PlaylistFormats.h"
#include "player/playlist/XCListCtrl.h"

namespace {

const char* const kExtensions[] = {"avi", "mkv", "mp3", "ogg", "wav", "MP4", "flac", "mpg"};

std::vector<MediaEntry> MakeEntries(int count) {
    std::mt19937 random(12345);
    std::vector<MediaEntry> entries;
    entries.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const unsigned folder = random() % 500;
        const unsigned name = random();
        MediaEntry entry;
        entry.path = "/home/user/Media/folder" + std::to_string(folder) + "/Track " +
                     std::to_string(name) + "." + kExtensions[random() % std::size(kExtensions)];
        entry.begin = 0.0;
        entry.end = (random() % 4 == 0) ? -1.0 : double(random() % 7200) + 0.5;
        entries.push_back(std::move(entry));
    }
    return entries;
}

// Every field drawn from `distinct` values (0: all different), so each sort sees that many
// distinct keys: names, folders, extensions and lengths.
std::vector<MediaEntry> MakeTiedEntries(int count, int distinct) {
    std::mt19937 random(777);
    std::vector<MediaEntry> entries;
    entries.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const unsigned key = distinct > 0 ? random() % unsigned(distinct) : random();
        const std::string k = std::to_string(key);
        MediaEntry entry;
        entry.path = "/home/user/Media/folder" + k + "/Track " + k + ".ext" + k;
        entry.end = double(key) + 1.0;
        entries.push_back(std::move(entry));
    }
    return entries;
}

double Time(const std::function<void()>& step) {
    const auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

std::vector<std::string> TypeKeys(const MediaEntryLists& lists) {
    std::vector<std::string> keys;
    for (int row = 0; row < lists.Count(); ++row) {
        const std::string& path = lists.Entry(row).path;
        const size_t dot = path.rfind('.');
        keys.push_back(dot == std::string::npos ? "   " : path.substr(dot + 1));
    }
    return keys;
}

void SortByDirectory(MediaEntryLists& lists) {
    std::vector<std::string> none;
    lists.SetKeysArePaths(true);
    lists.SortByStringKeys(none, 1);
    lists.SetKeysArePaths(false);
}

std::vector<double> DurationKeys(const MediaEntryLists& lists) {
    std::vector<double> keys;
    for (int row = 0; row < lists.Count(); ++row) {
        const MediaEntry& entry = lists.Entry(row);
        keys.push_back((entry.end < 0 ? 3.6e9 : entry.end) - entry.begin);
    }
    return keys;
}

// The four sorts of the playlist's menu on a list with the given number of distinct keys.
void RunTies(int count, int distinct) {
    MediaEntryLists lists;
    for (const MediaEntry& entry : MakeTiedEntries(count, distinct))
        lists.AddEntry(lists.Count(), entry.path, entry.begin, entry.end);
    std::vector<std::string> types = TypeKeys(lists);
    std::vector<double> lengths = DurationKeys(lists);
    const double name = Time([&] { lists.SortByColumnText(0, 1); });
    const double duration = Time([&] { lists.SortByNumberKeys(lengths, 1); });
    const double directory = Time([&] { SortByDirectory(lists); });
    const double type = Time([&] { lists.SortByStringKeys(types, 1); });
    char label[32];
    std::snprintf(label, sizeof label, distinct > 0 ? "%d distinct" : "all distinct", distinct);
    std::printf("  %-12s  name %8.1f  duration %8.1f  directory %8.1f  type %8.1f ms\n", label,
                name, duration, directory, type);
}

// A playlist file of count entries over 1,000 real files in a scratch folder: its read and
// parse alone, then the whole load with every path resolved on disk, then into a model.
void RunPlaylistFile(int count) {
    namespace fs = std::filesystem;
    char pattern[] = "/tmp/entry-bench-XXXXXX";
    if (!mkdtemp(pattern)) return;
    const std::string folder = std::string(pattern) + "/";
    for (int i = 0; i < 1000; ++i) std::ofstream(folder + "Track " + std::to_string(i) + ".mp3");
    std::vector<MediaEntry> entries;
    for (int i = 0; i < count; ++i) {
        const std::string name = "Track " + std::to_string(i % 1000) + ".mp3";
        entries.push_back({i % 2 ? folder + name : name, i % 3 ? 0.0 : 1.5, i % 4 ? 60.0 : -1.0});
    }
    for (playlistformat::Kind kind : {playlistformat::Kind::M3u, playlistformat::Kind::Pls}) {
        const bool m3u = kind == playlistformat::Kind::M3u;
        const std::string path = folder + (m3u ? "list.m3u" : "list.pls");
        if (!playlistfile::Save(path, kind, entries)) return;
        size_t parsed = 0;
        const double parse = Time([&] {
            const std::string bytes = playlistfile::ReadBytes(path).value_or("");
            parsed = (m3u ? playlistformat::ReadM3u(bytes) : playlistformat::ReadPls(bytes)).size();
        });
        size_t loaded = 0;
        MediaEntryLists lists;
        const double load = Time([&] {
            const auto found = playlistfile::Load(path, playlistfile::PathExists);
            lists.BeginUpdate();
            for (const MediaEntry& entry : found.value_or(std::vector<MediaEntry>{}))
                lists.AddEntry(lists.Count(), entry.path, entry.begin, entry.end);
            lists.EndUpdate();
            loaded = size_t(lists.Count());
        });
        std::printf(
            "  %s of %zu entries (%.1f MB): read and parse %8.1f ms, load with paths "
            "resolved into a model (%zu) %8.1f ms\n",
            m3u ? "M3U" : "PLS", parsed, double(fs::file_size(path)) / 1e6, parse, loaded, load);
    }
    fs::remove_all(pattern);
}

// Every step of a session: load, the four sorts, a filter and back.
void Run(const char* title, MediaEntryLists& lists, const std::vector<MediaEntry>& source,
         bool batched) {
    std::printf("%s\n", title);
    const double load = Time([&] {
        if (batched) lists.BeginUpdate();
        for (const MediaEntry& entry : source)
            lists.AddEntry(lists.Count(), entry.path, entry.begin, entry.end);
        if (batched) lists.EndUpdate();
    });
    std::printf("  load %d entries%s: %8.1f ms\n", lists.Count(), batched ? " (batched)" : "",
                load);
    for (int ascending : {1, 0}) {
        std::printf("  sort by name %-4s: %8.1f ms\n", ascending ? "asc" : "desc",
                    Time([&] { lists.SortByColumnText(0, ascending); }));
    }
    std::printf("  sort by type      : %8.1f ms\n", Time([&] {
                    std::vector<std::string> keys = TypeKeys(lists);
                    lists.SortByStringKeys(keys, 1);
                }));
    std::printf("  sort by directory : %8.1f ms\n", Time([&] { SortByDirectory(lists); }));
    std::printf("  sort by duration  : %8.1f ms\n", Time([&] {
                    std::vector<double> keys = DurationKeys(lists);
                    lists.SortByNumberKeys(keys, 1);
                }));
    std::printf("  sort by end text  : %8.1f ms\n", Time([&] { lists.SortByColumnText(2, 1); }));
    const double filter = Time([&] {
        lists.ShowFiltered([](const MediaEntry& entry) {
            const size_t slash = entry.path.rfind('/');
            return slash != std::string::npos &&
                   FindNoCase(std::string_view(entry.path).substr(slash), "track 12") !=
                       std::string_view::npos;
        });
    });
    std::printf("  filter (%d match) : %8.1f ms\n", lists.Count(), filter);
    std::printf("  filter cleared    : %8.1f ms\n", Time([&] { lists.ShowMaster(); }));
    std::printf("  snapshot          : %8.1f ms\n", Time([&] { (void)lists.Snapshot(); }));
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;
    const std::vector<MediaEntry> source = MakeEntries(count);

    std::printf("sorts of %d entries by how many distinct keys they have\n", count);
    for (int distinct : {0, 2, 3, 8}) RunTies(count, distinct);
    std::printf("playlist files\n");
    RunPlaylistFile(2 * count);

    MediaEntryLists alone;
    Run("model alone", alone, source, false);

    XCListCtrl list;
    list.SetOwner(kPlaylistMode, nullptr);
    list.resize(400, 600);
    list.show();
    Run("under the list control, one insert at a time", list.Entries(), source, false);
    std::printf("  draw one page     : %8.1f ms\n", Time([&] { (void)list.grab(); }));

    XCListCtrl batched;
    batched.SetOwner(kPlaylistMode, nullptr);
    batched.resize(400, 600);
    batched.show();
    Run("under the list control, loaded in one batch", batched.Entries(), source, true);
    return 0;
}
