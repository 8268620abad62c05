// The playlist's commands and keys on a bare list control, with the window, the dialogs, the
// clipboard, the lengths and the wizard answered by fakes.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "player/playlist/ClipboardText.h"
#include "player/playlist/DurationProber.h"
#include "player/playlist/ListCtrlOwner.h"
#include "player/playlist/MediaEntryLists.h"
#include "player/playlist/PlayRange.h"
#include "player/playlist/PlaylistCommandSet.h"
#include "player/playlist/PlaylistCommands.h"
#include "player/playlist/PlaylistDialogs.h"
#include "player/playlist/PlaylistDocument.h"
#include "player/playlist/PlaylistFilter.h"
#include "player/playlist/PlaylistKeyFilter.h"
#include "player/playlist/WizardRows.h"
#include "player/playlist/XCListCtrl.h"
#include "player/settings/PlayerSettings.h"
#include "support/MediaGenerator.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"
#include "tests/player/playlist/QuietListOwner.h"

namespace {

namespace fs = std::filesystem;

using FakeOwner = QuietListOwner;

class FakeHost : public IPlaylistCommandsHost {
public:
    explicit FakeHost(PlayerSettings& settings) : settings_(settings) {}
    std::vector<int> played;  // currentIndex at each play
    int thumbs = 0, filterClears = 0, filterFocus = 0, toggles = 0;
    bool random = false;
    PlayerSettings& Settings() override { return settings_; }
    void ClearFilter() override { ++filterClears; }
    void FocusFilterBox() override { ++filterFocus; }
    void ToggleWindow() override { ++toggles; }
    bool RandomOrder() const override { return random; }
    void SetRandomOrder(bool on) override { random = on; }
    void ProbeVisibleDurations() override {}
    void PlaceScrollThumb() override { ++thumbs; }
    void PlaySelected() override { played.push_back(settings_.currentIndex); }
    std::vector<std::string> statuses;
    void ShowBusyStatus(const std::string& text) override { statuses.push_back(text); }

private:
    PlayerSettings& settings_;
};

class FakeDialogs : public IPlaylistDialogs {
public:
    std::vector<std::string> files;
    std::optional<std::string> folder;
    std::vector<std::string> initialFolders;
    std::vector<std::string> AskMediaFiles(const std::string& initial) override {
        initialFolders.push_back(initial);
        return files;
    }
    std::optional<std::string> AskFolder(const std::string& initial) override {
        initialFolders.push_back(initial);
        return folder;
    }
};

class FakeClipboard : public IClipboardText {
public:
    std::vector<std::string> texts;
    void SetText(const std::string& text) override { texts.push_back(text); }
};

class FakeWizard : public IWizardRows {
public:
    std::vector<MediaEntry> rows;
    std::vector<JobKind> jobs;
    std::vector<bool> shows;
    int clears = 0;
    void RemoveAllFragments() override {
        ++clears;
        rows.clear();
    }
    void AddFragment(const std::string& path, double begin, double end) override {
        rows.push_back({path, begin, end});
    }
    void PlaceAndShowWizard(bool show) override { shows.push_back(show); }
    void ShowWizard(bool show) override { shows.push_back(show); }
    bool StartJob(JobKind kind) override {
        jobs.push_back(kind);
        return true;
    }
};

class CommandsTest : public ::testing::Test {
public:
    FakeOwner owner_;
    FakeHost host_{owner_.settings};
    FakeDialogs dialogs_;
    FakeClipboard clipboard_;
    FakeWizard wizard_;
    std::map<std::string, double> lengths_;  // read by the prober's threads: set it first
    XCListCtrl list_;
    MediaEntryLists& entries_ = list_.Entries();
    DurationProber prober_{entries_, [this](const std::string& path) {
                               auto it = lengths_.find(path);
                               return it == lengths_.end() ? 0.0 : it->second;
                           }};
    PlaylistCommands commands_{list_, host_, dialogs_, clipboard_, &prober_};

    // Lengths being found and folders being scanned are done.
    void Settle(PlaylistCommands& commands) {
        ASSERT_TRUE(qttest::WaitUntil(
            [&] { return !commands.Lengths().Busy() && !commands.Scanning(); }, 30000));
    }
    void Settle() { Settle(commands_); }

