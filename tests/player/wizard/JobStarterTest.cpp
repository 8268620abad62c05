// A job reaches korc only as a complete job file and one process start; anything that
// goes wrong on the way must stop the start and tell the user.

#include <gtest/gtest.h>

#include <QWidget>
#include <cstring>
#include <filesystem>
#include <future>
#include <mutex>

#include "platform/system/ProcessLauncher.h"
#include "platform/ui/MessageSink.h"
#include "player/wizard/JobStarter.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"

namespace {

struct Launch {
    std::string program;
    std::vector<std::string> args;
};

class FakeLauncher : public IProcessLauncher {
public:
    bool StartDetached(const std::string& program, const std::vector<std::string>& args) override {
        if (gate_) gate_->wait();
        std::lock_guard lock(mutex_);
        launches_.push_back({program, args});
        return result_;
    }
    std::vector<Launch> Launches() {
        std::lock_guard lock(mutex_);
        return launches_;
    }
    bool result_ = true;
    std::shared_future<void>* gate_ = nullptr;

private:
    std::mutex mutex_;
    std::vector<Launch> launches_;
};

struct Owner : IJobOwner {
    std::vector<int> flags;
    QWidget window;
    void EnableJobButtons(int flag) override { flags.push_back(flag); }
    QWidget* Window() override { return &window; }
};

struct Sink : IMessageSink {
    std::vector<std::string> texts;
    std::vector<QWidget*> owners;
    MessageAnswer Show(QWidget* owner, const std::string& caption, const std::string& text, MessageIcon,
                       MessageButtons) override {
        EXPECT_EQ(caption, "Kalvor");
        texts.push_back(text);
        owners.push_back(owner);
        return MessageAnswer::Ok;
    }
};

class JobStarterTest : public TempFolderTest {
protected:
    void SetUp() override { SetMessageSink(&sink_); }
    void TearDown() override { SetMessageSink(nullptr); }

    JobSnapshot Snapshot(JobKind kind) const {
        JobSnapshot s;
        s.kind = kind;
        s.entries = {{"/media/a clip.avi", 12.9, 30.5}, {"/media/b.avi", 0.0, -1.0}};
        s.firstSelected = 0;
        s.subtitlesPath = "/media/a clip.srt";
        s.logoEnabled = false;
        s.logoPath = "/media/logo.bmp";
        s.logoX = 300;
        s.logoY = 400;
        s.ownerWindow = 77;
        s.effects = DefaultEffectParams();
        s.appDataFolder = env_.DataHome() + "/Kalvor with blanks";
        s.programFolder = env_.Path("program folder");
        return s;
    }

    bool RunToEnd(JobStarter& starter, JobSnapshot snapshot) {
        bool finished = false;
        QObject::connect(&starter, &JobStarter::JobFinished, [&](bool) { finished = true; });
        if (!starter.Start(std::move(snapshot))) return false;
        return qttest::WaitUntil([&] { return finished; });
    }

    JobFile ReadBack(const std::string& path) {
        JobFile job;
        EXPECT_EQ(ReadJobRecords(TempEnvironment::ReadFile(path), job), JobReadError::None);
        return job;
    }

    Sink sink_;
    FakeLauncher launcher_;
    Owner owner_;
};

TEST_F(JobStarterTest, WritesTheJobFileAndStartsKorcWithItsPathAsOneArgument) {
    JobStarter starter(&owner_, launcher_);
    ASSERT_TRUE(RunToEnd(starter, Snapshot(JobKind::MergeVideo)));
    const std::string jobPath = env_.DataHome() + "/Kalvor with blanks/KORCP.SPF";
    const auto launches = launcher_.Launches();
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].program, env_.Path("program folder") + "/korc");
    EXPECT_EQ(launches[0].args, std::vector<std::string>{jobPath});
    EXPECT_EQ(owner_.flags, (std::vector<int>{0, 1}));
    EXPECT_TRUE(sink_.texts.empty());
    EXPECT_EQ(starter.HelpContext(), 13);

    const JobFile job = ReadBack(jobPath);
    EXPECT_EQ(job.header.kind, 4);
    ASSERT_EQ(job.fragments.size(), 2u);
    EXPECT_EQ(job.fragments[0].startSeconds, 12);
    EXPECT_EQ(job.fragments[0].endSeconds, 30);
    EXPECT_EQ(job.fragments[1].endSeconds, -1);
    EXPECT_STREQ(job.fragments[1].path, "/media/b.avi");
    EXPECT_STREQ(job.header.subtitlesPath, "/media/a clip.srt");
    EXPECT_STREQ(job.header.logoPath, "");  // logo off: nothing of it, whatever is chosen
    EXPECT_EQ(job.header.logoX, 0);
    EXPECT_EQ(job.header.ownerWindow, 77u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(env_.DataHome() + "/Kalvor with blanks"),
                            std::filesystem::directory_iterator()),
              1);  // no temporary left behind
}

TEST_F(JobStarterTest, SubtitlesAndLogoGoOnlyWhereTheyBelong) {
    JobStarter starter(&owner_, launcher_);
    for (int32_t kind = kFirstJobKind; kind <= kLastJobKind; ++kind) {
        JobSnapshot snapshot = Snapshot(static_cast<JobKind>(kind));
        snapshot.logoEnabled = true;
        ASSERT_TRUE(RunToEnd(starter, snapshot));
        const JobFile job = ReadBack(launcher_.Launches().back().args[0]);
        const bool subtitles = kind == 3 || kind == 4 || kind == 6;
        EXPECT_STREQ(job.header.subtitlesPath, subtitles ? "/media/a clip.srt" : "") << kind;
        EXPECT_STREQ(job.header.logoPath, "/media/logo.bmp");
        EXPECT_EQ(job.header.logoX, 300);
        EXPECT_EQ(job.header.logoY, 400);
    }
}

