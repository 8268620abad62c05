#pragma once

// Stream facts of a media file from GstDiscoverer, as typed values: what the player's
// information box and its picture defaults need. Unknown values are 0.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/media/GstRef.h"  // GstCaps
#include "platform/system/RegularFile.h"

typedef struct _GstDiscoverer GstDiscoverer;

namespace media {

enum class StreamKind { Video, Audio, Subtitle, Other };

struct StreamFacts {
    StreamKind kind = StreamKind::Other;
    // Video
    int32_t width = 0;
    int32_t height = 0;
    double frameRate = 0.0;
    int32_t bitDepth = 0;
    bool turned = false;  // its orientation tag turns or mirrors the pictures
    uint32_t fourCC = 0;  // little-endian, as in an AVI header: 'M' | 'J' << 8 | ...
    // Audio
    int32_t sampleRate = 0;
    int32_t channels = 0;
    int32_t bitRate = 0;  // bits per second
    std::string caps;     // the stream's caps as text, for the information box
};

struct MediaFacts {
    std::vector<StreamFacts> streams;  // leaf streams only, containers are not streams
    double duration = 0.0;             // seconds
};

uint32_t MakeFourCC(char a, char b, char c, char d);
// The FourCC an AVI header would carry for a stream with these caps; 0 when there is none.
uint32_t FourCCFromCaps(const GstCaps* caps);

class MediaProbe {
public:
    explicit MediaProbe(int timeoutMs = 5000);
    ~MediaProbe();
    MediaProbe(const MediaProbe&) = delete;
    MediaProbe& operator=(const MediaProbe&) = delete;

    // Fills facts; false (and empty facts) when the file is no regular file that can be
    // read, is not media, or the discovery did not finish within the timeout.
    bool Probe(const std::string& path, MediaFacts& facts);
    bool Probe(const RegularFile& file, MediaFacts& facts);
    const std::string& LastError() const { return lastError_; }

private:
    GstDiscoverer* discoverer_ = nullptr;  // a GObject, not a GstObject
    std::string lastError_;
};

}  // namespace media
