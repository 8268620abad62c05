// The extract-image job on generated video whose frame n shows colours derived from n: the
// still at a chosen time holds that frame's pixels, through the effects, as BMP and JPEG,
// for widths whose rows need padding; failures are reported once and leave old files whole.

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <string>

#include "CapturedMessages.h"
#include "JpegDecode.h"
#include "SharedCatalogue.h"
#include "engine/BmpFile.h"
#include "engine/JobObject.h"
#include "engine/JobRunner.h"
#include "engine/ScriptedPageDriver.h"
#include "engine/StillImage.h"
#include "engine/WizardState.h"
#include "platform/media/GstInit.h"
#include "support/MediaGenerator.h"
#include "support/TempEnvironment.h"

namespace {

constexpr int kFramesPerSecond = 10;
constexpr int kFrames = 8;

using Rgb = std::array<int, 3>;

// Frame n: four blocks, split at column 16 and at an even row, each coloured from n, so a
// wrong frame, a flipped row order or swapped red and blue each give other pixels.
Rgb FrameColour(int n, bool right, bool bottom) {
    if (!right && !bottom) return {n * 25, 40, 200};
    if (right && !bottom) return {200, n * 25, 40};
    if (!right) return {40, 200, n * 25};
    return {n * 25, 255 - n * 25, 120};
}

int Split(int height) { return (height / 2) & ~1; }

bool MakeCounterVideo(const std::string& path, int width, int height, std::string* error,
                      int framesPerSecond = kFramesPerSecond) {
    media::InitGStreamer();
    const std::string caps = "video/x-raw,format=BGR,width=" + std::to_string(width) +
                             ",height=" + std::to_string(height) +
                             ",framerate=" + std::to_string(framesPerSecond) + "/1";
    const std::string description =
        "appsrc name=src format=time ! " + caps + " ! avimux ! filesink location=\"" + path + "\"";
    GError* parseError = nullptr;
    GstElement* pipeline = gst_parse_launch(description.c_str(), &parseError);
    if (parseError) {
        *error = parseError->message;
        g_error_free(parseError);
        if (pipeline) gst_object_unref(pipeline);
        return false;
    }
    GstElement* source = gst_bin_get_by_name(GST_BIN(pipeline), "src");
    GstCaps* sourceCaps = gst_caps_from_string(caps.c_str());
    g_object_set(source, "caps", sourceCaps, nullptr);
    gst_caps_unref(sourceCaps);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    const int stride = (width * 3 + 3) & ~3;
    for (int n = 0; n < kFrames; ++n) {
        GstBuffer* buffer = gst_buffer_new_allocate(nullptr, size_t(stride) * height, nullptr);
        GstMapInfo map;
        gst_buffer_map(buffer, &map, GST_MAP_WRITE);
        std::memset(map.data, 0, map.size);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const Rgb c = FrameColour(n, x >= 16, y >= Split(height));
                uint8_t* p = map.data + size_t(y) * stride + size_t(x) * 3;
                p[0] = uint8_t(c[2]), p[1] = uint8_t(c[1]), p[2] = uint8_t(c[0]);
            }
        gst_buffer_unmap(buffer, &map);
        GST_BUFFER_PTS(buffer) = GST_SECOND * n / framesPerSecond;
        GST_BUFFER_DURATION(buffer) = GST_SECOND / framesPerSecond;
        gst_app_src_push_buffer(GST_APP_SRC(source), buffer);
    }
    gst_app_src_end_of_stream(GST_APP_SRC(source));
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, 30 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
    if (!ok && message) {
        GError* runError = nullptr;
        gst_message_parse_error(message, &runError, nullptr);
        *error = runError ? runError->message : "error";
        if (runError) g_error_free(runError);
    } else if (!ok) {
        *error = "the counter video was not written in time";
    }
    if (message) gst_message_unref(message);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(source);
    gst_object_unref(pipeline);
    return ok;
}

// A picture read back from the output, RGB, top row first.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    Rgb At(int x, int y) const {
        const uint8_t* p = &rgb[(size_t(y) * width + x) * 3];
        return {p[0], p[1], p[2]};
    }
};

uint32_t Le32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | uint8_t(bytes[at + i]);
    return value;
}

