#include "engine/EncoderTrial.h"

#include <gst/audio/audio.h>
#include <gst/video/video.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/StreamParser.h"

namespace {

constexpr int kFrames = 2;
constexpr GstClockTime kSilence = GST_SECOND / 4;

// Buffers an element pushed out, kept in order.
class Collected {
public:
    Collected() = default;
    Collected(const Collected&) = delete;
    Collected& operator=(const Collected&) = delete;
    ~Collected() {
        for (GstBuffer* buffer : buffers) gst_buffer_unref(buffer);
    }
    std::vector<GstBuffer*> buffers;
    media::CapsRef caps;
};

GstFlowReturn Keep(GstPad* pad, GstObject*, GstBuffer* buffer) {
    static_cast<Collected*>(gst_pad_get_element_private(pad))->buffers.push_back(buffer);
    return GST_FLOW_OK;
}

gboolean TakeAnyCaps(GstPad* pad, GstObject* parent, GstQuery* query) {
    switch (GST_QUERY_TYPE(query)) {
        case GST_QUERY_CAPS: {
            GstCaps* filter = nullptr;
            gst_query_parse_caps(query, &filter);
            gst_query_set_caps_result(query, filter ? filter : GST_CAPS_ANY);
            return TRUE;
        }
        case GST_QUERY_ACCEPT_CAPS:
            gst_query_set_accept_caps_result(query, TRUE);
            return TRUE;
        default:
            return gst_pad_query_default(pad, parent, query);
    }
}

enum class Outcome { Refused, Failed, Made };

// Opens the element on caps, pushes the buffers and the end of the stream into it on this
// thread, and keeps what it pushes out: Refused when it does not take the caps, Failed when
// it takes them but refuses a buffer or makes nothing.
Outcome Run(GstElement* element, const GstCaps* caps, const std::vector<GstBuffer*>& input,
            Collected& output) {
    media::PadRef sink(gst_element_get_static_pad(element, "sink"));
    media::PadRef src(gst_element_get_static_pad(element, "src"));
    if (!sink || !src) return Outcome::Refused;
    // A pad of no element, taking whatever comes: the element's only peer.
    media::PadRef keeper(gst_pad_new("keeper", GST_PAD_SINK));
    gst_pad_set_element_private(keeper.get(), &output);
    gst_pad_set_chain_function(keeper.get(), Keep);
    gst_pad_set_query_function(keeper.get(), TakeAnyCaps);
    gst_pad_set_active(keeper.get(), TRUE);
    if (gst_pad_link(src.get(), keeper.get()) != GST_PAD_LINK_OK) return Outcome::Refused;

    Outcome outcome = Outcome::Refused;
    if (gst_element_set_state(element, GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE) {
        GstSegment segment;
        gst_segment_init(&segment, GST_FORMAT_TIME);
        gst_pad_send_event(sink.get(), gst_event_new_stream_start("korc-encoder-trial"));
        if (gst_pad_send_event(sink.get(), gst_event_new_caps(const_cast<GstCaps*>(caps)))) {
            bool taken = gst_pad_send_event(sink.get(), gst_event_new_segment(&segment));
            for (size_t i = 0; taken && i < input.size(); ++i)
                taken = gst_pad_chain(sink.get(), gst_buffer_ref(input[i])) == GST_FLOW_OK;
            if (taken) gst_pad_send_event(sink.get(), gst_event_new_eos());
            if (GstCaps* made = gst_pad_get_current_caps(src.get()))
                output.caps = media::CapsRef(made);
            outcome =
                taken && output.caps && !output.buffers.empty() ? Outcome::Made : Outcome::Failed;
        }
    }
    gst_element_set_state(element, GST_STATE_NULL);
    gst_pad_unlink(src.get(), keeper.get());
    gst_pad_set_active(keeper.get(), FALSE);
    return outcome;
}

Outcome RunFactory(const std::string& factory, const GstCaps* caps,
                   const std::vector<GstBuffer*>& input, Collected& output) {
    media::ElementRef element(gst_element_factory_make(factory.c_str(), nullptr));
    return element ? Run(element.get(), caps, input, output) : Outcome::Refused;
}

// The registry's decoders of the caps, best first, as a player chooses among them: for caps
// of one format, only those whose inputs hold them whole.
std::vector<std::string> DecodersFor(const GstCaps* caps) {
    GList* decoders =
        gst_element_factory_list_get_elements(GST_ELEMENT_FACTORY_TYPE_DECODER, GST_RANK_MARGINAL);
    GList* fitting =
        gst_element_factory_list_filter(decoders, caps, GST_PAD_SINK, gst_caps_is_fixed(caps));
    fitting = g_list_sort(fitting, gst_plugin_feature_rank_compare_func);
    std::vector<std::string> names;
    for (GList* item = fitting; item; item = item->next)
        names.push_back(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(item->data)));
    gst_plugin_feature_list_free(fitting);
    gst_plugin_feature_list_free(decoders);
    return names;
}

// A moment of blank pictures or silence in the fixed raw format; empty for another format.
std::vector<GstBuffer*> Blank(const GstCaps* raw) {
    std::vector<GstBuffer*> buffers;
    const char* name = gst_structure_get_name(gst_caps_get_structure(raw, 0));
    if (std::strcmp(name, "video/x-raw") == 0) {
        GstVideoInfo info;
        if (!gst_video_info_from_caps(&info, raw) || GST_VIDEO_INFO_FPS_N(&info) <= 0) return {};
        const GstClockTime frame = gst_util_uint64_scale_int(
            GST_SECOND, GST_VIDEO_INFO_FPS_D(&info), GST_VIDEO_INFO_FPS_N(&info));
        for (int i = 0; i < kFrames; ++i) {
            GstBuffer* buffer = gst_buffer_new_and_alloc(GST_VIDEO_INFO_SIZE(&info));
            gst_buffer_memset(buffer, 0, 0x80, GST_VIDEO_INFO_SIZE(&info));
            GST_BUFFER_PTS(buffer) = i * frame;
            GST_BUFFER_DURATION(buffer) = frame;
            buffers.push_back(buffer);
        }
    } else if (std::strcmp(name, "audio/x-raw") == 0) {
        GstAudioInfo info;
        if (!gst_audio_info_from_caps(&info, raw) || GST_AUDIO_INFO_RATE(&info) <= 0) return {};
        const gsize frames =
            gst_util_uint64_scale(kSilence, GST_AUDIO_INFO_RATE(&info), GST_SECOND);
        const gsize size = frames * GST_AUDIO_INFO_BPF(&info);
        GstBuffer* buffer = gst_buffer_new_and_alloc(size);
        GstMapInfo map;
        gst_buffer_map(buffer, &map, GST_MAP_WRITE);
        gst_audio_format_info_fill_silence(info.finfo, map.data, map.size);
        gst_buffer_unmap(buffer, &map);
        GST_BUFFER_PTS(buffer) = 0;
        GST_BUFFER_DURATION(buffer) = kSilence;
        buffers.push_back(buffer);
    }
    return buffers;
}

}  // namespace

