// korc on the biggest jobs it accepts: 5,000 fragments of a few files. The fragments are read
// once per file, away from the window, so the first page comes while the user still waits
// for it.

#include <gtest/gtest.h>

#include <QProcess>
#include <string>
#include <vector>

#include "common/JobFile.h"
#include "engine/KorcApp.h"
#include "engine/ScriptedPageDriver.h"
#include "support/MediaGenerator.h"
#include "support/TempEnvironment.h"

namespace {

std::string JobBytes(JobKind kind, const std::vector<std::string>& paths, int32_t count) {
    JobFile file;
    file.header.kind = static_cast<int32_t>(kind);
    file.effects = DefaultEffectParams();
    for (int32_t i = 0; i < count; ++i) {
        JobFragmentRecord record{};
        record.startSeconds = 0;
        record.endSeconds = 1;
        paths[size_t(i) % paths.size()].copy(record.path, sizeof record.path - 1);
        file.fragments.push_back(record);
    }
    return JobFileBytes(file);
}

struct KorcRun {
    bool finished = false;
    int exitCode = -1;
    std::string error;
};

KorcRun RunKorc(const std::string& job, const std::string& script) {
    QProcess korc;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("KALVOR_MESSAGES", "stderr");
    environment.insert(kPageScriptVariable, QString::fromStdString(script));
    korc.setProcessEnvironment(environment);
    korc.start(QString(KALVOR_PROGRAM_DIR) + "/korc", {QString::fromStdString(job)});
    KorcRun run;
    run.finished = korc.waitForFinished(120000);
    if (!run.finished) korc.kill(), korc.waitForFinished(5000);
    run.exitCode = korc.exitCode();
    run.error = korc.readAllStandardError().toStdString();
    return run;
}

class HugeJobTest : public TempFolderTest {};

// The first page is accepted and the run ends on the next one: korc got to its pages and
// through them without a word of failure.
TEST_F(HugeJobTest, FiveThousandFragmentsReachTheFirstPage) {
    const std::string a = env_.Path("a.avi"), b = env_.Path("b.avi");
    ASSERT_TRUE(media::MakeAvi(a, {.seconds = 1.0, .width = 64, .height = 48}));
    ASSERT_TRUE(media::MakeAvi(b, {.seconds = 1.0, .width = 32, .height = 32}));
    const std::string script = env_.Path("pages.script");
    TempEnvironment::WriteFile(script, "name merged\nforward\ncancel\n");
    for (JobKind kind : {JobKind::MergeVideo, JobKind::MixVideoAudio, JobKind::MergeAudio}) {
        SCOPED_TRACE(static_cast<int>(kind));
        const std::string job = env_.Path("KORCP.SPF");
        TempEnvironment::WriteFile(job, JobBytes(kind, {a, b}, kMaxJobFragments));
        const KorcRun run = RunKorc(job, script);
        ASSERT_TRUE(run.finished) << "korc did not get through its pages";
        EXPECT_EQ(run.exitCode, 0) << run.error;
        for (const char* said : {"korc:", "Kalvor:", "Warning:"})
            EXPECT_EQ(run.error.find(said), std::string::npos) << run.error;
        EXPECT_FALSE(TempEnvironment::Exists(env_.Path("merged.avi")));
    }
}

}  // namespace
