// Opening and saving playlists must never lose the user's list: a file that cannot be read
// leaves list, current path and recent slots alone, saves write every entry even while the
// filter hides some, Save As asks before replacing a file, and a failed save says so.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTimer>
#include <optional>
#include <string>
#include <vector>

#include "platform/system/FixedText.h"
#include "platform/ui/MessageSink.h"
#include "player/playlist/DurationProber.h"
#include "player/playlist/MediaEntryLists.h"
#include "player/playlist/PlaylistDocument.h"
#include "player/playlist/PlaylistFilter.h"
#include "player/playlist/XCListCtrl.h"
#include "player/settings/PlayerSettings.h"
#include "support/MediaGenerator.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"

namespace {

class FakeOwner : public IPlaylistFilesOwner, public IMessageSink {
public:
    std::optional<std::string> openAnswer;
    std::optional<SaveChoice> saveAnswer;
    MessageAnswer boxAnswer = MessageAnswer::Yes;
    std::vector<std::string> boxes;
    int recentChanges = 0;
    int probes = 0;

    std::optional<std::string> AskOpenPath(const std::string&) override { return openAnswer; }
    std::optional<SaveChoice> AskSavePath(const std::string&) override { return saveAnswer; }
    void ClearFilter() override {}
    void ProbeVisibleDurations() override { ++probes; }
    void RecentPlaylistsChanged() override { ++recentChanges; }
    QWidget* DialogOwner() override { return nullptr; }
    void ShowBusyStatus(const std::string&) override {}
    MessageAnswer Show(QWidget*, const std::string&, const std::string& text, MessageIcon,
                       MessageButtons) override {
        boxes.push_back(text);
        return boxAnswer;
    }
};

// Whether an opening step loaded its file; a small file answers before the step returns.
bool Loaded(const std::function<void(PlaylistDocument::Done)>& step) {
    std::optional<bool> loaded;
    step([&](bool answer) { loaded = answer; });
    qttest::WaitUntil([&] { return loaded.has_value(); });
    return loaded.value_or(false);
}

class PlaylistDocumentTest : public TempFolderTest {
protected:
    PlaylistDocumentTest() : document_(entries_, settings_, owner_, env_.ConfigHome()) {
        SetMessageSink(&owner_);
        entries_.BindCurrentIndex(&settings_.currentIndex);
        media_ = env_.Path("media/");
        for (const char* name : {"a b.avi", "sub/ü.mp3", "c.ogg"}) {
            ::mkdir((media_ + "sub").c_str(), 0755);
            TempEnvironment::WriteFile(media_ + name, "x");
        }
    }
    ~PlaylistDocumentTest() override { SetMessageSink(nullptr); }

    std::vector<std::string> Paths() const {
        std::vector<std::string> paths;
        for (const MediaEntry& e : entries_.Snapshot()) paths.push_back(e.path);
        return paths;
    }
    std::vector<std::string> Recent() const {
        std::vector<std::string> recentSlots;
        for (const auto& slot : settings_.recentPlaylists)
            recentSlots.push_back(fixedtext::Read(slot));
        return recentSlots;
    }
    void Add(const std::string& name, double begin, double end) {
        entries_.AddEntry(entries_.Count(), media_ + name, begin, end);
    }

