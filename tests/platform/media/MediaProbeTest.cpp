// The probe's facts are what the player sizes its picture and information box from, so
// they are checked against media whose facts are known from how they were made.

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <random>

#include "platform/media/MediaProbe.h"
#include "support/MediaGenerator.h"
#include "support/TempEnvironment.h"

namespace {

class MediaProbeTest : public TempFolderTest {
protected:
    media::MediaProbe probe_;
    media::MediaFacts facts_;
};

const media::StreamFacts* FindKind(const media::MediaFacts& facts, media::StreamKind kind) {
    for (const auto& stream : facts.streams) {
        if (stream.kind == kind) return &stream;
    }
    return nullptr;
}

TEST_F(MediaProbeTest, AudioVideoAviGivesBothStreamsWithTheirFormats) {
    const std::string path = env_.Path("clip.avi");
    media::AviSpec spec;
    spec.seconds = 1.0;
    spec.width = 176;
    spec.height = 144;
    spec.framesPerSecond = 25;
    spec.audioRate = 22050;
    spec.audioChannels = 1;
    ASSERT_TRUE(media::MakeAvi(path, spec));

    ASSERT_TRUE(probe_.Probe(path, facts_)) << probe_.LastError();
    ASSERT_EQ(facts_.streams.size(), 2u);
    const auto* video = FindKind(facts_, media::StreamKind::Video);
    const auto* audio = FindKind(facts_, media::StreamKind::Audio);
    ASSERT_TRUE(video && audio);
    EXPECT_EQ(video->width, 176);
    EXPECT_EQ(video->height, 144);
    EXPECT_DOUBLE_EQ(video->frameRate, 25.0);
    EXPECT_EQ(video->fourCC, media::MakeFourCC('M', 'J', 'P', 'G'));
    EXPECT_EQ(audio->sampleRate, 22050);
    EXPECT_EQ(audio->channels, 1);
    EXPECT_EQ(audio->bitRate, 22050 * 16);
    EXPECT_NEAR(facts_.duration, 1.0, 0.05);
}

TEST_F(MediaProbeTest, WavGivesOneAudioStreamAndNoVideo) {
    const std::string path = env_.Path("tone.wav");
    media::AudioSpec spec;
    spec.seconds = 1.0;
    spec.rate = 48000;
    spec.channels = 2;
    ASSERT_TRUE(media::MakeWav(path, spec));

    ASSERT_TRUE(probe_.Probe(path, facts_)) << probe_.LastError();
    ASSERT_EQ(facts_.streams.size(), 1u);
    EXPECT_EQ(facts_.streams[0].kind, media::StreamKind::Audio);
    EXPECT_EQ(facts_.streams[0].sampleRate, 48000);
    EXPECT_EQ(facts_.streams[0].channels, 2);
    EXPECT_EQ(facts_.streams[0].bitRate, 48000 * 2 * 16);
    EXPECT_EQ(facts_.streams[0].width, 0);
}

TEST_F(MediaProbeTest, NonMediaAndMissingFilesFailWithEmptyFacts) {
    const std::string noise = env_.Path("noise.bin");
    std::string bytes(20000, '\0');
    std::mt19937 random(7);
    for (char& c : bytes) c = static_cast<char>(random());
    TempEnvironment::WriteFile(noise, bytes);

    for (const std::string& path : {noise, env_.Path("absent.avi")}) {
        facts_.streams.resize(3);
        facts_.duration = 9;
        EXPECT_FALSE(probe_.Probe(path, facts_)) << path;
        EXPECT_TRUE(facts_.streams.empty());
        EXPECT_EQ(facts_.duration, 0.0);
        EXPECT_FALSE(probe_.LastError().empty());
    }
}

TEST(FourCCFromCaps, NamesCodecsAndRawFormatsAndNothingElse) {
    gst_init(nullptr, nullptr);
    const struct {
        const char* caps;
        uint32_t fourCC;
    } cases[] = {
        {"image/jpeg", media::MakeFourCC('M', 'J', 'P', 'G')},
        {"video/mpeg, mpegversion=(int)4", media::MakeFourCC('M', 'P', '4', 'V')},
        {"video/mpeg, mpegversion=(int)2", media::MakeFourCC('M', 'P', 'G', '2')},
        {"video/x-raw, format=(string)I420", media::MakeFourCC('I', '4', '2', '0')},
        {"video/x-raw, format=(string)RGB", 0},  // not four characters
        {"video/x-raw", 0},
        {"audio/x-raw", 0},
    };
    for (const auto& c : cases) {
        GstCaps* caps = gst_caps_from_string(c.caps);
        EXPECT_EQ(media::FourCCFromCaps(caps), c.fourCC) << c.caps;
        gst_caps_unref(caps);
    }
    EXPECT_EQ(media::FourCCFromCaps(nullptr), 0u);
    EXPECT_EQ(media::MakeFourCC('M', 'J', 'P', 'G'), 0x47504A4Du);
}

}  // namespace
