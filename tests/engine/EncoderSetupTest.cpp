// The chosen encoders as the graph gets them: row 0 is no encoder and nothing is set; quality
// and key-frame rate reach an encoder whose mask holds their bits among others; the MP3
// settings reach the encoder and the format in front of it.

#include <gtest/gtest.h>

#include "CapturedMessages.h"
#include "SharedCatalogue.h"
#include "engine/EncoderSetup.h"
#include "engine/EncoderTuning.h"
#include "platform/media/EncoderProperties.h"

namespace {

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
    state.chosenAudioCodec = Catalogue().Mp3Row(AudioWriter::Avi) + 1;
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
        state.chosenAudioCodec = Catalogue().Mp3Row(AudioWriter::Avi);
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

// Classes whose properties a configuration dialog could or could not show.
void NoProperty(GObject*, guint, const GValue*, GParamSpec*) {}
void NoValue(GObject*, guint, GValue*, GParamSpec*) {}

template <bool kWithPlainProperty>
void InstallProperties(gpointer klass, gpointer) {
    auto* object = G_OBJECT_CLASS(klass);
    object->set_property = NoProperty;
    object->get_property = NoValue;
    const auto rw = static_cast<GParamFlags>(G_PARAM_READWRITE);
    g_object_class_install_property(
        object, 1, g_param_spec_int("secret", "", "", 0, 9, 0, G_PARAM_WRITABLE));  // write-only
    g_object_class_install_property(object, 2, g_param_spec_object("peer", "", "", G_TYPE_OBJECT, rw));
    g_object_class_install_property(
        object, 3,
        g_param_spec_string("made-as", "", "", "", static_cast<GParamFlags>(rw | G_PARAM_CONSTRUCT_ONLY)));
    g_object_class_install_property(object, 4, g_param_spec_pointer("handle", "", "", rw));
    if (kWithPlainProperty)
        g_object_class_install_property(object, 5, g_param_spec_double("gain", "", "", 0, 1, 0, rw));
}

template <bool kWithPlainProperty>
GType TestEncoderType(const char* name) {
    static const GType type = g_type_register_static_simple(
        G_TYPE_OBJECT, name, sizeof(GObjectClass), InstallProperties<kWithPlainProperty>,
        sizeof(GObject), nullptr, GTypeFlags{});
    return type;
}

TEST(EncoderCapabilities, TheConfigureBitPromisesOnlyADialogWithRows) {
    struct Case {
        GType type;
        bool configurable;
    } cases[] = {
        {TestEncoderType<false>("KorcTestHiddenSettings"), false},
        {TestEncoderType<true>("KorcTestOneSetting"), true},
    };
    for (const Case& c : cases) {
        auto* klass = static_cast<GObjectClass*>(g_type_class_ref(c.type));
        GObject* object = G_OBJECT(g_object_new(c.type, nullptr));
        EXPECT_EQ((EncoderCapabilities(klass) & kCodecCanConfigure) != 0, c.configurable) << g_type_name(c.type);
        EXPECT_EQ(!EditableProperties(object).empty(), c.configurable) << g_type_name(c.type);
        g_object_unref(object);
        g_type_class_unref(klass);
    }
    // Every installed encoder: the bit and the dialog's rows agree.
    for (const auto* rows : {&Catalogue().Video(), &Catalogue().Audio(AudioWriter::Avi),
                             &Catalogue().Audio(AudioWriter::Wav)}) {
        for (const CodecEntry& entry : *rows) {
            media::ElementRef encoder(gst_element_factory_make(entry.factoryName.c_str(), nullptr));
            ASSERT_TRUE(encoder) << entry.factoryName;
            EXPECT_EQ((entry.mask & kCodecCanConfigure) != 0, !EditableProperties(G_OBJECT(encoder.get())).empty())
                << entry.factoryName;
        }
    }
}

}  // namespace
