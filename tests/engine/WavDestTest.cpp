// The WAV writer's header must describe what it wrote: readers take the format tag, block
// size and lengths from it, so a wrong field makes the file unplayable or the wrong length.

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <tuple>

#include "WavBytes.h"
#include "engine/WavDest.h"

namespace {

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
