#include "engine/AviBackEnd.h"

#include <optional>
#include <utility>

#include "engine/AudioJob.h"
#include "engine/EncoderSetup.h"
#include "engine/EncoderTuning.h"
#include "engine/StreamParser.h"
#include "engine/SubtitleFilter.h"
#include "engine/WriteBack.h"

bool AviBackEnd::Attach(GstBin* graph, int fd, std::string* error, bool kept) {
    graph_ = graph;
    mux_ = AddFilter(graph, "avimux", kAviMuxName, error);
    if (!mux_) return false;
    // fdsink seeks back for the header and the index like a file writer does.
    writer_ = AddFilter(graph, "fdsink", kFileWriterName, error);
    if (!writer_) return false;
    g_object_set(writer_.get(), "fd", fd, "sync", FALSE, nullptr);
    if (kept) WriteBack::Watch(writer_.get(), fd);
    if (!gst_element_link(mux_.get(), writer_.get())) {
        if (error) *error = "Cannot connect the AVI muxer to the file writer.";
        return false;
    }
    return true;
}

media::PadRef AviBackEnd::MuxInput(GstPad* peer, const char* kind) {
    if (peer) return GetFreePin(mux_.get(), PadDirection::Input, peer);
    return media::PadRef(
        gst_element_request_pad_simple(mux_.get(), std::string(kind).append("_%u").c_str()));
}

namespace {

// The timeline starts a new segment where one source gives way to the next, with times that
// run on as before. The parser behind an MPEG-4 encoder times the frame at such a boundary
// from the old segment and the muxer drops it as outside the new one: the change of picture
// is lost, and the frames coded against it repeat the old picture. The encoder (and the sound's
// chunker, which would cut the sound there) is given one open segment instead, and later
// segments that map times as it does are kept from it.
struct SegmentKeeper {
    std::optional<GstSegment> first;

    static GstPadProbeReturn Filter(GstPad*, GstPadProbeInfo* info, gpointer data) {
        GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
        auto* keeper = static_cast<SegmentKeeper*>(data);
        // A flush takes the segment away downstream: the next one is needed again.
        if (GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP) keeper->first.reset();
        if (GST_EVENT_TYPE(event) != GST_EVENT_SEGMENT) return GST_PAD_PROBE_OK;
        const GstSegment* segment = nullptr;
        gst_event_parse_segment(event, &segment);
        if (segment->format != GST_FORMAT_TIME) return GST_PAD_PROBE_OK;
        const auto offset = [](const GstSegment& s) {
            return GstClockTimeDiff(s.start) - GstClockTimeDiff(s.base);
        };
        if (keeper->first && offset(*segment) == offset(*keeper->first) &&
            segment->rate == keeper->first->rate)
            return GST_PAD_PROBE_DROP;
        GstSegment open = *segment;
        open.stop = GST_CLOCK_TIME_NONE;
        keeper->first = open;
        GstEvent* replacement = gst_event_new_segment(&open);
        gst_event_set_seqnum(replacement, gst_event_get_seqnum(event));
        gst_event_unref(event);
        GST_PAD_PROBE_INFO_DATA(info) = replacement;
        return GST_PAD_PROBE_OK;
    }
    static void Free(gpointer data) { delete static_cast<SegmentKeeper*>(data); }
};

// The encoder's input behind a queue: the encoder works on a thread of its own, beside
// whatever makes its input (a timeline's mixer, a decoder). Empty when it cannot be built.
media::PadRef QueuedInput(GstBin* graph, GstElement* encoder, std::string* error) {
    media::ElementRef queue = AddFilter(graph, "queue", nullptr, error);
    if (!queue) return {};
    if (!gst_element_link(queue.get(), encoder)) {
        if (error) *error = "Cannot connect an encoder.";
        return {};
    }
    return GetPin(queue.get(), PadDirection::Input);
}

}  // namespace

