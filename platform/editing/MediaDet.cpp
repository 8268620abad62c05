#include "platform/editing/MediaDet.h"

#include <gst/audio/audio.h>
#include <gst/video/video.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/media/GstRef.h"
#include "platform/media/MediaProbe.h"
#include "platform/media/StateWait.h"
#include "platform/system/RegularFile.h"

namespace editing {
namespace {

// The frame size as GstVideoInfo reads the stream's caps; the discoverer's values when the
// caps do not parse.
void ReadFrameSize(const media::StreamFacts& stream, MediaDetFacts& facts) {
    facts.width = stream.width;
    facts.height = stream.height;
    media::CapsRef caps(gst_caps_from_string(stream.caps.c_str()));
    GstVideoInfo info;
    if (caps && gst_video_info_from_caps(&info, caps.get())) {
        facts.width = GST_VIDEO_INFO_WIDTH(&info);
        facts.height = GST_VIDEO_INFO_HEIGHT(&info);
        if (GST_VIDEO_INFO_FPS_D(&info) > 0 && GST_VIDEO_INFO_FPS_N(&info) > 0)
            facts.frameRate = double(GST_VIDEO_INFO_FPS_N(&info)) / GST_VIDEO_INFO_FPS_D(&info);
    }
    if (facts.width < 0) facts.width = -facts.width;
    if (facts.height < 0) facts.height = -facts.height;
}

// decodebin's answer to autoplug-select that exposes a stream as it is, undecoded.
constexpr int kAutoplugExpose = 1;
constexpr int kAutoplugTry = 0;

// What the read-only probe collects from the streams' ends, on the graph's threads.
struct Collected {
    std::mutex mutex;
    std::vector<media::ElementRef> sinks;
    GstClockTime reached = 0;  // the end of the last buffer any stream passed on
};

GstPadProbeReturn NoteBufferEnd(GstPad*, GstPadProbeInfo* info, gpointer data) {
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    if (buffer && GST_BUFFER_PTS_IS_VALID(buffer) && GST_BUFFER_DURATION_IS_VALID(buffer)) {
        auto* collected = static_cast<Collected*>(data);
        std::lock_guard lock(collected->mutex);
        collected->reached =
            std::max(collected->reached, GST_BUFFER_PTS(buffer) + GST_BUFFER_DURATION(buffer));
    }
    return GST_PAD_PROBE_OK;
}

int StopBeforeDecoders(GstElement*, GstPad*, GstCaps*, GstElementFactory* factory, gpointer) {
    const char* klass = gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS);
    return klass && std::strstr(klass, "Decoder") ? kAutoplugExpose : kAutoplugTry;
}

void AddStreamEnd(GstElement* reader, GstPad* pad, gpointer data) {
    auto* collected = static_cast<Collected*>(data);
    media::ElementRef sink(gst_element_factory_make("fakesink", nullptr));
    if (!sink) return;
    g_object_set(sink.get(), "sync", FALSE, nullptr);
    GstElement* graph = GST_ELEMENT(gst_element_get_parent(reader));
    if (!graph) return;
    gst_bin_add(GST_BIN(graph), sink.get());
    gst_object_unref(graph);
    media::PadRef input(gst_element_get_static_pad(sink.get(), "sink"));
    gst_pad_add_probe(input.get(), GST_PAD_PROBE_TYPE_BUFFER, NoteBufferEnd, collected, nullptr);
    gst_pad_link(pad, input.get());
    gst_element_sync_state_with_parent(sink.get());
    std::lock_guard lock(collected->mutex);
    collected->sinks.push_back(std::move(sink));
}

gboolean MergeStreamTags(GstPad*, GstEvent** event, gpointer tags) {
    if (GST_EVENT_TYPE(*event) != GST_EVENT_TAG) return TRUE;
    GstTagList* list = nullptr;
    gst_event_parse_tag(*event, &list);
    if (gst_tag_list_get_scope(list) == GST_TAG_SCOPE_STREAM)
        gst_tag_list_insert(static_cast<GstTagList*>(tags), list, GST_TAG_MERGE_KEEP);
    return TRUE;
}

// One stream's facts as the discoverer reads them: sizes, rates and channels from its caps,
// its bit rate from its tags (from the format, for raw sound).
media::StreamFacts StreamOf(GstPad* pad) {
    media::StreamFacts stream;
    media::CapsRef caps(gst_pad_get_current_caps(pad));
    if (!caps || gst_caps_is_empty(caps.get())) return stream;
    const GstStructure* s = gst_caps_get_structure(caps.get(), 0);
    const char* name = gst_structure_get_name(s);
    GstTagList* tags = gst_tag_list_new_empty();
    gst_pad_sticky_events_foreach(pad, MergeStreamTags, tags);
    guint bitrate = 0;
    if (!gst_tag_list_get_uint(tags, GST_TAG_BITRATE, &bitrate))
        gst_tag_list_get_uint(tags, GST_TAG_NOMINAL_BITRATE, &bitrate);
    if (g_str_has_prefix(name, "video/") || g_str_has_prefix(name, "image/")) {
        stream.kind = media::StreamKind::Video;
        gst_structure_get_int(s, "width", &stream.width);
        gst_structure_get_int(s, "height", &stream.height);
        int num = 0, den = 0;
        if (gst_structure_get_fraction(s, "framerate", &num, &den) && den != 0)
            stream.frameRate = double(num) / double(den);
        gchar* orientation = nullptr;
        if (gst_tag_list_get_string(tags, GST_TAG_IMAGE_ORIENTATION, &orientation))
            stream.turned = g_strcmp0(orientation, "rotate-0") != 0;
        g_free(orientation);
    } else if (g_str_has_prefix(name, "audio/")) {
        stream.kind = media::StreamKind::Audio;
        gst_structure_get_int(s, "rate", &stream.sampleRate);
        gst_structure_get_int(s, "channels", &stream.channels);
        GstAudioInfo info;
        if (bitrate == 0 && gst_audio_info_from_caps(&info, caps.get()))
            bitrate = guint(info.rate) * guint(info.channels) * guint(GST_AUDIO_INFO_DEPTH(&info));
    } else if (g_str_has_prefix(name, "text/") || g_str_has_prefix(name, "subpicture/") ||
               g_str_has_prefix(name, "application/x-ssa") ||
               g_str_has_prefix(name, "application/x-ass")) {
        stream.kind = media::StreamKind::Subtitle;
    }
    stream.bitRate = static_cast<int32_t>(bitrate);
    gst_tag_list_unref(tags);
    gchar* text = gst_caps_to_string(caps.get());
    stream.caps = text;
    g_free(text);
    return stream;
}

bool LoneMpegAudio(Collected& collected) {
    std::lock_guard lock(collected.mutex);
    if (collected.sinks.size() != 1) return false;
    media::PadRef pad(gst_element_get_static_pad(collected.sinks.front().get(), "sink"));
    media::CapsRef caps(gst_pad_get_current_caps(pad.get()));
    if (!caps || gst_caps_is_empty(caps.get())) return false;
    const GstStructure* s = gst_caps_get_structure(caps.get(), 0);
    int version = 0;
    return gst_structure_has_name(s, "audio/mpeg") &&
           gst_structure_get_int(s, "mpegversion", &version) && version == 1;
}

// Reads the streams up to their parsers, as far as the first of each reaches its end, without
// decoding anything: the containers and parsers say what the probe needs. False when they do
// not say it all (the caller then asks the discoverer) or the file cannot be read.
bool ProbeParsed(const std::string& path, int timeoutMs, media::MediaFacts& found) {
    media::ElementRef graph(gst_pipeline_new(nullptr));
    media::ElementRef source(gst_element_factory_make("filesrc", nullptr));
    media::ElementRef reader(gst_element_factory_make("decodebin", nullptr));
    if (!graph || !source || !reader) return false;
    gst_bin_add_many(GST_BIN(graph.get()), source.get(), reader.get(), nullptr);
    g_object_set(source.get(), "location", path.c_str(), nullptr);
    if (!gst_element_link(source.get(), reader.get())) return false;
    Collected collected;
    g_signal_connect(reader.get(), "autoplug-select", G_CALLBACK(StopBeforeDecoders), nullptr);
    g_signal_connect(reader.get(), "pad-added", G_CALLBACK(AddStreamEnd), &collected);

    bool prerolled = false;
    if (gst_element_set_state(graph.get(), GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE) {
        media::BusRef bus(gst_element_get_bus(graph.get()));
        const auto type = static_cast<GstMessageType>(GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_ERROR);
        if (GstMessage* message = gst_bus_timed_pop_filtered(
                bus.get(), GstClockTime(timeoutMs) * GST_MSECOND, type)) {
            prerolled = GST_MESSAGE_TYPE(message) == GST_MESSAGE_ASYNC_DONE;
            gst_message_unref(message);
        }
    }
    gint64 duration = -1;
    const bool estimated = prerolled &&
                           gst_element_query_duration(graph.get(), GST_FORMAT_TIME, &duration) &&
                           duration > 0;
    bool complete = prerolled;
    if (complete) {
        std::lock_guard lock(collected.mutex);
        if (estimated) found.duration = double(duration) / GST_SECOND;
        for (const media::ElementRef& sink : collected.sinks) {
            media::PadRef pad(gst_element_get_static_pad(sink.get(), "sink"));
            const media::StreamFacts stream = StreamOf(pad.get());
            if ((stream.kind == media::StreamKind::Video && (stream.width <= 0 || stream.height <= 0)) ||
                (stream.kind == media::StreamKind::Audio &&
                 (stream.sampleRate <= 0 || stream.channels <= 0 || stream.bitRate <= 0)))
                complete = false;
            found.streams.push_back(stream);
        }
        complete = complete && !found.streams.empty();
    }
    // A lone MPEG audio stream has no container that knows its length: without a header
    // counting its frames, the parser's figure is an estimate from the first few frames (or
    // none yet), far off for VBR. Its frames are read to the end instead (no decoding),
    // within the time the probe has; the estimate stands when they cannot be.
    if (complete && LoneMpegAudio(collected) &&
        gst_element_set_state(graph.get(), GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE) {
        media::BusRef bus(gst_element_get_bus(graph.get()));
        const auto type = static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR);
        if (GstMessage* message = gst_bus_timed_pop_filtered(
                bus.get(), GstClockTime(timeoutMs) * GST_MSECOND, type)) {
            std::lock_guard lock(collected.mutex);
            if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS && collected.reached > 0)
                found.duration = double(collected.reached) / GST_SECOND;
            gst_message_unref(message);
        }
    }
    complete = complete && found.duration > 0;
    media::ForceNull(graph.get());
    if (!complete) found = media::MediaFacts{};
    return complete;
}

}  // namespace