    void SetUp() override {
        list_.SetOwner(kPlaylistMode, &owner_);
        list_.resize(300, 120);
        commands_.SetWizard(&wizard_);
    }
    void Fill(const std::vector<std::string>& names) {
        for (const std::string& name : names)
            entries_.AddEntry(entries_.Count(), "/m/" + name, 0.0, -1.0);
    }
    void Select(const std::vector<int>& rows) {
        list_.clearSelection();
        for (int row : rows)
            list_.selectionModel()->select(list_.ItemModel().index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int row = 0; row < entries_.Count(); ++row)
            names.emplace_back(MediaEntryLists::FileName(entries_.Entry(row).path));
        return names;
    }
};

std::vector<std::string> Numbered(int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) names.push_back("n" + std::to_string(i));
    return names;
}

TEST_F(CommandsTest, AddedFilesGoBeforeTheFirstSelectedRowUnlessItIsTheLast) {
    struct Case {
        std::vector<int> selected;
        int at;  // where c, b, a land
    } cases[] = {{{}, 10}, {{9}, 10}, {{3}, 3}, {{3, 9}, 3}, {{0}, 0}};
    for (const Case& c : cases) {
        entries_.ClearEntries();
        Fill(Numbered(10));
        Select(c.selected);
        EXPECT_EQ(commands_.InsertPoint(), c.at);
        dialogs_.files = {"/d/a", "/d/b", "/d/c", "nofolder"};
        commands_.OnPlaylistCommand(5101);
        std::vector<std::string> expected = Numbered(10);
        expected.insert(expected.begin() + c.at, {"c", "b", "a"});
        EXPECT_EQ(Names(), expected)
            << "selected first " << (c.selected.empty() ? -1 : c.selected[0]);
    }
    EXPECT_EQ(commands_.LastDirectory(), "/d");
    EXPECT_EQ(dialogs_.initialFolders.back(), "/d");
    EXPECT_EQ(host_.filterClears, 5);
}

TEST_F(CommandsTest, AFolderTreeAddsItsMediaFilesInNameOrderFolderBeforeSubfolders) {
    TempEnvironment env;
    const std::string root = env.Path("tree");
    for (const char* dir : {"", "/sub", "/sub/deeper", "/asub", "/.dotdir"})
        fs::create_directories(root + dir);
    for (const char* file : {"/x.AVI", "/b.ogg", "/y.txt", "/z", "/.hidden.mp3", "/sub/w.mp3",
                             "/sub/deeper/u.wav", "/asub/t.flac", "/.dotdir/s.mp3"})
        TempEnvironment::WriteFile(root + file, "x");
    fs::create_directory_symlink(root, root + "/loop");
    fs::create_directory_symlink(root + "/sub", root + "/zlink");
    std::string deep = root + "/sub";  // a path far longer than 1,200 bytes is still added
    for (int level = 0; level < 5; ++level) deep += "/" + std::string(250, 'd');
    fs::create_directories(deep);
    TempEnvironment::WriteFile(deep + "/long.mp3", "x");
    const std::vector<std::string> added = {"b.ogg", "x.AVI",    "t.flac",
                                            "w.mp3", "long.mp3", "u.wav"};

    struct Case {
        int selected;
        int at;
    } cases[] = {{2, 3}, {-1, 3}, {1, 1}};
    for (const Case& c : cases) {
        entries_.ClearEntries();
        Fill({"p", "q", "r"});
        Select(c.selected < 0 ? std::vector<int>{} : std::vector<int>{c.selected});
        dialogs_.folder = root;
        commands_.OnPlaylistCommand(5102);
        Settle();
        std::vector<std::string> expected = {"p", "q", "r"};
        expected.insert(expected.begin() + c.at, added.begin(), added.end());
        EXPECT_EQ(Names(), expected) << "selected " << c.selected;
    }
    EXPECT_EQ(entries_.Entry(1).path, root + "/b.ogg");
    EXPECT_EQ(entries_.Entry(3).path, root + "/asub/t.flac");
    EXPECT_EQ(commands_.LastDirectory(), root);

    dialogs_.folder.reset();  // cancelled: nothing changes
    commands_.OnPlaylistCommand(5102);
    EXPECT_EQ(entries_.Count(), 9);
}