media::CapsRef TryEncoder(GstElementFactory* factory, const GstCaps* raw) {
    media::ElementRef encoder(gst_element_factory_create(factory, nullptr));
    media::PadRef sink = encoder ? media::PadRef(gst_element_get_static_pad(encoder.get(), "sink"))
                                 : media::PadRef();
    if (!sink) return {};
    // Some encoders answer with all they take, whatever was asked.
    media::CapsRef accepted(gst_pad_query_caps(sink.get(), const_cast<GstCaps*>(raw)));
    GstCaps* taken = gst_caps_intersect(accepted.get(), const_cast<GstCaps*>(raw));
    if (gst_caps_is_empty(taken)) {
        gst_caps_unref(taken);
        return {};
    }
    media::CapsRef format(gst_caps_fixate(taken));
    std::vector<GstBuffer*> blank = Blank(format.get());
    Collected encoded;
    const bool made =
        !blank.empty() && Run(encoder.get(), format.get(), blank, encoded) == Outcome::Made;
    for (GstBuffer* buffer : blank) gst_buffer_unref(buffer);
    if (!made) return {};
    // The parser the job puts behind the encoder, then the decoder a player would take.
    Collected parsed;
    const Collected* written = &encoded;
    if (const std::string parser = ParserFactoryFor(encoded.caps.get()); !parser.empty()) {
        if (RunFactory(parser, encoded.caps.get(), encoded.buffers, parsed) != Outcome::Made)
            return {};
        written = &parsed;
    }
    // The first decoder that takes the stream decides, as a player's would.
    for (const std::string& decoder : DecodersFor(written->caps.get())) {
        Collected decoded;
        switch (RunFactory(decoder, written->caps.get(), written->buffers, decoded)) {
            case Outcome::Made:
                return media::CapsRef(gst_caps_ref(encoded.caps.get()));
            case Outcome::Failed:
                return {};
            case Outcome::Refused:
                break;
        }
    }
    return {};
}
