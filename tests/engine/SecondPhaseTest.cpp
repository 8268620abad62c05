// The second phase of a fast extraction: the first phase's video copied byte for byte, the
// input's audio for the same span beside it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "CapturedMessages.h"
#include "DecodedOutput.h"
#include "RecordingPages.h"
#include "SharedCatalogue.h"
#include "engine/ScriptedPageDriver.h"
#include "engine/SecondPhase.h"
#include "platform/media/MediaProbe.h"
#include "support/MediaGenerator.h"
#include "support/TempEnvironment.h"

namespace {

std::vector<std::string> Bytes(const std::vector<Packet>& packets) {
    std::vector<std::string> bytes;
    for (const Packet& packet : packets) bytes.push_back(packet.bytes);
    return bytes;
}

TEST_F(TempFolderTest, ThePhaseOneVideoIsCopiedAsItIsBesideTheInputsAudioOfItsLength) {
    CapturedMessages messages;
    const std::string video = env_.Path("phase1.avi"), input = env_.Path("input.avi"),
                      output = env_.Path("out.avi");
    ASSERT_TRUE(media::MakeAvi(video, {.seconds = 2.0,
                                       .width = 160,
                                       .height = 120,
                                       .video = media::VideoCodec::Mpeg4,
                                       .audio = media::AudioCodec::None}));
    ASSERT_TRUE(media::MakeAvi(
        input,
        {.seconds = 6.0, .width = 64, .height = 48, .audioRate = 22050, .audioChannels = 1}));
    const CodecCatalogue& catalogue = Catalogue();
    WizardState state;
    state.chosenAudioCodec = 0;  // no encoder: no chosen format either
    CScriptedPageDriver pages(catalogue, {});
    const JobEnd end = RenderTimelineToAvi({video, input, 5.0, output}, state, pages, catalogue);
    ASSERT_EQ(end, JobEnd::Done) << (messages.shown.empty() ? "" : messages.shown[0].text);
    // The span keeps its end and is as long as the video: 3..5 s of the input.
    EXPECT_NEAR(state.startSeconds, 3.0, 0.05);
    EXPECT_EQ(state.endSeconds, 5.0);

    std::string before, after;
    const std::vector<std::string> copied = Bytes(DemuxedVideo(video, &before));
    EXPECT_FALSE(copied.empty());
    EXPECT_EQ(Bytes(DemuxedVideo(output, &after)), copied) << "the frames are not re-encoded";
    EXPECT_EQ(after, before);

    media::MediaProbe probe;
    media::MediaFacts facts;
    ASSERT_TRUE(probe.Probe(output, facts));
    EXPECT_NEAR(facts.duration, 2.0, 0.1);
    bool sound = false;
    for (const media::StreamFacts& stream : facts.streams) {
        if (stream.kind != media::StreamKind::Audio) continue;
        sound = true;
        EXPECT_EQ(std::pair(stream.sampleRate, stream.channels), std::pair(22050, 1))
            << "with no chosen format the input's own rate and channels";
    }
    EXPECT_TRUE(sound);
    EXPECT_GT(SoundLevel(output, 0.2, 1.8), 1000.0);
}

// An AVI input's sound read through its own demuxer, each stream decoded apart, is the sound
// the decoding bin around the whole file gives. The tone's 882.5 Hz is half a period off after
// a whole second, so a start off by the key-frame interval (3 s) or by an MP3 frame shows.
TEST_F(TempFolderTest, TheInputsOwnDemuxerGivesTheSoundOfTheSpanAsTheDecodingBinDoes) {
    CapturedMessages messages;
    const std::string video = env_.Path("phase1.avi"), input = env_.Path("input.avi");
    ASSERT_TRUE(media::MakeAvi(video, {.seconds = 4.0,
                                       .width = 160,
                                       .height = 120,
                                       .video = media::VideoCodec::Mpeg4,
                                       .audio = media::AudioCodec::None}));
    ASSERT_TRUE(media::MakeAvi(input, {.seconds = 10.0,
                                       .width = 160,
                                       .height = 120,
                                       .video = media::VideoCodec::Mpeg4,
                                       .audio = media::AudioCodec::Mp3,
                                       .audioRate = 48000,
                                       .audioChannels = 1,
                                       .audioFrequency = 882.5,
                                       .keyFrameInterval = 75,
                                       .mp3 = media::Mp3Mode::Vbr}));
    const CodecCatalogue& catalogue = Catalogue();
    auto render = [&](const char* name, const char* demuxer) {
        WizardState state;
        state.chosenAudioCodec = 0;
        CScriptedPageDriver pages(catalogue, {});
        SecondPhaseRequest request{video, input, 8.7, env_.Path(name)};
        request.demuxer = demuxer;
        EXPECT_EQ(RenderTimelineToAvi(request, state, pages, catalogue), JobEnd::Done)
            << name << ": " << (messages.shown.empty() ? "" : messages.shown[0].text);
        EXPECT_NEAR(state.startSeconds, 4.7, 0.05) << name;
        return DecodedAudio(env_.Path(name));
    };
    const std::vector<float> demuxed = render("demuxed.avi", "avidemux"),
                             decoded = render("decoded.avi", nullptr);
    EXPECT_NEAR(double(demuxed.size()) / kDecodedAudioRate, 4.0, 0.05);
    EXPECT_EQ(demuxed.size(), decoded.size());
    EXPECT_GT(Amplitude(demuxed, 0.1, 3.9, 882.5), 0.3);
    // Root mean square of the difference in each tenth of a second.
    const size_t step = kDecodedAudioRate / 10;
    for (size_t at = 0; at + step <= std::min(demuxed.size(), decoded.size()); at += step) {
        double sum = 0;
        for (size_t i = at; i < at + step; ++i)
            sum += double(demuxed[i] - decoded[i]) * (demuxed[i] - decoded[i]);
        ASSERT_LT(std::sqrt(sum / double(step)), 0.02) << "at " << double(at) / kDecodedAudioRate << " s";
    }
}

TEST_F(TempFolderTest, AStoppedSecondPhaseEndsBothStreamsAndLeavesAnIndexedShorterAvi) {
    CapturedMessages messages;
    const std::string video = env_.Path("phase1.avi"), input = env_.Path("input.wav"),
                      output = env_.Path("out.avi");
    ASSERT_TRUE(media::MakeAvi(video, {.seconds = 120.0,
                                       .width = 32,
                                       .height = 32,
                                       .video = media::VideoCodec::Mpeg4,
                                       .audio = media::AudioCodec::None}));
    ASSERT_TRUE(media::MakeWav(input, {.seconds = 120.0, .rate = 8000, .channels = 1}));
    const CodecCatalogue& catalogue = Catalogue();
    WizardState state;
    state.chosenAudioCodec = 0;
    // Each buffer reaching the muxer is held a little, so that the stop comes while it runs.
    RecordingPages pages(catalogue, {"stop"});
    pages.holdMs = 2;
    ASSERT_EQ(RenderTimelineToAvi({video, input, 120.0, output}, state, pages, catalogue),
              JobEnd::Stopped)
        << (messages.shown.empty() ? "" : messages.shown[0].text);
    // The muxer got both ends, not only the stop's fallback wait.
    const std::string bytes = TempEnvironment::ReadFile(output);
    EXPECT_NE(bytes.find("idx1"), std::string::npos) << "the muxer wrote its index";
    std::string caps;
    const size_t frames = DemuxedVideo(output, &caps).size();
    EXPECT_GT(frames, 0u);
    EXPECT_LT(frames, DemuxedVideo(video).size());
}

}  // namespace
