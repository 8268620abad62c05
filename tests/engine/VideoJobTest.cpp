// The extract-video and mix jobs run through the real pages, answered by a script, to the
// file they write; what came out is demuxed or decoded again and measured against the input.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <tuple>

#include "CapturedMessages.h"
#include "DecodedOutput.h"
#include "RecordingPages.h"
#include "SharedCatalogue.h"
#include "WavBytes.h"
#include "common/EffectParams.h"
#include "engine/CodecPageRules.h"
#include "engine/EncoderTuning.h"
#include "engine/ExtractVideoJob.h"
#include "engine/JobObject.h"
#include "engine/MixJob.h"
#include "platform/media/GstRef.h"
#include "platform/media/StateWait.h"
#include "support/MediaGenerator.h"
#include "support/TempEnvironment.h"

namespace {

// Grey 8-bit frames of the file's video, 32x24.
std::vector<Packet> SmallPictures(const std::string& path) { return DecodedPictures(path, 32, 24); }

double MeanLevel(const Packet& frame) {
    double sum = 0;
    for (unsigned char c : frame.bytes) sum += c;
    return frame.bytes.empty() ? 0.0 : sum / frame.bytes.size();
}

class VideoJobTest : public TempFolderTest {
protected:
    // Runs the job as the runner would after its prologue.
    JobEnd Run(JobKind kind, const std::vector<InputFragment>& fragments,
               const std::vector<std::string>& script) {
        JobObject job;
        job.paths[0] = fragments.back().path;
        job.start = fragments.back().start;
        job.end = fragments.back().end;
        job.logoPath = logo_;
        WizardState state;
        state.jobKind = static_cast<int32_t>(kind);
        state.effects = DefaultEffectParams();
        state.inputFragments = fragments;
        state.outputFolder = env_.Root();
        state.withAudio = 1;
        pages_ = std::make_unique<RecordingPages>(Catalogue(), script);
        pages_->holdMs = holdMs_;
        if (kind == JobKind::ExtractVideo)
            return CExtractVideoJob(job, state, *pages_, Catalogue()).Run();
        return CMixJob(job, state, *pages_, Catalogue()).Run();
    }
    CapturedMessages messages_;
    std::string logo_;
    int holdMs_ = 0;
    std::unique_ptr<RecordingPages> pages_;  // of the last run
};

// Key frames every 12 frames at 25 fps: at 1.92 s and 2.40 s around a start of 2.3 s.
TEST_F(VideoJobTest, FastExtractionCopiesTheCompressedFramesFromTheKeyFrameAtOrBeforeTheStart) {
    const std::string mpeg4 = env_.Path("in.avi"), jpeg = env_.Path("mjpeg.avi");
    ASSERT_TRUE(media::MakeAvi(
        mpeg4, {.seconds = 6.0, .width = 160, .height = 120, .video = media::VideoCodec::Mpeg4}));
    ASSERT_TRUE(media::MakeAvi(jpeg, {.seconds = 6.0, .width = 160, .height = 120}));
    struct Case {
        const char* what;
        std::string input;
        std::vector<std::string> script;
        size_t firstFrame;  // of the input
        bool audio;
    };
    const Case cases[] = {
        {"MPEG-4, video only", mpeg4, {"name cut", "click 211", "click 212", "forward"}, 48, false},
        {"MPEG-4 with its audio as PCM",
         mpeg4,
         {"name cut", "click 212", "forward", "row 0", "forward"},
         48,
         true},
        {"every frame a key frame",
         jpeg,
         {"name cut", "click 211", "click 212", "forward"},
         57,
         false},
    };
    for (const Case& c : cases) {
        messages_.shown.clear();
        ASSERT_EQ(Run(JobKind::ExtractVideo, {{c.input, 2.3, 4.1}}, c.script), JobEnd::Done)
            << c.what << ": " << (messages_.shown.empty() ? "" : messages_.shown[0].text);
        EXPECT_TRUE(messages_.shown.empty()) << c.what << ": " << messages_.shown[0].text;
        std::string inCaps, outCaps;
        const std::vector<Packet> in = DemuxedVideo(c.input, &inCaps),
                                  out = DemuxedVideo(env_.Path("cut.avi"), &outCaps);
        ASSERT_EQ(in.size(), 150u) << c.what;
        ASSERT_FALSE(out.empty()) << c.what;
        EXPECT_EQ(outCaps, inCaps) << c.what;
        EXPECT_TRUE(out[0].key) << c.what;
        // Up to the last frame before the end: 4.08 s is frame 102.
        EXPECT_EQ(out.size(), 103 - c.firstFrame) << c.what;
        for (size_t i = 0; i < out.size() && c.firstFrame + i < in.size(); ++i) {
            ASSERT_EQ(out[i].bytes, in[c.firstFrame + i].bytes) << c.what << ": frame " << i;
            EXPECT_EQ(out[i].key, in[c.firstFrame + i].key) << c.what;
        }
        const std::vector<float> audio = DecodedAudio(env_.Path("cut.avi"));
        if (c.audio)
            EXPECT_NEAR(audio.size() / 8000.0, out.size() / 25.0, 0.1) << c.what;
        else
            EXPECT_TRUE(audio.empty()) << c.what;
        std::remove(env_.Path("cut.avi").c_str());
    }
}

TEST_F(VideoJobTest, NormalExtractionHasTheRequestedLengthWithinAFrameAndTheLogoOnTop) {
    const std::string input = env_.Path("in.avi"), logo = env_.Path("logo.png");
    ASSERT_TRUE(media::MakeAvi(
        input, {.seconds = 5.0, .width = 160, .height = 120, .video = media::VideoCodec::Mpeg4}));
    ASSERT_TRUE(media::MakePicture(logo, 160, 120, media::PictureFormat::Png));
    struct Case {
        const char* what;
        std::vector<std::string> script;
        bool audio;
        bool logo;  // as large as the frame: the moving picture stands still under it
    };
    const Case cases[] = {
        {"the preferred encoder, no audio",
         {"name cut", "click 211", "forward", "forward"},
         false,
         false},
        {"uncompressed frames and PCM audio",
         {"name cut", "forward", "row 0", "forward", "row 0", "forward"},
         true,
         false},
        {"a logo over uncompressed frames",
         {"name cut", "click 211", "forward", "row 0", "forward"},
         false,
         true},
    };
    const std::vector<Packet> source = DecodedPictures(input);
    for (const Case& c : cases) {
        messages_.shown.clear();
        logo_ = c.logo ? logo : "";
        ASSERT_EQ(Run(JobKind::ExtractVideo, {{input, 1.3, 3.7}}, c.script), JobEnd::Done)
            << c.what;
        EXPECT_TRUE(messages_.shown.empty()) << c.what << ": " << messages_.shown[0].text;
        const std::vector<Packet> pictures = SmallPictures(env_.Path("cut.avi"));
        ASSERT_NEAR(double(pictures.size()), 2.4 * 25, 1.0) << c.what;
        EXPECT_EQ(pictures[5].bytes == pictures[40].bytes, c.logo) << c.what;
        const std::vector<Packet> packets = DemuxedVideo(env_.Path("cut.avi"));
        EXPECT_TRUE(!packets.empty() && packets[0].key) << c.what << ": no key frame first";
        // The input's pictures from 1.3 s, where no logo covers them.
        const std::vector<Packet> written = DecodedPictures(env_.Path("cut.avi"));
        for (const double at : {0.2, 1.2, 2.3}) {
            if (c.logo) break;
            EXPECT_LE(std::abs(PictureOffset(written, at, source, 1.3 + at, 25)), 1)
                << c.what << " at " << at;
        }
        const std::vector<float> audio = DecodedAudio(env_.Path("cut.avi"));
        EXPECT_NEAR(audio.size() / 8000.0, c.audio ? 2.4 : 0.0, 0.05) << c.what;
        std::remove(env_.Path("cut.avi").c_str());
    }
    logo_.clear();
}

// A 3 s picture without sound under a 4 s tone of 600 Hz and a 2 s tone of 1500 Hz.
TEST_F(VideoJobTest, AMixHasBothTonesWhereTheyPlayAndThePictureForTheLongestFragment) {
    const std::string video = env_.Path("v.avi"), low = env_.Path("low.wav"),
                      high = env_.Path("high.wav");
    ASSERT_TRUE(media::MakeAvi(
        video, {.seconds = 3.0, .width = 160, .height = 120, .audio = media::AudioCodec::None}));
    ASSERT_TRUE(
        media::MakeWav(low, {.seconds = 5.0, .rate = 22050, .channels = 1, .frequency = 600}));
    ASSERT_TRUE(
        media::MakeWav(high, {.seconds = 2.0, .rate = 44100, .channels = 2, .frequency = 1500}));
    // Through the encoder the change from the picture to black must survive the timeline's
    // switch of source; uncompressed frames show what the timeline gave.
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"the preferred encoder", {"name mix", "forward", "row 0", "forward", "forward"}},
        {"uncompressed", {"name mix", "forward", "row 0", "forward", "row 0", "forward"}},
    };
    const std::vector<Packet> source = DecodedPictures(video);
    for (const auto& [what, script] : cases) {
        messages_.shown.clear();
        ASSERT_EQ(Run(JobKind::MixVideoAudio, {{low, 1, 5}, {video, 0, 3}, {high, 0, 2}}, script),
                  JobEnd::Done)
            << what;
        ASSERT_TRUE(messages_.shown.empty()) << what << ": " << messages_.shown[0].text;
        const std::string out = env_.Path("mix.avi");
        const std::vector<float> audio = DecodedAudio(out);
        EXPECT_NEAR(audio.size() / 8000.0, 4.0, 0.05) << what;
        struct Window {
            double from, to;
            bool low, high;
        };
        for (const Window w : {Window{0.2, 1.8, true, true}, Window{2.3, 3.8, true, false}}) {
            EXPECT_EQ(Amplitude(audio, w.from, w.to, 600) > 0.05, w.low) << what << w.from;
            EXPECT_EQ(Amplitude(audio, w.from, w.to, 1500) > 0.05, w.high) << what << w.from;
        }
        // The picture for its 3 s, then black to the end of the longest fragment.
        const std::vector<Packet> pictures = SmallPictures(out);
        ASSERT_NEAR(double(pictures.size()), 100.0, 1.0) << what;
        const std::vector<Packet> packets = DemuxedVideo(out);
        EXPECT_TRUE(!packets.empty() && packets[0].key) << what << ": no key frame first";
        const std::vector<Packet> written = DecodedPictures(out);
        for (const double at : {0.3, 1.5, 2.7})
            EXPECT_LE(std::abs(PictureOffset(written, at, source, at, 25)), 1) << what << at;
        EXPECT_GT(MeanLevel(pictures[10]), 60.0) << what;
        EXPECT_LT(MeanLevel(pictures[80]), 20.0) << what;
        std::remove(out.c_str());
    }
}

