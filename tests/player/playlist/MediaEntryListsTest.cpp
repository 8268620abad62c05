// The entry model keeps rows, entries and the now-playing row aligned through every
// insert, removal, swap and filter switch, and writes made while filtering reach the
// master entries.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/playlist/MediaEntryLists.h"

namespace {

std::vector<std::string> Names(const MediaEntryLists& lists) {
    std::vector<std::string> names;
    for (int row = 0; row < lists.Count(); ++row) names.push_back(lists.ColumnText(row, 0));
    return names;
}

std::vector<std::string> MasterNames(const MediaEntryLists& lists) {
    std::vector<std::string> names;
    for (int i = 0; i < lists.MasterCount(); ++i) {
        names.emplace_back(MediaEntryLists::FileName(lists.MasterEntry(i).path));
    }
    return names;
}

// A playlist of the given names under /m/, its now-playing row mirrored into index.
struct Playlist {
    MediaEntryLists lists;
    int32_t currentIndex = -1;

    explicit Playlist(const std::vector<std::string>& names) {
        lists.SetOwnerMode(kPlaylistMode);
        lists.BindCurrentIndex(&currentIndex);
        for (const std::string& name : names)
            lists.AddEntry(lists.Count(), "/m/" + name, 0.0, -1.0);
    }
};

const std::vector<std::string> kFive = {"P", "Q", "R", "S", "T"};

TEST(MediaEntryLists, AddEntryInsertsAtTheIndexOrAtTheTail) {
    const struct {
        int index;
        std::vector<std::string> expected;
    } cases[] = {
        {0, {"N", "P", "Q", "R"}},  {1, {"P", "N", "Q", "R"}},
        {3, {"P", "Q", "R", "N"}},  {5, {"P", "Q", "R", "N"}},  // beyond the end
        {-1, {"P", "Q", "R", "N"}},                             // no such element: the tail as well
    };
    for (const auto& c : cases) {
        Playlist p({"P", "Q", "R"});
        p.lists.AddEntry(c.index, "/m/N", 0.0, -1.0);
        EXPECT_EQ(Names(p.lists), c.expected) << c.index;
        EXPECT_EQ(MasterNames(p.lists), c.expected) << c.index;
    }
}

TEST(MediaEntryLists, TheNowPlayingRowFollowsItsEntryAndTheSettingsFollowIt) {
    // Each case starts with R (row 2) playing.
    const struct {
        const char* what;
        void (*change)(MediaEntryLists&);
        int expectedRow;
    } cases[] = {
        {"insert at the current row", [](MediaEntryLists& l) { l.AddEntry(2, "/m/N", 0, -1); }, 3},
        {"insert above", [](MediaEntryLists& l) { l.AddEntry(0, "/m/N", 0, -1); }, 3},
        {"insert after", [](MediaEntryLists& l) { l.AddEntry(3, "/m/N", 0, -1); }, 2},
        {"remove the current row", [](MediaEntryLists& l) { l.RemoveEntry(2); }, -1},
        {"remove a row above", [](MediaEntryLists& l) { l.RemoveEntry(0); }, 1},
        {"remove a row below", [](MediaEntryLists& l) { l.RemoveEntry(4); }, 2},
        {"remove rows 1 and 3",
         [](MediaEntryLists& l) {
             l.RemoveEntries({3, 1});
         },
         1},
        {"swap it down", [](MediaEntryLists& l) { l.SwapEntries(2, 4); }, 4},
        {"swap onto it", [](MediaEntryLists& l) { l.SwapEntries(0, 2); }, 0},
        {"swap others", [](MediaEntryLists& l) { l.SwapEntries(0, 1); }, 2},
        {"clear", [](MediaEntryLists& l) { l.ClearEntries(); }, -1},
        {"filter on",
         [](MediaEntryLists& l) { l.ShowFiltered([](const MediaEntry&) { return true; }); }, -1},
    };
    for (const auto& c : cases) {
        Playlist p(kFive);
        p.lists.SetCurrentRow(2);
        ASSERT_EQ(p.currentIndex, 2);
        c.change(p.lists);
        EXPECT_EQ(p.lists.CurrentRow(), c.expectedRow) << c.what;
        EXPECT_EQ(p.currentIndex, c.expectedRow) << c.what;
        if (c.expectedRow >= 0) {
            EXPECT_EQ(p.lists.Entry(c.expectedRow).path, "/m/R") << c.what;
        }
    }
}

TEST(MediaEntryLists, ColumnTextsFollowTheEntry) {
    const std::string blank(8, ' ');
    Playlist p({"a.avi"});
    EXPECT_EQ(p.lists.ColumnText(0, 0), "a.avi");
    EXPECT_EQ(p.lists.ColumnText(0, 1), blank);  // begin 0 as added
    EXPECT_EQ(p.lists.ColumnText(0, 2), blank);  // not probed
    p.lists.SetEnd(0, -2.0);
    EXPECT_EQ(p.lists.ColumnText(0, 2), blank);  // no length
    p.lists.SetEnd(0, 3723.9);
    EXPECT_EQ(p.lists.ColumnText(0, 2), "01:02:03");
    p.lists.SetBegin(0, 0.0);  // a start set on purpose shows
    EXPECT_EQ(p.lists.ColumnText(0, 1), "00:00:00");
    p.lists.AddEntry(1, "no-folder.mp3", 0.0, 10.0);
    EXPECT_EQ(p.lists.ColumnText(1, 0), "no-folder.mp3");

    MediaEntryLists wizard;
    int32_t untouched = 7;
    wizard.SetOwnerMode(kWizardMode);
    wizard.BindCurrentIndex(&untouched);
    wizard.AddEntry(0, "/m/b.avi", 0.0, 5.0);
    EXPECT_EQ(wizard.ColumnText(0, 1), "00:00:00");  // fragments always show their start
    wizard.SetCurrentRow(0);                         // the wizard has no playing row
    EXPECT_EQ(wizard.CurrentRow(), -1);
    EXPECT_EQ(untouched, 7);
}

TEST(MediaEntryLists, RangesAndLengthsWrittenWhileFilteredReachTheMaster) {
    Playlist p({"one.avi", "two.avi", "three.mp3"});
    p.lists.ShowFiltered([](const MediaEntry& e) { return e.path.ends_with(".avi"); });
    ASSERT_EQ(Names(p.lists), (std::vector<std::string>{"one.avi", "two.avi"}));
    p.lists.SetBegin(1, 12.5);
    p.lists.SetEnd(1, 60.0);
    p.lists.SetEnd(0, 95.0);  // a probed length
    p.lists.ShowMaster();
    EXPECT_FALSE(p.lists.FilterActive());
    EXPECT_EQ(Names(p.lists), (std::vector<std::string>{"one.avi", "two.avi", "three.mp3"}));
    EXPECT_EQ(p.lists.Entry(1), (MediaEntry{"/m/two.avi", 12.5, 60.0}));
    EXPECT_EQ(p.lists.Entry(0).end, 95.0);
    EXPECT_EQ(p.lists.ColumnText(1, 1), "00:00:12");
}

TEST(MediaEntryLists, RemovingWhileFilteredRemovesTheMasterEntries) {
    Playlist p({"a1", "b1", "a2", "b2", "a3"});
    p.lists.ShowFiltered(
        [](const MediaEntry& e) { return e.path.find("/a") != std::string::npos; });
    p.lists.RemoveEntries({0, 2});  // a1 and a3
    EXPECT_EQ(Names(p.lists), (std::vector<std::string>{"a2"}));
    p.lists.ShowMaster();
    EXPECT_EQ(Names(p.lists), (std::vector<std::string>{"b1", "a2", "b2"}));

    // Remove All while filtering keeps what the filter hid.
    p.lists.ShowFiltered(
        [](const MediaEntry& e) { return e.path.find("/b") != std::string::npos; });
    p.lists.ClearEntries();
    EXPECT_EQ(p.lists.Count(), 0);
    EXPECT_TRUE(p.lists.FilterActive());
    p.lists.ShowMaster();
    EXPECT_EQ(Names(p.lists), (std::vector<std::string>{"a2"}));
}

TEST(MediaEntryLists, FilteredSwapsReorderTheViewOnlyAndNothingIsAddedWhileFiltering) {
    Playlist p({"a1", "b1", "a2"});
    p.lists.ShowFiltered(
        [](const MediaEntry& e) { return e.path.find("/a") != std::string::npos; });
    p.lists.SwapEntries(0, 1);
    EXPECT_EQ(Names(p.lists), (std::vector<std::string>{"a2", "a1"}));
    EXPECT_EQ(p.lists.AddEntry(0, "/m/new", 0, -1), -1);
    EXPECT_EQ(p.lists.Count(), 2);
    p.lists.ShowMaster();
    EXPECT_EQ(Names(p.lists), (std::vector<std::string>{"a1", "b1", "a2"}));  // master order kept
}

TEST(MediaEntryLists, ASnapshotIsACopyThatLaterChangesDoNotTouch) {
    Playlist p({"a", "b"});
    p.lists.SetEnd(0, 30.5);
    const std::vector<MediaEntry> snapshot = p.lists.Snapshot();
    p.lists.SetEnd(0, 1.0);
    p.lists.RemoveEntry(1);
    p.lists.ClearEntries();
    ASSERT_EQ(snapshot.size(), 2u);
    EXPECT_EQ(snapshot[0], (MediaEntry{"/m/a", 0.0, 30.5}));
    EXPECT_EQ(snapshot[1], (MediaEntry{"/m/b", 0.0, -1.0}));
}

TEST(MediaEntryLists, KeySortsNeedOneKeyPerRow) {
    Playlist p({"c", "a", "b"});
    std::vector<double> tooFew = {3.0, 1.0};
    p.lists.SortByNumberKeys(tooFew, 1);
    std::vector<std::string> tooMany = {"c", "a", "b", "d"};
    p.lists.SortByStringKeys(tooMany, 1);
    EXPECT_EQ(Names(p.lists), (std::vector<std::string>{"c", "a", "b"}));
}

}  // namespace
