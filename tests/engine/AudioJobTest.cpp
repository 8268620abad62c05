// The audio jobs run from a job file through the real pages, answered by a script, to the
// file they write; what came out is read back and measured against what was asked for.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <tuple>

#include "CapturedMessages.h"
#include "KorcProcess.h"
#include "SharedCatalogue.h"
#include "WavBytes.h"
#include "common/JobFile.h"
#include "engine/FragmentPlan.h"
#include "engine/JobLoader.h"
#include "engine/JobObject.h"
#include "engine/JobRunner.h"
#include "engine/OutputFile.h"
#include "engine/ScriptedPageDriver.h"
#include "engine/WizardState.h"
#include "support/MediaGenerator.h"
#include "support/TempEnvironment.h"

namespace {

class AudioJobTest : public TempFolderTest {
protected:
    int Run(JobKind kind, const std::vector<JobFragment>& fragments,
            const std::vector<std::string>& script) {
        const std::string path = env_.Path("KORCP.SPF");
        TempEnvironment::WriteFile(path, JobBytes(kind, fragments));
        JobObject job;
        WizardState state;
        if (LoadJobFile(path, job, state) != JobLoad::Loaded) return -1;
        CScriptedPageDriver pages(Catalogue(), script);
        CJobRunner runner(pages, Catalogue());
        return runner.RunJob(job, state);
    }
    CapturedMessages messages_;
};

TEST_F(AudioJobTest, ATwentySecondFragmentHasItsSampleCountAsWavAndIsRiffMp3UnderItsOwnName) {
    const std::string source = env_.Path("music/tone.wav"), out = env_.Path("out");
    ASSERT_EQ(mkdir(env_.Path("music").c_str(), 0700), 0);
    ASSERT_EQ(mkdir(out.c_str(), 0700), 0);
    ASSERT_TRUE(media::MakeWav(source, {.seconds = 30.0, .rate = 44100, .channels = 2}));
    // A file of the ".wav" name beside an MP3 output is someone else's and stays as it is.
    TempEnvironment::WriteFile(out + "/cut.wav", "not this job's");

    struct Case {
        const char* what;
        std::vector<std::string> script;
        const char* written;
        uint16_t tag;
    };
    const Case cases[] = {
        {"WAV without an encoder",
         {"name cut", "folder " + out, "forward", "row 0", "forward"},
         "cut.wav",
         1},
        {"MP3", {"name cut", "folder " + out, "click 211", "forward", "forward"}, "cut.mp3", 0x55},
        // The name follows the stream written, not the first page's choice.
        {"MP3 chosen, then no encoder",
         {"name pcm", "folder " + out, "click 211", "forward", "row 0", "forward"},
         "pcm.wav",
         1},
        {"WAV chosen, then the MP3 encoder",
         {"name lame", "folder " + out, "forward",
          "row " + std::to_string(Catalogue().Mp3Row(AudioWriter::Wav)), "forward"},
         "lame.mp3",
         0x55},
    };
    for (const Case& c : cases) {
        messages_.shown.clear();
        if (std::string(c.written) == "cut.wav") std::remove((out + "/cut.wav").c_str());
        ASSERT_EQ(Run(JobKind::ExtractAudio, {{source, 5, 25}}, c.script), 0) << c.what;
        EXPECT_TRUE(messages_.shown.empty()) << c.what << ": " << messages_.shown[0].text;
        const WavBytes wav = WavBytes::Parse(TempEnvironment::ReadFile(out + "/" + c.written));
        ASSERT_TRUE(wav.riff) << c.what;
        EXPECT_EQ(std::tuple(wav.tag, wav.sampleRate, wav.channels),
                  std::tuple(c.tag, 44100u, uint16_t{2}))
            << c.what;
        if (c.tag == 1) {
            EXPECT_EQ(wav.blockAlign, 4u);
            EXPECT_NEAR(double(wav.dataBytes / wav.blockAlign), 20.0 * 44100, 1024) << c.what;
        } else {
            ASSERT_TRUE(wav.hasFact);
            EXPECT_NEAR(double(wav.factSamples), 20.0 * 44100, 2 * 1152) << c.what;
            EXPECT_GT(wav.dataBytes, 20u * 8000) << c.what;  // at least 64 kbit/s
            EXPECT_TRUE(media::RunPipeline("filesrc location=\"" + out + "/" + c.written +
                                           "\" ! wavparse ! decodebin ! fakesink"))
                << c.what << ": GStreamer's WAV reader cannot play it";
        }
    }
    EXPECT_EQ(TempEnvironment::ReadFile(out + "/cut.wav").size(), 20 * 44100 * 4 + 44u)
        << "the WAV case wrote it; the MP3 case must not have touched it";
    EXPECT_EQ(TempEnvironment::Names(out),
              (std::vector<std::string>{"cut.mp3", "cut.wav", "lame.mp3", "pcm.wav"}));
}

TEST_F(AudioJobTest, AnOutputThatExistsIsReplacedOnlyWhenTheUserSaysSo) {
    const std::string tone = env_.Path("tone.wav"), kept = env_.Path("kept.wav");
    ASSERT_TRUE(media::MakeWav(tone, {.seconds = 2.0}));
    TempEnvironment::WriteFile(kept, "the user's own");
    const std::vector<std::string> script = {"name kept", "forward", "row 0", "forward"};
    // No: the pages come again to choose another name; here the script has none and the
    // job ends there.
    messages_.answer = MessageAnswer::No;
    EXPECT_EQ(Run(JobKind::ExtractAudio, {{tone, 0, 2}}, script), 0);
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].icon, MessageIcon::Question);
    EXPECT_EQ(messages_.shown[0].text, kept + " already exists.\nDo you want to replace it?");
    EXPECT_EQ(TempEnvironment::ReadFile(kept), "the user's own");
    const std::vector<std::string> entries = TempEnvironment::Names(env_.Root());
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(),
                            [](const std::string& name) { return name.find("kept") != name.npos; }),
              1)
        << "nothing was written beside it";

    messages_.shown.clear();
    messages_.answer = MessageAnswer::Yes;
    EXPECT_EQ(Run(JobKind::ExtractAudio, {{tone, 0, 2}}, script), 0);
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_TRUE(WavBytes::Parse(TempEnvironment::ReadFile(kept)).riff);
}