TEST_F(VideoJobTest, AnAudioOnlyMixToMp3LeavesTheWavNameAloneAndRefusedJobsWriteNothing) {
    const std::string a = env_.Path("a.wav"), b = env_.Path("b.wav"), v = env_.Path("v.avi");
    ASSERT_TRUE(media::MakeWav(a, {.seconds = 3.0}));
    ASSERT_TRUE(media::MakeWav(b, {.seconds = 1.0, .rate = 22050}));
    ASSERT_TRUE(media::MakeAvi(v, {.seconds = 1.0, .audio = media::AudioCodec::None}));
    TempEnvironment::WriteFile(env_.Path("both.wav"), "someone else's");

    ASSERT_EQ(Run(JobKind::MixVideoAudio, {{a, 0, 3}, {b, 0, 1}},
                  {"name both", "click 213", "forward", "forward"}),
              JobEnd::Done);
    ASSERT_TRUE(messages_.shown.empty()) << messages_.shown[0].text;
    const WavBytes mp3 = WavBytes::Parse(TempEnvironment::ReadFile(env_.Path("both.mp3")));
    ASSERT_TRUE(mp3.riff);
    EXPECT_EQ(mp3.tag, 0x55);
    // The lowest source rate, for the longest fragment.
    EXPECT_EQ(mp3.sampleRate, 22050u);
    EXPECT_NEAR(double(mp3.factSamples), 3.0 * 22050, 2 * 1152);
    EXPECT_EQ(TempEnvironment::ReadFile(env_.Path("both.wav")), "someone else's");

    struct Case {
        const char* what;
        JobKind kind;
        std::vector<InputFragment> fragments;
        std::vector<std::string> script;
        JobEnd end;
        const char* says;
    };
    const Case cases[] = {
        {"mix output is an input",
         JobKind::MixVideoAudio,
         {{a, 0, 3}, {b, 0, 1}},
         {"name b", "forward", "row 0", "forward"},
         JobEnd::Failed,
         "is one of the job's inputs"},
        {"extract output is the input",
         JobKind::ExtractVideo,
         {{v, 0, 1}},
         {"name v", "click 211", "forward", "forward"},
         JobEnd::Failed,
         "is one of the job's inputs"},
        {"extract from sound alone",
         JobKind::ExtractVideo,
         {{a, 0, 1}},
         {},
         JobEnd::NoStream,
         "Video stream was not found!"},
        {"mix without sound",
         JobKind::MixVideoAudio,
         {{v, 0, 1}},
         {},
         JobEnd::NoStream,
         "Audio stream was not found!"},
        {"start after end",
         JobKind::ExtractVideo,
         {{v, 2, 1}},
         {"name x", "click 211", "forward", "forward"},
         JobEnd::Failed,
         "not a usable range"},
    };
    for (const Case& c : cases) {
        messages_.shown.clear();
        const std::vector<std::string> entries = TempEnvironment::Names(env_.Root());
        const std::string before = TempEnvironment::ReadFile(c.fragments[0].path);
        EXPECT_EQ(Run(c.kind, c.fragments, c.script), c.end) << c.what;
        ASSERT_EQ(messages_.shown.size(), 1u) << c.what;
        EXPECT_NE(messages_.shown[0].text.find(c.says), std::string::npos)
            << c.what << ": " << messages_.shown[0].text;
        EXPECT_EQ(TempEnvironment::ReadFile(c.fragments[0].path), before) << c.what;
        EXPECT_EQ(TempEnvironment::Names(env_.Root()), entries)
            << c.what << ": a file was left behind";
    }
}

