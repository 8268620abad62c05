// The merge-video job from a job file through the real pages, answered by a script, to the
// AVI it writes; what came out is decoded and measured: size, length, pixels and sound.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "CapturedMessages.h"
#include "DecodedOutput.h"
#include "KorcProcess.h"
#include "SharedCatalogue.h"
#include "common/JobFile.h"
#include "engine/JobLoader.h"
#include "engine/JobObject.h"
#include "engine/LogoOverlay.h"
#include "engine/MergeVideoJob.h"
#include "engine/ScriptedPageDriver.h"
#include "engine/WizardState.h"
#include "platform/media/MediaProbe.h"
#include "support/MediaGenerator.h"
#include "support/TempEnvironment.h"

namespace {

struct Logo {
    std::string path;
    int32_t x = 0, y = 0;
};

// A picture of one colour, as PNG, or as a one-second AVI of that colour.
bool MakeSolid(const std::string& path, int width, int height, uint32_t rgb, bool moving) {
    char description[512];
    std::snprintf(description, sizeof description,
                  "videotestsrc pattern=solid-color foreground-color=0xff%06x num-buffers=%d ! "
                  "video/x-raw,width=%d,height=%d,framerate=25/1 ! videoconvert ! %s ! "
                  "filesink location=\"%s\"",
                  rgb, moving ? 25 : 1, width, height, moving ? "jpegenc ! avimux" : "pngenc",
                  path.c_str());
    return media::RunPipeline(description);
}

bool Near(uint32_t a, uint32_t b, int tolerance) {
    for (int shift : {0, 8, 16})
        if (std::abs(int((a >> shift) & 0xff) - int((b >> shift) & 0xff)) > tolerance) return false;
    return true;
}

double LengthOf(const std::string& path) {
    media::MediaProbe probe;
    media::MediaFacts facts;
    return probe.Probe(path, facts) ? facts.duration : -1;
}

class MergeVideoJobTest : public TempFolderTest {
protected:
    JobEnd Run(const std::vector<JobFragment>& fragments, const std::vector<std::string>& script,
               const Logo& logo = {}) {
        const std::string path = env_.Path("KORCP.SPF");
        TempEnvironment::WriteFile(path, JobBytes(JobKind::MergeVideo, fragments));
        JobObject job;
        WizardState state;
        if (LoadJobFile(path, job, state) != JobLoad::Loaded) return JobEnd::Failed;
        job.logoPath = logo.path;
        job.logoX = logo.x;
        job.logoY = logo.y;
        state.outputFolder = env_.Root();
        CScriptedPageDriver pages(Catalogue(), script);
        return CMergeVideoJob(job, state, pages, Catalogue()).Run();
    }
    CapturedMessages messages_;
};

// The page answers: the name, with audio, no audio encoder, the video encoder given by row.
std::vector<std::string> Script(const std::string& name, int videoRow, bool withAudio = true) {
    std::vector<std::string> steps = {"name " + name};
    if (!withAudio) steps.push_back("click 211");
    steps.push_back("forward");
    if (withAudio) steps.insert(steps.end(), {"row 0", "forward"});
    steps.insert(steps.end(), {"row " + std::to_string(videoRow), "forward"});
    return steps;
}

TEST(MergeVideoProbe, TheOutputTakesTheLargestSizeByBothSidesAndTheHighestRates) {
    using Facts = editing::MediaDetFacts;
    auto video = [](int w, int h, double rate) {
        Facts f;
        f.hasVideo = true, f.width = w, f.height = h, f.frameRate = rate;
        return f;
    };
    auto audio = [](int rate, int channels, int kbps) {
        Facts f;
        f.hasAudio = true, f.sampleRate = rate, f.channels = channels, f.kbps = kbps;
        return f;
    };
    struct Case {
        const char* what;
        std::vector<Facts> facts;
        std::tuple<int, int, int32_t> sizeAndRate;
        std::tuple<int32_t, int32_t, int32_t> sound;  // rate, channels, kbps
    };
    const Case cases[] = {
        {"larger both ways replaces",
         {video(160, 120, 25), video(320, 240, 25)},
         {320, 240, 25},
         {0, 0, 0}},
        {"wider but lower keeps the size",
         {video(320, 240, 25), video(640, 200, 30), video(320, 240, 24)},
         {320, 240, 30},
         {0, 0, 0}},
        {"equal counts as at least",
         {video(320, 240, 25), video(320, 240, 29.97)},
         {320, 240, 29},
         {0, 0, 0}},
        {"no rate said falls back", {video(64, 48, 0)}, {64, 48, kFallbackFrameRate}, {0, 0, 0}},
        {"a rate below one is no reason for the fallback",
         {video(64, 48, 0.5)},
         {64, 48, 1},
         {0, 0, 0}},
        {"a strictly higher rate brings its own channels",
         {audio(22050, 1, 64), audio(48000, 2, 32), audio(48000, 1, 320), video(16, 16, 10)},
         {16, 16, 10},
         {48000, 2, 320}},
    };
    for (const Case& c : cases) {
        WizardState state;
        const MergeProbe probe = CombineMergeFacts(c.facts, state);
        EXPECT_EQ(std::tuple(probe.width, probe.height, OutputFrameRate(probe)), c.sizeAndRate)
            << c.what;
        EXPECT_EQ(std::tuple(state.sourceSampleRate, state.sourceChannels, state.sourceBitrate),
                  c.sound)
            << c.what;
        for (size_t i = 0; i < c.facts.size(); ++i)
            EXPECT_EQ(std::tuple(bool(state.fragmentHasVideo[i]), bool(state.fragmentHasAudio[i])),
                      std::tuple(c.facts[i].hasVideo, c.facts[i].hasAudio))
                << c.what;
    }
}

TEST(LogoPlacement, TheLogoSitsInTheFreeRoomByItsPositionAndALargeOneIsCentred) {
    struct Case {
        const char* what;
        int32_t logoW, logoH, x, y;
        std::tuple<int32_t, int32_t, int32_t, int32_t> rect;
    };
    const Case cases[] = {
        {"top left", 64, 48, 0, 0, {0, 0, 64, 48}},
        {"bottom right", 64, 48, 1000, 1000, {256, 192, 64, 48}},
        {"across only", 64, 48, 1000, 0, {256, 0, 64, 48}},
        {"a third, truncated", 65, 40, 333, 500, {84, 100, 65, 40}},
        {"below the range", 64, 48, -300, -1, {0, 0, 64, 48}},
        {"past the range", 64, 48, 5000, 1001, {256, 192, 64, 48}},
        {"as large as the frame", 320, 240, 700, 700, {0, 0, 320, 240}},
        {"wider than the frame", 400, 100, 1000, 1000, {-40, 70, 400, 100}},
        {"taller than the frame", 100, 300, 0, 0, {110, -30, 100, 300}},
    };
    for (const Case& c : cases) {
        const editing::OverlayRect r = PlaceLogo(320, 240, c.logoW, c.logoH, c.x, c.y);
        EXPECT_EQ(std::tuple(r.x, r.y, r.width, r.height), c.rect) << c.what;
    }
}

TEST_F(MergeVideoJobTest, FragmentsOfOtherSizesAndASoundOnlyOneMakeOneAviOfTheirSummedLength) {
    const std::string small = env_.Path("small.avi"), tone = env_.Path("tone.wav"),
                      large = env_.Path("large.avi"), mute = env_.Path("mute.avi");
    ASSERT_TRUE(media::MakeAvi(small, {.seconds = 3.0, .width = 160, .height = 120}));
    ASSERT_TRUE(media::MakeWav(tone, {.seconds = 3.0, .rate = 44100, .channels = 2}));
    ASSERT_TRUE(media::MakeAvi(large, {.seconds = 2.0, .width = 320, .height = 240}));
    ASSERT_TRUE(media::MakeAvi(
        mute, {.seconds = 2.0, .width = 480, .height = 120, .audio = media::AudioCodec::None}));
    // 2 s of video and sound, 1 s of sound alone, 2 s, 1 s of picture alone.
    const std::vector<JobFragment> fragments = {
        {small, 1, 3}, {tone, 1, 2}, {large, 0, 2}, {mute, 1, 2}};
    const double total = 2 + 1 + 2 + 1;
    const std::vector<Packet> smallPictures = DecodedPictures(small),
                              largePictures = DecodedPictures(large),
                              mutePictures = DecodedPictures(mute);
    // Raw frames, then the preselected encoder with the effects element in front of it.
    for (const int videoRow : {0, -1}) {
        std::vector<std::string> script = Script("merged", videoRow);
        if (videoRow < 0) script.erase(script.end() - 2);
        messages_.shown.clear();
        std::remove(env_.Path("merged.avi").c_str());
        ASSERT_EQ(Run(fragments, script), JobEnd::Done)
            << (messages_.shown.empty() ? "" : messages_.shown[0].text);
        EXPECT_TRUE(messages_.shown.empty());
        const std::string out = env_.Path("merged.avi");
        EXPECT_NEAR(LengthOf(out), total, 0.15) << videoRow;
        // 480x120 is wider but not higher than 320x240: the size stays.
        const DecodedFrame first = DecodeFrameAt(out, 0.5), gap = DecodeFrameAt(out, 2.5);
        ASSERT_TRUE(first.Valid() && gap.Valid()) << videoRow;
        EXPECT_EQ(std::tuple(first.width, first.height), std::tuple(320, 240)) << videoRow;
        // The tone goes on under the picture of its stretch; the picture-only one is silent.
        EXPECT_GT(SoundLevel(out, 2.1, 2.9), 1000.0) << videoRow;
        EXPECT_GT(SoundLevel(out, 0.1, 1.9), 1000.0) << videoRow;
        EXPECT_LT(SoundLevel(out, 5.2, 5.9), 50.0) << videoRow;
        // Each fragment's own pictures, stretched to the output's size, from a key frame.
        const std::vector<Packet> packets = DemuxedVideo(out);
        EXPECT_TRUE(!packets.empty() && packets[0].key) << videoRow << ": no key frame first";
        const std::vector<Packet> written = DecodedPictures(out);
        struct Shown {
            const std::vector<Packet>* source;
            double at, from;
        };
        for (const Shown& s : {Shown{&smallPictures, 0.3, 1.3}, Shown{&smallPictures, 1.7, 2.7},
                               Shown{&largePictures, 3.04, 0.04}, Shown{&largePictures, 4.7, 1.7},
                               Shown{&mutePictures, 5.3, 1.3}, Shown{&mutePictures, 5.8, 1.8}})
            EXPECT_LE(std::abs(PictureOffset(written, s.at, *s.source, s.from, 25)), 1)
                << videoRow << " at " << s.at;
        int lit = 0;
        for (int y = 0; y < gap.height; y += 8)
            for (int x = 0; x < gap.width; x += 8) lit += !Near(gap.At(x, y), 0x000000, 24);
        EXPECT_EQ(lit, 0) << "the sound-only stretch is black: " << std::hex << gap.At(100, 100);
        EXPECT_FALSE(Near(first.At(20, 60), 0x000000, 24)) << "the first fragment shows";
    }
}

TEST_F(MergeVideoJobTest, TheLogoShowsAtItsPlaceAndAnUnusableLogoLeavesTheJobWithoutOne) {
    const std::string a = env_.Path("a.avi"), b = env_.Path("b.avi");
    ASSERT_TRUE(media::MakeAvi(a, {.seconds = 1.0, .width = 320, .height = 240}));
    ASSERT_TRUE(media::MakeAvi(b, {.seconds = 2.0, .width = 320, .height = 240}));
    constexpr uint32_t kOrange = 0xff8000;
    const std::string picture = env_.Path("logo.png"), moving = env_.Path("mark.avi"),
                      sound = env_.Path("logo.wav"), wide = env_.Path("wide.png");
    ASSERT_TRUE(MakeSolid(picture, 64, 48, kOrange, false));
    ASSERT_TRUE(MakeSolid(wide, 400, 100, kOrange, false));
    ASSERT_TRUE(MakeSolid(moving, 64, 48, kOrange, true));
    ASSERT_TRUE(media::MakeWav(sound, {.seconds = 1.0}));
    struct Case {
        const char* what;
        Logo logo;
        int left, top, width, height;  // where the logo is, when it shows
        double until;                  // seconds it shows for
    };
    const Case cases[] = {
        {"picture at the top right", {picture, 1000, 0}, 256, 0, 64, 48, 3.0},
        // A moving logo ends with its one-second file.
        {"moving logo in the middle", {moving, 500, 500}, 128, 96, 64, 48, 1.0},
        // Wider than the frame: its middle across the whole width, whatever the position.
        {"wider than the frame", {wide, 1000, 1000}, -40, 70, 400, 100, 3.0},
        {"missing file", {env_.Path("none.png"), 0, 0}, 0, 0, 64, 48, 0.0},
        {"a sound file", {sound, 0, 0}, 0, 0, 64, 48, 0.0},
    };
    for (const Case& c : cases) {
        messages_.shown.clear();
        std::remove(env_.Path("logo.avi").c_str());
        ASSERT_EQ(Run({{a, 0, 1}, {b, 0, 2}}, Script("logo", 0), c.logo), JobEnd::Done)
            << c.what << ": " << (messages_.shown.empty() ? "" : messages_.shown[0].text);
        EXPECT_TRUE(messages_.shown.empty()) << c.what << ": " << messages_.shown[0].text;
        for (double at : {0.5, 2.5}) {
            const DecodedFrame frame = DecodeFrameAt(env_.Path("logo.avi"), at);
            ASSERT_TRUE(frame.Valid()) << c.what;
            const int tolerance = 24;
            // Inside, a few pixels from its corners (or the frame's): the logo's colour.
            const int right = std::min(c.left + c.width, frame.width) - 5,
                      bottom = std::min(c.top + c.height, frame.height) - 5;
            const int left = std::max(c.left, 0) + 4, top = std::max(c.top, 0) + 4;
            for (auto [x, y] : {std::pair{left, top}, {right, bottom}, {left, bottom}})
                EXPECT_EQ(Near(frame.At(x, y), kOrange, tolerance), at < c.until)
                    << c.what << " at " << at << " s, " << x << "," << y << ": " << std::hex
                    << frame.At(x, y);
            // Just outside it: the fragments' picture.
            if (at >= c.until) continue;
            if (c.left > 8) {
                EXPECT_FALSE(Near(frame.At(c.left - 6, top + 16), kOrange, tolerance))
                    << c.what << " at " << at;
            }
            if (c.top > 8) {
                EXPECT_FALSE(Near(frame.At(left + 16, c.top - 6), kOrange, tolerance))
                    << c.what << " at " << at;
            }
        }
    }
}

TEST_F(MergeVideoJobTest, RefusedMergesSayWhyOnceAndWriteNothing) {
    const std::string clip = env_.Path("clip.avi"), tone = env_.Path("tone.wav");
    ASSERT_TRUE(media::MakeAvi(clip, {.seconds = 1.0, .width = 64, .height = 48}));
    ASSERT_TRUE(media::MakeWav(tone, {.seconds = 1.0}));
    const std::string before = TempEnvironment::ReadFile(clip);
    struct Case {
        const char* what;
        std::vector<JobFragment> fragments;
        std::vector<std::string> script;
        JobEnd end;
        const char* caption;
        const char* says;
    };
    const Case cases[] = {
        {"output over an input",
         {{tone, 0, 1}, {clip, 0, 1}},
         Script("clip", 0),
         JobEnd::Failed,
         "Kalvor",
         "is one of the job's inputs"},
        {"no video", {{tone, 0, 1}}, {}, JobEnd::NoStream, "Warning", kNoVideoText},
        {"back from the video page to the first, then cancel",
         {{clip, 0, 1}},
         {"name x", "click 211", "forward", "back", "cancel"},
         JobEnd::Cancelled,
         nullptr,
         ""},
    };
    for (const Case& c : cases) {
        messages_.shown.clear();
        EXPECT_EQ(Run(c.fragments, c.script), c.end) << c.what;
        if (c.caption) {
            ASSERT_EQ(messages_.shown.size(), 1u) << c.what;
            EXPECT_EQ(messages_.shown[0].caption, c.caption) << c.what;
            EXPECT_NE(messages_.shown[0].text.find(c.says), std::string::npos)
                << c.what << ": " << messages_.shown[0].text;
        } else {
            EXPECT_TRUE(messages_.shown.empty()) << c.what;
        }
        EXPECT_EQ(TempEnvironment::ReadFile(clip), before) << c.what;
        struct stat info {};
        EXPECT_NE(stat(env_.Path("x.avi").c_str(), &info), 0) << c.what;
    }
}

// korc itself, run as the player runs it, with its pages answered by a script.
TEST_F(MergeVideoJobTest, KorcMergesThroughItsRunnerAndAStopLeavesAPlayableShorterAvi) {
    const std::string clip = env_.Path("clip.avi");
    ASSERT_TRUE(media::MakeAvi(clip, {.seconds = 60.0, .width = 32, .height = 32}));
    struct Case {
        const char* what;  // also the output's name
        std::vector<std::string> script;
        double minLength, maxLength;
    };
    const Case cases[] = {
        {"whole", {"name whole", "forward", "row 0", "forward", "row 0", "forward"}, 119.8, 120.2},
        {"stopped",
         {"name stopped", "forward", "row 0", "forward", "row 0", "forward", "stop"},
         0.0,
         119.0},
    };
    for (const Case& c : cases) {
        const KorcRun run = RunKorc(env_.Root(), c.what,
                                    JobBytes(JobKind::MergeVideo, {{clip, 0, 60}, {clip, 0, 60}}),
                                    c.script);
        ASSERT_TRUE(run.finished) << c.what;
        EXPECT_EQ(run.exitCode, 0) << c.what << ": " << run.errors;
        // The output goes to the folder of the job's input.
        const std::string out = env_.Path(std::string(c.what) + ".avi");
        const double length = LengthOf(out);
        EXPECT_GE(length, c.minLength) << c.what;
        EXPECT_LE(length, c.maxLength) << c.what;
        EXPECT_TRUE(DecodeFrameAt(out, 0.2).Valid()) << c.what;
    }
}

}  // namespace
