// korc takes everything it does from the job file: a job written by the player must come
// back whole, and no job file, however damaged, may crash it.

#include <gtest/gtest.h>

#include <QProcess>

#include <cstring>
#include <limits>

#include "common/FileAccess.h"
#include "engine/JobLoader.h"
#include "engine/JobObject.h"
#include "engine/KorcApp.h"
#include "engine/WizardState.h"
#include "platform/system/ProcessLauncher.h"
#include "player/wizard/JobStarter.h"
#include "support/TempEnvironment.h"

namespace {

struct NoLaunch : IProcessLauncher {
    bool StartDetached(const std::string&, const std::vector<std::string>&) override { return true; }
};

class JobLoaderTest : public TempFolderTest {
protected:
    // Writes a job the way the player does and returns the job file's path.
    std::string WriteWithPlayer(const JobSnapshot& snapshot) {
        NoLaunch launcher;
        const JobOutcome outcome = JobStarter::WriteJobAndLaunch(snapshot, launcher);
        EXPECT_TRUE(outcome.ok) << outcome.message;
        return outcome.jobPath;
    }
    JobSnapshot Snapshot(JobKind kind, int fragments) const {
        JobSnapshot s;
        s.kind = kind;
        for (int i = 0; i < fragments; ++i) {
            s.entries.push_back({"/media/part " + std::to_string(i) + ".avi", i + 0.75, i + 5.5});
        }
        s.subtitlesPath = "/media/part.srt";
        s.logoEnabled = true;
        s.logoPath = "/media/logo.png";
        s.logoX = 900;
        s.logoY = 50;
        s.ownerWindow = 0x4400012;
        s.effects = DefaultEffectParams();
        s.effects.invert = 1;
        s.appDataFolder = env_.DataHome() + "/Kalvor";
        s.programFolder = env_.Path("program");
        return s;
    }
};

TEST(KorcCommandLine, TheWholeArgumentTextIsThePathAndMustNameAJobFile) {
    EXPECT_EQ(KorcCommandLine({"/home/u/my", "data/KORCP.SPF"}), "/home/u/my data/KORCP.SPF");
    JobObject job;
    WizardState state;
    EXPECT_EQ(LoadJobFile("/x/job.Spf", job, state), JobLoad::NotAJobFile);
    EXPECT_EQ(LoadJobFile("/x/job.txt", job, state), JobLoad::NotAJobFile);
    EXPECT_EQ(LoadJobFile("/x/KORCP.SPF.bak", job, state), JobLoad::CannotOpen);  // passes the test
    EXPECT_EQ(LoadJobFile("\"/x/a.spf\"", job, state), JobLoad::CannotOpen);
}

TEST_F(JobLoaderTest, AJobWrittenByThePlayerFillsTheStateExactly) {
    const std::string path = WriteWithPlayer(Snapshot(JobKind::MixVideoAudio, 3));
    JobObject job;
    WizardState state;
    ASSERT_EQ(LoadJobFile(path, job, state), JobLoad::Loaded);
    EXPECT_EQ(state.jobKind, 6);
    EXPECT_EQ(state.ownerWindow, 0x4400012u);
    EXPECT_EQ(state.effects.invert, 1);
    EXPECT_EQ(job.subtitlesPath, "/media/part.srt");
    EXPECT_EQ(job.logoPath, "/media/logo.png");
    EXPECT_EQ(job.logoX, 900);
    EXPECT_EQ(job.logoY, 50);
    ASSERT_EQ(state.inputFragments.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(state.inputFragments[i].path, "/media/part " + std::to_string(i) + ".avi");
        EXPECT_EQ(state.inputFragments[i].start, i);      // whole seconds
        EXPECT_EQ(state.inputFragments[i].end, i + 5);
    }
    // The current fragment is the last one read.
    EXPECT_EQ(job.paths[0], "/media/part 2.avi");
    EXPECT_EQ(job.start, 2.0);
    EXPECT_EQ(job.end, 7.0);
}

TEST_F(JobLoaderTest, LongPathsAndManyFragmentsAreKeptWhole) {
    JobSnapshot snapshot = Snapshot(JobKind::MergeAudio, 5003);
    snapshot.entries[5002].path = "/" + std::string(2998, 'p');
    const std::string path = WriteWithPlayer(snapshot);
    JobObject job;
    WizardState state;
    ASSERT_EQ(LoadJobFile(path, job, state), JobLoad::Loaded);
    ASSERT_EQ(state.inputFragments.size(), 5003u);
    EXPECT_EQ(state.inputFragments[5001].path, "/media/part 5001.avi");
    EXPECT_EQ(state.inputFragments[5002].path.size(), 2999u);

    snapshot.entries.clear();  // a job without fragments still loads
    JobFile empty;
    empty.header.kind = 5;
    FileAccess file;
    ASSERT_EQ(file.Open(path.c_str(), "AlwaysCreate ReadWrite"), 1);
    WriteJobRecords(file, empty);
    file.Close();
    WizardState none;
    JobObject blank;
    ASSERT_EQ(LoadJobFile(path, blank, none), JobLoad::Loaded);
    EXPECT_TRUE(none.inputFragments.empty());
    EXPECT_EQ(blank.paths[0], "");
}

TEST_F(JobLoaderTest, KorcEndsCleanlyOnEveryDamagedJobFile) {
    const std::string good = WriteWithPlayer(Snapshot(JobKind::MergeVideo, 2));
    const std::string bytes = TempEnvironment::ReadFile(good);
    auto withCount = [&](int32_t count) {
        std::string copy = bytes;
        std::memcpy(copy.data() + 4, &count, 4);
        return copy;
    };
    std::string unterminated = bytes;
    std::memset(unterminated.data() + 6304 + 440 + 8, 'U', 3000);
    struct Case {
        const char* what;
        std::string bytes;
        int exitCode;
    };
    const Case cases[] = {
        {"empty", "", kExitNoJob},
        {"header only", bytes.substr(0, 6304), kExitNoJob},
        {"count 3 with 2 records", withCount(3), kExitNoJob},
        {"count -1", withCount(-1), kExitNoJob},
        {"count 0x7FFFFFFF", withCount(std::numeric_limits<int32_t>::max()), kExitNoJob},
        {"unterminated path", unterminated, kExitNoRunner},
    };
    const std::string korc = std::string(KALVOR_PROGRAM_DIR) + "/korc";
    for (const Case& c : cases) {
        const std::string path = env_.Path("damaged/KORCP.SPF");
        TempEnvironment::WriteFile(path, c.bytes);
        QProcess process;
        process.start(QString::fromStdString(korc), {QString::fromStdString(path)});
        ASSERT_TRUE(process.waitForFinished(60000)) << c.what;
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << c.what;
        EXPECT_EQ(process.exitCode(), c.exitCode) << c.what << ": " << process.readAllStandardError().toStdString();
    }
}

}  // namespace
