// Lengths are probed off the user-interface thread, once per entry, and each answer must
// land on its own entry even when the rows moved or went away while the probe ran.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <cmath>
#include <mutex>
#include <random>
#include <string>

#include "player/playlist/DurationProber.h"
#include "player/playlist/MediaEntryLists.h"
#include "support/MediaGenerator.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"

namespace {

class DurationProberTest : public TempFolderTest {
protected:
    void Add(const std::string& path, double end = -1.0) {
        entries_.AddEntry(entries_.Count(), path, 0.0, end);
    }
    double End(int row) const { return entries_.Entry(row).end; }

    MediaEntryLists entries_;
};

TEST_F(DurationProberTest, GeneratedMediaGetTheirLengthsAndWhatIsNoMediaGetsNone) {
    const std::string wav = env_.Path("tone.wav"), avi = env_.Path("clip.avi");
    const std::string noise = env_.Path("noise.avi"), fifo = env_.Path("fifo.avi");
    ASSERT_TRUE(media::MakeWav(wav, {.seconds = 2.0}));
    ASSERT_TRUE(media::MakeAvi(avi, {.seconds = 3.0, .width = 160, .height = 120}));
    std::string bytes(20000, '\0');
    std::mt19937 random(5);
    for (char& c : bytes) c = char(random());
    TempEnvironment::WriteFile(noise, bytes);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);  // would block a probe that opened it

    for (const std::string& path : {wav, avi, noise, fifo, env_.Path("absent.avi"), wav}) Add(path);
    Add(avi, 7.0);  // already known: never probed again
    DurationProber prober(entries_, 5000);
    prober.ProbeRows(1, 4);   // the rows in view
    prober.ProbeDuration(0);  // the row about to play
    prober.ProbeRows(0, 5);   // already asked: nothing new
    EXPECT_EQ(prober.Pending(), 5);
    for (int row = 0; row < 5; ++row) {  // until answered: waiting, never "no length"
        EXPECT_EQ(End(row), -1.0) << row;
        EXPECT_TRUE(entries_.Pending(row)) << row;
    }
    ASSERT_TRUE(qttest::WaitUntil([&] { return prober.Pending() == 0; }, 30000));
    EXPECT_NEAR(End(0), 2.0, 0.05);
    EXPECT_NEAR(End(1), 3.0, 0.05);
    for (int row : {2, 3, 4}) EXPECT_EQ(End(row), -2.0) << row;
    EXPECT_EQ(End(5), -1.0);  // out of view
    EXPECT_FALSE(entries_.Pending(5));
    EXPECT_EQ(End(6), 7.0);
}

TEST_F(DurationProberTest, AnswersFollowTheirEntryThroughSortsFiltersAndRemovals) {
    std::mutex gate;  // held while the rows change under the pending probes
    std::atomic<int> calls = 0;
    gate.lock();
    DurationProber prober(entries_, [&](const std::string& path) {
        std::lock_guard open(gate);
        ++calls;
        return path.ends_with("none") ? 0.0 : double(path.back() - '0') * 10.0;
    });
    int answered = 0;
    QObject::connect(&prober, &DurationProber::Answered, [&] { ++answered; });
    for (const char* path : {"/m/1", "/m/2", "/m/3", "/m/4", "/m/none", "/m/5"}) Add(path);
    prober.ProbeRows(0, 6);
    std::vector<double> keys = {6, 5, 4, 3, 2, 1};
    entries_.SortByNumberKeys(keys, 1);  // rows reversed: /m/5 none 4 3 2 1
    entries_.RemoveEntry(4);             // /m/2 goes while its probe runs
    entries_.SetEnd(2, 99.0);            // a range end set by the user on /m/4 wins
    entries_.ShowFiltered([](const MediaEntry& e) { return e.path != "/m/3"; });  // hides /m/3
    gate.unlock();
    ASSERT_TRUE(qttest::WaitUntil([&] { return prober.Pending() == 0; }));
    EXPECT_EQ(calls, 6);
    EXPECT_EQ(answered, 6);
    entries_.ShowMaster();
    std::vector<MediaEntry> expected = {
        {"/m/5", 0, 50}, {"/m/none", 0, -2}, {"/m/4", 0, 99}, {"/m/3", 0, 30}, {"/m/1", 0, 10}};
    EXPECT_EQ(entries_.Snapshot(), expected);
}

// A probe dropped before it ran leaves its entry to be probed again; one that ran still lands.
TEST_F(DurationProberTest, ACancelledProbeLeavesItsEntryNotProbedAndFreeToAskAgain) {
    std::mutex gate;
    gate.lock();
    DurationProber prober(
        entries_,
        [&](const std::string&) {
            std::lock_guard open(gate);
            return 4.0;
        },
        1);
    for (const char* path : {"/m/a", "/m/b", "/m/c"}) Add(path);
    prober.ProbeRows(0, 3);
    prober.Cancel({entries_.IdOf(1), entries_.IdOf(2)});
    EXPECT_EQ(prober.Pending(), 1);
    EXPECT_FALSE(entries_.Pending(1));
    prober.ProbeDuration(2);  // asked again after the cancel
    gate.unlock();
    ASSERT_TRUE(qttest::WaitUntil([&] { return prober.Pending() == 0; }));
    EXPECT_EQ(End(0), 4.0);
    EXPECT_EQ(End(1), -1.0);
    EXPECT_EQ(End(2), 4.0);
}

}  // namespace