// A folder of 10,000 media files is scanned on a worker while the window's loop goes on,
// and its files go in as one range at the insert point.
TEST_F(CommandsTest, ALargeFolderIsScannedAwayFromTheWindowAndGoesInAsOneRange) {
    TempEnvironment env;
    const std::string root = env.Path("many");
    fs::create_directories(root);
    for (int i = 0; i < 10000; ++i)
        TempEnvironment::WriteFile(root + "/" + std::to_string(10000 + i) + ".mp3", "");
    Fill({"p", "q"});
    Select({1});
    int inserts = 0;
    QObject::connect(&list_.ItemModel(), &QAbstractItemModel::rowsInserted, [&] { ++inserts; });
    std::vector<std::string> order;
    dialogs_.folder = root;
    commands_.OnPlaylistCommand(5102);
    ASSERT_TRUE(commands_.Scanning());
    EXPECT_EQ(host_.statuses.back(), "Adding files from " + root + " - Esc cancels");
    QTimer::singleShot(
        0, [&] { order.push_back(commands_.Scanning() ? "ping while scanning" : "ping after"); });
    Settle();
    EXPECT_EQ(order, std::vector<std::string>{"ping while scanning"});
    ASSERT_EQ(entries_.Count(), 10002);
    EXPECT_EQ(inserts, 1);
    // Row 1 was the last row: the files go to the end, in name order.
    EXPECT_EQ(Names()[2], "10000.mp3");
    EXPECT_EQ(Names().back(), "19999.mp3");
    EXPECT_EQ(host_.statuses.back(), "");
}

// Opening playlists and adding files go back to the one folder the user last went to.
TEST_F(CommandsTest, OpenPlaylistAndAddFilesShareOneLastFolder) {
    struct FilesOwner : IPlaylistFilesOwner {
        std::optional<std::string> open;
        std::vector<std::string> initialFolders;
        std::optional<std::string> AskOpenPath(const std::string& initial) override {
            initialFolders.push_back(initial);
            return open;
        }
        std::optional<SaveChoice> AskSavePath(const std::string&) override { return {}; }
        void ClearFilter() override {}
        void ProbeVisibleDurations() override {}
        void RecentPlaylistsChanged() override {}
        QWidget* DialogOwner() override { return nullptr; }
        void ShowBusyStatus(const std::string&) override {}
    } files;
    TempEnvironment env;
    fs::create_directories(env.Path("lists"));
    TempEnvironment::WriteFile(env.Path("lists/l.m3u"), "#EXTM3U\n/m/a.avi\n");
    PlaylistDocument document(entries_, owner_.settings, files, env.ConfigHome());
    document.SetExistsFunction([](const std::string&) { return true; });
    commands_.SetDocument(&document);

    files.open = env.Path("lists/l.m3u");
    commands_.OnPlaylistCommand(5103);
    ASSERT_EQ(entries_.Count(), 1);
    dialogs_.files = {"/d/b.avi"};
    commands_.OnPlaylistCommand(5101);
    files.open.reset();
    commands_.OnPlaylistCommand(5103);
    dialogs_.folder = "/tree";
    commands_.OnPlaylistCommand(5102);
    Settle();
    commands_.OnPlaylistCommand(5103);
    EXPECT_EQ(dialogs_.initialFolders, (std::vector<std::string>{env.Path("lists/"), "/d"}));
    EXPECT_EQ(files.initialFolders, (std::vector<std::string>{"", "/d", "/tree"}));
    commands_.SetDocument(nullptr);
}

TEST_F(CommandsTest, CopiedEntriesPasteInOrderAtTheInsertPointAgainAndAgain) {
    Fill({"a.avi", "b.avi", "c.avi", "d.avi"});
    entries_.SetBegin(1, 2.5);
    entries_.SetEnd(1, 7.0);
    Select({0, 1, 2});
    commands_.OnPlaylistCommand(5121);
    ASSERT_EQ(clipboard_.texts.size(), 1u);
    EXPECT_EQ(clipboard_.texts[0], "a.avi\nb.avi\nc.avi\n");

    Select({1});
    commands_.OnPlaylistCommand(5122);
    commands_.OnPlaylistCommand(5122);  // the selection moved down with b
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.avi", "a.avi", "b.avi", "c.avi", "a.avi",
                                                 "b.avi", "c.avi", "b.avi", "c.avi", "d.avi"}));
    EXPECT_EQ(entries_.Entry(2).begin, 2.5);
    EXPECT_EQ(entries_.Entry(5).end, 7.0);
    EXPECT_EQ(host_.thumbs, 2);

    Select({});
    commands_.OnPlaylistCommand(5121);  // nothing selected: an empty clipboard
    EXPECT_TRUE(commands_.Clip().empty());
    EXPECT_EQ(clipboard_.texts.back(), "");
}

