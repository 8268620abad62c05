// The logo preview shows a file's first picture at its own size, and says when a file has
// no picture to show.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>

#include "platform/media/FirstFrame.h"
#include "support/MediaGenerator.h"
#include "support/TempEnvironment.h"

namespace {

class FirstFrameTest : public TempFolderTest {};

// The top two thirds of videotestsrc's SMPTE pattern: seven bars, white to blue.
void ExpectSmpteBars(const media::FirstFrame& frame, int tolerance) {
    const uint32_t bars[] = {0xFFFFFF, 0xFFFF00, 0x00FFFF, 0x00FF00, 0xFF00FF, 0xFF0000, 0x0000FF};
    const int y = frame.height / 4;
    for (int i = 0; i < 7; ++i) {
        const int x = (2 * i + 1) * frame.width / 14;
        const uint32_t pixel = frame.pixels[static_cast<size_t>(y) * frame.width + x];
        for (int shift : {16, 8, 0}) {
            const int got = static_cast<int>(pixel >> shift & 0xff);
            const int want = static_cast<int>(bars[i] >> shift & 0xff);
            EXPECT_NEAR(got, want, tolerance) << "bar " << i << " shift " << shift;
        }
    }
}

TEST_F(FirstFrameTest, PicturesAndVideosShowTheirFirstFrameAtTheirOwnSize) {
    const std::string picture = env_.Path("logo.png");
    const std::string bitmap = env_.Path("logo.bmp");
    const std::string avi = env_.Path("logo.avi");
    ASSERT_TRUE(media::MakePicture(picture, 320, 240, media::PictureFormat::Png));
    ASSERT_TRUE(media::MakePicture(bitmap, 320, 240, media::PictureFormat::Bmp));
    media::AviSpec spec;
    spec.width = 160;
    spec.height = 120;
    spec.seconds = 1.0;
    ASSERT_TRUE(media::MakeAvi(avi, spec));
    const struct {
        std::string path;
        int width, height, tolerance;
    } cases[] = {
        {picture, 320, 240, 3},
        {bitmap, 320, 240, 3},
        {avi, 160, 120, 24},  // JPEG frames: near, not exact
    };
    for (const auto& c : cases) {
        media::FirstFrame frame;
        std::string error;
        ASSERT_EQ(media::GrabFirstFrame(c.path, frame, &error), media::FirstFrameResult::Ok)
            << c.path << error;
        EXPECT_EQ(frame.width, c.width);
        EXPECT_EQ(frame.height, c.height);
        ASSERT_EQ(frame.pixels.size(), static_cast<size_t>(c.width * c.height));
        ExpectSmpteBars(frame, c.tolerance);
    }
}

TEST_F(FirstFrameTest, FilesWithoutAPictureAndNonFilesAreRefused) {
    const std::string wav = env_.Path("sound.wav");
    ASSERT_TRUE(media::MakeWav(wav, media::AudioSpec{}));
    const std::string text = env_.Path("notes.bmp");
    std::ofstream(text) << "not a picture at all";
    const std::string fifo = env_.Path("pipe.avi");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string path;
        media::FirstFrameResult result;
    } cases[] = {
        {wav, media::FirstFrameResult::NoVideo},
        {fifo, media::FirstFrameResult::NotAFile},  // would block a plain open
        {env_.Path(""), media::FirstFrameResult::NotAFile},
        {env_.Path("missing.png"), media::FirstFrameResult::NotAFile},
    };
    for (const auto& c : cases) {
        media::FirstFrame frame;
        EXPECT_EQ(media::GrabFirstFrame(c.path, frame), c.result) << c.path;
        EXPECT_EQ(frame.width, 0);
        EXPECT_TRUE(frame.pixels.empty());
    }
    media::FirstFrame frame;
    EXPECT_NE(media::GrabFirstFrame(text, frame, nullptr, 3000), media::FirstFrameResult::Ok);
    EXPECT_TRUE(frame.pixels.empty());
}

}  // namespace
