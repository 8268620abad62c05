// The detector's facts feed the codec pages and the timeline's formats, so they are checked
// against media made with known facts; inputs that are not media files are refused.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <tuple>

#include "platform/editing/MediaDet.h"
#include "support/MediaGenerator.h"
#include "support/TempEnvironment.h"

namespace {

class MediaDetTest : public TempFolderTest {};

TEST_F(MediaDetTest, FirstAudioAndVideoStreamsGiveTheJobsFacts) {
    const std::string avi = env_.Path("clip.avi"), mp3 = env_.Path("tone.mp3");
    media::AviSpec spec{
        .seconds = 2.0, .width = 176, .height = 144, .framesPerSecond = 15, .audioRate = 22050};
    spec.audioChannels = 1;
    ASSERT_TRUE(media::MakeAvi(avi, spec));
    ASSERT_TRUE(media::MakeMp3(mp3, {.seconds = 2.0, .rate = 48000, .channels = 2}));

    editing::MediaDet det;
    editing::MediaDetFacts facts;
    std::string error;
    ASSERT_TRUE(det.Probe(avi, facts, &error)) << error;
    EXPECT_EQ(std::tuple(facts.hasVideo, facts.width, facts.height, facts.frameRate),
              std::tuple(true, 176, 144, 15.0));
    EXPECT_EQ(std::tuple(facts.hasAudio, facts.sampleRate, facts.channels, facts.kbps),
              std::tuple(true, 22050, 1, 22050 * 16 / 1000));
    EXPECT_NEAR(facts.length, 2.0, 0.1);

    ASSERT_TRUE(det.Probe(mp3, facts, &error)) << error;
    EXPECT_EQ(std::tuple(facts.hasVideo, facts.hasAudio, facts.sampleRate, facts.channels),
              std::tuple(false, true, 48000, 2));
    EXPECT_NEAR(facts.length, 2.0, 0.1);
}

TEST_F(MediaDetTest, FifosFoldersNoiseAndMissingFilesAreRefused) {
    const std::string fifo = env_.Path("pipe.wav"), noise = env_.Path("noise.wav");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    TempEnvironment::WriteFile(noise, std::string(5000, '\x17'));
    editing::MediaDet det(2000);
    for (const std::string& path : {fifo, env_.Root(), noise, env_.Path("absent.wav")}) {
        editing::MediaDetFacts facts;
        facts.hasAudio = true;
        std::string error;
        EXPECT_FALSE(det.Probe(path, facts, &error)) << path;
        EXPECT_FALSE(facts.hasAudio) << path;
        EXPECT_FALSE(error.empty()) << path;
    }
}

}  // namespace
