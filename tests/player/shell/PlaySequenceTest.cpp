// Which entry plays after Next, Previous, Play and the end of a medium: the repeat modes,
// random order, play ranges and the shutdown option, over a recorded playlist and host.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "player/shell/PlaySequence.h"

namespace {

struct FakeRows : IPlaylistRows {
    std::vector<MediaEntry> entries;
    int current = -1;
    bool random = false;
    std::vector<std::string> log;
    // What probing finds for a row whose end is not known.
    double probedEnd = MediaEntry::kEndUnknown;

    int RowCount() const override { return static_cast<int>(entries.size()); }
    int CurrentRow() const override { return current; }
    void MarkCurrent(int row) override {
        current = row;
        log.push_back("mark " + std::to_string(row));
    }
    MediaEntry EntryAt(int row) const override { return entries.at(static_cast<size_t>(row)); }
    void ProbeDuration(int row) override {
        log.push_back("probe " + std::to_string(row));
        MediaEntry& entry = entries.at(static_cast<size_t>(row));
        if (entry.end == MediaEntry::kEndUnprobed) entry.end = probedEnd;
    }
    bool RandomOrder() const override { return random; }

    void Fill(int n) {
        entries.clear();
        for (int i = 0; i < n; ++i) entries.push_back({"/m/" + std::to_string(i) + ".avi", i * 10.0, i * 10.0 + 5});
    }
};

struct FakeHost : IPlaySequenceHost {
    PlayerSettings settings{};
    std::vector<MediaEntry> loaded;
    std::vector<std::string> calls;
    bool hasMedia = false, hasVideo = true, paused = false;
    double rangeEndAtLoad = 0.0;

    PlayerSettings& Settings() override { return settings; }
    void LoadEntry(const MediaEntry& entry) override {
        loaded.push_back(entry);
        rangeEndAtLoad = settings.rangeEnd;
        hasMedia = true;
    }
    bool HasMedia() override { return hasMedia; }
    bool HasVideo() override { return hasVideo; }
    bool Paused() override { return paused; }
    void SeekTo(double seconds) override { calls.push_back("seek " + std::to_string(int(seconds))); }
    void Play() override { calls.push_back("play"); }
    void ToggleFullScreen() override { calls.push_back("fullscreen"); }
    void PowerOff() override { calls.push_back("poweroff"); }
};

class PlaySequenceTest : public ::testing::Test {
protected:
    FakeRows rows_;
    FakeHost host_;
    PlaySequence sequence_{rows_, host_, 1234};

