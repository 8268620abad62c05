// The entry model keeps rows, entries and the now-playing row aligned through every change,
// and writes made while filtering reach the master entries. Its quicksort decides where tied
// rows end up, so the order is pinned by hand and the fast sort is held to a plain copy of
// the procedure (random inputs of every size are sorted through the list control's tests).

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "player/playlist/MediaEntryLists.h"
#include "player/playlist/PlaylistFilter.h"
#include "player/playlist/RowQuickSort.h"

namespace {

using Names = std::vector<std::string>;

Names ShownNames(const MediaEntryLists& lists) {
    Names names;
    for (int row = 0; row < lists.Count(); ++row) names.push_back(lists.ColumnText(row, 0));
    return names;
}

// A playlist of the given names under /m/, its now-playing row mirrored into currentIndex.
struct Playlist {
    MediaEntryLists lists;
    int32_t currentIndex = -1;

    explicit Playlist(const Names& names) {
        lists.SetOwnerMode(kPlaylistMode);
        lists.BindCurrentIndex(&currentIndex);
        for (const std::string& name : names) lists.AddEntry(lists.Count(), "/m/" + name, 0, -1);
    }
    void Filter(const char* prefix) {
        lists.ShowFiltered([=](const MediaEntry& e) { return e.path.starts_with(prefix); });
    }
};

TEST(MediaEntryLists, AddEntryInsertsAtTheIndexOrAtTheTail) {
    const struct {
        int index;
        Names expected;
    } cases[] = {
        {0, {"N", "P", "Q", "R"}},  {1, {"P", "N", "Q", "R"}},
        {3, {"P", "Q", "R", "N"}},  {5, {"P", "Q", "R", "N"}},  // beyond the end
        {-1, {"P", "Q", "R", "N"}},                             // no such element: the tail too
    };
    for (const auto& c : cases) {
        Playlist p({"P", "Q", "R"});
        p.lists.AddEntry(c.index, "/m/N", 0.0, -1.0);
        Names master;
        for (int i = 0; i < p.lists.MasterCount(); ++i)
            master.emplace_back(MediaEntryLists::FileName(p.lists.MasterEntry(i).path));
        EXPECT_EQ(ShownNames(p.lists), c.expected) << c.index;
        EXPECT_EQ(master, c.expected) << c.index;
    }
}

TEST(MediaEntryLists, TheNowPlayingRowFollowsItsEntryAndTheSettingsFollowIt) {
    using L = MediaEntryLists&;
    const struct {
        const char* what;
        void (*change)(MediaEntryLists&);
        int expectedRow;  // R (row 2) plays before
    } cases[] = {
        {"insert at the current row", [](L l) { l.AddEntry(2, "/m/N", 0, -1); }, 3},
        {"insert above", [](L l) { l.AddEntry(0, "/m/N", 0, -1); }, 3},
        {"insert after", [](L l) { l.AddEntry(3, "/m/N", 0, -1); }, 2},
        {"insert a range at it",
         [](L l) {
             l.AddEntries(2, {{"/m/N", 0, -1}, {"/m/O", 0, -1}});
         },
         4},
        {"insert a range after",
         [](L l) {
             l.AddEntries(3, {{"/m/N", 0, -1}});
         },
         2},
        {"another list taken in",
         [](L l) {
             l.Adopt(MediaEntryLists::Batch({{"/m/X", 0, -1}}), l.LastId());
         },
         -1},
        {"remove the current row", [](L l) { l.RemoveEntry(2); }, -1},
        {"remove a row above", [](L l) { l.RemoveEntry(0); }, 1},
        {"remove a row below", [](L l) { l.RemoveEntry(4); }, 2},
        {"remove rows 1 and 3",
         [](L l) {
             l.RemoveEntries({3, 1});
         },
         1},
        {"swap it down", [](L l) { l.SwapEntries(2, 4); }, 4},
        {"swap onto it", [](L l) { l.SwapEntries(0, 2); }, 0},
        {"swap others", [](L l) { l.SwapEntries(0, 1); }, 2},
        {"clear", [](L l) { l.ClearEntries(); }, -1},
        {"filter on", [](L l) { l.ShowFiltered([](const MediaEntry&) { return true; }); }, -1},
    };
    for (const auto& c : cases) {
        Playlist p({"P", "Q", "R", "S", "T"});
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

// A range goes in exactly where the same entries added one by one would.
TEST(MediaEntryLists, ARangeLandsWhereOneByOneInsertsWould) {
    const std::vector<MediaEntry> range = {{"/m/A", 1, 5}, {"/m/B", 0, -1}, {"/m/C", 0, -2}};
    for (int index : {0, 1, 3, 4, 9, -1}) {
        Playlist one({"P", "Q", "R", "S"}), many({"P", "Q", "R", "S"});
        one.lists.SetCurrentRow(1);
        many.lists.SetCurrentRow(1);
        int at = index < 0 || index > 4 ? 4 : index;
        for (const MediaEntry& e : range) one.lists.AddEntry(at++, e.path, e.begin, e.end);
        EXPECT_EQ(many.lists.AddEntries(index, range), index < 0 || index > 4 ? 4 : index);
        EXPECT_EQ(many.lists.Snapshot(), one.lists.Snapshot()) << index;
        EXPECT_EQ(many.currentIndex, one.currentIndex) << index;
    }
    Playlist filtered({"P", "Q"});
    filtered.Filter("/m/P");
    EXPECT_EQ(filtered.lists.AddEntries(0, range), -1);
    EXPECT_EQ(filtered.lists.MasterCount(), 2);
}

// A list read in the background replaces the entries it found, not rows added meanwhile.
TEST(MediaEntryLists, AListTakenInKeepsTheRowsAddedSinceItWasAskedFor) {
    Playlist p({"P", "Q", "R"});
    const uint64_t since = p.lists.LastId();
    p.lists.AddEntry(3, "/m/N", 0, -1);
    p.lists.AddEntry(0, "/m/M", 0, -1);
    p.lists.SetCurrentRow(4);  // N plays
    p.Filter("/m/N");
    MediaEntryLists::Batch replaced =
        p.lists.Adopt(MediaEntryLists::Batch({{"/m/X", 0, 7}, {"/m/Y", 0, -1}}), since);
    EXPECT_EQ(ShownNames(p.lists), (Names{"X", "Y", "M", "N"}));
    EXPECT_FALSE(p.lists.FilterActive());
    EXPECT_EQ(replaced.Size(), 3u);
    EXPECT_EQ(p.lists.CurrentRow(), -1);  // the filter had cleared it
    // The entries just taken in count as added since: a second list keeps them too, and
    // the playing one stays marked.
    p.lists.SetCurrentRow(3);
    p.lists.Adopt(MediaEntryLists::Batch({{"/m/Z", 0, -1}}), since);
    EXPECT_EQ(ShownNames(p.lists), (Names{"Z", "X", "Y", "M", "N"}));
    EXPECT_EQ(p.currentIndex, 4);
    EXPECT_EQ(p.lists.Entry(1).end, 7.0);
}

TEST(MediaEntryLists, ColumnTextsFollowTheEntry) {
    const std::string blank(8, ' ');
    Playlist p({"a.avi"});
    EXPECT_EQ(p.lists.ColumnText(0, 1), blank);  // begin 0 as added
    EXPECT_EQ(p.lists.ColumnText(0, 2), blank);  // not probed
    p.lists.SetBegin(0, 0.0);                    // a start set on purpose shows
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

TEST(MediaEntryLists, WritesWhileFilteredReachTheMasterAndNothingIsAdded) {
    Playlist p({"a1.avi", "b1.avi", "a2.mp3", "b2", "a3"});
    p.Filter("/m/a");
    p.lists.SetBegin(1, 12.5);  // a play range on a2
    p.lists.SetEnd(1, 60.0);
    p.lists.SetEnd(0, 95.0);  // a probed length on a1
    p.lists.ShowMaster();
    EXPECT_FALSE(p.lists.FilterActive());
    EXPECT_EQ(p.lists.Entry(2), (MediaEntry{"/m/a2.mp3", 12.5, 60.0}));
    EXPECT_EQ(p.lists.Entry(0).end, 95.0);
    EXPECT_EQ(p.lists.ColumnText(2, 1), "00:00:12");

    p.Filter("/m/a");
    p.lists.SwapEntries(0, 1);  // reorders the view only
    EXPECT_EQ(ShownNames(p.lists), (Names{"a2.mp3", "a1.avi", "a3"}));
    EXPECT_EQ(p.lists.AddEntry(0, "/m/new", 0, -1), -1);
    p.lists.RemoveEntries({1, 2});  // a1 and a3, from the master too
    EXPECT_EQ(ShownNames(p.lists), (Names{"a2.mp3"}));
    p.lists.ShowMaster();
    EXPECT_EQ(ShownNames(p.lists), (Names{"b1.avi", "a2.mp3", "b2"}));

    p.Filter("/m/b");  // Remove All while filtering keeps what the filter hid
    p.lists.ClearEntries();
    EXPECT_EQ(p.lists.Count(), 0);
    EXPECT_TRUE(p.lists.FilterActive());
    p.lists.ShowMaster();
    EXPECT_EQ(ShownNames(p.lists), (Names{"a2.mp3"}));
}

TEST(MediaEntryLists, KeySortsNeedOneKeyPerRow) {
    Playlist p({"c", "a", "b"});
    std::vector<double> tooFew = {3.0, 1.0};
    std::vector<std::string> tooMany = {"c", "a", "b", "d"};
    p.lists.SortByNumberKeys(tooFew, 1);
    p.lists.SortByStringKeys(tooMany, 1);
    EXPECT_EQ(ShownNames(p.lists), (Names{"c", "a", "b"}));
}

TEST(MediaEntryLists, LeavingTheFilterKeepsTheMasterOrderAndClearsTheNowPlayingRow) {
    Playlist p({"b1", "a2", "c3", "a1", "b2"});
    p.lists.SortByColumnText(0, 0);  // master: c3 b2 b1 a2 a1
    p.Filter("/m/a");
    p.lists.SetCurrentRow(1);
    p.lists.SortByColumnText(0, 1);  // the filtered rows only: a1 a2
    EXPECT_EQ(ShownNames(p.lists), (Names{"a1", "a2"}));
    EXPECT_EQ(p.currentIndex, 0);  // the playing a2 moved with its row
    p.lists.ShowMaster();
    EXPECT_EQ(ShownNames(p.lists), (Names{"c3", "b2", "b1", "a2", "a1"}));
    EXPECT_EQ(p.lists.CurrentRow(), -1);
    EXPECT_EQ(p.currentIndex, -1);
}

TEST(PlaylistFilter, TheTextMatchesFromTheLastSlashOnCaseIgnored) {
    const struct {
        const char* path;
        const char* text;
        bool passes;
    } cases[] = {
        {"/c/films/movie.avi", "AVI", true}, {"/c/films/movie.avi", "films", false},
        {"/c/films/movie.avi", "/mo", true}, {"/c/films/demo.avi", "/mo", false},
        {"movie.avi", "mov", false},         {"/c/Ünï.mp3", "ünï", false},  // A-Z only fold
        {"/c/Ünï.mp3", "Ünï", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(playlistfilter::Passes(c.path, c.text), c.passes) << c.path << " " << c.text;

    Playlist p({"movie.avi", "demo.avi", "Move.mp3"});
    p.lists.SetCurrentRow(2);
    playlistfilter::ApplyText(p.lists, "MOV");
    EXPECT_EQ(ShownNames(p.lists), (Names{"movie.avi", "Move.mp3"}));
    EXPECT_EQ(p.currentIndex, -1);
    playlistfilter::ApplyText(p.lists, "");
    EXPECT_EQ(ShownNames(p.lists), (Names{"movie.avi", "demo.avi", "Move.mp3"}));
}

// The procedure as written down, one compare per step, for the differential tests below.
template <class Key>
void ReferenceSort(std::vector<Key>& keys, int up) {
    auto compare = [&](int i, int j) {
        const int order = (keys[size_t(i)] > keys[size_t(j)]) - (keys[size_t(i)] < keys[size_t(j)]);
        return up == 1 ? order : -order;
    };
    auto swap = [&](int i, int j) {
        if (i != j) std::swap(keys[size_t(i)], keys[size_t(j)]);
    };
    std::vector<std::pair<int, int>> stack;
    int lo = 0, hi = int(keys.size()) - 1;
    if (hi < 1) return;
    for (;;) {
        const int size = hi - lo + 1;
        if (size <= 8) {
            for (int last = hi; last > lo; --last) {
                int m = lo;
                for (int i = lo + 1; i <= last; ++i)
                    if (compare(i, m) > 0) m = i;
                swap(m, last);
            }
        } else {
            swap(lo + size / 2, lo);
            int l = lo, h = hi + 1;
            for (;;) {
                do ++l;
                while (!(l > hi || compare(l, lo) > 0));
                do --h;
                while (!(h <= lo || compare(h, lo) < 0));
                if (h < l) break;
                swap(l, h);
            }
            swap(lo, h);
            if (h - 1 - lo < hi - l) {
                if (l < hi) stack.emplace_back(l, hi);
                if (lo + 1 < h) {
                    hi = h - 1;
                    continue;
                }
            } else {
                if (lo + 1 < h) stack.emplace_back(lo, h - 1);
                if (l < hi) {
                    lo = l;
                    continue;
                }
            }
        }
        if (stack.empty()) return;
        std::tie(lo, hi) = stack.back();
        stack.pop_back();
    }
}

// A key in the high part, the starting row in the low part, so ties show where they went.
struct Tagged {
    int key;
    int row;
    bool operator<(const Tagged& o) const { return key < o.key; }
    bool operator>(const Tagged& o) const { return key > o.key; }
};

TEST(RowQuickSort, TiesOnAnEvenRangeLandWhereTheProcedurePutsThem) {
    // Rows a..j with keys 2 1 2 1 ...: row f (the middle of ten) is the pivot, no row sorts
    // before it, so rows 2..9 go to the selection pass, which pulls later ties forward.
    std::vector<int64_t> keys = {2, 1, 2, 1, 2, 1, 2, 1, 2, 1};
    std::string order = "abcdefghij";
    RowQuickSortByKeys(keys, [&](int i, int j) { std::swap(order[size_t(i)], order[size_t(j)]); });
    EXPECT_EQ(order, "fbdhjgaiec");
    EXPECT_EQ(keys, (std::vector<int64_t>{1, 1, 1, 1, 1, 2, 2, 2, 2, 2}));
}

TEST(RowQuickSort, FastSortsLeaveExactlyTheOrderOfThePlainProcedure) {
    std::mt19937 random(11);
    for (int round = 0; round < 3000; ++round) {
        const int distinct = 1 + int(random() % 4);
        const int n = round % 30 == 0 ? 1000 : int(random() % 300);
        const int up = int(random() % 2);
        std::vector<Tagged> expected;
        for (int i = 0; i < n; ++i) expected.push_back({int(random() % unsigned(distinct)), i});
        const std::vector<Tagged> start = expected;
        ReferenceSort(expected, up);
        auto rowsOf = [](const std::vector<Tagged>& v) {
            std::vector<int> rows;
            for (const Tagged& t : v) rows.push_back(t.row);
            return rows;
        };
        const std::string where = "round " + std::to_string(round) + " n " + std::to_string(n);

        // The integer-key sort, and the model's sorts built on it, over the same keys.
        std::vector<int64_t> keys;
        for (const Tagged& t : start) keys.push_back(up ? t.key : -t.key);
        std::vector<Tagged> byKeys = start;
        RowQuickSortByKeys(keys,
                           [&](int i, int j) { std::swap(byKeys[size_t(i)], byKeys[size_t(j)]); });
        ASSERT_EQ(rowsOf(byKeys), rowsOf(expected)) << where;

        MediaEntryLists lists;
        std::vector<std::string> types;
        std::vector<double> lengths;
        for (const Tagged& t : start) {
            types.push_back(std::string(1, char((random() % 2 ? 'a' : 'A') + t.key)) + ".x");
            lengths.push_back(t.key == 0 && random() % 2 ? -0.0 : double(t.key));
        }
        for (int kind = 0; kind < 2; ++kind) {
            lists.ClearEntries();
            for (const Tagged& t : start)
                lists.AddEntry(lists.Count(), "/m/" + std::to_string(t.row), 0, -1);
            std::vector<std::string> typeKeys = types;
            std::vector<double> lengthKeys = lengths;
            if (kind == 0) lists.SortByStringKeys(typeKeys, up);
            if (kind == 1) lists.SortByNumberKeys(lengthKeys, up);
            std::vector<int> rows;
            for (int row = 0; row < lists.Count(); ++row)
                rows.push_back(
                    std::stoi(std::string(MediaEntryLists::FileName(lists.Entry(row).path))));
            ASSERT_EQ(rows, rowsOf(expected)) << where << " kind " << kind;
        }
    }
}

// Sorts the values by value / divisor; returns every swap made.
std::vector<std::pair<int, int>> Sort(std::vector<int>& values, int divisor = 1) {
    std::vector<std::pair<int, int>> swaps;
    RowQuickSort(
        int(values.size()),
        [&](int i, int j) {
            const int x = values[size_t(i)] / divisor, y = values[size_t(j)] / divisor;
            return (x > y) - (x < y);
        },
        [&](int i, int j) {
            swaps.emplace_back(i, j);
            std::swap(values[size_t(i)], values[size_t(j)]);
        });
    return swaps;
}

TEST(RowQuickSort, EightRowsUseTheSelectionPassAndNineThePartition) {
    std::vector<int> eight = {5, 1, 7, 3, 8, 2, 6, 4};
    EXPECT_EQ(Sort(eight).at(0), std::make_pair(4, 7));  // the largest goes to the end first
    EXPECT_EQ(eight, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    std::vector<int> nine = {5, 1, 7, 3, 9, 2, 6, 4, 8};
    EXPECT_EQ(Sort(nine).at(0), std::make_pair(4, 0));  // the middle row is the pivot
    EXPECT_EQ(nine, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

}  // namespace