bool MediaDet::Probe(const std::string& path, MediaDetFacts& facts, std::string* error) {
    return Probe(RegularFile(path), path, facts, error);
}

bool MediaDet::Probe(const RegularFile& file, const std::string& path, MediaDetFacts& facts,
                     std::string* error) {
    facts = MediaDetFacts{};
    // Only a regular file is handed to the decoders: a FIFO or a device would block them.
    if (!file.IsOpen()) {
        if (error)
            *error = "Cannot open " + path + ": " +
                     (file.Refusal().empty() ? "it is not a readable file" : file.Refusal()) + ".";
        return false;
    }
    media::MediaFacts found;
    // The discoverer reads what the containers and parsers do not say, at a cost: it plugs
    // decoders, which loads their libraries.
    if (!ProbeParsed(file.Location(), timeoutMs_, found)) {
        media::MediaProbe probe(timeoutMs_);
        if (!probe.Probe(file, found)) {
            if (error) *error = "Cannot read " + path + ": " + probe.LastError();
            return false;
        }
    }
    facts.length = found.duration;
    for (const media::StreamFacts& stream : found.streams) {
        if (stream.kind == media::StreamKind::Audio) ++facts.audioStreams;
        if (stream.kind == media::StreamKind::Video) ++facts.videoStreams;
        if (stream.kind == media::StreamKind::Audio && !facts.hasAudio) {
            facts.hasAudio = true;
            facts.sampleRate = stream.sampleRate;
            facts.channels = stream.channels;
            facts.kbps = stream.bitRate > 0 ? stream.bitRate / 1000 : 0;
        } else if (stream.kind == media::StreamKind::Video && !facts.hasVideo) {
            facts.hasVideo = true;
            facts.frameRate = stream.frameRate;
            facts.turned = stream.turned;
            ReadFrameSize(stream, facts);
        }
    }
    return true;
}

}  // namespace editing
