// An output is a file the user goes on to share, copy and play from other accounts: it
// must get the mode any new file of theirs gets, not the private mode of a temporary file.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>

#include "KorcProcess.h"
#include "engine/OutputFile.h"
#include "support/MediaGenerator.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"

namespace {

class OutputFileTest : public TempFolderTest {};

TEST_F(OutputFileTest, AKeptOutputHasTheModeTheUmaskGivesNewFiles) {
    const mode_t before = ::umask(022);
    for (const mode_t mask : {mode_t{022}, mode_t{002}, mode_t{027}, mode_t{0}, mode_t{077}}) {
        SCOPED_TRACE(mask);
        ::umask(mask);
        const std::string path = env_.Path("out" + std::to_string(mask) + ".avi");
        OutputFile output;
        std::string error;
        ASSERT_TRUE(output.Create(path, &error)) << error;
        ASSERT_EQ(::write(output.Fd(), "RIFF", 4), 4);
        ASSERT_TRUE(output.Commit(&error)) << error;
        struct stat info {};
        ASSERT_EQ(::stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0666 & ~mask);
        EXPECT_EQ(::umask(mask), mask) << "the umask is left as it was";
    }
    ::umask(before);
}

// A korc killed while it writes leaves its output's hidden temporary file behind; the next
// run removes it, and no other file of that form.
TEST_F(OutputFileTest, AKilledRunsHalfWrittenFileGoesWithTheNextRun) {
    const std::string clip = env_.Path("clip.avi");
    ASSERT_TRUE(media::MakeAvi(clip, {.seconds = 60.0, .width = 32, .height = 32}));
    const std::string someoneElses = env_.Path(".other.avi.Ab3dEf");
    TempEnvironment::WriteFile(someoneElses, "not korc's");
    const std::string job = env_.Path("long.spf"), script = env_.Path("long.script");
    TempEnvironment::WriteFile(job, JobBytes(JobKind::MergeVideo, {{clip, 0, 60}, {clip, 0, 60}}));
    TempEnvironment::WriteFile(script, "name long\nforward\nrow 0\nforward\nrow 0\nforward\n");
    QProcess korc;
    StartKorc(korc, job, script);
    // Killed while the output is being written.
    ASSERT_TRUE(qttest::WaitUntil(
        [&] { return !TempEnvironment::Names(env_.Root(), ".long.avi.").empty(); }, 60000));
    korc.kill();
    ASSERT_TRUE(korc.waitForFinished(10000));
    ASSERT_EQ(TempEnvironment::Names(env_.Root(), ".long.avi.").size(), 1u);

    const KorcRun next = RunKorc(env_.Root(), "damaged", "", {});
    ASSERT_TRUE(next.finished);
    EXPECT_TRUE(TempEnvironment::Names(env_.Root(), ".long.avi.").empty())
        << "the killed run's file stayed";
    EXPECT_FALSE(TempEnvironment::Exists(env_.Path("long.avi")));
    EXPECT_EQ(TempEnvironment::ReadFile(someoneElses), "not korc's");
    EXPECT_TRUE(TempEnvironment::Names(env_.RuntimeDir() + "/Kalvor", "korc-").empty())
        << "a note stayed";
}

}  // namespace
