// Subtitle files are recognised by content, timed with shift, multiplier and frame rate,
// and anything that is not a subtitle file gives no track. (Loading from a file is driven
// through the element's tests.)

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "kalvorvt/SubtitleTrack.h"

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

}  // namespace
