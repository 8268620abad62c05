// The WAV writer's header must describe what it wrote: readers take the format tag, block
// size and lengths from it, so a wrong field makes the file unplayable or the wrong length.

#include <fcntl.h>
#include <gst/gst.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <tuple>

#include "WavBytes.h"
#include "engine/WavDest.h"
#include "support/TempEnvironment.h"

namespace {

// Runs "source ! ... ! name=last" into a WAV writer on path and finishes the file.
bool WriteThrough(const std::string& source, const std::string& path, std::string* error) {
    GError* parseError = nullptr;
    media::ElementRef graph(gst_parse_launch(source.c_str(), &parseError));
    if (parseError) {
        *error = parseError->message;
        g_error_free(parseError);
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    bool written = false;
    {
        WavDest writer;
        media::ElementRef last(gst_bin_get_by_name(GST_BIN(graph.get()), "last"));
        media::PadRef out(gst_element_get_static_pad(last.get(), "src"));
        if (writer.Attach(GST_BIN(graph.get()), "KRWavDest2 Filter", fd, path, error) &&
            gst_pad_link(out.get(), writer.InputPin().get()) == GST_PAD_LINK_OK) {
            gst_element_set_state(graph.get(), GST_STATE_PLAYING);
            GstBus* bus = gst_element_get_bus(graph.get());
            GstMessage* end = gst_bus_timed_pop_filtered(
                bus, 120 * GST_SECOND,
                static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
            written = end && GST_MESSAGE_TYPE(end) == GST_MESSAGE_EOS;
            if (end) gst_message_unref(end);
            gst_object_unref(bus);
            gst_element_set_state(graph.get(), GST_STATE_NULL);
            written = writer.Finish(error) && written;
        }
    }
    ::close(fd);
    return written;
}

TEST(WavDest, CapsGiveTheFormatReadersNeedAndUnwritableFormatsGiveNothing) {
    gst_init(nullptr, nullptr);
    struct Case {
        const char* caps;
        uint16_t tag, channels, blockAlign, bits;
        uint32_t avgBytes;
    };
    const Case cases[] = {
        {"audio/x-raw, format=S16LE, layout=interleaved, rate=44100, channels=2", 1, 2, 4, 16,
         176400},
        {"audio/x-raw, format=U8, layout=interleaved, rate=8000, channels=1", 1, 1, 1, 8, 8000},
        {"audio/x-raw, format=S24LE, layout=interleaved, rate=48000, channels=2", 1, 2, 6, 24,
         288000},
        {"audio/x-raw, format=F32LE, layout=interleaved, rate=32000, channels=1", 3, 1, 4, 32,
         128000},
        {"audio/mpeg, mpegversion=1, layer=3, rate=44100, channels=2", 0x55, 2, 1, 0, 0},
        // 256-byte blocks of two channels: (256 - 8) * 2 / 2 + 1 = 249 samples a block.
        {"audio/x-adpcm, layout=dvi, block_align=256, rate=22050, channels=2", 0x11, 2, 256, 4,
         22050 * 256 / 249},
        {"audio/x-alaw, rate=8000, channels=1", 6, 1, 1, 8, 8000},
        {"audio/x-mulaw, rate=8000, channels=2", 7, 2, 2, 8, 16000},
    };
    for (const Case& c : cases) {
        GstCaps* caps = gst_caps_from_string(c.caps);
        const std::optional<WaveFormat> format = WaveFormatFromCaps(caps);
        gst_caps_unref(caps);
        ASSERT_TRUE(format) << c.caps;
        EXPECT_EQ(std::tuple(format->tag, format->channels, format->blockAlign,
                             format->bitsPerSample, format->avgBytesPerSec),
                  std::tuple(c.tag, c.channels, c.blockAlign, c.bits, c.avgBytes))
            << c.caps;
    }
    for (const char* refused : {
             "audio/x-raw, format=S16BE, layout=interleaved, rate=44100, channels=2",
             "audio/mpeg, mpegversion=4, rate=44100, channels=2",
             "audio/mpeg, mpegversion=1, layer=2, rate=44100, channels=2",
             "audio/x-adpcm, layout=microsoft, block_align=256, rate=22050, channels=2",
             "audio/x-adpcm, layout=dvi, block_align=8, rate=22050, channels=2",
             "audio/x-raw, format=S16LE, layout=interleaved, rate=44100",
             "audio/x-raw, format=S16LE, layout=interleaved, rate=0, channels=2",
             "audio/x-vorbis, rate=44100, channels=2",
         }) {
        GstCaps* caps = gst_caps_from_string(refused);
        EXPECT_FALSE(WaveFormatFromCaps(caps)) << refused;
        gst_caps_unref(caps);
    }
}

// What a reader takes the length from: the average byte rate for a compressed stream, the
// fact chunk's sample count for any format but integer PCM. Both must tell the real length.
TEST(WavDest, AFinishedFileTellsItsLengthByByteRateAndSampleCount) {
    gst_init(nullptr, nullptr);
    TempEnvironment env;
    constexpr double kSeconds = 20.0;
    struct Case {
        const char* what;
        int rate;
        const char* encode;
        uint16_t tag;
    };
    const Case cases[] = {
        {"A-law", 22050, "audio/x-raw,format=S16LE ! alawenc", kWaveTagALaw},
        {"mu-law", 11025, "audio/x-raw,format=S16LE ! mulawenc", kWaveTagMuLaw},
        {"float", 48000, "audio/x-raw,format=F32LE,layout=interleaved ! identity", kWaveTagFloat},
        {"MP3 VBR", 44100, "audio/x-raw,format=S16LE ! lamemp3enc target=quality quality=4",
         kWaveTagMp3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = env.Path(std::string(c.what) + ".wav");
        // 500 buffers of a 25th of a second: exactly kSeconds of stereo.
        const std::string source =
            "audiotestsrc num-buffers=500 samplesperbuffer=" + std::to_string(c.rate / 25) +
            " ! audio/x-raw,rate=" + std::to_string(c.rate) + ",channels=2 ! audioconvert ! " +
            c.encode + " name=last";
        std::string error;
        ASSERT_TRUE(WriteThrough(source, path, &error)) << error;
        const std::string bytes = TempEnvironment::ReadFile(path);
        const WavBytes wav = WavBytes::Parse(bytes);
        ASSERT_TRUE(wav.riff);
        EXPECT_EQ(std::tuple(wav.tag, wav.channels, wav.sampleRate),
                  std::tuple(c.tag, uint16_t{2}, uint32_t(c.rate)));
        EXPECT_EQ(wav.dataOffset + wav.dataBytes, bytes.size());
        EXPECT_NEAR(wav.avgBytesPerSec, wav.dataBytes / kSeconds, wav.dataBytes / kSeconds / 100);
        ASSERT_TRUE(wav.hasFact);
        EXPECT_NEAR(wav.factSamples, kSeconds * c.rate, kSeconds * c.rate / 100);
        if (c.tag != kWaveTagMp3) {
            EXPECT_EQ(wav.factSamples, wav.dataBytes / wav.blockAlign);
        }
    }
}

TEST(WavDest, HeadersKeepTheirLengthAndSayTheSizesAndSampleCount) {
    const WaveFormat pcm{kWaveTagPcm, 2, 44100, 176400, 4, 16, 0};
    const WaveFormat mp3{kWaveTagMp3, 2, 44100, 16000, 1, 0, 0};
    const WaveFormat ima{kWaveTagImaAdpcm, 1, 22050, 11100, 256, 4, 505};
    struct Case {
        WaveFormat format;
        size_t length;  // header bytes up to the data
        bool fact;
    };
    const Case cases[] = {
        {pcm, 44, false}, {mp3, 12 + 8 + 30 + 12 + 8, true}, {ima, 12 + 8 + 20 + 12 + 8, true}};
    for (const Case& c : cases) {
        const std::string empty = WaveHeader(c.format, 0, 0);
        const std::string full = WaveHeader(c.format, 1001, 77777);
        ASSERT_EQ(empty.size(), c.length) << c.format.tag;
        ASSERT_EQ(full.size(), c.length) << c.format.tag;
        const WavBytes wav = WavBytes::Parse(full + std::string(1001, '\0'));
        EXPECT_TRUE(wav.riff);
        EXPECT_EQ(wav.tag, c.format.tag);
        EXPECT_EQ(wav.dataBytes, 1001u);
        EXPECT_EQ(wav.dataOffset, c.length);
        EXPECT_EQ(wav.riffSize, c.length - 8 + 1001);
        EXPECT_EQ(wav.hasFact, c.fact);
        if (c.fact) {
            EXPECT_EQ(wav.factSamples, 77777u);
        }
    }
    // MPEG Layer-3's frame size at 128 kbit/s and 44.1 kHz: 144 * 128000 / 44100 = 417.
    const std::string header = WaveHeader(mp3, 0, 0);
    EXPECT_EQ(WavBytes::Le(header, 12 + 8 + 18 + 6, 2), 417u);
    // Sizes past what the fields hold are cut to their largest value, never wrapped.
    const WavBytes huge = WavBytes::Parse(WaveHeader(pcm, uint64_t{5} << 30, 0));
    EXPECT_EQ(huge.dataBytes, 0xFFFFFFFFu);
    EXPECT_EQ(huge.riffSize, 0xFFFFFFFFu);
}

}  // namespace