TEST_F(JobStarterTest, AFailedWriteOrAnOverlongPathStartsNothingAndSaysWhy) {
    JobStarter starter(&owner_, launcher_);
    TempEnvironment::WriteFile(env_.Path("plain-file"), "x");
    JobSnapshot unwritable = Snapshot(JobKind::MergeAudio);
    unwritable.appDataFolder = env_.Path("plain-file/Kalvor");
    ASSERT_TRUE(RunToEnd(starter, unwritable));
    ASSERT_EQ(sink_.texts.size(), 1u);
    EXPECT_EQ(sink_.texts[0], "Can't write the job file " + env_.Path("plain-file/Kalvor/KORCP.SPF") + ".");

    JobSnapshot overlong = Snapshot(JobKind::MergeAudio);
    overlong.entries[1].path = "/" + std::string(3000, 'x');
    ASSERT_TRUE(RunToEnd(starter, overlong));
    ASSERT_EQ(sink_.texts.size(), 2u);
    EXPECT_EQ(sink_.texts[1].rfind("The path is too long for a job:", 0), 0u);
    EXPECT_FALSE(TempEnvironment::Exists(overlong.appDataFolder + "/KORCP.SPF"));

    launcher_.result_ = false;
    ASSERT_TRUE(RunToEnd(starter, Snapshot(JobKind::MergeAudio)));
    ASSERT_EQ(sink_.texts.size(), 3u);
    EXPECT_EQ(sink_.texts[2], "Can't start " + env_.Path("program folder") + "/korc.");

    JobSnapshot tooMany = Snapshot(JobKind::MergeVideo);
    tooMany.entries.assign(static_cast<size_t>(kMaxJobFragments) + 1, tooMany.entries[0]);
    ASSERT_TRUE(RunToEnd(starter, tooMany));
    ASSERT_EQ(sink_.texts.size(), 4u);
    EXPECT_EQ(sink_.texts[3], "A job can take at most 5000 fragments; this one has 5001.");

    EXPECT_EQ(launcher_.Launches().size(), 1u);  // only the third one got as far as a start
    EXPECT_EQ(sink_.owners, std::vector<QWidget*>(4, &owner_.window));  // the wizard window's boxes
    EXPECT_FALSE(starter.IsBusy());
    EXPECT_EQ(owner_.flags.back(), 1);
}

TEST_F(JobStarterTest, SingleFragmentJobsWriteTheFirstSelectedRowAndMergesEveryRow) {
    JobStarter starter(&owner_, launcher_);
    for (int32_t kind = kFirstJobKind; kind <= kLastJobKind; ++kind) {
        JobSnapshot snapshot = Snapshot(static_cast<JobKind>(kind));
        snapshot.entries.push_back({"/media/c.avi", 3.0, 4.0});
        snapshot.firstSelected = 1;
        ASSERT_TRUE(RunToEnd(starter, snapshot)) << kind;
        const JobFile job = ReadBack(launcher_.Launches().back().args[0]);
        const std::vector<std::string> expected =
            kind <= 3 ? std::vector<std::string>{"/media/b.avi"}
                      : std::vector<std::string>{"/media/a clip.avi", "/media/b.avi", "/media/c.avi"};
        EXPECT_EQ(job.header.fragmentCount, static_cast<int32_t>(expected.size())) << kind;
        std::vector<std::string> written;
        for (const JobFragmentRecord& record : job.fragments) written.emplace_back(record.path);
        EXPECT_EQ(written, expected) << kind;
    }
    const size_t launches = launcher_.Launches().size();
    JobSnapshot unselected = Snapshot(JobKind::ExtractVideo);
    unselected.firstSelected = -1;
    EXPECT_FALSE(starter.Start(unselected));  // nothing to write, nothing started
    EXPECT_FALSE(starter.IsBusy());
    EXPECT_EQ(launcher_.Launches().size(), launches);
}

TEST_F(JobStarterTest, AJobStartedWhileAnotherIsPreparedIsDropped) {
    std::promise<void> release;
    std::shared_future<void> gate = release.get_future().share();
    launcher_.gate_ = &gate;
    JobStarter starter(&owner_, launcher_);
    bool finished = false;
    QObject::connect(&starter, &JobStarter::JobFinished, [&](bool) { finished = true; });

    ASSERT_TRUE(starter.Start(Snapshot(JobKind::MergeVideo)));
    EXPECT_TRUE(starter.IsBusy());
    EXPECT_FALSE(starter.Start(Snapshot(JobKind::ExtractAudio)));
    EXPECT_EQ(starter.HelpContext(), 11);  // the dropped job still sets the help context
    release.set_value();
    ASSERT_TRUE(qttest::WaitUntil([&] { return finished; }));
    EXPECT_EQ(launcher_.Launches().size(), 1u);
    EXPECT_EQ(ReadBack(launcher_.Launches()[0].args[0]).header.kind, 4);
}

TEST(RowsForJob, SingleFragmentJobsTakeTheSelectedRowAndMergesTakeAll) {
    const std::vector<JobEntry> rows = {{"/a", 0, 1}, {"/b", 0, 2}, {"/c", 0, 3}};
    EXPECT_EQ(RowsForJob(JobKind::ExtractImage, rows, 1).at(0).path, "/b");
    EXPECT_TRUE(RowsForJob(JobKind::ExtractVideo, rows, -1).empty());
    EXPECT_TRUE(RowsForJob(JobKind::ExtractAudio, rows, 3).empty());
    EXPECT_EQ(RowsForJob(JobKind::MixVideoAudio, rows, -1).size(), 3u);
    EXPECT_TRUE(RowsForJob(JobKind::MergeAudio, {}, 0).empty());
}

}  // namespace