// What the progress dialog counts: the fragment's seconds of the input, from its start. The
// copy runs in the input's time, so its positions count from the start too; the second
// phase runs in the output's time over the span the copied video covers.
TEST_F(VideoJobTest, TheProgressDialogCountsTheFragmentsSecondsFromItsStartInEveryMode) {
    const std::string input = env_.Path("in.avi");
    ASSERT_TRUE(media::MakeAvi(input, {.seconds = 8.0,
                                       .width = 160,
                                       .height = 120,
                                       .video = media::VideoCodec::Mpeg4,
                                       .audio = media::AudioCodec::Mp3,
                                       .keyFrameInterval = 40}));
    using Given = RecordingPages::Run;
    struct Case {
        const char* what;
        std::vector<std::string> script;
        std::vector<Given> runs;
    };
    const Case cases[] = {
        {"normal",
         {"name n", "forward", "forward", "forward"},
         {{2, 5, 0, "Kalvor Wizard - Media Processing", 0}}},
        {"fast without audio",
         {"name f", "click 211", "click 212", "forward"},
         {{2, 5, 2 * GST_SECOND, "Kalvor Wizard - Media Processing", 0}}},
        // The copy starts at the key frame at 1.6 s; the sound is taken from there.
        {"fast with audio",
         {"name a", "click 212", "forward", "forward"},
         {{2, 5, 2 * GST_SECOND, "Kalvor Wizard - Media Processing PHASE 1 of 2", 1},
          {1.6, 5, 0, "Kalvor Wizard - Media Processing PHASE 2 of 2", 0}}},
    };
    for (const Case& c : cases) {
        messages_.shown.clear();
        ASSERT_EQ(Run(JobKind::ExtractVideo, {{input, 2, 5}}, c.script), JobEnd::Done)
            << c.what << ": " << (messages_.shown.empty() ? "" : messages_.shown[0].text);
        ASSERT_EQ(pages_->runs.size(), c.runs.size()) << c.what;
        for (size_t i = 0; i < c.runs.size(); ++i) {
            const Given& run = pages_->runs[i];
            EXPECT_NEAR(run.start, c.runs[i].start, 0.05) << c.what << " " << i;
            EXPECT_EQ(run.end, c.runs[i].end) << c.what << " " << i;
            EXPECT_EQ(std::tuple(run.base, run.caption, run.autoClose),
                      std::tuple(c.runs[i].base, c.runs[i].caption, c.runs[i].autoClose))
                << c.what << " " << i;
        }
    }
}