TEST_F(AudioJobTest, AMergeWritesOnlyTheFragmentsWithAudioBackToBackAtTheHighestSourceRate) {
    const std::string a = env_.Path("a.wav"), b = env_.Path("b.mp3"), silent = env_.Path("v.avi"),
                      c = env_.Path("c.wav");
    ASSERT_TRUE(media::MakeWav(a, {.seconds = 6.0, .rate = 22050, .channels = 1}));
    ASSERT_TRUE(media::MakeMp3(b, {.seconds = 5.0, .rate = 48000, .channels = 2}));
    ASSERT_TRUE(media::MakeAvi(silent, {.seconds = 3.0, .audio = media::AudioCodec::None}));
    ASSERT_TRUE(media::MakeWav(c, {.seconds = 4.0, .rate = 32000, .channels = 1}));
    // 1..4 (3 s), 0..2 (2 s), the video alone (none), 2..9 cut to the input's 4 s (2 s).
    const std::vector<JobFragment> fragments = {{a, 1, 4}, {b, 0, 2}, {silent, 0, 3}, {c, 2, 9}};
    ASSERT_EQ(Run(JobKind::MergeAudio, fragments, {"name all", "forward", "row 0", "forward"}), 0);
    ASSERT_TRUE(messages_.shown.empty()) << messages_.shown[0].text;
    // The default folder is the current input's: that of the last fragment.
    const WavBytes wav = WavBytes::Parse(TempEnvironment::ReadFile(env_.Path("all.wav")));
    ASSERT_TRUE(wav.riff);
    // No encoder means no chosen format: the highest probed rate and its channel count.
    EXPECT_EQ(std::tuple(wav.tag, wav.sampleRate, wav.channels), std::tuple(1, 48000u, 2));
    EXPECT_NEAR(double(wav.dataBytes / wav.blockAlign), 7.0 * 48000, 3 * 1024);
}