// Reads the BMP as written (24-bit, bottom-up) checking the sizes its header gives.
Picture ReadBmp(const std::string& path) {
    const std::string bytes = TempEnvironment::ReadFile(path);
    Picture picture;
    if (bytes.size() < 54) return picture;
    const uint32_t offset = Le32(bytes, 10);
    const int width = int(Le32(bytes, 18)), height = int(Le32(bytes, 22));
    const size_t rowBytes = (size_t(width) * 3 + 3) & ~size_t{3};
    EXPECT_EQ(offset, 54u);
    EXPECT_EQ(Le32(bytes, 2), bytes.size());
    EXPECT_EQ(bytes.size(), offset + rowBytes * height);
    if (bytes.size() != offset + rowBytes * height) return picture;
    picture = {width, height, {}};
    for (int y = 0; y < height; ++y) {
        const char* row = &bytes[offset + rowBytes * size_t(height - 1 - y)];
        for (int x = 0; x < width; ++x)
            picture.rgb.insert(picture.rgb.end(), {uint8_t(row[x * 3 + 2]), uint8_t(row[x * 3 + 1]),
                                                   uint8_t(row[x * 3])});
    }
    return picture;
}

Picture ReadJpeg(const std::string& path) {
    const DecodedJpeg decoded = DecodeJpeg(path);
    EXPECT_TRUE(decoded.ok);
    return {decoded.width, decoded.height, decoded.rgb};
}

class StillImageTest : public TempFolderTest {
protected:
    StillImageTest() { state_.effects = DefaultEffectParams(); }

    // The temporary pictures in the private temporary folder.
    size_t TemporaryPictures() const {
        return TempEnvironment::Names(env_.Path("runtime/Kalvor"), "owbmptmp").size();
    }

    std::string Video(int width, int height) {
        const std::string path = env_.Path("counter" + std::to_string(width) + ".avi");
        std::string error;
        EXPECT_TRUE(MakeCounterVideo(path, width, height, &error)) << error;
        return path;
    }

    StillImageRequest Request(const std::string& input, const std::string& output, int frame,
                              StillFormat format, int quality = 100) {
        return {input, output, (frame + 0.5) / kFramesPerSecond, format, quality};
    }

    JobObject job_;
    WizardState state_;
};

// Every block of the picture shows frame n's colour (inverted when asked) within tolerance.
void ExpectFrame(const Picture& picture, int width, int height, int n, bool inverted,
                 int tolerance) {
    ASSERT_EQ(picture.width, width);
    ASSERT_EQ(picture.height, height);
    const int split = Split(height);
    // Pixels two away from each block edge: JPEG's chroma may smear across one pair.
    const int xs[] = {2, 13, 18, width - 3}, ys[] = {1, split - 3, split + 2, height - 2};
    for (int x : xs)
        for (int y : ys) {
            Rgb want = FrameColour(n, x >= 16, y >= split);
            if (inverted)
                for (int& v : want) v = 255 - v;
            const Rgb got = picture.At(x, y);
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(got[c], want[c], tolerance)
                    << "x " << x << " y " << y << " channel " << c;
        }
}

TEST_F(StillImageTest, TheStillHoldsTheFrameAtTheChosenTimeInBothFormats) {
    CapturedMessages messages;
    // Another run's temporary picture, under the name every run once used.
    ASSERT_EQ(mkdir(env_.Path("runtime/Kalvor").c_str(), 0700), 0);
    const std::string another = env_.Path("runtime/Kalvor/owbmptmp.bmp");
    TempEnvironment::WriteFile(another, "another run's picture");
    const struct {
        int width, height, frame;
        StillFormat format;
        bool invert;
    } cases[] = {
        {33, 20, 5, StillFormat::Bmp, false},  // rows of 99 bytes, 1 of padding
        {33, 20, 2, StillFormat::Jpeg, false},
        {50, 24, 7, StillFormat::Bmp, false},  // 150 bytes, 2 of padding
        {50, 24, 3, StillFormat::Jpeg, true},
        {37, 18, 0, StillFormat::Bmp, true},    // 111 bytes, 1 of padding; the first frame
        {64, 16, 6, StillFormat::Jpeg, false},  // no padding
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " frame " + std::to_string(c.frame));
        state_.effects.invert = c.invert ? 1 : 0;
        const std::string input = Video(c.width, c.height);
        const std::string output =
            env_.Path(c.format == StillFormat::Jpeg ? "still.jpg" : "still.bmp");
        ASSERT_TRUE(ExtractImageJob(job_, state_, Request(input, output, c.frame, c.format)));
        const Picture picture = c.format == StillFormat::Jpeg ? ReadJpeg(output) : ReadBmp(output);
        ExpectFrame(picture, c.width, c.height, c.frame, c.invert,
                    c.format == StillFormat::Jpeg ? 10 : 0);
    }
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(TempEnvironment::ReadFile(another), "another run's picture");
    EXPECT_EQ(TemporaryPictures(), 1u) << "a temporary picture was left behind";
}