TEST_F(CommandsTest, EachSortFlipsItsOwnDirectionAndResetsTheOthers) {
    using S = PlaylistCommands::Sort;
    // The type of "clip" is none (three blanks, first), never "z/clip" from its folder.
    const std::vector<std::string> paths = {"/v.z/clip", "/m/b.MKV", "/m/a.ogg", "/m/c.avi"};
    struct Case {
        std::vector<S> sorts;
        std::vector<std::string> names;
        int32_t lastFlag;  // 1 ascending
    } cases[] = {
        {{S::kByName}, {"a.ogg", "b.MKV", "c.avi", "clip"}, 1},
        {{S::kByName, S::kByName}, {"clip", "c.avi", "b.MKV", "a.ogg"}, 0},
        {{S::kByName, S::kByType, S::kByName}, {"a.ogg", "b.MKV", "c.avi", "clip"}, 1},
        {{S::kByType}, {"clip", "c.avi", "b.MKV", "a.ogg"}, 1},
        {{S::kByType, S::kByType}, {"a.ogg", "b.MKV", "c.avi", "clip"}, 0},
        {{S::kByDirectory}, {"a.ogg", "b.MKV", "c.avi", "clip"}, 1},
    };
    for (const Case& c : cases) {
        PlaylistCommands commands(list_, host_, dialogs_, clipboard_, nullptr);
        entries_.ClearEntries();
        for (const std::string& path : paths) entries_.AddEntry(entries_.Count(), path, 0.0, -1.0);
        for (S sort : c.sorts) commands.SortBy(sort);
        EXPECT_EQ(Names(), c.names) << c.sorts.size() << " sorts";
        for (S other : {S::kByDuration, S::kByName, S::kByDirectory, S::kByType})
            EXPECT_EQ(commands.SortFlag(other), other == c.sorts.back() ? c.lastFlag : 0);
    }
}

TEST_F(CommandsTest, SortByDurationProbesGeneratedMediaAndPutsAnUnreadableFileLast) {
    TempEnvironment env;
    struct File {
        std::string name;
        double seconds;  // 0: not media
    } files[] = {{"long.wav", 3.0}, {"bad.avi", 0.0}, {"short.wav", 1.0}, {"mid.avi", 2.0}};
    for (const File& f : files) {
        const std::string path = env.Path(f.name);
        if (f.seconds == 0.0) {
            TempEnvironment::WriteFile(path, "not a film");
        } else if (f.name.ends_with(".wav")) {
            ASSERT_TRUE(media::MakeWav(path, {.seconds = f.seconds}));
        } else {
            ASSERT_TRUE(media::MakeAvi(path, {.seconds = f.seconds, .width = 64, .height = 48}));
        }
        entries_.AddEntry(entries_.Count(), path, 0.0, -1.0);
    }
    entries_.SetBegin(0, 2.5);  // long.wav plays 0.5 s: first
    DurationProber prober(entries_);
    PlaylistCommands commands(list_, host_, dialogs_, clipboard_, &prober);
    commands.OnPlaylistCommand(5144);
    Settle(commands);
    EXPECT_EQ(Names(), (std::vector<std::string>{"long.wav", "short.wav", "mid.avi", "bad.avi"}));
    EXPECT_NEAR(entries_.Entry(1).end, 1.0, 0.1);
    EXPECT_EQ(entries_.Entry(3).end, MediaEntry::kEndUnknown);
    commands.OnPlaylistCommand(5144);  // descending
    Settle(commands);
    EXPECT_EQ(Names().front(), "bad.avi");
}