TEST_F(AudioJobTest, AUserStopEndsTheMergeEarlyWithAWholeFileOfWhatWasWritten) {
    const std::string tone = env_.Path("tone.wav");
    ASSERT_TRUE(media::MakeWav(tone, {.seconds = 150.0, .rate = 8000, .channels = 1}));
    // 600 s in all: a few fragments are read one after the other, many through a timeline.
    for (const size_t count : {4u, 20u}) {
        SCOPED_TRACE(count);
        messages_.shown.clear();
        const std::string name = "part" + std::to_string(count);
        const std::vector<JobFragment> fragments(count, JobFragment{tone, 0, int(600 / count)});
        ASSERT_EQ(Run(JobKind::MergeAudio, fragments,
                      {"name " + name, "forward", "row 0", "forward", "stop"}),
                  0);
        const std::string path = env_.Path(name + ".wav"), bytes = TempEnvironment::ReadFile(path);
        const WavBytes wav = WavBytes::Parse(bytes);
        ASSERT_TRUE(wav.riff);
        EXPECT_EQ(wav.dataOffset + wav.dataBytes, bytes.size());
        EXPECT_GT(wav.dataBytes, 0u);
        // Within the fragment it came in: a stop that waits for the fragment's end leaves
        // the window waiting as long.
        EXPECT_LT(wav.dataBytes, 600u / count * 8000 * 2) << "the stop did not end the merge";
        // The user is told what the kept file holds.
        ASSERT_EQ(messages_.shown.size(), 1u);
        EXPECT_EQ(messages_.shown[0].icon, MessageIcon::Information);
        const uint32_t seconds = wav.dataBytes / 16000;  // 8 kHz mono, 16 bits
        EXPECT_EQ(messages_.shown[0].text, "The job was stopped. " + path + " holds " +
                                               std::to_string(seconds) +
                                               (seconds == 1 ? " second." : " seconds."));
    }
}

TEST_F(AudioJobTest, RefusedJobsSayWhyOnceAndLeaveEveryFileAsItWas) {
    const std::string tone = env_.Path("tone.wav"), video = env_.Path("v.avi");
    ASSERT_TRUE(media::MakeWav(tone, {.seconds = 4.0}));
    ASSERT_TRUE(media::MakeAvi(video, {.seconds = 2.0, .audio = media::AudioCodec::None}));
    ASSERT_EQ(mkdir(env_.Path("taken.wav").c_str(), 0700), 0);
    const std::string before = TempEnvironment::ReadFile(tone);
    TempEnvironment::WriteFile(env_.Path("KORCP.SPF"), "");
    struct Case {
        const char* what;
        JobKind kind;
        std::vector<JobFragment> fragments;
        std::vector<std::string> script;
        int exitCode;
        const char* caption;  // nullptr: no box
        const char* says;
    };
    const Case cases[] = {
        {"output is the input",
         JobKind::ExtractAudio,
         {{tone, 0, 2}},
         {"name tone", "forward", "row 0", "forward"},
         kExitJobFailed,
         "Kalvor",
         "is one of the job's inputs"},
        {"output is a merged input",
         JobKind::MergeAudio,
         {{video, 0, 1}, {tone, 0, 1}},
         {"name tone", "forward", "row 0", "forward"},
         kExitJobFailed,
         "Kalvor",
         "is one of the job's inputs"},
        {"no audio",
         JobKind::ExtractAudio,
         {{video, 0, 1}},
         {},
         kExitJobFailed,
         "Warning",
         "Audio stream was not found!"},
        {"start after end",
         JobKind::ExtractAudio,
         {{tone, 3, 1}},
         {"name x", "forward", "row 0", "forward"},
         kExitJobFailed,
         "Kalvor",
         "not a usable range"},
        {"start past the input's end",
         JobKind::ExtractAudio,
         {{tone, 9, 12}},
         {"name x", "forward", "row 0", "forward"},
         kExitJobFailed,
         "Kalvor",
         "no audio to write"},
        {"rename onto a folder",
         JobKind::ExtractAudio,
         {{tone, 0, 1}},
         {"name taken", "forward", "row 0", "forward"},
         kExitJobFailed,
         "Kalvor",
         "Cannot rename"},
        {"cancel on the codec page",
         JobKind::ExtractAudio,
         {{tone, 0, 1}},
         {"name x", "forward", "cancel"},
         0,
         nullptr,
         ""},
        {"back then cancel",
         JobKind::MergeAudio,
         {{tone, 0, 1}},
         {"name x", "forward", "back", "cancel"},
         0,
         nullptr,
         ""},
    };
    for (const Case& c : cases) {
        messages_.shown.clear();
        const std::vector<std::string> entries = TempEnvironment::Names(env_.Root());
        EXPECT_EQ(Run(c.kind, c.fragments, c.script), c.exitCode) << c.what;
        if (c.caption) {
            ASSERT_EQ(messages_.shown.size(), 1u) << c.what;
            EXPECT_EQ(messages_.shown[0].caption, c.caption) << c.what;
            EXPECT_NE(messages_.shown[0].text.find(c.says), std::string::npos)
                << c.what << ": " << messages_.shown[0].text;
        } else {
            EXPECT_TRUE(messages_.shown.empty()) << c.what;
        }
        EXPECT_EQ(TempEnvironment::ReadFile(tone), before) << c.what;
        EXPECT_EQ(TempEnvironment::Names(env_.Root()), entries)
            << c.what << ": a file was left behind";
    }
}

