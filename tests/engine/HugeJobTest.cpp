// korc on the biggest jobs it accepts: 5,000 fragments of a few files. The fragments are read
// once per file, away from the window, so the first page comes while the user still waits
// for it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KorcProcess.h"
#include "support/MediaGenerator.h"
#include "support/TempEnvironment.h"

namespace {

class HugeJobTest : public TempFolderTest {};

// The first page is accepted and the run ends on the next one: korc got to its pages and
// through them without a word of failure.
TEST_F(HugeJobTest, FiveThousandFragmentsReachTheFirstPage) {
    const std::string a = env_.Path("a.avi"), b = env_.Path("b.avi");
    ASSERT_TRUE(media::MakeAvi(a, {.seconds = 1.0, .width = 64, .height = 48}));
    ASSERT_TRUE(media::MakeAvi(b, {.seconds = 1.0, .width = 32, .height = 32}));
    std::vector<JobFragment> fragments;
    for (int32_t i = 0; i < kMaxJobFragments; ++i) fragments.push_back({i % 2 ? b : a, 0, 1});
    for (JobKind kind : {JobKind::MergeVideo, JobKind::MixVideoAudio, JobKind::MergeAudio}) {
        SCOPED_TRACE(static_cast<int>(kind));
        const KorcRun run = RunKorc(env_.Root(), "huge", JobBytes(kind, fragments),
                                    {"name merged", "forward", "cancel"});
        ASSERT_TRUE(run.finished) << "korc did not get through its pages";
        EXPECT_EQ(run.exitCode, 0) << run.errors;
        for (const char* said : {"korc:", "Kalvor:", "Warning:"})
            EXPECT_EQ(run.errors.find(said), std::string::npos) << run.errors;
        EXPECT_FALSE(TempEnvironment::Exists(env_.Path("merged.avi")));
    }
}

}  // namespace