// Each buffer reaching the muxer is held a little, so that the stop comes while it runs.
TEST_F(VideoJobTest, AStopKeepsAPlayableShorterFileButAStopInTheFirstPhaseKeepsNothing) {
    const std::string input = env_.Path("in.avi");
    ASSERT_TRUE(media::MakeAvi(input, {.seconds = 40.0,
                                       .width = 160,
                                       .height = 120,
                                       .video = media::VideoCodec::Mpeg4,
                                       .audio = media::AudioCodec::Mp3,
                                       .keyFrameInterval = 250,
                                       .bFrames = 2}));
    holdMs_ = 5;
    struct Case {
        const char* what;
        std::vector<std::string> script;
        bool written;
    };
    const Case cases[] = {
        {"normal", {"name n", "click 211", "forward", "forward", "stop"}, true},
        {"fast without audio", {"name f", "click 211", "click 212", "forward", "stop"}, true},
        {"fast with audio", {"name a", "click 212", "forward", "forward", "stop"}, false},
    };
    for (const Case& c : cases) {
        messages_.shown.clear();
        const std::vector<std::string> before = TempEnvironment::Names(env_.Root());
        ASSERT_EQ(Run(JobKind::ExtractVideo, {{input, 12, 38}}, c.script), JobEnd::Stopped)
            << c.what << ": " << (messages_.shown.empty() ? "" : messages_.shown[0].text);
        std::vector<std::string> after = TempEnvironment::Names(env_.Root());
        const std::string name = c.script[0].substr(5) + ".avi";
        EXPECT_EQ(std::find(after.begin(), after.end(), name) != after.end(), c.written) << c.what;
        after.erase(std::remove(after.begin(), after.end(), name), after.end());
        EXPECT_EQ(after, before) << c.what << ": a file was left behind";
        EXPECT_TRUE(TempEnvironment::Names(env_.RuntimeDir() + "/Kalvor").empty()) << c.what;
        // The user is told what was kept.
        ASSERT_EQ(messages_.shown.size(), 1u) << c.what;
        EXPECT_EQ(messages_.shown[0].icon, MessageIcon::Information) << c.what;
        const std::string& said = messages_.shown[0].text;
        if (!c.written) {
            EXPECT_NE(said.find("nothing was kept"), std::string::npos) << c.what << ": " << said;
            continue;
        }
        EXPECT_EQ(said.rfind("The job was stopped. " + env_.Path(name) + " holds ", 0), 0u)
            << c.what << ": " << said;
        const std::vector<Packet> video = DemuxedVideo(env_.Path(name));
        ASSERT_FALSE(video.empty()) << c.what;
        EXPECT_TRUE(video[0].key) << c.what;
        EXPECT_LT(video.size(), 26u * 25) << c.what << ": shorter than the fragment";
        // As many seconds as the file holds.
        const int seconds = int(video.size() / 25);
        EXPECT_NE(said.find(" holds " + std::to_string(seconds) + " second"), std::string::npos)
            << c.what << ": " << said << " (" << video.size() << " frames)";
    }
}

