#include "engine/CodecPageRules.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <tuple>

#include "common/FindNoCase.h"
#include "platform/media/GstInit.h"
#include "platform/media/GstRef.h"

namespace {

const int32_t kOfferedRates[] = {48000, 44100, 32000, 24000, 22050, 16000, 12000, 11025, 8000};

// The sink caps a factory's templates declare, merged.
media::CapsRef SinkTemplateCaps(GstElementFactory* factory) {
    media::CapsRef merged(gst_caps_new_empty());
    for (const GList* item = gst_element_factory_get_static_pad_templates(factory); item;
         item = item->next) {
        auto* templ = static_cast<GstStaticPadTemplate*>(item->data);
        if (templ->direction != GST_PAD_SINK) continue;
        merged = media::CapsRef(
            gst_caps_merge(gst_caps_ref(merged.get()), gst_static_caps_get(&templ->static_caps)));
    }
    return merged;
}

}  // namespace

int32_t DefaultVideoRow(const CodecCatalogue& catalogue, const std::string& preferred1,
                        const std::string& preferred2) {
    const int32_t rows =
        std::min<int32_t>(static_cast<int32_t>(catalogue.Video().size()), kMaxCodecRows - 1);
    int32_t chosen = rows > 0 ? 1 : 0;
    for (const std::string* name : {&preferred1, &preferred2}) {
        if (name->empty()) continue;
        const int32_t row = catalogue.PreferredVideoRow(*name);
        const CodecEntry* entry = catalogue.VideoRow(row);
        if (!entry || row > rows || FindNoCase(entry->displayName, "YV12") != std::string::npos)
            continue;
        chosen = std::max(chosen, row);
    }
    return chosen;
}

int32_t DefaultAudioRow(const CodecCatalogue& catalogue, AudioWriter writer,
                        const std::string& preferred1, const std::string& preferred2) {
    for (const std::string* name : {&preferred1, &preferred2}) {
        if (name->empty()) continue;
        const int32_t row = catalogue.PreferredAudioRow(*name, writer);
        if (row > 0) return row;
    }
    return 0;
}

AudioWriter AudioWriterOf(const WizardState& state) {
    switch (static_cast<JobKind>(state.jobKind)) {
        case JobKind::ExtractAudio:
        case JobKind::MergeAudio:
            return AudioWriter::Wav;
        case JobKind::MixVideoAudio: {
            const bool video =
                std::find(state.fragmentHasVideo.begin(), state.fragmentHasVideo.end(), 1) !=
                state.fragmentHasVideo.end();
            return state.mixVideo == 1 && video ? AudioWriter::Avi : AudioWriter::Wav;
        }
        default:
            return AudioWriter::Avi;
    }
}

int32_t ClampSize(int32_t value, int32_t maximum) { return std::clamp(value, 1, maximum); }

SizeEdit ParseSizeEdit(const std::string& text, int32_t lastAccepted, int32_t maximum) {
    if (text.empty()) return {text, lastAccepted};
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return {std::to_string(lastAccepted), lastAccepted};
        // Saturates instead of overflowing: a long run of digits is just "too big".
        value = std::min<int64_t>(value * 10 + (c - '0'), int64_t{maximum} + 1);
    }
    const int32_t clamped = ClampSize(static_cast<int32_t>(value), maximum);
    if (clamped != value) return {std::to_string(clamped), clamped};
    return {text, clamped};
}

std::vector<AudioFormat> ListAudioFormats(const std::string& factoryName) {
    media::InitGStreamer();
    std::vector<AudioFormat> formats;
    GstElementFactory* factory = gst_element_factory_find(factoryName.c_str());
    if (!factory) return formats;
    media::CapsRef accepted = SinkTemplateCaps(factory);
    gst_object_unref(factory);
    for (int32_t rate : kOfferedRates) {
        for (int32_t channels : {2, 1}) {
            media::CapsRef offered(gst_caps_new_simple("audio/x-raw", "rate", G_TYPE_INT, rate,
                                                       "channels", G_TYPE_INT, channels, nullptr));
            if (gst_caps_can_intersect(offered.get(), accepted.get()))
                formats.push_back({rate, channels});
        }
    }
    return formats;
}

int32_t AudioFormatKbps(const AudioFormat& format) {
    return static_cast<int32_t>(int64_t{format.sampleRate} * format.channels * 16 / 1000);
}

std::string AudioFormatText(const AudioFormat& format) {
    return std::string(format.channels >= 2 ? "Stereo - " : "Mono - ") +
           std::to_string(format.sampleRate / 1000) + " kHz - " +
           std::to_string(AudioFormatKbps(format)) + " kbps";
}

int32_t NearestAudioFormat(const std::vector<AudioFormat>& formats, int32_t sourceRate,
                           int32_t sourceChannels, int32_t sourceKbps) {
    int32_t best = -1;
    // Compared in order: rate distance, other channel count, bitrate distance.
    std::tuple<int64_t, bool, int64_t> bestKey{std::numeric_limits<int64_t>::max(), true,
                                               std::numeric_limits<int64_t>::max()};
    for (size_t i = 0; i < formats.size(); ++i) {
        const std::tuple<int64_t, bool, int64_t> key{
            std::llabs(int64_t{formats[i].sampleRate} - sourceRate),
            sourceChannels > 0 && formats[i].channels != sourceChannels,
            std::llabs(int64_t{AudioFormatKbps(formats[i])} - sourceKbps)};
        if (key < bestKey) {
            best = static_cast<int32_t>(i);
            bestKey = key;
        }
    }
    return best;
}

std::string LameBitrateForRatePosition(int position) {
    static const char* const kBitrates[] = {"128", "64", "32"};
    return position < 0 ? std::string() : kBitrates[position % 3];
}

LameDefaults LameDefaultsFor(int32_t sourceRate) {
    struct Step {
        int32_t above;
        LameDefaults defaults;
    };
    static const Step kSteps[] = {
        {44100, {"48000", "128"}}, {32000, {"44100", "128"}}, {24000, {"32000", "128"}},
        {22050, {"24000", "64"}},  {16000, {"22050", "64"}},  {12000, {"16000", "64"}},
        {11025, {"12000", "32"}},  {8000, {"11025", "32"}},
    };
    for (const Step& step : kSteps)
        if (sourceRate > step.above) return step.defaults;
    return {"8000", "32"};
}
