// Ctrl+C in the terminal korc runs in stops its job as the stop button does, though the
// editing library puts in a SIGINT handler of its own when it starts: korc ends, and the
// output keeps what was written, as a whole file.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <QProcess>
#include <chrono>
#include <thread>

#include "KorcProcess.h"
#include "WavBytes.h"
#include "support/MediaGenerator.h"
#include "support/TempEnvironment.h"

namespace {

// The size of the hidden file korc writes the output into, once there is one.
off_t PartSize(const std::string& folder, const std::string& prefix) {
    off_t size = 0;
    for (const std::string& name : TempEnvironment::Names(folder, prefix)) {
        struct stat info {};
        if (stat((folder + "/" + name).c_str(), &info) == 0) size = info.st_size;
    }
    return size;
}

class InterruptTest : public TempFolderTest {};

TEST_F(InterruptTest, CtrlCWhileAJobWritesStopsItAndKeepsAWholeShorterFile) {
    const std::string tone = env_.Path("tone.wav");
    ASSERT_TRUE(media::MakeWav(tone, {.seconds = 200.0, .rate = 8000, .channels = 1}));
    const std::string job = env_.Path("KORCP.SPF"), script = env_.Path("pages.script");
    // 4,000 s in all.
    TempEnvironment::WriteFile(
        job, JobBytes(JobKind::MergeAudio, std::vector<JobFragment>(20, {tone, 0, 200})));
    TempEnvironment::WriteFile(script, "name part\nforward\nrow 0\nforward\n");

    QProcess korc;
    StartKorc(korc, job, script);
    ASSERT_TRUE(korc.waitForStarted(10000));
    // Once the graph writes: the hidden file has grown past the header.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (PartSize(env_.Root(), ".part.wav.") < 64 * 1024 && korc.state() == QProcess::Running &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(korc.state(), QProcess::Running) << korc.readAllStandardError().toStdString();
    ASSERT_EQ(::kill(static_cast<pid_t>(korc.processId()), SIGINT), 0);
    ASSERT_TRUE(korc.waitForFinished(60000));
    EXPECT_EQ(korc.exitStatus(), QProcess::NormalExit) << "the interrupt killed korc";
    EXPECT_EQ(korc.exitCode(), 0) << korc.readAllStandardError().toStdString();

    const std::string bytes = TempEnvironment::ReadFile(env_.Path("part.wav"));
    const WavBytes wav = WavBytes::Parse(bytes);
    ASSERT_TRUE(wav.riff) << "the stopped output was not kept";
    EXPECT_EQ(wav.dataOffset + wav.dataBytes, bytes.size());
    EXPECT_GT(wav.dataBytes, 0u);
    EXPECT_LT(wav.dataBytes, 4000u * 8000 * 2) << "the interrupt did not stop the job";
}

}  // namespace
