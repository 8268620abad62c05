// The generated media are what the tests of the player and korc take as input, so their
// lengths, sizes and formats are checked here from the files' own headers.

#include <gtest/gtest.h>

#include <QImage>

#include <cstdint>
#include <cstring>

#include "support/MediaGenerator.h"
#include "support/TempEnvironment.h"

namespace {

uint32_t U32(const std::string& bytes, size_t offset) {
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

// Offsets of the main AVI header fields behind "RIFF....AVI LIST....hdrlavih....".
constexpr size_t kAviTotalFrames = 48;
constexpr size_t kAviStreams = 56;
constexpr size_t kAviWidth = 64;
constexpr size_t kAviHeight = 68;

class MediaGeneratorTest : public TempFolderTest {};

TEST_F(MediaGeneratorTest, AviHasTheRequestedFramesSizeAndStreams) {
    struct Case {
        media::VideoCodec video;
        media::AudioCodec audio;
        uint32_t streams;
    };
    const Case cases[] = {
        {media::VideoCodec::Jpeg, media::AudioCodec::Pcm, 2},
        {media::VideoCodec::Mpeg4, media::AudioCodec::Mp3, 2},
        {media::VideoCodec::Jpeg, media::AudioCodec::None, 1},
    };
    for (const Case& c : cases) {
        const std::string path = env_.Path("clip.avi");
        media::AviSpec spec;
        spec.seconds = 1.0;
        spec.width = 176;
        spec.height = 144;
        spec.framesPerSecond = 10;
        spec.video = c.video;
        spec.audio = c.audio;
        std::string error;
        ASSERT_TRUE(media::MakeAvi(path, spec, &error)) << error;
        const std::string bytes = TempEnvironment::ReadFile(path);
        ASSERT_GT(bytes.size(), 100u);
        EXPECT_EQ(bytes.substr(0, 4), "RIFF");
        EXPECT_EQ(bytes.substr(8, 4), "AVI ");
        EXPECT_EQ(U32(bytes, kAviTotalFrames), 10u);
        EXPECT_EQ(U32(bytes, kAviStreams), c.streams);
        EXPECT_EQ(U32(bytes, kAviWidth), 176u);
        EXPECT_EQ(U32(bytes, kAviHeight), 144u);
    }
}

TEST_F(MediaGeneratorTest, WavHoldsExactlyTheRequestedSamples) {
    const std::string path = env_.Path("tone.wav");
    media::AudioSpec spec;
    spec.seconds = 1.5;
    spec.rate = 22050;
    spec.channels = 1;
    std::string error;
    ASSERT_TRUE(media::MakeWav(path, spec, &error)) << error;
    const std::string bytes = TempEnvironment::ReadFile(path);
    ASSERT_EQ(bytes.substr(0, 4), "RIFF");
    const size_t data = bytes.find("data");
    ASSERT_NE(data, std::string::npos);
    EXPECT_EQ(U32(bytes, data + 4), 22050u * 3 / 2 * 2);  // 16-bit mono
}

TEST_F(MediaGeneratorTest, Mp3StartsWithAFrameHeader) {
    const std::string path = env_.Path("tone.mp3");
    std::string error;
    ASSERT_TRUE(media::MakeMp3(path, media::AudioSpec{}, &error)) << error;
    const std::string bytes = TempEnvironment::ReadFile(path);
    ASSERT_GT(bytes.size(), 4u);
    const bool sync = static_cast<uint8_t>(bytes[0]) == 0xFF && (static_cast<uint8_t>(bytes[1]) & 0xE0) == 0xE0;
    EXPECT_TRUE(sync || bytes.substr(0, 3) == "ID3");
}

TEST_F(MediaGeneratorTest, PicturesLoadWithTheirSize) {
    for (const auto format : {media::PictureFormat::Bmp, media::PictureFormat::Png}) {
        const std::string path = env_.Path(format == media::PictureFormat::Bmp ? "p.bmp" : "p.png");
        std::string error;
        ASSERT_TRUE(media::MakePicture(path, 64, 48, format, &error)) << error;
        const QImage image(QString::fromStdString(path));
        EXPECT_EQ(image.size(), QSize(64, 48));
        EXPECT_EQ(TempEnvironment::ReadFile(path).substr(0, 2),
                  format == media::PictureFormat::Bmp ? "BM" : "\x89P");
    }
}

TEST(MediaGenerator, ABrokenDescriptionFailsWithAReason) {
    std::string error;
    EXPECT_FALSE(media::RunPipeline("nosuchelement ! fakesink", &error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