// Two hundred files that each take 200 ms to tell their length (a stand-in for slow media)
// are sorted by duration without the window's thread ever asking one: its loop goes on
// answering pings while the lengths are found, the status counts them, Escape drops the
// sort, and asked again the sort comes when the last length is in.
TEST_F(CommandsTest, SortingSlowFilesByDurationNeverHoldsTheWindowsThread) {
    const Qt::HANDLE windowThread = QThread::currentThreadId();
    std::atomic<int> onWindowThread = 0, asked = 0;
    DurationProber prober(
        entries_,
        [&](const std::string& path) {
            if (QThread::currentThreadId() == windowThread) ++onWindowThread;
            ++asked;
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            return double(std::stoi(path.substr(4)) * 7 % 200 + 1);  // "/m/n<i>"
        },
        20);
    PlaylistCommands commands(list_, host_, dialogs_, clipboard_, &prober);
    Fill(Numbered(200));
    int pingsWhileFinding = 0;
    QTimer ping;
    QObject::connect(&ping, &QTimer::timeout, [&] {
        if (commands.Lengths().Busy()) ++pingsWhileFinding;
    });
    ping.start(5);

    commands.OnPlaylistCommand(5144);
    ASSERT_TRUE(commands.Lengths().Busy());
    EXPECT_EQ(host_.statuses.front(), "Finding lengths: 0 of 200 - Esc cancels");
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&list_, &escape);
    EXPECT_FALSE(commands.Lengths().Busy());
    ASSERT_TRUE(qttest::WaitUntil([&] { return prober.Pending() == 0; }, 30000));
    EXPECT_EQ(Names(), Numbered(200));  // not sorted
    EXPECT_LT(asked, 200);              // the probes not started were dropped
    for (int row = 0; row < 200; ++row) ASSERT_FALSE(entries_.Pending(row)) << row;
    EXPECT_EQ(host_.statuses.back(), "");

    commands.OnPlaylistCommand(5144);
    Settle(commands);
    EXPECT_EQ(onWindowThread, 0);
    EXPECT_GT(pingsWhileFinding, 0);
    EXPECT_EQ(host_.statuses.back(), "");
    for (int row = 1; row < 200; ++row)
        ASSERT_LE(entries_.Entry(row - 1).end, entries_.Entry(row).end) << row;
    EXPECT_EQ(commands.SortFlag(PlaylistCommands::kByDuration), 1);
}

TEST_F(CommandsTest, RemoveAllWhileFilteredRemovesOnlyTheShownEntries) {
    std::vector<std::string> names = Numbered(7);
    for (const char* keep : {"keep1", "keep2", "keep3"}) names.insert(names.begin() + 2, keep);
    Fill(names);
    playlistfilter::ApplyText(entries_, "keep");
    ASSERT_EQ(entries_.Count(), 3);
    commands_.OnPlaylistCommand(5124);
    EXPECT_EQ(entries_.Count(), 0);
    playlistfilter::ApplyText(entries_, "");
    EXPECT_EQ(Names(), Numbered(7));

    // Unfiltered, scrolled to the bottom: the scroll state starts over.
    Fill(Numbered(100));
    list_.SetScrollPos(list_.ScrollLimit());
    list_.EnsureTopIndex();
    ASSERT_GT(list_.TopIndex(), 0);
    const int thumbs = host_.thumbs;
    commands_.OnPlaylistCommand(5124);
    EXPECT_EQ(entries_.MasterCount(), 0);
    EXPECT_EQ(list_.ScrollPos(), 0);
    EXPECT_EQ(host_.thumbs, thumbs + 1);
}

