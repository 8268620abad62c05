#include "platform/media/MediaProbe.h"

#include <gst/pbutils/pbutils.h>

#include <string>

#include "platform/media/ErrorText.h"
#include "platform/media/GstInit.h"

namespace media {
namespace {

struct CodecFourCC {
    const char* media;
    int version;  // mpegversion when non-zero
    char code[5];
};

const CodecFourCC kCodecs[] = {
    {"image/jpeg", 0, "MJPG"},   {"video/mpeg", 4, "MP4V"},      {"video/mpeg", 2, "MPG2"},
    {"video/mpeg", 1, "MPG1"},   {"video/x-h264", 0, "H264"},    {"video/x-h265", 0, "HEVC"},
    {"video/x-divx", 0, "DIVX"}, {"video/x-xvid", 0, "XVID"},    {"video/x-msmpeg", 0, "MP43"},
    {"video/x-vp8", 0, "VP80"},  {"video/x-vp9", 0, "VP90"},     {"video/x-theora", 0, "THEO"},
    {"video/x-dv", 0, "DVSD"},   {"video/x-huffyuv", 0, "HFYU"},
};

uint32_t FromText(const char* text) {
    if (!text || std::char_traits<char>::length(text) != 4) return 0;
    return MakeFourCC(text[0], text[1], text[2], text[3]);
}

// Whether the tags say how to turn or mirror the pictures (anything but "rotate-0").
bool Turned(const GstTagList* tags) {
    gchar* orientation = nullptr;
    if (!tags || !gst_tag_list_get_string(tags, GST_TAG_IMAGE_ORIENTATION, &orientation))
        return false;
    const bool turned = g_strcmp0(orientation, "rotate-0") != 0;
    g_free(orientation);
    return turned;
}

StreamFacts VideoFacts(GstDiscovererVideoInfo* info) {
    StreamFacts facts;
    facts.kind = StreamKind::Video;
    facts.width = static_cast<int32_t>(gst_discoverer_video_info_get_width(info));
    facts.height = static_cast<int32_t>(gst_discoverer_video_info_get_height(info));
    const guint num = gst_discoverer_video_info_get_framerate_num(info);
    const guint den = gst_discoverer_video_info_get_framerate_denom(info);
    facts.frameRate = den != 0 ? double(num) / double(den) : 0.0;
    facts.bitDepth = static_cast<int32_t>(gst_discoverer_video_info_get_depth(info));
    facts.bitRate = static_cast<int32_t>(gst_discoverer_video_info_get_bitrate(info));
    facts.turned = Turned(gst_discoverer_stream_info_get_tags(GST_DISCOVERER_STREAM_INFO(info)));
    return facts;
}

StreamFacts AudioFacts(GstDiscovererAudioInfo* info) {
    StreamFacts facts;
    facts.kind = StreamKind::Audio;
    facts.sampleRate = static_cast<int32_t>(gst_discoverer_audio_info_get_sample_rate(info));
    facts.channels = static_cast<int32_t>(gst_discoverer_audio_info_get_channels(info));
    facts.bitRate = static_cast<int32_t>(gst_discoverer_audio_info_get_bitrate(info));
    const auto depth = static_cast<int32_t>(gst_discoverer_audio_info_get_depth(info));
    // Raw PCM carries no bit-rate tag; its rate follows from the format.
    if (facts.bitRate == 0 && depth > 0) facts.bitRate = facts.sampleRate * facts.channels * depth;
    return facts;
}

}  // namespace

uint32_t MakeFourCC(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
           uint32_t(uint8_t(d)) << 24;
}

uint32_t FourCCFromCaps(const GstCaps* caps) {
    if (!caps || gst_caps_get_size(caps) == 0) return 0;
    const GstStructure* s = gst_caps_get_structure(caps, 0);
    const char* name = gst_structure_get_name(s);
    if (g_str_equal(name, "video/x-raw")) return FromText(gst_structure_get_string(s, "format"));
    int version = 0;
    gst_structure_get_int(s, "mpegversion", &version);
    for (const CodecFourCC& codec : kCodecs) {
        if (g_str_equal(name, codec.media) && (codec.version == 0 || codec.version == version))
            return FromText(codec.code);
    }
    return 0;
}

MediaProbe::MediaProbe(int timeoutMs) {
    InitGStreamer();
    GError* error = nullptr;
    discoverer_ = gst_discoverer_new(GstClockTime(timeoutMs) * GST_MSECOND, &error);
    if (error) {
        lastError_ = ErrorText(error);
        g_error_free(error);
    }
}

MediaProbe::~MediaProbe() {
    if (discoverer_) g_object_unref(discoverer_);
}

bool MediaProbe::Probe(const std::string& path, MediaFacts& facts) {
    return Probe(RegularFile(path), facts);
}

bool MediaProbe::Probe(const RegularFile& file, MediaFacts& facts) {
    facts = MediaFacts{};
    lastError_ = file.IsOpen() ? std::string() : file.Refusal();
    if (!discoverer_ || !file.IsOpen()) return false;
    GError* error = nullptr;
    const std::string uri = file.Uri();
    GstDiscovererInfo* info = gst_discoverer_discover_uri(discoverer_, uri.c_str(), &error);
    if (error) {
        lastError_ = ErrorText(error);
        g_error_free(error);
    }
    if (!info) return false;
    const bool ok = gst_discoverer_info_get_result(info) == GST_DISCOVERER_OK;
    if (ok) {
        const GstClockTime duration = gst_discoverer_info_get_duration(info);
        facts.duration = GST_CLOCK_TIME_IS_VALID(duration) ? double(duration) / GST_SECOND : 0.0;
        GList* streams = gst_discoverer_info_get_stream_list(info);
        for (GList* item = streams; item; item = item->next) {
            auto* stream = static_cast<GstDiscovererStreamInfo*>(item->data);
            if (GST_IS_DISCOVERER_CONTAINER_INFO(stream)) continue;
            StreamFacts one;
            if (GST_IS_DISCOVERER_VIDEO_INFO(stream)) {
                one = VideoFacts(GST_DISCOVERER_VIDEO_INFO(stream));
            } else if (GST_IS_DISCOVERER_AUDIO_INFO(stream)) {
                one = AudioFacts(GST_DISCOVERER_AUDIO_INFO(stream));
            } else if (GST_IS_DISCOVERER_SUBTITLE_INFO(stream)) {
                one.kind = StreamKind::Subtitle;
            }
            if (GstCaps* caps = gst_discoverer_stream_info_get_caps(stream)) {
                if (one.kind == StreamKind::Video) one.fourCC = FourCCFromCaps(caps);
                gchar* text = gst_caps_to_string(caps);
                one.caps = text;
                g_free(text);
                gst_caps_unref(caps);
            }
            facts.streams.push_back(one);
        }
        gst_discoverer_stream_info_list_free(streams);
    } else if (lastError_.empty()) {
        lastError_ = "not a media file";
    }
    gst_discoverer_info_unref(info);
    if (!ok) facts = MediaFacts{};
    return ok;
}

}  // namespace media
