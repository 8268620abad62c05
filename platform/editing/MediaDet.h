#pragma once

// The media detector of korc's jobs: what a job needs to know of an input before its pages
// and its timeline, read from the first audio and the first video stream.

#include <cstdint>
#include <string>

#include "platform/system/RegularFile.h"

namespace editing {

struct MediaDetFacts {
    bool hasAudio = false;
    int32_t sampleRate = 0;  // Hz
    int32_t channels = 0;
    int32_t kbps = 0;  // kilobits per second
    bool hasVideo = false;
    double frameRate = 0.0;
    int32_t width = 0;  // pixels, always positive when known
    int32_t height = 0;
    bool turned = false;  // the video's orientation tag turns or mirrors its pictures
    double length = 0.0;  // seconds; 0 when unknown
    int32_t audioStreams = 0;
    int32_t videoStreams = 0;
};

class MediaDet {
public:
    explicit MediaDet(int timeoutMs = 5000) : timeoutMs_(timeoutMs) {}

    // False (facts empty, error set) when the file is not a regular file or not media.
    bool Probe(const std::string& path, MediaDetFacts& facts, std::string* error = nullptr);
    // The same of a file already checked; name is the path it was opened by, for the error.
    bool Probe(const RegularFile& file, const std::string& name, MediaDetFacts& facts,
               std::string* error = nullptr);

private:
    int timeoutMs_;
};

}  // namespace editing