media::PadRef ChunkedPcm(GstBin* graph, GstPad* pcm, std::string* error) {
    media::ElementRef chunker = AddFilter(graph, "audiobuffersplit", nullptr, error);
    if (!chunker) return {};
    g_object_set(chunker.get(), "output-buffer-duration", 1, 1, nullptr);
    media::PadRef input = GetPin(chunker.get(), PadDirection::Input);
    // The chunker keeps the segment it started with for all it gives out: an end in it
    // would cut the sound at the timeline's first boundary.
    gst_pad_add_probe(input.get(),
                      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM |
                                                   GST_PAD_PROBE_TYPE_EVENT_FLUSH),
                      SegmentKeeper::Filter, new SegmentKeeper, SegmentKeeper::Free);
    if (!ConnectDirect(pcm, input.get())) {
        if (error) *error = "Cannot connect the sound to the AVI muxer.";
        return {};
    }
    return GetPin(chunker.get(), PadDirection::Output);
}

LinkOutcome AviBackEnd::LinkVideo(GstPad* raw, media::ElementRef encoder, const JobObject& job,
                                  const WizardState& state, double subtitleFrameRate,
                                  double subtitleClockOffset) {
    std::string error;
    if (!encoder) {
        // The timeline's own frames, as 24-bit RGB; no effects without an encoder.
        media::ElementRef convert = AddFilter(graph_, "videoconvert", nullptr, &error);
        media::ElementRef rgb =
            convert ? AddFilter(graph_, "capsfilter", nullptr, &error) : media::ElementRef();
        if (!rgb) return {false, error};
        media::CapsRef caps(
            gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGR", nullptr));
        g_object_set(rgb.get(), "caps", caps.get(), nullptr);
        if (!gst_element_link(convert.get(), rgb.get()))
            return {false, "Cannot build the RGB converter."};
        media::PadRef head = GetPin(convert.get(), PadDirection::Input);
        if (LinkOutcome in = ConnectDirect(raw, head.get()); !in) return in;
        media::PadRef tail = GetPin(rgb.get(), PadDirection::Output);
        media::PadRef input = MuxInput(nullptr, "video");
        return ConnectDirect(tail.get(), input.get());
    }
    gst_object_set_name(GST_OBJECT(encoder.get()), kVideoCompressorName);
    if (!gst_bin_add(graph_, encoder.get())) return {false, "Cannot add the video encoder."};
    media::PadRef encoderIn = GetPin(encoder.get(), PadDirection::Input);
    gst_pad_add_probe(encoderIn.get(),
                      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM |
                                                   GST_PAD_PROBE_TYPE_EVENT_FLUSH),
                      SegmentKeeper::Filter,
                      new SegmentKeeper, SegmentKeeper::Free);
    media::PadRef queueIn = QueuedInput(graph_, encoder.get(), &error);
    if (!queueIn) return {false, error};
    if (!JobChangesPictures(job, state)) {
        // Nothing to draw: the frames go to the encoder as they are, not through 32-bit RGB.
        if (LinkOutcome link = ConnectIntelligent(graph_, raw, queueIn.get()); !link)
            return link;
    } else if (InsertSubtitleFilter(job, state, graph_, raw, queueIn.get(), subtitleFrameRate,
                                    subtitleClockOffset) == SubtitleInsert::Failed) {
        // A failed splice is reported there and leaves the picture without effects, or nothing.
        return {false, "The video cannot reach its encoder."};
    }
    // The muxer clips an encoder's raw output (avenc_mpeg4's) as outside its segment: the
    // parser gives it the decoding times it goes by.
    media::PadRef encoded = AddEncoderParser(graph_, encoder.get(), &error);
    if (!encoded) return {false, error};
    media::PadRef input = MuxInput(encoded.get(), "video");
    if (!input) return {false, "The AVI muxer cannot take the video encoder's output."};
    return ConnectDirect(encoded.get(), input.get());
}

LinkOutcome AviBackEnd::LinkCopy(GstPad* compressed) {
    media::PadRef input = MuxInput(compressed, "video");
    if (!input) return {false, "The AVI muxer cannot take the input's video as it is."};
    return ConnectDirect(compressed, input.get());
}

