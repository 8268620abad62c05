// Subtitle files are recognised by content, timed with shift, multiplier and frame rate;
// anything that is not a subtitle file, or not a regular file, gives no track, and a damaged
// line costs its own cue only.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <string>
#include <vector>

#include "kalvorvt/SubtitleTrack.h"
#include "support/TempEnvironment.h"

namespace {

constexpr char kSrt[] =
    "\xEF\xBB\xBF"
    "1\r\n00:00:01,000 --> 00:00:02,500\r\n<i>Hello</i>\r\nthere\r\n\r\n"
    "2\r\n00:01:00.25 --> 00:01:01,000\r\nSecond\r\n";
constexpr char kMicroDvd[] = "{25}{50}{y:i}One|two\n{100}{125}Three\n";

TEST(SubtitleTrack, ReadsSrtAndMicroDvdByContent) {
    auto srt = SubtitleTrack::Parse(kSrt);
    ASSERT_TRUE(srt);
    EXPECT_FALSE(srt->InFrames());
    ASSERT_EQ(srt->Cues().size(), 2u);
    EXPECT_EQ(srt->Cues()[0].text, "Hello\nthere");
    EXPECT_DOUBLE_EQ(srt->Cues()[1].start, 60.25);

    auto dvd = SubtitleTrack::Parse(kMicroDvd);
    ASSERT_TRUE(dvd);
    EXPECT_TRUE(dvd->InFrames());
    ASSERT_EQ(dvd->Cues().size(), 2u);
    EXPECT_EQ(dvd->Cues()[0].text, "One\ntwo");
}

TEST(SubtitleTrack, CueTimesFollowShiftMultiplierAndFrameRate) {
    auto srt = SubtitleTrack::Parse(kSrt);
    auto dvd = SubtitleTrack::Parse(kMicroDvd);
    const struct {
        const char* name;
        const SubtitleTrack* track;
        double t, shift, multiplier, fps;
        int cue;
    } cases[] = {
        {"before", srt.get(), 0.99, 0, 1, 0, -1},
        {"at the start", srt.get(), 1.0, 0, 1, 0, 0},
        {"just before the end", srt.get(), 2.49, 0, 1, 0, 0},
        {"at the end", srt.get(), 2.5, 0, 1, 0, -1},
        {"shifted late", srt.get(), 1.5, 1, 1, 0, -1},
        {"shifted into", srt.get(), 2.1, 1, 1, 0, 0},
        {"shifted early", srt.get(), 0.2, -1, 1, 0, 0},
        {"multiplied", srt.get(), 2.1, 0, 2, 0, 0},
        {"multiplied past", srt.get(), 5.1, 0, 2, 0, -1},
        {"both", srt.get(), 121.2, 0.5, 2, 0, 1},
        {"frames at 25", dvd.get(), 1.0, 0, 1, 25, 0},
        {"frames at 25, end", dvd.get(), 2.0, 0, 1, 25, -1},
        {"frames at 50", dvd.get(), 0.5, 0, 1, 50, 0},
        {"frames at 25, later cue", dvd.get(), 4.5, 0, 1, 25, 1},
        {"unknown rate counts 25", dvd.get(), 4.5, 0, 1, 0, 1},
        {"frames shifted", dvd.get(), 3.5, 2.5, 1, 25, 0},
        {"not a number", srt.get(), std::nan(""), 0, 1, 0, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.track->CueAt(c.t, c.shift, c.multiplier, c.fps), c.cue) << c.name;
}

TEST(SubtitleTrack, AnythingElseGivesNoTrack) {
    std::string binary = "1\n00:00:01,000 --> 00:00:02,000\nText";
    binary += '\0';
    std::string huge;
    while (huge.size() <= SubtitleTrack::kMaxFileBytes) huge += "{1}{2}a\n";
    const std::string cases[] = {
        "",
        "\n\n  \n",
        "Just some text\nover two lines\n",
        binary,
        "1\n00:00:01,000 --> 00:00:02,000\n" + std::string(SubtitleTrack::kMaxLineBytes + 1, 'a'),
        huge,
        "1\n00:00:05,000 --> 00:00:02,000\nEnds before it starts\n",
        "{x}{y}nothing\n",
    };
    for (const auto& content : cases)
        EXPECT_FALSE(SubtitleTrack::Parse(content)) << content.substr(0, 40);
}

TEST(SubtitleTrack, AnOverLongLineLosesItsOwnCueOnly) {
    const std::string longLine(SubtitleTrack::kMaxLineBytes + 1, 'x');
    const std::string a = "1\n00:00:01,000 --> 00:00:02,000\nFirst\n\n";
    const std::string c = "3\n00:00:05,000 --> 00:00:06,000\nThird\n";
    const struct {
        const char* name;
        std::string content;
        std::vector<std::string> texts;
    } cases[] = {
        {"srt text line",
         a + "2\n00:00:03,000 --> 00:00:04,000\nok\n" + longLine + "\n\n" + c,
         {"First", "Third"}},
        {"srt times line",
         a + "2\n00:00:03,000 --> 00:00:04,000 " + longLine + "\nSecond\n\n" + c,
         {"First", "Third"}},
        {"srt, the first line", longLine + "\n\n" + a + c, {"First", "Third"}},
        {"microdvd", "{1}{2}One\n{3}{4}" + longLine + "\n{5}{6}Three\n", {"One", "Three"}},
        {"at the limit is kept",
         a + "2\n00:00:03,000 --> 00:00:04,000\n" + std::string(SubtitleTrack::kMaxLineBytes, 'y') +
             "\n",
         {"First", std::string(SubtitleTrack::kMaxLineBytes, 'y')}},
    };
    for (const auto& t : cases) {
        const auto track = SubtitleTrack::Parse(t.content);
        ASSERT_TRUE(track) << t.name;
        std::vector<std::string> texts;
        for (const auto& cue : track->Cues()) texts.push_back(cue.text);
        EXPECT_EQ(texts, t.texts) << t.name;
    }
}

TEST(SubtitleTrack, LoadReadsRegularFilesOnlyAndNeverWaitsOnOne) {
    TempEnvironment env;
    TempEnvironment::WriteFile(env.Path("film.srt"), kSrt);
    ASSERT_EQ(::mkfifo(env.Path("fifo.srt").c_str(), 0600), 0);
    ASSERT_EQ(::mkdir(env.Path("folder.srt").c_str(), 0700), 0);
    std::string huge;
    while (huge.size() <= SubtitleTrack::kMaxFileBytes) huge += "{1}{2}a\n";
    TempEnvironment::WriteFile(env.Path("huge.sub"), huge);
    const struct {
        std::string path;
        bool loads;
    } cases[] = {
        {env.Path("film.srt"), true},    {env.Path("fifo.srt"), false},  // would block in open()
        {env.Path("folder.srt"), false}, {"/dev/zero", false},           // would never end
        {env.Path("huge.sub"), false},   {env.Path("missing.srt"), false},
    };
    for (const auto& c : cases) {
        const auto track = SubtitleTrack::Load(c.path);
        EXPECT_EQ(track != nullptr, c.loads) << c.path;
        if (track) {
            EXPECT_EQ(track->Cues().size(), 2u) << c.path;
        }
    }
}

}  // namespace
