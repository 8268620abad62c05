// The playlist at the sizes users reach, through the code the window runs: a file opened as
// the Open command opens it (read, parsed, paths resolved on disk, shown in the list
// control), the four sorts, the filter and back, and 10,000 files added at the top. Prints
// one table row per size, in milliseconds, with the longest stretch the window's event loop
// went without a turn while the file loaded, and the memory the rows hold. The figures go
// into reviews, not into tests.
//
//   build/bench/playlist-bench [largest size]

#include <malloc.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "player/playlist/ClipboardText.h"
#include "player/playlist/PlaylistCommands.h"
#include "player/playlist/PlaylistDialogs.h"
#include "player/playlist/PlaylistDocument.h"
#include "player/playlist/PlaylistFilter.h"
#include "player/playlist/XCListCtrl.h"
#include "player/settings/PlayerSettings.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRealFiles = 1000;
constexpr int kAdded = 10000;

// The window's side, quiet: no dialogs, no clipboard, no playing.
struct QuietWindow : IPlaylistCommandsHost, IPlaylistFilesOwner, IPlaylistDialogs, IClipboardText {
    PlayerSettings settings{};
    PlayerSettings& Settings() override { return settings; }
    void ProbeVisibleDurations() override {}
    void PlaySelected() override {}
    void ClearFilter() override {}
    void FocusFilterBox() override {}
    void ToggleWindow() override {}
    bool RandomOrder() const override { return false; }
    void SetRandomOrder(bool) override {}
    void PlaceScrollThumb() override {}
    void ShowBusyStatus(const std::string&) override {}
    std::optional<std::string> AskOpenPath(const std::string&) override { return {}; }
    std::optional<SaveChoice> AskSavePath(const std::string&) override { return {}; }
    void RecentPlaylistsChanged() override {}
    QWidget* DialogOwner() override { return nullptr; }
    std::vector<std::string> AskMediaFiles(const std::string&) override { return {}; }
    std::optional<std::string> AskFolder(const std::string&) override { return {}; }
    void SetText(const std::string&) override {}
};

double Ms(const std::function<void()>& step) {
    const auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Resident memory once freed memory is given back.
double ResidentMb() {
    QThread::msleep(50);  // the loader's thread frees the rows replaced
    malloc_trim(0);
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / 1e6;
}

// count entries over the real files of folder, every one with a range, so the duration sort
// needs no probe.
std::vector<MediaEntry> Entries(const std::string& folder, int count) {
    std::vector<MediaEntry> entries;
    entries.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        const int file = int((uint64_t(i) * 2654435761u) % kRealFiles);
        entries.push_back({folder + "Track " + std::to_string(file) + ".mp3", double(i % 5),
                           double(10 + (i * 7919) % 7200)});
    }
    return entries;
}

struct Load {
    double ms = 0.0;
    double longestStepMs = 0.0;  // the longest the loop went without a turn meanwhile
};

// Opens path as the Open command does and runs the loop until the rows are shown.
Load Open(PlaylistDocument& document, XCListCtrl& list, const std::string& path) {
    Load load;
    QElapsedTimer gap;
    QTimer ticks;
    ticks.setInterval(0);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        load.longestStepMs = std::max(load.longestStepMs, double(gap.nsecsElapsed()) / 1e6);
        gap.restart();
    });
    bool done = false;
    load.ms = Ms([&] {
        gap.start();
        ticks.start();
        document.OpenPlaylistFile(path, [&](bool) { done = true; });
        while (!done) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        list.ScrollLimit();  // the rows laid out, as the first paint does
        QCoreApplication::processEvents();
    });
    ticks.stop();
    load.longestStepMs = std::max(load.longestStepMs, double(gap.nsecsElapsed()) / 1e6);
    return load;
}

