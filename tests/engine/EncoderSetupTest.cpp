// The chosen encoders as the graph gets them: row 0 is no encoder and nothing is set; quality
// and key-frame rate reach an encoder whose mask holds their bits among others; the MP3
// settings reach the encoder and the format in front of it.

#include <gtest/gtest.h>

#include "CapturedMessages.h"
#include "engine/EncoderProperties.h"
#include "engine/EncoderSetup.h"
#include "engine/EncoderTuning.h"

namespace {

const CodecCatalogue& Catalogue() {
    static const CodecCatalogue catalogue = CodecCatalogue::Build();
    return catalogue;
}

TEST(EncoderSetup, RowZeroOrPastTheListIsNoEncoderAndNothingIsApplied) {
    CapturedMessages messages;
    WizardState state;
    state.chosenVideoCodec = 0, state.chosenAudioCodec = 0;
    EXPECT_FALSE(CreateSelectedVideoCompressor(state, Catalogue()));
    EXPECT_FALSE(CreateSelectedAudioCompressor(state, Catalogue()));
    ApplyVideoCompression(state, Catalogue(), nullptr);
    state.chosenAudioFormat = 0;
    state.audioFormats = {{22050, 1}};
    ApplyAudioFormat(state, Catalogue(), nullptr);
    EXPECT_EQ(state.audioFormat.sampleRate, 0);
    state.chosenAudioCodec = Catalogue().Mp3Row() + 1;
    EXPECT_FALSE(CreateSelectedAudioCompressor(state, Catalogue()));
    state.chosenVideoCodec = static_cast<int32_t>(Catalogue().Video().size()) + 1;
    EXPECT_FALSE(CreateSelectedVideoCompressor(state, Catalogue()));
    EXPECT_TRUE(messages.shown.empty());
}

TEST(EncoderSetup, TheMpegFourRowGetsQualityBestMiddleWorstAndKeyFramesWithOtherBitsSet) {
    WizardState state;
    state.chosenVideoCodec = Catalogue().PreferredVideoRow("XviD");
    const CodecEntry* entry = Catalogue().VideoRow(state.chosenVideoCodec);
    ASSERT_NE(entry, nullptr);
    ASSERT_EQ(entry->mask, kCodecCanQuality | kCodecCanKeyFrame | kCodecCanConfigure);
    const struct {
        int32_t quality;
        float quantizer;
    } cases[] = {{100, 1}, {50, 15.5}, {1, 30}};
    for (const auto& c : cases) {  // a quantizer: smaller is better
        state.quality = c.quality;
        state.keyFrameRate = 25;
        media::ElementRef encoder = CreateSelectedVideoCompressor(state, Catalogue());
        ApplyVideoCompression(state, Catalogue(), encoder.get());
        float quantizer = 0;
        int gop = 0;
        g_object_get(encoder.get(), "quantizer", &quantizer, "gop-size", &gop, nullptr);
        EXPECT_NEAR(quantizer, c.quantizer, c.quality == 50 ? 1.0 : 0.0) << c.quality;
        EXPECT_EQ(gop, 25);
        EXPECT_EQ(PropertyText(G_OBJECT(encoder.get()), "pass"), "quant")
            << "a quantizer is only used in constant-quantizer mode";
    }
}

TEST(EncoderSetup, Mp3SettingsReachTheEncoderAndItsFormat) {
    const struct {
        int32_t rate, bitrate, stereo, wantBitrate, wantChannels;
    } cases[] = {{44100, 192, 1, 192, 2}, {22050, 320, 0, 160, 1}, {8000, 128, 1, 64, 2}};
    for (const auto& c : cases) {
        WizardState state;
        state.chosenAudioCodec = Catalogue().Mp3Row();
        state.mp3SampleRate = c.rate, state.mp3Bitrate = c.bitrate, state.mp3Stereo = c.stereo;
        media::ElementRef encoder = CreateSelectedAudioCompressor(state, Catalogue());
        ASSERT_TRUE(encoder);
        ApplyAudioFormat(state, Catalogue(), encoder.get());
        int bitrate = 0;
        gboolean cbr = FALSE, mono = FALSE;
        g_object_get(encoder.get(), "bitrate", &bitrate, "cbr", &cbr, "mono", &mono, nullptr);
        EXPECT_EQ(bitrate, c.wantBitrate) << c.rate;
        EXPECT_TRUE(cbr);
        EXPECT_EQ(mono, c.stereo ? FALSE : TRUE);
        EXPECT_EQ(state.audioFormat.sampleRate, c.rate);
        EXPECT_EQ(state.audioFormat.channels, c.wantChannels);
    }
}

}  // namespace
