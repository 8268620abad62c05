// korc takes everything it does from the job file: a job written by the player must come
// back whole, and no job file, however damaged, may crash it.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>

#include <cstring>
#include <limits>

#include "engine/JobLoader.h"
#include "engine/JobObject.h"
#include "engine/KorcApp.h"
#include "engine/WizardState.h"
#include "platform/system/ProcessLauncher.h"
#include "player/wizard/JobStarter.h"
#include "support/TempEnvironment.h"
#include "support/Xvfb.h"

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

TEST_F(JobLoaderTest, LongPathsAndTheMostFragmentsAreKeptWhole) {
    JobSnapshot snapshot = Snapshot(JobKind::MergeAudio, kMaxJobFragments);
    snapshot.entries[4999].path = "/" + std::string(2998, 'p');
    const std::string path = WriteWithPlayer(snapshot);
    JobObject job;
    WizardState state;
    ASSERT_EQ(LoadJobFile(path, job, state), JobLoad::Loaded);
    ASSERT_EQ(state.inputFragments.size(), 5000u);
    EXPECT_EQ(state.inputFragments[4998].path, "/media/part 4998.avi");
    EXPECT_EQ(state.inputFragments[4999].path.size(), 2999u);

    JobFile empty;  // a job without fragments still loads
    empty.header.kind = 5;
    TempEnvironment::WriteFile(path, JobFileBytes(empty));
    WizardState none;
    JobObject blank;
    ASSERT_EQ(LoadJobFile(path, blank, none), JobLoad::Loaded);
    EXPECT_TRUE(none.inputFragments.empty());
    EXPECT_EQ(blank.paths[0], "");
}

// Runs the built korc on the path; false when it did not end within the bound.
struct KorcRun {
    bool ended = false;
    int exitCode = -1;
    std::string error;
};

// display: an X server's, for korc to show its windows on.
KorcRun RunKorc(const QStringList& args, const std::string& display = {}) {
    QProcess process;
    // A job that gets as far as running says its failure on standard error, not in a box.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", display.empty() ? "offscreen" : "xcb");
    if (!display.empty()) environment.insert("DISPLAY", QString::fromStdString(display));
    environment.insert("KALVOR_MESSAGES", "stderr");
    process.setProcessEnvironment(environment);
    process.start(QString::fromStdString(std::string(KALVOR_PROGRAM_DIR) + "/korc"), args);
    KorcRun run;
    run.ended = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    if (!run.ended) {
        process.kill();
        process.waitForFinished(5000);
        return run;
    }
    run.exitCode = process.exitCode();
    run.error = process.readAllStandardError().toStdString();
    return run;
}