media::PadRef AviBackEnd::PrepareAudio(media::ElementRef encoder, const WizardState& state,
                                       std::string* error) {
    media::ElementRef convert = AddFilter(graph_, "audioconvert", nullptr, error);
    media::ElementRef resample =
        convert ? AddFilter(graph_, "audioresample", nullptr, error) : media::ElementRef();
    media::ElementRef format =
        resample ? AddFilter(graph_, "capsfilter", nullptr, error) : media::ElementRef();
    if (!format) return {};
    // The encoder is fed the format chosen for it (any, when none was); without an encoder
    // the muxer takes 16-bit PCM of the audio group's format.
    media::CapsRef caps;
    if (!encoder) {
        const AudioFormat pcm = AudioGroupFormat(state);
        caps = media::CapsRef(gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, "S16LE",
                                                  "rate", G_TYPE_INT, pcm.sampleRate, "channels",
                                                  G_TYPE_INT, pcm.channels, nullptr));
    } else if (state.audioFormat.sampleRate > 0 && state.audioFormat.channels > 0) {
        caps = media::CapsRef(gst_caps_new_simple("audio/x-raw", "rate", G_TYPE_INT,
                                                  state.audioFormat.sampleRate, "channels",
                                                  G_TYPE_INT, state.audioFormat.channels, nullptr));
    } else {
        caps = media::CapsRef(gst_caps_new_empty_simple("audio/x-raw"));
    }
    g_object_set(format.get(), "caps", caps.get(), nullptr);
    auto fail = [&](const char* text) {
        if (error) *error = text;
        return media::PadRef();
    };
    if (!gst_element_link_many(convert.get(), resample.get(), format.get(), nullptr))
        return fail("Cannot build the audio format converter.");
    GstElement* last = format.get();
    if (encoder) {
        gst_object_set_name(GST_OBJECT(encoder.get()), kAudioCompressorName);
        if (!gst_bin_add(graph_, encoder.get())) return fail("Cannot add the audio encoder.");
        media::PadRef queueIn = QueuedInput(graph_, encoder.get(), error);
        media::PadRef formatOut = GetPin(last, PadDirection::Output);
        if (!queueIn || !ConnectDirect(formatOut.get(), queueIn.get()))
            return fail("Cannot connect the audio encoder.");
        last = encoder.get();
    }
    media::PadRef tail = GetPin(last, PadDirection::Output);
    if (!encoder && !(tail = ChunkedPcm(graph_, tail.get(), error))) return {};
    media::PadRef input = MuxInput(tail.get(), "audio");
    if (!input || !ConnectDirect(tail.get(), input.get()))
        return fail("The AVI muxer cannot take the audio encoder's output.");
    return GetPin(convert.get(), PadDirection::Input);
}

LinkOutcome AviBackEnd::LinkGroups(const editing::GroupRender& engine, const JobObject& job,
                                   WizardState& state, const CodecCatalogue& catalogue,
                                   IPageDriver& pages, double subtitleFrameRate,
                                   double subtitleClockOffset, bool withAudio,
                                   media::ElementRef audioEncoder) {
    media::ElementRef videoEncoder = CreateSelectedVideoCompressor(state, catalogue);
    ApplyVideoCompression(state, catalogue, videoEncoder.get());
    if (const CodecEntry* entry = catalogue.VideoRow(state.chosenVideoCodec);
        videoEncoder && entry && (entry->mask & kCodecCanConfigure))
        pages.ConfigureEncoder(state, videoEncoder.get());
    media::PadRef videoPin = engine.GroupOutputPin(0);
    if (LinkOutcome link = LinkVideo(videoPin.get(), std::move(videoEncoder), job, state,
                                     subtitleFrameRate, subtitleClockOffset);
        !link)
        return link;
    if (!withAudio) return {true, {}};
    std::string error;
    media::PadRef head = PrepareAudio(std::move(audioEncoder), state, &error);
    if (!head) return {false, error};
    media::PadRef audioPin = engine.GroupOutputPin(1);
    return ConnectDirect(audioPin.get(), head.get());
}
