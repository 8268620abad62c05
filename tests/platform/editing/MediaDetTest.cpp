// The detector's facts feed the codec pages and the timeline's formats, so they are checked
// against media made with known facts; inputs that are not media files are refused.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <tuple>

#include "platform/editing/MediaDet.h"
#include "platform/media/MediaProbe.h"
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

// The detector reads what containers and parsers say instead of asking the discoverer, which
// loads decoders; it must come to the discoverer's facts on media as users have them.
TEST_F(MediaDetTest, ReadsTheDiscoverersFactsWithoutDecoding) {
    struct Case {
        const char* name;
        bool made;
    };
    const std::string names[] = {"mpeg4-mp3vbr.avi", "jpeg-mono.avi", "mpeg4-bframes.avi",
                                 "vbr.mp3", "xing.mp3", "cbr.mp3", "mono8k.wav"};
    media::AviSpec mpeg4{.seconds = 3.0, .width = 318, .height = 238, .framesPerSecond = 25,
                         .video = media::VideoCodec::Mpeg4, .audio = media::AudioCodec::Mp3,
                         .audioRate = 48000};
    mpeg4.keyFrameInterval = 50;
    media::AviSpec jpeg{.seconds = 2.0, .width = 175, .height = 97, .framesPerSecond = 15,
                        .audioRate = 22050};
    jpeg.audioChannels = 1;
    media::AviSpec bframes = mpeg4;
    bframes.bFrames = 2;
    bframes.audio = media::AudioCodec::Pcm;
    ASSERT_TRUE(media::MakeAvi(env_.Path(names[0]), mpeg4));
    ASSERT_TRUE(media::MakeAvi(env_.Path(names[1]), jpeg));
    ASSERT_TRUE(media::MakeAvi(env_.Path(names[2]), bframes));
    ASSERT_TRUE(media::MakeMp3(env_.Path(names[3]),
                               {.seconds = 3.0, .rate = 48000, .channels = 1, .mp3 = media::Mp3Mode::Vbr}));
    ASSERT_TRUE(media::MakeMp3(env_.Path(names[4]), {.seconds = 3.0, .rate = 44100, .channels = 2,
                                                     .mp3 = media::Mp3Mode::VbrXing}));
    ASSERT_TRUE(media::MakeMp3(env_.Path(names[5]), {.seconds = 3.0, .rate = 32000}));
    ASSERT_TRUE(media::MakeWav(env_.Path(names[6]), {.seconds = 2.5, .rate = 8000, .channels = 1}));

    for (const std::string& name : names) {
        const std::string path = env_.Path(name);
        editing::MediaDetFacts facts;
        ASSERT_TRUE(editing::MediaDet().Probe(path, facts)) << name;
        media::MediaFacts discovered;
        ASSERT_TRUE(media::MediaProbe().Probe(path, discovered)) << name;
        int audio = 0, video = 0;
        for (const media::StreamFacts& stream : discovered.streams) {
            if (stream.kind == media::StreamKind::Audio && audio++ == 0) {
                EXPECT_EQ(std::tuple(facts.sampleRate, facts.channels, facts.kbps),
                          std::tuple(stream.sampleRate, stream.channels, stream.bitRate / 1000))
                    << name;
            }
            if (stream.kind == media::StreamKind::Video && video++ == 0) {
                EXPECT_EQ(std::tuple(facts.width, facts.height, facts.frameRate, facts.turned),
                          std::tuple(stream.width, stream.height, stream.frameRate, stream.turned))
                    << name;
            }
        }
        EXPECT_EQ(std::tuple(facts.audioStreams, facts.videoStreams), std::tuple(audio, video))
            << name;
        EXPECT_EQ(std::tuple(facts.hasAudio, facts.hasVideo), std::tuple(audio > 0, video > 0))
            << name;
        // A lone MP3's frames are counted to its end; the discoverer's length is only an
        // estimate without a header that counts them.
        if (name.ends_with(".mp3"))
            EXPECT_NEAR(facts.length, 3.0, 0.1) << name;  // within the encoder's padding
        else
            EXPECT_DOUBLE_EQ(facts.length, discovered.duration) << name;
    }
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
