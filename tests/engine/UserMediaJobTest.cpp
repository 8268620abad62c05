// Every korc job on media as users have it: MPEG-4 with key frames 10 s apart and B-frames,
// MP3 sound at a constant and at a variable bitrate, with and without a Xing header, at 44.1
// and 48 kHz, mono and stereo, and an odd frame size. korc runs as the player runs it; what
// it wrote is decoded and its pictures are found again in the source at the times asked for.

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "DecodedOutput.h"
#include "KorcProcess.h"
#include "WavBytes.h"
#include "support/MediaGenerator.h"
#include "support/TempEnvironment.h"

namespace {

constexpr int kRate = 25;  // frames per second of the video inputs

// A picture file as the small grey picture DecodedPictures makes of a frame.
Packet GreyPicture(const std::string& path) {
    const QImage image = QImage(QString::fromStdString(path))
                             .scaled(160, 120, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                             .convertToFormat(QImage::Format_Grayscale8);
    Packet picture;
    for (int y = 0; y < image.height(); ++y)
        picture.bytes.append(reinterpret_cast<const char*>(image.constScanLine(y)),
                             size_t(image.width()));
    return picture;
}

class UserMediaJobTest : public TempFolderTest {
protected:
    void SetUp() override {
        camera_ = env_.Path("camera.avi");
        download_ = env_.Path("download.avi");
        ASSERT_TRUE(media::MakeAvi(camera_, {.seconds = 30.0,
                                             .width = 318,
                                             .height = 238,
                                             .video = media::VideoCodec::Mpeg4,
                                             .audio = media::AudioCodec::Mp3,
                                             .audioRate = 48000,
                                             .audioChannels = 2,
                                             .keyFrameInterval = 250,
                                             .bFrames = 2,
                                             .mp3 = media::Mp3Mode::Vbr}));
        ASSERT_TRUE(media::MakeAvi(download_, {.seconds = 12.0,
                                               .width = 318,
                                               .height = 238,
                                               .video = media::VideoCodec::Mpeg4,
                                               .audio = media::AudioCodec::Mp3,
                                               .audioRate = 44100,
                                               .audioChannels = 1,
                                               .pattern = "colors",
                                               .keyFrameInterval = 250,
                                               .bFrames = 2,
                                               .mp3 = media::Mp3Mode::Cbr}));
        cameraPictures_ = DecodedPictures(camera_);
        downloadPictures_ = DecodedPictures(download_);
        ASSERT_EQ(cameraPictures_.size(), 30u * kRate);
        ASSERT_EQ(downloadPictures_.size(), 12u * kRate);
    }

    // The written picture at each output time is the source's at its time, within a frame.
    void ExpectPictures(const std::string& what, const std::vector<Packet>& written,
                        const std::vector<Packet>& source,
                        const std::vector<std::pair<double, double>>& times) {
        for (const auto& [at, from] : times) {
            const long offset = PictureOffset(written, at, source, from, kRate);
            EXPECT_LE(std::abs(offset), 1)
                << what << ": the picture at " << at << " s is the source's at "
                << from + double(offset) / kRate << " s, not at " << from << " s";
        }
    }

    // The first packet is a key frame; the video's length in seconds.
    double ExpectVideo(const std::string& what, const std::string& path) {
        const std::vector<Packet> packets = DemuxedVideo(path);
        EXPECT_FALSE(packets.empty()) << what;
        if (packets.empty()) return 0.0;
        EXPECT_TRUE(packets[0].key) << what << ": the first packet is not a key frame";
        return double(packets.size()) / kRate;
    }

    std::string camera_, download_;
    std::vector<Packet> cameraPictures_, downloadPictures_;
};

TEST_F(UserMediaJobTest, EveryVideoJobWritesTheSourcesPicturesFromAKeyFrameWithItsSound) {
    struct Case {
        const char* name;  // of the output, without ".avi"
        JobKind kind;
        std::vector<JobFragment> fragments;
        std::vector<std::string> script;
        double seconds;  // of the output
        bool sound;      // the output has audio as long as its video
        std::vector<std::tuple<double, bool, double>> pictures;  // at, from camera?, source time
    };
    const Case cases[] = {
        {"slow",  // the preferred encoders: MPEG-4 and MP3
         JobKind::ExtractVideo,
         {{camera_, 12, 18}},
         {"name slow", "forward", "forward", "forward"},
         6.0,
         true,
         {{0.2, true, 12.2}, {3.0, true, 15.0}, {5.8, true, 17.8}}},
        {"fast",  // the copy starts at the key frame at 10 s
         JobKind::ExtractVideo,
         {{camera_, 12, 18}},
         {"name fast", "click 211", "click 212", "forward"},
         8.0,
         false,
         {{0.2, true, 10.2}, {4.0, true, 14.0}, {7.8, true, 17.8}}},
        {"fastsound",
         JobKind::ExtractVideo,
         {{camera_, 12, 18}},
         {"name fastsound", "click 212", "forward", "forward"},
         8.0,
         true,
         {{0.2, true, 10.2}, {4.0, true, 14.0}, {7.8, true, 17.8}}},
        {"merged",
         JobKind::MergeVideo,
         {{camera_, 12, 15}, {download_, 3, 6}},
         {"name merged", "forward", "forward", "forward"},
         6.0,
         true,
         {{0.2, true, 12.2},
          {2.8, true, 14.8},
          {3.04, false, 3.04},
          {3.5, false, 3.5},
          {5.8, false, 5.8}}},
        {"raw",  // no encoder: 24-bit frames
         JobKind::MergeVideo,
         {{camera_, 12, 15}, {download_, 3, 6}},
         {"name raw", "click 211", "forward", "row 0", "forward"},
         6.0,
         false,
         {{0.2, true, 12.2}, {2.8, true, 14.8}, {3.04, false, 3.04}, {5.8, false, 5.8}}},
        {"mixed",  // the camera's picture under its own sound and a song of 5 s
         JobKind::MixVideoAudio,
         {{camera_, 12, 16}, {env_.Path("song.mp3"), 0, 5}},
         {"name mixed", "forward", "forward", "forward"},
         5.0,
         true,
         {{0.2, true, 12.2}, {2.0, true, 14.0}, {3.8, true, 15.8}}},
    };
    ASSERT_TRUE(media::MakeMp3(
        env_.Path("song.mp3"),
        {.seconds = 5.0, .rate = 44100, .channels = 2, .mp3 = media::Mp3Mode::VbrXing}));
    for (const Case& c : cases) {
        const KorcRun run =
            RunKorc(env_.Root(), c.name, JobBytes(c.kind, c.fragments), c.script);
        if (!run.finished) {
            ADD_FAILURE() << c.name << ": korc did not end";
            continue;
        }
        EXPECT_EQ(run.exitCode, 0) << c.name << ": " << run.errors;
        const std::string out = env_.Path(std::string(c.name) + ".avi");
        const double seconds = ExpectVideo(c.name, out);
        EXPECT_NEAR(seconds, c.seconds, 1.5 / kRate) << c.name;
        const std::vector<Packet> written = DecodedPictures(out);
        for (const auto& [at, camera, from] : c.pictures)
            ExpectPictures(c.name, written, camera ? cameraPictures_ : downloadPictures_,
                           {{at, from}});
        const std::vector<float> sound = DecodedAudio(out);
        EXPECT_NEAR(double(sound.size()) / kDecodedAudioRate, c.sound ? seconds : 0.0, 0.1)
            << c.name;
    }
    // Without an encoder the frames are 24-bit RGB, as extract and mix write them.
    std::string caps;
    DemuxedVideo(env_.Path("raw.avi"), &caps);
    EXPECT_NE(caps.find("format=(string)BGR,"), std::string::npos) << caps;
}

TEST_F(UserMediaJobTest, TheStillAndTheSoundJobsTakeTheirTimesFromTheMiddleOfAKeyFrameInterval) {
    // 440 Hz at 48 kHz stereo without a Xing header, 880 Hz at 44.1 kHz mono at a constant
    // bitrate, 1320 Hz at 44.1 kHz stereo with the header.
    const std::string vbr = env_.Path("vbr.mp3"), cbr = env_.Path("cbr.mp3"),
                      xing = env_.Path("xing.mp3");
    ASSERT_TRUE(media::MakeMp3(vbr, {.seconds = 5.0,
                                     .rate = 48000,
                                     .channels = 2,
                                     .frequency = 440,
                                     .mp3 = media::Mp3Mode::Vbr}));
    ASSERT_TRUE(media::MakeMp3(cbr, {.seconds = 3.0,
                                     .rate = 44100,
                                     .channels = 1,
                                     .frequency = 880,
                                     .mp3 = media::Mp3Mode::Cbr}));
    ASSERT_TRUE(media::MakeMp3(xing, {.seconds = 4.0,
                                      .rate = 44100,
                                      .channels = 2,
                                      .frequency = 1320,
                                      .mp3 = media::Mp3Mode::VbrXing}));

    // The picture shown at the fragment's end.
    KorcRun run = RunKorc(env_.Root(), "still", JobBytes(JobKind::ExtractImage, {{camera_, 0, 13}}),
                          {"name still", "forward"});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    const Packet still = GreyPicture(env_.Path("still.bmp"));
    ASSERT_FALSE(still.bytes.empty());
    const size_t found = NearestPicture(still, cameraPictures_, 13 * kRate, kRate);
    EXPECT_LE(std::abs(long(found) - 13 * kRate), 1) << double(found) / kRate;

    // The camera's sound from 12 to 18 s.
    run = RunKorc(env_.Root(), "sound", JobBytes(JobKind::ExtractAudio, {{camera_, 12, 18}}),
                  {"name sound", "forward", "row 0", "forward"});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    std::vector<float> samples = DecodedAudio(env_.Path("sound.wav"));
    EXPECT_NEAR(double(samples.size()) / kDecodedAudioRate, 6.0, 0.05);
    EXPECT_GT(Amplitude(samples, 0.1, 5.9, 440), 0.3);

    // The three songs one after the other, each for its fragment.
    run = RunKorc(env_.Root(), "joined",
                  JobBytes(JobKind::MergeAudio, {{vbr, 0, 5}, {cbr, 1, 3}, {xing, 0, 4}}),
                  {"name joined", "forward", "row 0", "forward"});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    samples = DecodedAudio(env_.Path("joined.wav"));
    EXPECT_NEAR(double(samples.size()) / kDecodedAudioRate, 11.0, 0.1);
    struct Stretch {
        double from, to, frequency;
    };
    for (const Stretch s :
         {Stretch{0.1, 4.9, 440}, Stretch{5.1, 6.9, 880}, Stretch{7.1, 10.9, 1320}}) {
        for (const double frequency : {440.0, 880.0, 1320.0})
            EXPECT_EQ(Amplitude(samples, s.from, s.to, frequency) > 0.1, frequency == s.frequency)
                << frequency << " Hz in " << s.from << ".." << s.to << " s";
    }
}

}  // namespace