void Row(const std::string& folder, int count) {
    XCListCtrl list;
    QuietWindow window;
    list.SetOwner(kPlaylistMode, nullptr);
    list.resize(400, 600);
    list.show();
    PlaylistDocument document(list.Entries(), window.settings, window, folder + "config");
    PlaylistCommands commands(list, window, window, window, nullptr);
    commands.SetDocument(&document);

    const std::string m3u = folder + "list.m3u", pls = folder + "list.pls";
    {
        const std::vector<MediaEntry> entries = Entries(folder, count);
        playlistfile::Save(m3u, playlistformat::Kind::M3u, entries);
        playlistfile::Save(pls, playlistformat::Kind::Pls, entries);
    }
    const Load pl = Open(document, list, pls);
    // What the rows hold: the process before and after an empty list takes the M3U file.
    list.Entries().ClearEntries();
    QCoreApplication::processEvents();
    const double before = ResidentMb();
    const Load m = Open(document, list, m3u);
    const double resident = ResidentMb() - before;
    if (list.Entries().Count() != count)
        std::fprintf(stderr, "only %d rows\n", list.Entries().Count());

    using S = PlaylistCommands::Sort;
    const double name = Ms([&] { commands.SortBy(S::kByName); });
    const double type = Ms([&] { commands.SortBy(S::kByType); });
    const double directory = Ms([&] { commands.SortBy(S::kByDirectory); });
    const double duration = Ms([&] { commands.SortBy(S::kByDuration); });
    const double filter = Ms([&] { playlistfilter::ApplyText(list.Entries(), "track 12"); });
    const double unfilter = Ms([&] { playlistfilter::ApplyText(list.Entries(), ""); });
    std::vector<std::string> added;
    for (int i = 0; i < kAdded; ++i)
        added.push_back(folder + "Track " + std::to_string(i % kRealFiles) + ".mp3");
    list.setCurrentIndex(list.ItemModel().index(0, 0));
    const double add = Ms([&] {
        commands.InsertPaths(added);
        QCoreApplication::processEvents();
    });
    std::printf("%9d %9.1f %9.1f %9.1f %9.1f %7.1f %7.1f %9.1f %8.1f %7.1f %8.1f %9.1f %8.0f\n",
                count, m.ms, m.longestStepMs, pl.ms, pl.longestStepMs, name, type, directory,
                duration, filter, unfilter, add, resident);
}

// internal.pls of two entries, as every start reads it.
void TwoEntries(const std::string& folder) {
    XCListCtrl list;
    QuietWindow window;
    list.SetOwner(kPlaylistMode, nullptr);
    PlaylistDocument document(list.Entries(), window.settings, window, folder + "config");
    const std::string path = folder + "two.pls";
    playlistfile::Save(path, playlistformat::Kind::Pls, Entries(folder, 2));
    double best = 1e9;
    for (int round = 0; round < 20; ++round) {
        best = std::min(best, Ms([&] {
                            bool done = false;
                            document.LoadPlaylist(path, [&](bool loaded) {
                                done = true;
                                if (!loaded || list.Entries().Count() != 2)
                                    std::fprintf(stderr, "the two entries did not load\n");
                            });
                            while (!done) QCoreApplication::processEvents();
                        }));
    }
    std::printf("2-entry PLS load (best of 20): %.3f ms\n", best);
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    const int largest = argc > 1 ? std::max(10000, std::atoi(argv[1])) : 1000000;
    char pattern[] = "/tmp/playlist-bench-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const std::string folder = std::string(pattern) + "/";
    for (int i = 0; i < kRealFiles; ++i)
        std::ofstream(folder + "Track " + std::to_string(i) + ".mp3");

    TwoEntries(folder);
    std::printf(
        "milliseconds; 'step' is the longest the window's loop went without a turn during "
        "the load\n");
    std::printf(
        "  entries  M3U load      step  PLS load      step    name    type directory "
        "duration  filter unfilter  add 10k top  rows MB\n");
    for (int count = 10000; count <= largest; count *= 10) Row(folder, count);
    fs::remove_all(pattern);
    return 0;
}