TEST_F(JobLoaderTest, KorcEndsAtOnceAndSaysWhyOnEveryDamagedOrHostileJobFile) {
    const std::string good = WriteWithPlayer(Snapshot(JobKind::MergeVideo, 2));
    const std::string bytes = TempEnvironment::ReadFile(good);
    auto withCount = [&](int32_t count) {
        std::string copy = bytes;
        std::memcpy(copy.data() + 4, &count, 4);
        return copy;
    };
    std::string unterminated = bytes;
    std::memset(unterminated.data() + 6304 + 440 + 8, 'U', 3000);
    std::memset(unterminated.data() + 3008, 'L', 3000);  // the logo path
    std::string tooMany = withCount(kMaxJobFragments + 1);
    for (int i = 2; i <= kMaxJobFragments; ++i) tooMany += bytes.substr(6304 + 440, 3008);

    enum class Make { Bytes, Fifo, Folder, Missing, Sparse };
    struct Case {
        const char* what;
        Make make;
        std::string bytes;
        int exitCode;
        const char* says;  // part of the line on standard error
    };
    const Case cases[] = {
        {"empty", Make::Bytes, "", kExitNoJob, "ends inside its header"},
        {"header only", Make::Bytes, bytes.substr(0, 6304), kExitNoJob, "ends inside its effect block"},
        {"count 3 with 2 records", Make::Bytes, withCount(3), kExitNoJob, "too short for its 3 fragments"},
        {"count -1", Make::Bytes, withCount(-1), kExitNoJob, "count -1 is negative"},
        {"5001 fragments", Make::Bytes, tooMany, kExitNoJob, "count 5001 is over the limit of 5000"},
        {"count 0x7FFFFFFF over a sparse file that holds them", Make::Sparse,
         withCount(std::numeric_limits<int32_t>::max()), kExitNoJob, "is over the limit"},
        {"a FIFO", Make::Fifo, "", kExitNoJob, "not a regular file"},
        {"a folder", Make::Folder, "", kExitNoJob, "cannot open the job file"},
        {"missing", Make::Missing, "", kExitNoJob, "No such file or directory"},
        // The merge runs with its first path cut to 2999 bytes, which names no file.
        {"unterminated texts", Make::Bytes, unterminated, kExitJobFailed,
         "Kalvor: Cannot open "},
    };
    for (const Case& c : cases) {
        const std::string path = env_.Path(std::string("damaged ") + c.what + "/KORCP.SPF");
        TempEnvironment::WriteFile(path, c.bytes);  // also makes the folder
        if (c.make != Make::Bytes && c.make != Make::Sparse) std::remove(path.c_str());
        if (c.make == Make::Fifo) {
            ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
        } else if (c.make == Make::Folder) {
            ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
        } else if (c.make == Make::Sparse) {
            const off_t holds = 6304 + 440 + off_t{3008} * std::numeric_limits<int32_t>::max();
            if (truncate(path.c_str(), holds) != 0) {
                ASSERT_EQ(truncate(path.c_str(), off_t{20} << 30), 0);
            }
        }
        const KorcRun run = RunKorc({QString::fromStdString(path)});
        ASSERT_TRUE(run.ended) << c.what << ": korc did not end";
        EXPECT_EQ(run.exitCode, c.exitCode) << c.what << ": " << run.error;
        if (c.exitCode == kExitNoJob) {
            EXPECT_EQ(run.error.rfind("korc: ", 0), 0u) << c.what << ": " << run.error;
        }
        EXPECT_NE(run.error.find(c.says), std::string::npos) << c.what << ": " << run.error;
        if (c.exitCode == kExitJobFailed) {
            EXPECT_NE(run.error.find(std::string(2999, 'U') + ": "), std::string::npos) << c.what;
        }
        std::remove(path.c_str());
    }
    const KorcRun bare = RunKorc({});
    ASSERT_TRUE(bare.ended);
    EXPECT_EQ(bare.exitCode, kExitNoJob);
    EXPECT_EQ(bare.error, "korc: no job file was given\n");

    // Each run stayed small: no table was sized from a count before the count was checked.
    rusage usage{};
    ASSERT_EQ(getrusage(RUSAGE_CHILDREN, &usage), 0);
    EXPECT_LT(usage.ru_maxrss, 1L << 20) << "kilobytes";
}

// Started from a desktop, korc has no terminal: with a display, a job file it cannot take is
// also said in a box; without one, on standard error alone.
TEST_F(JobLoaderTest, AJobFileKorcCannotTakeIsAlsoABoxWhenThereIsADisplay) {
    Xvfb xvfb;
    KALVOR_REQUIRE_XVFB(xvfb);
    const std::string damaged = env_.Path("damaged/KORCP.SPF");
    TempEnvironment::WriteFile(damaged, std::string(100, 'x'));
    struct Case {
        const char* what;
        std::string path;
        const char* box;  // its text's start
    };
    const Case cases[] = {
        {"missing", env_.Path("missing/KORCP.SPF"), "Kalvor: Cannot open the job file "},
        {"damaged", damaged, "Kalvor: The job file "},
        {"not a job file", env_.Path("notes.txt"), "Kalvor: "},
    };
    for (const Case& c : cases) {
        for (const bool display : {true, false}) {
            const KorcRun run =
                RunKorc({QString::fromStdString(c.path)}, display ? xvfb.Display() : "");
            ASSERT_TRUE(run.ended) << c.what;
            EXPECT_EQ(run.exitCode, kExitNoJob) << c.what;
            EXPECT_EQ(run.error.rfind("korc: ", 0), 0u) << c.what << ": " << run.error;
            EXPECT_EQ(run.error.find(std::string("\n") + c.box) != std::string::npos, display)
                << c.what << (display ? " with" : " without") << " a display: " << run.error;
        }
    }
}

}  // namespace
