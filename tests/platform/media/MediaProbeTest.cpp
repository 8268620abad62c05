// The probe's facts size the picture and fill the information box, so they are checked
// against media whose facts are known from how they were made.

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <future>
#include <random>
#include <stdexcept>
#include <tuple>

#include "platform/media/GstRef.h"
#include "platform/media/MediaProbe.h"
#include "platform/media/StateWait.h"
#include "support/MediaGenerator.h"
#include "support/TempEnvironment.h"

namespace {

using media::MakeFourCC;
using media::StreamKind;

class MediaProbeTest : public TempFolderTest {
protected:
    media::MediaProbe probe_;
    media::MediaFacts facts_;

    const media::StreamFacts& Stream(StreamKind kind) {
        for (const auto& stream : facts_.streams)
            if (stream.kind == kind) return stream;
        throw std::runtime_error("no such stream");
    }
};

TEST_F(MediaProbeTest, AnAudioVideoAviAndAWavGiveTheirStreamsWithTheirFormats) {
    const std::string avi = env_.Path("clip.avi"), wav = env_.Path("tone.wav");
    media::AviSpec clip{.seconds = 1.0, .width = 176, .height = 144, .audioRate = 22050};
    clip.audioChannels = 1;
    ASSERT_TRUE(media::MakeAvi(avi, clip));
    ASSERT_TRUE(media::MakeWav(wav, {.seconds = 1.0, .rate = 48000, .channels = 2}));

    ASSERT_TRUE(probe_.Probe(avi, facts_)) << probe_.LastError();
    ASSERT_EQ(facts_.streams.size(), 2u);
    const media::StreamFacts &video = Stream(StreamKind::Video), &audio = Stream(StreamKind::Audio);
    EXPECT_EQ(std::tuple(video.width, video.height, video.frameRate, video.fourCC),
              std::tuple(176, 144, 25.0, MakeFourCC('M', 'J', 'P', 'G')));
    EXPECT_EQ(std::tuple(audio.sampleRate, audio.channels, audio.bitRate),
              std::tuple(22050, 1, 22050 * 16));
    EXPECT_NEAR(facts_.duration, 1.0, 0.05);

    ASSERT_TRUE(probe_.Probe(wav, facts_)) << probe_.LastError();
    ASSERT_EQ(facts_.streams.size(), 1u);
    const media::StreamFacts& tone = facts_.streams[0];
    EXPECT_EQ(std::tuple(tone.kind, tone.sampleRate, tone.channels, tone.bitRate, tone.width),
              std::tuple(StreamKind::Audio, 48000, 2, 48000 * 2 * 16, 0));
}

TEST_F(MediaProbeTest, NonMediaMissingFilesAndFifosFailWithEmptyFacts) {
    std::string bytes(20000, '\0');
    std::mt19937 random(7);
    for (char& c : bytes) c = static_cast<char>(random());
    TempEnvironment::WriteFile(env_.Path("noise.bin"), bytes);
    // A FIFO would keep the discoverer's open waiting for a writer that never comes.
    ASSERT_EQ(mkfifo(env_.Path("fifo.avi").c_str(), 0600), 0);
    for (const std::string& path : {env_.Path("noise.bin"), env_.Path("absent.avi"), env_.Path("fifo.avi")}) {
        facts_.streams.resize(3);
        facts_.duration = 9;
        EXPECT_FALSE(probe_.Probe(path, facts_)) << path;
        EXPECT_TRUE(facts_.streams.empty());
        EXPECT_EQ(facts_.duration, 0.0);
        EXPECT_FALSE(probe_.LastError().empty());
    }
}

// Runs read on a thread of its own; true when it returns. When it does not, it is waiting
// on the FIFO: a writer lets it go and an empty file under the name ends any open after it,
// so the test fails rather than hangs.
bool FinishesWithoutWaitingOn(const std::string& fifo, const std::function<void()>& read) {
    std::future<void> done = std::async(std::launch::async, read);
    if (done.wait_for(std::chrono::seconds(120)) == std::future_status::ready) return true;
    const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    TempEnvironment::WriteFile(fifo + ".empty", "");
    std::rename((fifo + ".empty").c_str(), fifo.c_str());
    if (writer >= 0) ::close(writer);
    done.wait();
    return false;
}

TEST_F(MediaProbeTest, ACheckedFileSwappedForAFifoIsProbedAndPlayedAsItWasChecked) {
    const std::string path = env_.Path("clip.avi");
    ASSERT_TRUE(media::MakeAvi(path, {.seconds = 1.0, .width = 160, .height = 120}));
    const RegularFile file(path);
    ASSERT_TRUE(file.IsOpen());
    // Between the check and the readers the name comes to stand for a FIFO with no writer.
    ASSERT_EQ(std::rename(path.c_str(), env_.Path("moved.avi").c_str()), 0);
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);

    media::MediaProbe patient(60000);
    bool probed = false;
    ASSERT_TRUE(FinishesWithoutWaitingOn(path, [&] { probed = patient.Probe(file, facts_); }));
    ASSERT_TRUE(probed) << patient.LastError();
    EXPECT_EQ(Stream(StreamKind::Video).width, 160);
    EXPECT_NEAR(facts_.duration, 1.0, 0.05);

    // The playback graph's file source, given the same file, prerolls its first picture.
    media::ElementRef graph(gst_element_factory_make("playbin", nullptr));
    ASSERT_TRUE(graph);
    g_object_set(graph.get(), "uri", file.Uri().c_str(), "video-sink",
                 gst_element_factory_make("fakesink", nullptr), "audio-sink",
                 gst_element_factory_make("fakesink", nullptr), nullptr);
    bool paused = false;
    ASSERT_TRUE(FinishesWithoutWaitingOn(
        path, [&] { paused = media::ChangeState(graph.get(), GST_STATE_PAUSED, 60000); }));
    EXPECT_TRUE(paused);
    gint64 length = 0;
    EXPECT_TRUE(gst_element_query_duration(graph.get(), GST_FORMAT_TIME, &length));
    EXPECT_NEAR(double(length) / GST_SECOND, 1.0, 0.05);
    media::ForceNull(graph.get());
}

TEST(FourCCFromCaps, NamesCodecsAndRawFormatsAndNothingElse) {
    gst_init(nullptr, nullptr);
    const std::pair<const char*, uint32_t> cases[] = {
        {"image/jpeg", MakeFourCC('M', 'J', 'P', 'G')},
        {"video/mpeg, mpegversion=(int)4", MakeFourCC('M', 'P', '4', 'V')},
        {"video/mpeg, mpegversion=(int)2", MakeFourCC('M', 'P', 'G', '2')},
        {"video/x-raw, format=(string)I420", MakeFourCC('I', '4', '2', '0')},
        {"video/x-raw, format=(string)RGB", 0},  // not four characters
        {"video/x-raw", 0},
        {"audio/x-raw", 0},
    };
    for (const auto& [text, fourCC] : cases) {
        GstCaps* caps = gst_caps_from_string(text);
        EXPECT_EQ(media::FourCCFromCaps(caps), fourCC) << text;
        gst_caps_unref(caps);
    }
    EXPECT_EQ(media::FourCCFromCaps(nullptr), 0u);
    EXPECT_EQ(MakeFourCC('M', 'J', 'P', 'G'), 0x47504A4Du);  // the first letter in the low byte
}

}  // namespace
