#include "platform/editing/MediaDet.h"

#include <gst/video/video.h>

#include "platform/media/GstRef.h"
#include "platform/media/MediaProbe.h"
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

}  // namespace

bool MediaDet::Probe(const std::string& path, MediaDetFacts& facts, std::string* error) {
    facts = MediaDetFacts{};
    // Only a regular file is handed to the decoders: a FIFO or a device would block them.
    const RegularFile file(path);
    if (!file.IsOpen()) {
        if (error) *error = "Cannot open " + path + ": it is not a readable file.";
        return false;
    }
    media::MediaProbe probe(timeoutMs_);
    media::MediaFacts found;
    if (!probe.Probe(file, found)) {
        if (error) *error = "Cannot read " + path + ": " + probe.LastError();
        return false;
    }
    facts.length = found.duration;
    for (const media::StreamFacts& stream : found.streams) {
        if (stream.kind == media::StreamKind::Audio && !facts.hasAudio) {
            facts.hasAudio = true;
            facts.sampleRate = stream.sampleRate;
            facts.channels = stream.channels;
            facts.kbps = stream.bitRate > 0 ? stream.bitRate / 1000 : 0;
        } else if (stream.kind == media::StreamKind::Video && !facts.hasVideo) {
            facts.hasVideo = true;
            facts.frameRate = stream.frameRate;
            ReadFrameSize(stream, facts);
        }
    }
    return true;
}

}  // namespace editing
