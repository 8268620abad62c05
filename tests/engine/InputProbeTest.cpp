// The container probe of an input: told from the file's bytes, whatever its name says.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "CapturedMessages.h"
#include "engine/InputProbe.h"
#include "support/MediaGenerator.h"
#include "support/TempEnvironment.h"

namespace {

TEST_F(TempFolderTest, AnInputProbesAsItsContainerAndAnUnreadableOneFailsWithOneReport) {
    CapturedMessages messages;
    ASSERT_TRUE(media::MakeAvi(env_.Path("clip.avi"), {.seconds = 0.5, .width = 32, .height = 32}));
    ASSERT_TRUE(media::MakeWav(env_.Path("tone.wav"), {.seconds = 0.5}));
    ASSERT_TRUE(media::MakeMp3(env_.Path("tone.mp3"), {.seconds = 0.5}));
    ASSERT_TRUE(media::MakePicture(env_.Path("still.png"), 32, 32, media::PictureFormat::Png));
    // A WAVE file under an AVI's name is still a WAVE file.
    TempEnvironment::WriteFile(env_.Path("wave.avi"),
                               TempEnvironment::ReadFile(env_.Path("tone.wav")));
    TempEnvironment::WriteFile(env_.Path("empty.avi"), "");
    ASSERT_EQ(mkfifo(env_.Path("pipe.avi").c_str(), 0600), 0);
    struct Case {
        const char* file;
        ContainerCode code;
        size_t reports;
    };
    const Case cases[] = {
        {"clip.avi", ContainerCode::Avi, 0},    {"tone.wav", ContainerCode::Wave, 0},
        {"wave.avi", ContainerCode::Wave, 0},   {"tone.mp3", ContainerCode::Mpeg1Audio, 0},
        {"still.png", ContainerCode::Aiff, 0},  {"empty.avi", ContainerCode::Aiff, 0},
        {"pipe.avi", ContainerCode::Failed, 1}, {"missing.avi", ContainerCode::Failed, 1},
    };
    for (const Case& c : cases) {
        messages.shown.clear();
        EXPECT_EQ(ProbeSourceContainer(env_.Path(c.file), 0), c.code) << c.file;
        EXPECT_EQ(messages.shown.size(), c.reports) << c.file;
    }
}

}  // namespace