TEST(FragmentPlan, RangesAreCheckedCutToTheInputAndPlacedBackToBack) {
    struct Case {
        const char* what;
        std::vector<InputFragment> fragments;
        std::vector<double> lengths;
        std::vector<uint8_t> used;
        std::vector<std::tuple<size_t, double, double, double>> placed;  // index, at, in, length
        bool refused;
    };
    const double nan = std::nan("");
    const Case cases[] = {
        {"in order",
         {{"a", 1, 4}, {"b", 0, 2}},
         {10, 10},
         {1, 1},
         {{0, 0, 1, 3}, {1, 3, 0, 2}},
         false},
        {"end cut to the length", {{"a", 2, 9}}, {4}, {1}, {{0, 0, 2, 2}}, false},
        {"unknown length keeps the end", {{"a", 2, 9}}, {0}, {1}, {{0, 0, 2, 7}}, false},
        {"empty after the cut is dropped",
         {{"a", 5, 9}, {"b", 0, 1}},
         {4, 4},
         {1, 1},
         {{1, 0, 0, 1}},
         false},
        {"unused leave no gap",
         {{"a", 0, 1}, {"v", 0, 5}, {"b", 0, 2}},
         {9, 9, 9},
         {1, 0, 1},
         {{0, 0, 0, 1}, {2, 1, 0, 2}},
         false},
        {"an unused bad range is no matter",
         {{"v", 5, 1}, {"a", 0, 1}},
         {9, 9},
         {0, 1},
         {{1, 0, 0, 1}},
         false},
        {"negative start", {{"a", 0, 1}, {"b", -1, 2}}, {9, 9}, {1, 1}, {}, true},
        {"end at start", {{"a", 3, 3}}, {9}, {1}, {}, true},
        {"end before start", {{"a", 3, 2}}, {9}, {1}, {}, true},
        {"not a number", {{"a", nan, 2}}, {9}, {1}, {}, true},
    };
    for (const Case& c : cases) {
        const FragmentPlan plan = PlanFragments(c.fragments, c.lengths, c.used);
        EXPECT_EQ(!plan.error.empty(), c.refused) << c.what;
        ASSERT_EQ(plan.placed.size(), c.placed.size()) << c.what;
        double length = 0;
        for (size_t i = 0; i < c.placed.size(); ++i) {
            const PlacedFragment& p = plan.placed[i];
            EXPECT_EQ(std::tuple(p.index, p.start, p.inPoint, p.duration), c.placed[i]) << c.what;
            length += p.duration;
        }
        EXPECT_EQ(plan.length, length) << c.what;
    }
}

