// Subtitles burned into the video jobs light on exactly the frames of their cue's span: in
// the input's time for an extracted fragment, in the output's time for a merge and a mix,
// however fast or slowly the job runs.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "CapturedMessages.h"
#include "DecodedOutput.h"
#include "RecordingPages.h"
#include "SharedCatalogue.h"
#include "common/EffectParams.h"
#include "engine/ExtractVideoJob.h"
#include "engine/JobObject.h"
#include "engine/MergeVideoJob.h"
#include "engine/MixJob.h"
#include "support/MediaGenerator.h"
#include "support/TempEnvironment.h"

namespace {

constexpr int kRate = 10;  // frames per second of the input

// The output frames on which white text shows over the black picture.
std::vector<int> LitFrames(const std::string& path) {
    std::vector<int> lit;
    const std::vector<Packet> pictures = DecodedPictures(path, 160, 120);
    for (size_t i = 0; i < pictures.size(); ++i) {
        const std::string& grey = pictures[i].bytes;
        if (std::count_if(grey.begin(), grey.end(), [](char c) { return uint8_t(c) > 128; }) > 5)
            lit.push_back(int(std::lround(pictures[i].seconds * kRate)));
    }
    return lit;
}

class SubtitleJobTest : public TempFolderTest {
protected:
    JobEnd Run(JobKind kind, const std::vector<InputFragment>& fragments,
               const std::vector<std::string>& script, int holdMs) {
        JobObject job;
        job.paths[0] = fragments.back().path;
        job.start = fragments.back().start;
        job.end = fragments.back().end;
        job.subtitlesPath = env_.Path("film.srt");
        WizardState state;
        state.jobKind = static_cast<int32_t>(kind);
        state.effects = DefaultEffectParams();
        state.inputFragments = fragments;
        state.outputFolder = env_.Root();
        RecordingPages pages(Catalogue(), script);
        pages.holdMs = holdMs;
        switch (kind) {
            case JobKind::ExtractVideo:
                return CExtractVideoJob(job, state, pages, Catalogue()).Run();
            case JobKind::MergeVideo:
                return CMergeVideoJob(job, state, pages, Catalogue()).Run();
            default:
                return CMixJob(job, state, pages, Catalogue()).Run();
        }
    }
    CapturedMessages messages_;
};

TEST_F(SubtitleJobTest, ACueLightsExactlyTheFramesOfItsSpanInEveryVideoJobAtAnySpeed) {
    const std::string film = env_.Path("film.avi"), tone = env_.Path("tone.mp3");
    ASSERT_TRUE(media::MakeAvi(film, {.seconds = 20.0,
                                      .width = 320,
                                      .height = 240,
                                      .framesPerSecond = kRate,
                                      .video = media::VideoCodec::Mpeg4,
                                      .audio = media::AudioCodec::Mp3,
                                      .pattern = "black",
                                      .keyFrameInterval = 100,
                                      .bFrames = 2}));
    ASSERT_TRUE(media::MakeMp3(tone, {.seconds = 8.0}));
    TempEnvironment::WriteFile(env_.Path("film.srt"),
                               "1\n00:00:05,000 --> 00:00:06,000\nFIVE\n\n"
                               "2\n00:00:10,000 --> 00:00:11,000\nTEN\n");
    struct Case {
        const char* what;
        JobKind kind;
        std::vector<InputFragment> fragments;
        std::vector<std::string> script;
        std::vector<std::pair<int, int>> lit;  // first and last frame of each cue
    };
    const Case cases[] = {
        // The input's time: 5 s is output frame 30, 10 s frame 80.
        {"an extract from 2 to 18 s",
         JobKind::ExtractVideo,
         {{film, 2, 18}},
         {"name out", "click 211", "forward", "forward"},
         {{30, 39}, {80, 89}}},
        // The output's time: from 5 s on, which is 1 s into the second fragment.
        {"a merge of 2-6 s and 12-16 s",
         JobKind::MergeVideo,
         {{film, 2, 6}, {film, 12, 16}},
         {"name out", "click 211", "forward", "forward"},
         {{50, 59}}},
        {"a mix of 2-10 s under a song",
         JobKind::MixVideoAudio,
         {{film, 2, 10}, {tone, 0, 8}},
         {"name out", "forward", "forward", "forward"},
         {{50, 59}}},
    };
    for (const Case& c : cases) {
        for (const int holdMs : {0, 20}) {
            messages_.shown.clear();
            ASSERT_EQ(Run(c.kind, c.fragments, c.script, holdMs), JobEnd::Done)
                << c.what << ": " << (messages_.shown.empty() ? "" : messages_.shown[0].text);
            const std::vector<Packet> packets = DemuxedVideo(env_.Path("out.avi"));
            EXPECT_TRUE(!packets.empty() && packets[0].key) << c.what << ": no key frame first";
            const std::vector<int> lit = LitFrames(env_.Path("out.avi"));
            std::vector<std::pair<int, int>> spans;
            for (const int frame : lit) {
                if (spans.empty() || frame > spans.back().second + 1)
                    spans.push_back({frame, frame});
                else
                    spans.back().second = frame;
            }
            ASSERT_EQ(spans.size(), c.lit.size()) << c.what << (holdMs ? ", slowed" : "");
            for (size_t i = 0; i < spans.size(); ++i) {
                EXPECT_NEAR(spans[i].first, c.lit[i].first, 1) << c.what << " " << holdMs;
                EXPECT_NEAR(spans[i].second, c.lit[i].second, 1) << c.what << " " << holdMs;
            }
            std::remove(env_.Path("out.avi").c_str());
        }
    }
}

}  // namespace