TEST_F(CommandsTest, WizardCommandsHandOverTheRightRowsAndStartTheRightJob) {
    struct Case {
        int32_t id;
        std::vector<int> selected;
        std::vector<std::string> handed;
        std::vector<JobKind> jobs;
        std::vector<bool> shows;
    } cases[] = {
        {5162, {1, 2, 3}, {"/m/n1"}, {JobKind::ExtractImage}, {false}},
        {5163, {2, 3}, {"/m/n2"}, {JobKind::ExtractAudio}, {false}},
        {5164, {3}, {"/m/n3"}, {JobKind::ExtractVideo}, {false}},
        {5165, {1, 3}, {"/m/n1", "/m/n3"}, {JobKind::MergeAudio}, {false}},
        {5166, {0, 1, 2}, {"/m/n0", "/m/n1", "/m/n2"}, {JobKind::MergeVideo}, {false}},
        {5167, {2, 0}, {"/m/n0", "/m/n2"}, {JobKind::MixVideoAudio}, {false}},
        {5161, {3, 1}, {"/w", "/m/n1", "/m/n3"}, {}, {true}},
        {5163, {}, {"/w"}, {}, {}},  // nothing selected: the wizard's list stays
        {5161, {}, {"/w"}, {}, {}},
    };
    for (const Case& c : cases) {
        entries_.ClearEntries();
        Fill(Numbered(4));
        wizard_ = FakeWizard();
        wizard_.rows = {{"/w", 0.0, 1.0}};
        Select(c.selected);
        commands_.OnPlaylistCommand(c.id);
        Settle();
        std::vector<std::string> handed;
        for (const MediaEntry& row : wizard_.rows) handed.push_back(row.path);
        EXPECT_EQ(handed, c.handed) << c.id;
        EXPECT_EQ(wizard_.jobs, c.jobs) << c.id;
        EXPECT_EQ(wizard_.shows, c.shows) << c.id;
    }
}

TEST_F(CommandsTest, AnEntryOfUnknownLengthReachesTheWizardAsTheFirstFiveSeconds) {
    Fill({"never.avi", "failed.avi", "known.avi", "ranged.avi", "pending.avi"});
    lengths_["/m/known.avi"] = 42.0;
    lengths_["/m/pending.avi"] = 12.0;  // its background probe has not answered yet
    entries_.SetBegin(1, 2.0);
    entries_.SetEnd(1, MediaEntry::kEndUnknown);
    entries_.SetBegin(3, 3.0);
    entries_.SetEnd(3, 8.0);
    prober_.ProbeDuration(4);  // being probed as the rows are handed over
    ASSERT_TRUE(entries_.Pending(4));
    Select({0, 1, 2, 3, 4});
    commands_.AddToWizard(true, true);
    EXPECT_TRUE(wizard_.rows.empty());  // nothing until the lengths are in
    Settle();
    ASSERT_EQ(wizard_.rows.size(), 5u);
    const std::pair<double, double> expected[] = {{0, 5}, {0, 5}, {0, 42}, {3, 8}, {0, 12}};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(wizard_.rows[i].begin, expected[i].first) << i;
        EXPECT_EQ(wizard_.rows[i].end, expected[i].second) << i;
    }
    EXPECT_EQ(entries_.Entry(0).end, MediaEntry::kEndUnknown);  // probed once, found nothing
    EXPECT_EQ(entries_.Entry(2).end, 42.0);
}

// A window holding the list and a filter box, with the playlist's key filter, as the playlist
// window installs it.
class KeysTest : public CommandsTest {
public:
    QWidget window_;
    QLineEdit* box_ = new QLineEdit(&window_);
    PlaylistKeyFilter filter_{commands_, box_};

    void SetUp() override {
        CommandsTest::SetUp();
        list_.setParent(&window_);
        window_.installEventFilter(&filter_);
        list_.installEventFilter(&filter_);
        window_.show();
    }
    void TearDown() override { list_.setParent(nullptr); }
    bool Press(QWidget* to, int key, Qt::KeyboardModifiers modifiers, bool repeat = false) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers,
                        key >= Qt::Key_A && key <= Qt::Key_Z && !modifiers
                            ? QString(QChar('a' + (key - Qt::Key_A)))
                            : QString(),
                        repeat);
        QCoreApplication::sendEvent(to, &event);
        return event.isAccepted();
    }
};