    // The row that was opened last, -1 when none was.
    int LoadedRow() const {
        if (host_.loaded.empty()) return -1;
        for (size_t i = 0; i < rows_.entries.size(); ++i)
            if (rows_.entries[i].path == host_.loaded.back().path) return static_cast<int>(i);
        return -2;
    }
};

enum Op { Next, Previous, Selected };

TEST_F(PlaySequenceTest, NextPreviousAndPlayChooseTheRowByPositionAndRepeatMode) {
    const struct {
        Op op;
        int count, current, index;
        RepeatMode repeat;
        int loaded;        // -1: nothing opened
        int indexAfter, currentAfter;
    } cases[] = {
        // Nothing playing yet: every operation starts at the first row.
        {Next, 3, -1, -1, RepeatMode::All, 0, 0, 0},
        {Previous, 3, -1, -1, RepeatMode::All, 0, 0, 0},
        {Selected, 3, -1, -1, RepeatMode::All, 0, 0, 0},
        // An empty list: nothing opens, and what was current is forgotten.
        {Next, 0, -1, -1, RepeatMode::All, -1, -1, -1},
        {Next, 0, 2, 2, RepeatMode::All, -1, -1, -1},
        {Previous, 0, 1, 1, RepeatMode::All, -1, -1, -1},
        {Selected, 0, 0, 0, RepeatMode::All, -1, -1, -1},
        // Ordinary steps.
        {Next, 3, 0, 0, RepeatMode::Off, 1, 1, 1},
        {Previous, 3, 2, 2, RepeatMode::Off, 1, 1, 1},
        {Selected, 3, 0, 2, RepeatMode::Off, 2, 2, 2},
        // The ends of the list.
        {Next, 3, 2, 2, RepeatMode::All, 0, 0, 0},
        {Next, 3, 2, 2, RepeatMode::One, -1, 2, 2},
        {Next, 3, 2, 2, RepeatMode::Off, -1, 2, 2},
        {Previous, 3, 0, 0, RepeatMode::Off, 2, 2, 2},  // wraps whatever the mode
        // Rows were removed under the current row: start again at the first.
        {Next, 2, 5, 5, RepeatMode::Off, 0, 0, 0},
        {Previous, 2, 5, 5, RepeatMode::Off, 0, 0, 0},
        {Selected, 2, 1, 7, RepeatMode::Off, 0, 0, 0},
    };
    for (const auto& c : cases) {
        FakeRows rows;
        FakeHost host;
        rows.Fill(c.count);
        rows.current = c.current;
        host.settings.currentIndex = c.index;
        host.settings.repeatMode = static_cast<int32_t>(c.repeat);
        PlaySequence sequence(rows, host, 1);
        if (c.op == Next) sequence.PlayNext();
        if (c.op == Previous) sequence.PlayPrevious();
        if (c.op == Selected) sequence.PlaySelected();
        const std::string what = "op " + std::to_string(c.op) + " count " + std::to_string(c.count) +
                                 " current " + std::to_string(c.current);
        if (c.loaded < 0) {
            EXPECT_TRUE(host.loaded.empty()) << what;
        } else {
            ASSERT_EQ(host.loaded.size(), 1u) << what;
            EXPECT_EQ(host.loaded[0], rows.entries[size_t(c.loaded)]) << what;
            // The row is probed, then marked, before it opens.
            EXPECT_EQ(rows.log, (std::vector<std::string>{"probe " + std::to_string(c.loaded),
                                                          "mark " + std::to_string(c.loaded)}))
                << what;
        }
        EXPECT_EQ(host.settings.currentIndex, c.indexAfter) << what;
        EXPECT_EQ(rows.current, c.currentAfter) << what;
    }
}

TEST_F(PlaySequenceTest, ARowOpensAtItsBeginWithItsProbedEndAsTheRangeEnd) {
    rows_.Fill(3);
    rows_.entries[1] = {"/m/range.avi", 12.5, 30.25};
    rows_.entries[2] = {"/m/unknown.avi", 0.0, MediaEntry::kEndUnprobed};
    rows_.probedEnd = 42.0;
    rows_.current = 0;
    sequence_.PlayNext();
    EXPECT_EQ(host_.loaded.back().begin, 12.5);
    EXPECT_EQ(host_.rangeEndAtLoad, 30.25);
    // Its range ended: the end-of-media handling moves on to the next row and its range.
    sequence_.AfterEndOfMedia();
    EXPECT_EQ(LoadedRow(), 2);
    EXPECT_EQ(host_.rangeEndAtLoad, 42.0);  // probed before it was read
    EXPECT_EQ(host_.settings.rangeEnd, 42.0);
}

TEST_F(PlaySequenceTest, PlayOnTheOpenRowResumesAPauseOrStartsOverWithoutReopening) {
    const struct {
        bool paused, fullScreenOnPlay, hasVideo;
        int fullScreen;
        std::vector<std::string> calls;
    } cases[] = {
        {true, false, true, 0, {"play"}},
        {false, false, true, 0, {"seek 20", "play"}},
        {false, true, true, 0, {"fullscreen", "seek 20", "play"}},
        {false, true, false, 0, {"seek 20", "play"}},  // no picture: no full screen
        {true, true, true, 1, {"play"}},               // already full screen
    };
    for (const auto& c : cases) {
        FakeRows rows;
        FakeHost host;
        rows.Fill(3);
        rows.current = 2;
        host.settings.currentIndex = 2;
        host.settings.rangeEnd = 99.0;
        host.hasMedia = true;
        host.paused = c.paused;
        host.hasVideo = c.hasVideo;
        host.settings.fullScreen = c.fullScreen;
        host.settings.fullScreenOnPlay = c.fullScreenOnPlay ? 1 : 0;
        PlaySequence sequence(rows, host, 1);
        sequence.PlaySelected();
        EXPECT_TRUE(host.loaded.empty());
        EXPECT_EQ(host.calls, c.calls);
        EXPECT_EQ(host.settings.rangeEnd, 99.0);
        EXPECT_EQ(rows.log, (std::vector<std::string>{"probe 2"}));
    }
}

TEST_F(PlaySequenceTest, TheEndOfAMediumRepeatsMovesOnOrShutsDownAfterTheLastRow) {
    const struct {
        RepeatMode repeat;
        int shutdown, current;
        bool random;
        int loaded;  // -1: nothing opened
        bool powerOff;
        int indexAfter;
    } cases[] = {
        {RepeatMode::All, 0, 1, false, 2, false, 2},
        {RepeatMode::All, 0, 2, false, 0, false, 0},
        {RepeatMode::Off, 0, 2, false, -1, false, 2},  // stays at the end, paused
        {RepeatMode::Off, 0, 0, false, 1, false, 1},
        {RepeatMode::One, 0, 1, false, -1, false, 1},  // replayed in place, not reopened
        {RepeatMode::All, 1, 2, false, -1, true, -1},  // the last row ends the session
        {RepeatMode::One, 1, 2, false, -1, true, -1},
        {RepeatMode::All, 1, 1, false, 2, false, 2},   // not the last: on to the next
        {RepeatMode::All, 1, -1, false, 0, false, 0},  // nothing marked is no last row
    };
    for (const auto& c : cases) {
        FakeRows rows;
        FakeHost host;
        rows.Fill(3);
        rows.current = c.current;
        rows.random = c.random;
        host.settings.currentIndex = c.current;
        host.settings.repeatMode = static_cast<int32_t>(c.repeat);
        host.settings.shutdownWhenFinished = c.shutdown;
        host.hasMedia = c.current >= 0;
        PlaySequence sequence(rows, host, 1);
        sequence.AfterEndOfMedia();
        const std::string what = "repeat " + std::to_string(int(c.repeat)) + " current " +
                                 std::to_string(c.current) + " shutdown " + std::to_string(c.shutdown);
        if (c.loaded < 0) {
            EXPECT_TRUE(host.loaded.empty()) << what;
        } else {
            ASSERT_FALSE(host.loaded.empty()) << what;
            EXPECT_EQ(host.loaded.back().path, rows.entries[size_t(c.loaded)].path) << what;
        }
        const bool poweredOff = std::find(host.calls.begin(), host.calls.end(), "poweroff") != host.calls.end();
        EXPECT_EQ(poweredOff, c.powerOff) << what;
        EXPECT_EQ(host.settings.currentIndex, c.indexAfter) << what;
    }
}

TEST_F(PlaySequenceTest, RandomOrderNeverRepeatsARowAndReachesEveryRow) {
    for (int count : {2, 3, 7}) {
        FakeRows rows;
        FakeHost host;
        rows.Fill(count);
        rows.random = true;
        rows.current = 0;
        PlaySequence sequence(rows, host, 99);
        std::set<int> seen;
        int previous = 0;
        for (int step = 0; step < 300; ++step) {
            sequence.PlayNext();
            const int now = rows.current;
            ASSERT_NE(now, previous) << "count " << count << " step " << step;
            ASSERT_TRUE(now >= 0 && now < count);
            // Random order ignores the end of the list: no repeat mode stops it.
            seen.insert(now);
            previous = now;
        }
        EXPECT_EQ(static_cast<int>(seen.size()), count);
    }
    // One row plays again at once, whatever was picked before.
    FakeRows one;
    FakeHost host;
    one.Fill(1);
    one.random = true;
    one.current = 0;
    host.settings.repeatMode = static_cast<int32_t>(RepeatMode::Off);
    PlaySequence sequence(one, host, 5);
    sequence.PlayNext();
    sequence.PlayNext();
    EXPECT_EQ(host.loaded.size(), 2u);
}

TEST_F(PlaySequenceTest, RandomPicksAreUniformOverTheOtherRows) {
    std::vector<int> hits(5, 0);
    for (int i = 0; i < 40000; ++i) ++hits[size_t(sequence_.PickRandom(5, 2))];
    EXPECT_EQ(hits[2], 0);
    for (int row : {0, 1, 3, 4}) EXPECT_NEAR(hits[size_t(row)], 10000, 600) << row;
}

}  // namespace
