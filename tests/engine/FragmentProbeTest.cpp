// A job of thousands of fragments names a few files many times: each file is read once, in
// the order the fragments first name it, while the window's thread goes on answering; a
// file that cannot be read ends the reading there, and so does the user's stop. Every file
// read stays open for the graph, however few open files the soft limit allowed.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <future>
#include <map>
#include <mutex>
#include <set>

#include "engine/DialogLook.h"
#include "engine/FragmentProbe.h"
#include "engine/ScriptedPageDriver.h"
#include "engine/WaitDialog.h"
#include "engine/WizardPage.h"
#include "support/MediaGenerator.h"
#include "support/TempEnvironment.h"

namespace {

constexpr auto kGenerous = std::chrono::seconds(30);

const CodecCatalogue& Catalogue() {
    static const CodecCatalogue catalogue;  // the reading shows no codec page
    return catalogue;
}

// Reads "files" whose length is their name's number; "bad" cannot be read. The first read
// waits for the gate, so that what the window's thread does meanwhile shows.
struct FakeFiles {
    std::mutex mutex;
    std::vector<std::string> read;
    std::shared_future<void> gate;

    FileProbe Probe() {
        return [this](const std::string& path, RegularFile&, editing::MediaDetFacts& facts,
                      std::string* error) {
            bool first;
            {
                std::lock_guard lock(mutex);
                first = read.empty();
                read.push_back(path);
            }
            if (first && gate.valid() && gate.wait_for(kGenerous) != std::future_status::ready) {
                *error = "the window's thread did not answer";
                return false;
            }
            if (path == "bad") {
                *error = "Cannot read bad: not media";
                return false;
            }
            facts.length = std::stod(path);
            facts.hasAudio = true;
            return true;
        };
    }
};

std::vector<InputFragment> Fragments(const std::vector<std::string>& paths, size_t count) {
    std::vector<InputFragment> fragments;
    for (size_t i = 0; i < count; ++i) fragments.push_back({paths[i % paths.size()], 0, 1});
    return fragments;
}

TEST(FragmentProbe, EachFileIsReadOnceAwayFromTheWindowsThread) {
    FakeFiles files;
    std::promise<void> answered;
    files.gate = answered.get_future().share();
    // Runs once the window's thread gets to its events again, which is while the files are read.
    QObject context;
    QTimer::singleShot(0, &context, [&] { answered.set_value(); });
    const std::vector<InputFragment> fragments = Fragments({"3", "1", "3", "2", "1"}, 5000);
    CScriptedPageDriver pages(Catalogue(), {});
    WizardState state;
    const FragmentFacts result = ProbeFragments(pages, state, fragments, files.Probe());
    EXPECT_EQ(result.error, "");
    EXPECT_FALSE(result.stopped);
    EXPECT_EQ(files.read, (std::vector<std::string>{"3", "1", "2"}));
    ASSERT_EQ(result.facts.size(), fragments.size());
    for (size_t i = 0; i < fragments.size(); ++i)
        ASSERT_EQ(result.facts[i].length, std::stod(fragments[i].path)) << i;
}

TEST(FragmentProbe, AnUnreadableFileOrAStopEndsTheReadingThere) {
    {
        FakeFiles files;
        CScriptedPageDriver pages(Catalogue(), {});
        WizardState state;
        const FragmentFacts result =
            ProbeFragments(pages, state, Fragments({"1", "bad", "1", "2"}, 8), files.Probe());
        EXPECT_EQ(result.error, "Cannot read bad: not media");
        EXPECT_TRUE(result.facts.empty());
        EXPECT_EQ(files.read, (std::vector<std::string>{"1", "bad"}));
    }
    // The user stops the reading from the wait window, which says how far it got.
    FakeFiles files;
    std::promise<void> stopped;
    files.gate = stopped.get_future().share();
    QString shown;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* wait = dynamic_cast<CWaitDialog*>(window);
            if (!wait || !wait->isVisible() || !look.isActive()) continue;
            look.stop();
            shown = wait->findChild<QLabel*>(ControlName(kWaitText))->text();
            wait->findChild<QPushButton*>(ControlName(kButtonCancel))->click();
            stopped.set_value();
        }
    });
    look.start(20);
    CScriptedPageDriver pages(Catalogue(), {});
    WizardState state;
    const FragmentFacts result =
        ProbeFragments(pages, state, Fragments({"1", "2", "3"}, 30), files.Probe());
    EXPECT_TRUE(result.stopped);
    EXPECT_TRUE(result.facts.empty());
    EXPECT_EQ(files.read, (std::vector<std::string>{"1"}));
    EXPECT_EQ(shown, "Reading file 1 of 3...");
}

class FragmentFilesTest : public TempFolderTest {};

TEST_F(FragmentFilesTest, MoreDistinctFilesThanTheSoftLimitAllowedAreAllHeldOpen) {
    const std::string tone = env_.Path("tone.wav");
    ASSERT_TRUE(media::MakeWav(tone, {.seconds = 0.2, .rate = 8000, .channels = 1}));
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    const size_t open = TempEnvironment::Names("/proc/self/fd").size();
    const size_t count = open + 48;
    if (saved.rlim_max < count + 512) GTEST_SKIP() << "the hard limit leaves no room";
    std::vector<InputFragment> fragments;
    for (size_t i = 0; i < count; ++i) {
        const std::string name = env_.Path("f" + std::to_string(i) + ".wav");
        ASSERT_EQ(link(tone.c_str(), name.c_str()), 0);
        fragments.push_back({name, 0, 1});
    }
    rlimit low = saved;
    low.rlim_cur = open + 16;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    {
        CScriptedPageDriver pages(Catalogue(), {});
        WizardState state;
        const FragmentFacts result = ProbeFragments(pages, state, fragments);
        EXPECT_EQ(result.error, "");
        ASSERT_EQ(result.files.size(), count);
        std::set<int> descriptors;
        for (const auto& file : result.files) descriptors.insert(file->Descriptor());
        EXPECT_EQ(descriptors.size(), count);
        EXPECT_EQ(descriptors.count(-1), 0u);
    }
    setrlimit(RLIMIT_NOFILE, &saved);
}

}  // namespace