// The encoder's own settings are offered after the pages, before the run, and only for an
// encoder that has any.
TEST_F(VideoJobTest, AnEncodersOwnSettingsAreOfferedBeforeTheRun) {
    const std::string input = env_.Path("in.avi");
    ASSERT_TRUE(media::MakeAvi(input, {.seconds = 2.0, .width = 160, .height = 120}));
    const CodecEntry* preferred = Catalogue().VideoRow(DefaultVideoRow(Catalogue(), "XviD", ""));
    ASSERT_TRUE(preferred && (preferred->mask & kCodecCanConfigure));
    struct Case {
        const char* what;
        std::vector<std::string> script;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {"the preferred encoder",
         {"name a", "click 211", "forward", "forward"},
         {"settings " + preferred->factoryName, "run"}},
        {"no encoder", {"name b", "click 211", "forward", "row 0", "forward"}, {"run"}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Run(JobKind::ExtractVideo, {{input, 0, 1}}, c.script), JobEnd::Done) << c.what;
        EXPECT_EQ(pages_->events, c.events) << c.what;
    }
}

TEST(OutputFrameRate, IsTheInputsRateCutToWholeFramesOr25WhenThatGivesNothing) {
    const std::tuple<double, int32_t> cases[] = {{29.97, 29}, {25.0, 25},         {0.0, 25},
                                                 {0.5, 25},   {std::nan(""), 25}, {-30.0, 25}};
    for (const auto& [rate, expected] : cases) EXPECT_EQ(OutputFrameRate(rate), expected) << rate;
}

}  // namespace