TEST_F(KeysTest, LettersRunTheirRowsByModifierAndAreAlwaysSwallowed) {
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        bool repeat;
        std::vector<JobKind> jobs;
        int selectedAfter;
        int played;
        bool consumed;
    } cases[] = {
        {Qt::Key_A, Qt::NoModifier, false, {JobKind::ExtractAudio}, 2, 0, true},
        {Qt::Key_A, Qt::ControlModifier, false, {}, 5, 0, true},
        {Qt::Key_A, Qt::ShiftModifier, false, {JobKind::MergeAudio}, 2, 0, true},
        {Qt::Key_A, Qt::ShiftModifier | Qt::ControlModifier, false, {}, 2, 0, true},
        {Qt::Key_V, Qt::ShiftModifier, false, {JobKind::MergeVideo}, 2, 0, true},
        {Qt::Key_Z, Qt::NoModifier, false, {}, 2, 0, true},
        {Qt::Key_M, Qt::NoModifier, true, {}, 2, 0, true},  // held: no second job
        {Qt::Key_Return, Qt::NoModifier, false, {}, 2, 1, true},
        {Qt::Key_5, Qt::NoModifier, false, {}, 2, 0, false},
    };
    for (const Case& c : cases) {
        entries_.ClearEntries();
        Fill(Numbered(5));
        Select({1, 3});
        wizard_ = FakeWizard();
        host_.played.clear();
        list_.setFocus();
        Press(&list_, c.key, c.modifiers, c.repeat);
        Settle();
        EXPECT_EQ(wizard_.jobs, c.jobs) << c.key << " " << c.modifiers;
        EXPECT_EQ(static_cast<int>(list_.SelectedRows().size()), c.selectedAfter) << c.key;
        EXPECT_EQ(static_cast<int>(host_.played.size()), c.played) << c.key;
        if (c.played) {
            EXPECT_EQ(host_.played.front(), 1);
        }
        EXPECT_EQ(commands_.HandleKey(c.key, c.modifiers, true, false), c.consumed) << c.key;
    }
}

TEST_F(KeysTest, KeysReachingTheListRunCommandsButLettersInTheFilterBoxRunNothing) {
    Fill(Numbered(5));
    Select({0});
    list_.setFocus();
    Press(&list_, Qt::Key_I, Qt::NoModifier);
    Settle();
    EXPECT_EQ(wizard_.jobs, std::vector<JobKind>{JobKind::ExtractImage});
    Press(&list_, Qt::Key_W, Qt::NoModifier, true);  // a held W hands nothing over again
    Settle();
    EXPECT_TRUE(wizard_.shows.size() == 1u);

    wizard_ = FakeWizard();
    box_->setFocus();
    Press(box_, Qt::Key_A, Qt::NoModifier);
    Press(box_, Qt::Key_I, Qt::NoModifier);
    EXPECT_EQ(box_->text(), "ai");
    EXPECT_TRUE(wizard_.jobs.empty());
    EXPECT_FALSE(commands_.HandleKey(Qt::Key_F, Qt::NoModifier, false, true));
    EXPECT_EQ(host_.filterFocus, 0);
    EXPECT_TRUE(commands_.HandleKey(Qt::Key_F, Qt::NoModifier, false, false));
    EXPECT_EQ(host_.filterFocus, 1);
}

TEST_F(CommandsTest, KeysTypedInTheRangeDialogStayThereAndOnlyDigitsGoIn) {
    QWidget window;
    QLineEdit box(&window);
    list_.setParent(&window);
    Fill({"a.avi", "b.avi"});
    {
        PlaylistCommandSet set(window, list_, box, host_, nullptr, nullptr);
        window.setGeometry(100, 100, 400, 300);
        window.show();
        Select({0});
        set.Commands().OnPlaylistCommand(5127);
        CPlayRange& range = set.PlayRange();
        ASSERT_TRUE(range.isVisible());
        EXPECT_NEAR(range.geometry().center().x(), window.frameGeometry().center().x(), 1);

        QLineEdit& seconds = range.Field(2);
        seconds.clear();
        range.Field(6).setText("30");  // the end's seconds
        for (int key : {Qt::Key_F, Qt::Key_Q, Qt::Key_4, Qt::Key_Return}) {
            const QString text = key == Qt::Key_4 ? "4" : key == Qt::Key_Return ? "\r" : "x";
            QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
            QCoreApplication::sendEvent(&seconds, &event);
        }
        EXPECT_EQ(host_.filterFocus + host_.toggles, 0);  // F and Q stayed in the dialog
        EXPECT_FALSE(range.isVisible());                  // Enter applied and hid it
        EXPECT_EQ(entries_.Entry(0).begin, 4.0);
        EXPECT_EQ(entries_.Entry(0).end, 30.0);
    }
    list_.setParent(nullptr);
}

}  // namespace