    PlayerSettings settings_ = InstalledSettings();
    MediaEntryLists entries_;
    FakeOwner owner_;
    PlaylistDocument document_;
    std::string media_;
};

TEST_F(PlaylistDocumentTest, OpeningResolvesPathsFromThePlaylistsFolderAndSkipsMissingFiles) {
    const std::string list = media_ + "list.m3u";
    TempEnvironment::WriteFile(list, "#EXTM3U\n#EXTE:5\nsub/ü.mp3\nc.ogg\n/nowhere/x.avi\n" +
                                         media_ + "a b.avi\ngone.avi");
    Add("c.ogg", 0, -1);
    entries_.SetCurrentRow(0);
    owner_.openAnswer = list;
    ASSERT_TRUE(Loaded([&](auto done) { document_.OpenPlaylist(done); }));
    EXPECT_EQ(Paths(), (std::vector<std::string>{media_ + "sub/ü.mp3", media_ + "c.ogg",
                                                 media_ + "a b.avi"}));
    EXPECT_EQ(entries_.Entry(0).end, 5.0);
    EXPECT_EQ(settings_.currentIndex, -1);
    EXPECT_EQ(document_.LastDirectory(), media_);
    EXPECT_EQ(document_.CurrentPlaylistPath(), list);
    EXPECT_EQ(Recent()[0], list);
    EXPECT_EQ(owner_.probes, 1);
}

TEST_F(PlaylistDocumentTest, AFileThatIsNoPlaylistLeavesListPathAndRecentSlotsAlone) {
    const std::string good = media_ + "good.pls";
    TempEnvironment::WriteFile(good, "[playlist]\nFile1=c.ogg\n");
    owner_.openAnswer = good;
    ASSERT_TRUE(Loaded([&](auto done) { document_.OpenPlaylist(done); }));

    const std::string fifo = media_ + "fifo.m3u", big = media_ + "big.m3u";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    TempEnvironment::WriteFile(big, "#EXTM3U\n");
    ASSERT_EQ(::truncate(big.c_str(), off_t(playlistformat::kMaxFileBytes) + 1), 0);  // sparse
    TempEnvironment::WriteFile(media_ + "empty.m3u", "");
    TempEnvironment::WriteFile(media_ + "text.m3u", "c.ogg\n");
    for (const std::string& bad : {fifo, big, media_ + "empty.m3u", media_ + "text.m3u",
                                   media_ + "absent.pls", media_ + "sub"}) {
        fixedtext::SetPath(settings_.recentPlaylists[3], bad);
        const std::vector<std::string> recent = Recent();
        EXPECT_FALSE(Loaded([&](auto done) { document_.OpenRecentPlaylist(3, done); })) << bad;
        owner_.openAnswer = bad;
        EXPECT_FALSE(Loaded([&](auto done) { document_.OpenPlaylist(done); })) << bad;
        EXPECT_EQ(Paths(), std::vector<std::string>{media_ + "c.ogg"}) << bad;
        EXPECT_EQ(document_.CurrentPlaylistPath(), good) << bad;
        EXPECT_EQ(Recent(), recent) << bad;
    }
    EXPECT_TRUE(owner_.boxes.empty());
}

TEST_F(PlaylistDocumentTest, SavesWriteEveryMasterEntryWhileFilteredAndReadBackTheSame) {
    Add("a b.avi", 0, -1);
    Add("sub/ü.mp3", 0, -1);
    Add("c.ogg", 0, -1);
    playlistfilter::ApplyText(entries_, "ü");
    entries_.SetBegin(0, 1.25);  // a range set while filtering
    entries_.SetEnd(0, 30.0);
    const std::vector<MediaEntry> all = {
        {media_ + "a b.avi", 0, -1}, {media_ + "sub/ü.mp3", 1.25, 30.0}, {media_ + "c.ogg", 0, -1}};
    for (const char* name : {"out.M3U", "out.pls"}) {
        ASSERT_TRUE(document_.SavePlaylist(media_ + name)) << name;
        MediaEntryLists loaded;
        PlaylistDocument reader(loaded, settings_, owner_, env_.ConfigHome());
        ASSERT_TRUE(Loaded([&](auto done) { reader.LoadPlaylist(media_ + name, done); })) << name;
        EXPECT_EQ(loaded.Snapshot(), all) << name;
    }
    EXPECT_TRUE(entries_.FilterActive());
    EXPECT_FALSE(document_.SavePlaylist(media_ + "noextension"));  // nothing is written
    EXPECT_FALSE(TempEnvironment::Exists(media_ + "noextension"));
}

TEST_F(PlaylistDocumentTest, SaveAsKeepsATypedPlaylistExtensionAndAsksBeforeReplacing) {
    Add("c.ogg", 0, 61.5);
    using K = playlistformat::Kind;
    const struct {
        const char* chosen;
        K filter;
        const char* written;
        K kind;
        bool exists;
        MessageAnswer answer;
        bool saved;
    } cases[] = {
        {"list", K::Pls, "list.pls", K::Pls, false, MessageAnswer::Yes, true},
        {"LIST.PLS", K::Pls, "LIST.PLS", K::Pls, false, MessageAnswer::Yes, true},
        {"mylist.m3u", K::Pls, "mylist.m3u", K::M3u, false, MessageAnswer::Yes, true},
        {"x.pls", K::M3u, "x.pls", K::Pls, false, MessageAnswer::Yes, true},
        {"x.txt", K::M3u, "x.txt.m3u", K::M3u, false, MessageAnswer::Yes, true},
        {"old.m3u", K::M3u, "old.m3u", K::M3u, true, MessageAnswer::No, false},
        {"old", K::M3u, "old.m3u", K::M3u, true, MessageAnswer::Yes, true},
    };
    for (const auto& c : cases) {
        const std::string written = media_ + c.written;
        if (c.exists) TempEnvironment::WriteFile(written, "keep");
        owner_.boxes.clear();
        owner_.boxAnswer = c.answer;
        owner_.saveAnswer = IPlaylistFilesOwner::SaveChoice{media_ + c.chosen, c.filter};
        const std::string before = document_.CurrentPlaylistPath();
        EXPECT_EQ(document_.SavePlaylistAs(), c.saved) << c.chosen;
        EXPECT_EQ(owner_.boxes.size(), c.exists ? 1u : 0u) << c.chosen;
        EXPECT_EQ(document_.CurrentPlaylistPath(), c.saved ? written : before) << c.chosen;
        const std::string text = TempEnvironment::ReadFile(written);
        EXPECT_EQ(text.starts_with(c.kind == K::Pls ? "[playlist]\r\n" : "#EXTM3U\r\n"), c.saved)
            << c.chosen << ": " << text;
    }
    EXPECT_FALSE(TempEnvironment::Exists(media_ + "mylist.m3u.pls"));
    // Save goes to the current file; one with another extension goes through Save As.
    owner_.saveAnswer = IPlaylistFilesOwner::SaveChoice{media_ + "y", K::Pls};
    EXPECT_TRUE(document_.SavePlaylist(media_ + "z.txt"));
    EXPECT_TRUE(TempEnvironment::Exists(media_ + "y.pls"));
    EXPECT_FALSE(TempEnvironment::Exists(media_ + "z.txt"));
}

TEST_F(PlaylistDocumentTest, AFailedSaveIsShownExceptAtExitAndInternalPlsComesBack) {
    Add("c.ogg", 0, 42.0);
    owner_.saveAnswer =
        IPlaylistFilesOwner::SaveChoice{media_ + "missing/l.pls", playlistformat::Kind::Pls};
    EXPECT_FALSE(document_.SavePlaylistAs());
    ASSERT_EQ(owner_.boxes.size(), 1u);
    EXPECT_NE(owner_.boxes[0].find("could not be saved as " + media_ + "missing/l.pls"),
              std::string::npos);
    EXPECT_EQ(document_.CurrentPlaylistPath(), "");
    EXPECT_EQ(Recent(), std::vector<std::string>(4));

    // At exit: internal.pls in the user config folder, made on demand; a failure is silent.
    settings_.autoLoadLastPlaylist = 1;
    ASSERT_TRUE(document_.SaveInternalPlaylist());
    EXPECT_EQ(document_.InternalPlaylistPath(), env_.ConfigHome() + "/internal.pls");
    MediaEntryLists restored;
    PlaylistDocument next(restored, settings_, owner_, env_.ConfigHome());
    ASSERT_TRUE(Loaded([&](auto done) { next.LoadInternalPlaylist(done); }));
    EXPECT_EQ(restored.Snapshot(), entries_.Snapshot());
    EXPECT_EQ(next.CurrentPlaylistPath(), "");
    PlaylistDocument blocked(entries_, settings_, owner_, media_ + "c.ogg");  // not a folder
    EXPECT_FALSE(blocked.SaveInternalPlaylist());
    EXPECT_EQ(owner_.boxes.size(), 1u);
    settings_.autoLoadLastPlaylist = 0;
    EXPECT_FALSE(Loaded([&](auto done) { next.LoadInternalPlaylist(done); }));
}

// A save while lengths are still being probed must not tell the next reader "no length".
TEST_F(PlaylistDocumentTest, ASaveWhileProbesRunWritesThemUnprobedSoTheyGetTheirLengthsLater) {
    const std::string two = media_ + "two.wav", three = media_ + "three.wav";
    ASSERT_TRUE(media::MakeWav(two, {.seconds = 2.0}));
    ASSERT_TRUE(media::MakeWav(three, {.seconds = 3.0}));
    for (const std::string& path : {two, three, two})
        entries_.AddEntry(entries_.Count(), path, 0.0, MediaEntry::kEndUnprobed);
    const std::string list = media_ + "list.pls";
    owner_.saveAnswer = IPlaylistFilesOwner::SaveChoice{list, playlistformat::Kind::Pls};
    {
        DurationProber prober(entries_);
        prober.ProbeRows(0, 3);  // nothing answers before the save: the loop does not run
        ASSERT_TRUE(document_.SaveCurrentPlaylist());
        ASSERT_TRUE(qttest::WaitUntil([&] { return prober.Pending() == 0; }, 30000));
    }
    EXPECT_EQ(TempEnvironment::ReadFile(list).find("E1="), std::string::npos);

    MediaEntryLists reloaded;
    PlaylistDocument next(reloaded, settings_, owner_, env_.ConfigHome());
    ASSERT_TRUE(Loaded([&](auto done) { next.LoadPlaylist(list, done); }));
    DurationProber prober(reloaded);
    prober.ProbeRows(0, 3);
    ASSERT_TRUE(qttest::WaitUntil([&] { return prober.Pending() == 0; }, 30000));
    const double lengths[] = {2.0, 3.0, 2.0};
    for (int row = 0; row < 3; ++row) EXPECT_NEAR(reloaded.Entry(row).end, lengths[row], 0.05);
}

// A playlist of a million entries is read on a worker: the window's loop goes on (a ping
// posted as the load starts is answered while it is still under way), rows added meanwhile
// stay behind the file's, and a list emptied meanwhile keeps the file out.
TEST_F(PlaylistDocumentTest, AMillionEntryPlaylistLoadsWhileTheWindowAnswersPings) {
    XCListCtrl list;
    list.SetOwner(kPlaylistMode, nullptr);
    list.resize(300, 200);
    list.show();
    MediaEntryLists& rows = list.Entries();
    PlaylistDocument document(rows, settings_, owner_, env_.ConfigHome());
    document.SetExistsFunction([](const std::string&) { return true; });
    constexpr int kEntries = 1000000;
    std::string text = "#EXTM3U\n";
    for (int i = 0; i < kEntries; ++i) text += "/m/" + std::to_string(i) + ".avi\n";
    const std::string path = media_ + "million.m3u";
    TempEnvironment::WriteFile(path, text);
    text = std::string();

    std::optional<bool> loaded;
    std::vector<std::string> order;
    document.OpenPlaylistFile(path, [&](bool answer) {
        loaded = answer;
        order.push_back("loaded");
    });
    ASSERT_TRUE(document.Loading());
    rows.AddEntry(0, "/m/added.avi", 0.0, -1.0);
    QTimer::singleShot(0, [&] { order.push_back("ping"); });
    ASSERT_TRUE(qttest::WaitUntil([&] { return loaded.has_value(); }, 60000));
    EXPECT_EQ(order, (std::vector<std::string>{"ping", "loaded"}));
    EXPECT_TRUE(*loaded);
    ASSERT_EQ(rows.Count(), kEntries + 1);
    EXPECT_EQ(rows.Entry(0).path, "/m/0.avi");
    EXPECT_EQ(rows.Entry(kEntries).path, "/m/added.avi");
    EXPECT_EQ(document.CurrentPlaylistPath(), path);
    EXPECT_EQ(Recent()[0], path);

    loaded.reset();
    document.LoadPlaylist(path, [&](bool answer) { loaded = answer; });
    rows.ClearEntries();  // Remove All while it is read: the file stays out
    ASSERT_TRUE(qttest::WaitUntil([&] { return loaded.has_value(); }, 60000));
    EXPECT_FALSE(*loaded);
    EXPECT_EQ(rows.Count(), 0);
}

TEST_F(PlaylistDocumentTest, RecentSlotsMoveTheOpenedPlaylistToTheFrontOnce) {
    // "./" steps make a path to a real file that is too long for a slot.
    std::string tooLong = media_;
    while (tooLong.size() < 1200) tooLong += "./";
    tooLong += "1.pls";
    const struct {
        std::string opened;
        std::vector<std::string> recentSlots;
    } steps[] = {
        {"1.pls", {"1.pls", "", "", ""}},
        {"2.pls", {"2.pls", "1.pls", "", ""}},
        {"3.pls", {"3.pls", "2.pls", "1.pls", ""}},
        {"2.pls", {"2.pls", "3.pls", "1.pls", ""}},
        {"4.pls", {"4.pls", "2.pls", "3.pls", "1.pls"}},
        {"1.pls", {"1.pls", "4.pls", "2.pls", "3.pls"}},
        {"5.pls", {"5.pls", "1.pls", "4.pls", "2.pls"}},
        {"5.PLS", {"5.PLS", "5.pls", "1.pls", "4.pls"}},
        {tooLong, {"5.PLS", "5.pls", "1.pls", "4.pls"}},
    };
    for (const auto& step : steps) {
        const std::string path = step.opened.starts_with("/") ? step.opened : media_ + step.opened;
        TempEnvironment::WriteFile(path, "[playlist]\n");
        owner_.openAnswer = path;
        ASSERT_TRUE(Loaded([&](auto done) { document_.OpenPlaylist(done); })) << step.opened;
        std::vector<std::string> expected;
        for (const std::string& slot : step.recentSlots)
            expected.push_back(slot.empty() ? "" : media_ + slot);
        EXPECT_EQ(Recent(), expected) << step.opened;
    }
    fixedtext::SetPath(settings_.recentPlaylists[2], media_ + "2.pls");
    ASSERT_TRUE(Loaded([&](auto done) { document_.OpenRecentPlaylist(2, done); }));
    EXPECT_EQ(Recent()[0], media_ + "2.pls");
    EXPECT_EQ(document_.CurrentPlaylistPath(), media_ + "2.pls");
}

}  // namespace