// The job's picture is the frame at the end of its fragment: with two frames a second, the
// fragment 1 to 3 s gives frame 6, and its start would give frame 2.
TEST_F(StillImageTest, TheRunnerTakesTheFrameAtTheFragmentsEnd) {
    CapturedMessages messages;
    std::string error;
    const std::string input = env_.Path("counter.avi");
    ASSERT_TRUE(MakeCounterVideo(input, 33, 20, &error, 2)) << error;
    const CodecCatalogue& catalogue = Catalogue();
    const struct {
        double start, end;
        int frame;
    } cases[] = {{1, 3, 6}, {0, 1, 2}, {3, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.start) + " to " + std::to_string(c.end));
        JobObject job;
        job.paths[0] = input;
        job.start = c.start;
        job.end = c.end;
        WizardState state;
        state.jobKind = static_cast<int32_t>(JobKind::ExtractImage);
        state.effects = DefaultEffectParams();
        CScriptedPageDriver pages(catalogue, {"name still", "forward"});
        std::remove(env_.Path("still.bmp").c_str());
        ASSERT_EQ(CJobRunner(pages, catalogue).RunJob(job, state), 0);
        ExpectFrame(ReadBmp(env_.Path("still.bmp")), 33, 20, c.frame, false, 0);
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(StillImageTest, EachFailureIsReportedOnceAndLeavesTheOldFile) {
    const std::string input = Video(33, 20);
    const std::string audioOnly = env_.Path("tone.wav");
    media::AudioSpec audio;
    audio.seconds = 0.5;
    ASSERT_TRUE(media::MakeWav(audioOnly, audio));
    const std::string fifo = env_.Path("pipe.avi");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // A transport stream shows its video stream only with its pictures: past its end there
    // are none, and the file still has video.
    const std::string transport = env_.Path("stream.ts");
    std::string error;
    ASSERT_TRUE(
        media::RunPipeline("videotestsrc num-buffers=10 ! "
                           "video/x-raw,width=64,height=48,framerate=10/1 ! "
                           "avenc_mpeg4 ! mpeg4videoparse ! mpegtsmux ! filesink "
                           "location=\"" +
                               transport + "\"",
                           &error))
        << error;
    const std::string output = env_.Path("still.jpg");
    const struct {
        const char* name;
        StillImageRequest request;
        size_t fileLimit;  // bytes a file may grow to while the job runs; 0 for no limit
        std::string caption, textStart;
    } cases[] = {
        {"time past the end",
         {input, output, 30.0, StillFormat::Jpeg, 90},
         0,
         "Kalvor",
         "The video has no frame at the chosen time."},
        {"time past the end of a transport stream",
         {transport, output, 30.0, StillFormat::Jpeg, 90},
         0,
         "Kalvor",
         "The video has no frame at the chosen time."},
        {"no video stream",
         {audioOnly, output, 0.1, StillFormat::Jpeg, 90},
         0,
         "Warning",
         "Video stream was not found!"},
        {"not a video",
         {env_.Path("still.jpg"), env_.Path("other.bmp"), 0.1, StillFormat::Bmp, 90},
         0,
         "Kalvor",
         ""},
        {"a FIFO as input",
         {fifo, output, 0.1, StillFormat::Jpeg, 90},
         0,
         "Kalvor",
         "Cannot open " + fifo + ": not a regular file"},
        {"output is the input",
         {input, input, 0.1, StillFormat::Bmp, 90},
         0,
         "Kalvor",
         "The picture cannot be written over its own video"},
        // A full disk: the temporary BMP cannot be written, nothing is converted.
        {"temporary BMP not writable",
         {input, output, 0.1, StillFormat::Jpeg, 90},
         1000,
         "Kalvor",
         "Cannot write the temporary picture "},
    };
    const std::string inputBytes = TempEnvironment::ReadFile(input);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempEnvironment::WriteFile(output, "old picture");
        CapturedMessages messages;
        bool extracted = true;
        const auto extract = [&] {
            return extracted = ExtractImageJob(job_, state_, c.request, 5000);
        };
        if (c.fileLimit)
            TempEnvironment::WithFileSizeLimit(c.fileLimit, extract);
        else
            extract();
        EXPECT_FALSE(extracted);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].caption, c.caption);
        EXPECT_EQ(messages.shown[0].text.rfind(c.textStart, 0), 0u) << messages.shown[0].text;
        EXPECT_EQ(TempEnvironment::ReadFile(output), "old picture");
        EXPECT_FALSE(TempEnvironment::Exists(env_.Path("other.bmp")));
        EXPECT_EQ(TemporaryPictures(), 0u) << "a temporary picture was left behind";
    }
    EXPECT_EQ(TempEnvironment::ReadFile(input), inputBytes);
}

}  // namespace
