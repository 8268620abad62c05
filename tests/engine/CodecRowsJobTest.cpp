// Every row a codec page lists writes a file that plays: a one-second job through each video
// encoder into an AVI, and through each audio encoder into the writer of each kind of job,
// the WAV writer and the AVI muxer, from media of an odd frame size and MP3 sound.

#include <gtest/gtest.h>

#include "CapturedMessages.h"
#include "DecodedOutput.h"
#include "RecordingPages.h"
#include "SharedCatalogue.h"
#include "common/EffectParams.h"
#include "engine/AudioJob.h"
#include "engine/ExtractVideoJob.h"
#include "engine/JobObject.h"
#include "support/MediaGenerator.h"
#include "support/TempEnvironment.h"

namespace {

class CodecRowsJobTest : public TempFolderTest {
protected:
    void SetUp() override {
        input_ = env_.Path("in.avi");
        ASSERT_TRUE(media::MakeAvi(input_, {.seconds = 2.0,
                                            .width = 318,
                                            .height = 238,
                                            .video = media::VideoCodec::Mpeg4,
                                            .audio = media::AudioCodec::Mp3,
                                            .audioRate = 44100,
                                            .audioChannels = 2}));
    }

    // The job's one second from 0.5 s; the failure's text when it did not end done.
    std::string Run(JobKind kind, const std::vector<std::string>& script) {
        CapturedMessages messages;
        JobObject job;
        job.paths[0] = input_;
        job.start = 0;
        job.end = 1;
        WizardState state;
        state.jobKind = static_cast<int32_t>(kind);
        state.effects = DefaultEffectParams();
        state.inputFragments = {{input_, 0, 1}};
        state.outputFolder = env_.Root();
        RecordingPages pages(Catalogue(), script);
        const JobEnd end = kind == JobKind::ExtractVideo
                               ? CExtractVideoJob(job, state, pages, Catalogue()).Run()
                               : CAudioJob(job, state, pages, Catalogue()).Run();
        if (end == JobEnd::Done && messages.shown.empty()) return {};
        return messages.shown.empty() ? "ended without saying why" : messages.shown[0].text;
    }

    std::string input_;
};

TEST_F(CodecRowsJobTest, EveryListedVideoEncoderWritesAnAviThatPlaysFromAKeyFrame) {
    const std::vector<CodecEntry>& rows = Catalogue().Video();
    const std::vector<Packet> source = DecodedPictures(input_);
    for (size_t row = 1; row <= rows.size(); ++row) {
        const std::string& what = rows[row - 1].factoryName;
        const std::string failure =
            Run(JobKind::ExtractVideo,
                {"name out", "click 211", "forward", "row " + std::to_string(row), "forward"});
        EXPECT_EQ(failure, "") << what;
        const std::vector<Packet> packets = DemuxedVideo(env_.Path("out.avi"));
        EXPECT_FALSE(packets.empty() || !packets[0].key) << what << ": no key frame first";
        const std::vector<Packet> written = DecodedPictures(env_.Path("out.avi"));
        EXPECT_NEAR(double(written.size()), 25.0, 1.0) << what;
        for (const double at : {0.1, 0.5, 0.9})
            EXPECT_LE(std::abs(PictureOffset(written, at, source, at, 25)), 1) << what << " " << at;
        std::remove(env_.Path("out.avi").c_str());
    }
}

TEST_F(CodecRowsJobTest, EveryListedAudioEncoderWritesSoundThatPlaysInItsWriter) {
    for (const AudioWriter writer : {AudioWriter::Wav, AudioWriter::Avi}) {
        const bool wav = writer == AudioWriter::Wav;
        const std::vector<CodecEntry>& rows = Catalogue().Audio(writer);
        for (size_t row = 1; row <= rows.size() + 1; ++row) {
            const std::string what =
                (row <= rows.size() ? rows[row - 1].factoryName : std::string(kMp3EncoderFactory)) +
                (wav ? " into WAV" : " into AVI");
            const std::string pick = "row " + std::to_string(row);
            const std::string failure =
                wav ? Run(JobKind::ExtractAudio, {"name out", "forward", pick, "forward"})
                    : Run(JobKind::ExtractVideo,
                          {"name out", "forward", pick, "forward", "row 0", "forward"});
            EXPECT_EQ(failure, "") << what;
            // An MP3 row writes the MP3 name, whatever the first page chose.
            std::string out = env_.Path(wav ? "out.wav" : "out.avi");
            if (wav && !TempEnvironment::Exists(out)) out = env_.Path("out.mp3");
            const std::vector<float> sound = DecodedAudio(out);
            EXPECT_NEAR(double(sound.size()) / kDecodedAudioRate, 1.0, 0.1) << what;
            std::remove(out.c_str());
        }
    }
}

}  // namespace