TEST_F(AudioJobTest, TheSameFileIsFoundThroughLinksAndOtherSpellingsOfItsPath) {
    const std::string file = env_.Path("a.wav");
    TempEnvironment::WriteFile(file, "x");
    ASSERT_EQ(link(file.c_str(), env_.Path("hard.wav").c_str()), 0);
    ASSERT_EQ(symlink(file.c_str(), env_.Path("soft.wav").c_str()), 0);
    TempEnvironment::WriteFile(env_.Path("b.wav"), "x");
    const std::tuple<std::string, std::string, bool> cases[] = {
        {file, env_.Path("hard.wav"), true},
        {file, env_.Path("soft.wav"), true},
        {file, env_.Root() + "/./sub/../a.wav", true},
        {env_.Path("new.wav"), env_.Root() + "//new.wav", true},  // neither exists yet
        {file, env_.Path("b.wav"), false},
        {env_.Path("new.wav"), env_.Path("new.mp3"), false},
        {file, "", false},
    };
    for (const auto& [a, b, same] : cases) EXPECT_EQ(IsSameFile(a, b), same) << a << " " << b;
}

// korc itself, run as the player runs it, with its pages answered by a script.
TEST_F(AudioJobTest, KorcExitsZeroAfterAJobAndNonZeroAfterAFailureOrAKindItCannotRun) {
    const std::string tone = env_.Path("tone.wav"), clip = env_.Path("clip.avi");
    ASSERT_TRUE(media::MakeWav(tone, {.seconds = 3.0, .rate = 22050, .channels = 1}));
    ASSERT_TRUE(media::MakeAvi(clip, {.seconds = 3.0, .width = 64, .height = 48}));
    const std::string before = TempEnvironment::ReadFile(tone);
    struct Case {
        const char* what;
        JobKind kind;
        std::vector<std::string> script;
        int exitCode;
        const char* says;  // part of standard error
        const char* written;
    };
    const char* kUnknown = "korc does not know";
    const Case cases[] = {
        {"extract",
         JobKind::ExtractAudio,
         {"name done", "forward", "row 0", "forward"},
         0,
         "",
         "done.wav"},
        {"output over its input",
         JobKind::ExtractAudio,
         {"name tone", "forward", "row 0", "forward"},
         kExitJobFailed,
         "Kalvor: The output file is one of the job's inputs",
         nullptr},
        {"stopped by the user",
         JobKind::MergeAudio,
         {"name part", "forward", "row 0", "forward", "stop"},
         0,
         "",
         "part.wav"},
        {"an audio mix",
         JobKind::MixVideoAudio,
         {"name mixed", "forward", "row 0", "forward"},
         0,
         "",
         "mixed.wav"},
        {"a still image", JobKind::ExtractImage, {"name still", "forward"}, 0, "", "still.bmp"},
        // Kinds korc does not know end with a line that says so, not silently.
        {"kind 0", static_cast<JobKind>(0), {}, kExitNoJob, kUnknown, nullptr},
        {"kind 7", static_cast<JobKind>(7), {}, kExitNoJob, kUnknown, nullptr},
        {"kind 9", static_cast<JobKind>(9), {}, kExitNoJob, kUnknown, nullptr},
    };
    for (const Case& c : cases) {
        const std::string input = c.kind == JobKind::ExtractImage ? clip : tone;
        const KorcRun run =
            RunKorc(env_.Root(), c.what, JobBytes(c.kind, {{input, 0, input == clip ? 1 : 3}}),
                    c.script);
        ASSERT_TRUE(run.finished) << c.what;
        EXPECT_EQ(run.exitCode, c.exitCode) << c.what << ": " << run.errors;
        EXPECT_NE(run.errors.find(c.says), std::string::npos) << c.what << ": " << run.errors;
        if (c.written) {
            const std::string written = TempEnvironment::ReadFile(env_.Path(c.written));
            EXPECT_TRUE(c.kind == JobKind::ExtractImage ? written.rfind("BM", 0) == 0
                                                        : WavBytes::Parse(written).riff)
                << c.what;
        }
    }
    EXPECT_EQ(TempEnvironment::ReadFile(tone), before);
}

}  // namespace
