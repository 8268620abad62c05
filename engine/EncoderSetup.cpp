#include "engine/EncoderSetup.h"

#include <algorithm>
#include <iterator>

#include "engine/CodecPageRules.h"
#include "engine/EncoderTuning.h"
#include "engine/GraphError.h"

namespace {

media::ElementRef Create(const WizardState& state, const std::string& factory) {
    media::ElementRef encoder(gst_element_factory_make(factory.c_str(), nullptr));
    if (!encoder)
        ReportGraphError(state.ownerWindow,
                         "The GStreamer element \"" + factory + "\" cannot be created.");
    return encoder;
}

}  // namespace

media::ElementRef CreateSelectedVideoCompressor(const WizardState& state,
                                                const CodecCatalogue& catalogue) {
    const CodecEntry* entry = catalogue.VideoRow(state.chosenVideoCodec);
    return entry ? Create(state, entry->factoryName) : media::ElementRef();
}

media::ElementRef CreateSelectedAudioCompressor(const WizardState& state,
                                                const CodecCatalogue& catalogue) {
    const AudioWriter writer = AudioWriterOf(state);
    if (catalogue.IsMp3Row(state.chosenAudioCodec, writer))
        return Create(state, kMp3EncoderFactory);
    const CodecEntry* entry = catalogue.AudioRow(state.chosenAudioCodec, writer);
    return entry ? Create(state, entry->factoryName) : media::ElementRef();
}

void ApplyVideoCompression(const WizardState& state, const CodecCatalogue& catalogue,
                           GstElement* compressor) {
    const CodecEntry* entry = catalogue.VideoRow(state.chosenVideoCodec);
    if (!compressor || !entry) return;
    if (entry->mask & kCodecCanQuality) SetEncoderQuality(compressor, state.quality);
    if (entry->mask & kCodecCanKeyFrame) SetEncoderKeyFrameRate(compressor, state.keyFrameRate);
}

int32_t Mp3BitrateForRate(int32_t sampleRate, int32_t bitrate) {
    if (sampleRate <= 12000) return std::min(bitrate, 64);
    if (sampleRate <= 24000) return std::min(bitrate, 160);
    return bitrate;
}

void ApplyAudioFormat(WizardState& state, const CodecCatalogue& catalogue, GstElement* compressor) {
    state.audioFormat = {};
    if (!compressor) return;
    const AudioWriter writer = AudioWriterOf(state);
    if (catalogue.IsMp3Row(state.chosenAudioCodec, writer)) {
        state.audioFormat = {state.mp3SampleRate, state.mp3Stereo ? 2 : 1};
        gst_util_set_object_arg(G_OBJECT(compressor), "target", "bitrate");
        g_object_set(compressor, "bitrate", Mp3BitrateForRate(state.mp3SampleRate, state.mp3Bitrate),
                     "cbr", TRUE, "mono", state.mp3Stereo ? FALSE : TRUE, nullptr);
        return;
    }
    const bool listed = state.chosenAudioFormat >= 0 &&
                        state.chosenAudioFormat < static_cast<int32_t>(state.audioFormats.size());
    if (catalogue.AudioRow(state.chosenAudioCodec, writer) && listed)
        state.audioFormat = state.audioFormats[static_cast<size_t>(state.chosenAudioFormat)];
}

LinkOutcome ConnectThroughAudioFormat(GstBin* graph, const AudioFormat& format, GstPad* upstream,
                                      GstElement* compressor) {
    media::PadRef input = GetFreePin(compressor, PadDirection::Input);
    if (format.sampleRate <= 0 || format.channels <= 0)
        return ConnectIntelligent(graph, upstream, input.get());

    std::string error;
    media::ElementRef convert = AddFilter(graph, "audioconvert", nullptr, &error);
    media::ElementRef resample = convert ? AddFilter(graph, "audioresample", nullptr, &error)
                                         : media::ElementRef();
    media::ElementRef caps = resample ? AddFilter(graph, "capsfilter", nullptr, &error)
                                      : media::ElementRef();
    if (!caps) return {false, error};
    media::CapsRef wanted(gst_caps_new_simple("audio/x-raw", "rate", G_TYPE_INT, format.sampleRate,
                                              "channels", G_TYPE_INT, format.channels, nullptr));
    g_object_set(caps.get(), "caps", wanted.get(), nullptr);

    GstElement* chain[] = {convert.get(), resample.get(), caps.get()};
    for (size_t i = 0; i + 1 < std::size(chain); ++i) {
        if (!gst_element_link(chain[i], chain[i + 1]))
            return {false, "Cannot build the audio format converter."};
    }
    media::PadRef head = GetPin(convert.get(), PadDirection::Input);
    media::PadRef tail = GetPin(caps.get(), PadDirection::Output);
    if (LinkOutcome in = ConnectDirect(upstream, head.get()); !in) return in;
    return ConnectDirect(tail.get(), input.get());
}

bool AddLameEncoderItem(WizardState& state, const CodecCatalogue& catalogue, int32_t row,
                        const std::string& preferredName) {
    state.systemAudioCodecCount = row;
    if (!catalogue.HasMp3Encoder()) return false;
    if (preferredName == "LAME") state.chosenAudioCodec = catalogue.Mp3Row(AudioWriterOf(state));
    return true;
}
