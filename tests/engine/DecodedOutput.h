#pragma once

// Reads back what a job wrote: the decoded picture at a time, the loudness of a stretch of
// its sound, and the compressed buffers of its first video stream.

#include <cstdint>
#include <string>
#include <vector>

struct DecodedFrame {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // rows of width * 3 bytes, no padding
    bool Valid() const { return width > 0 && height > 0; }
    // The pixel at (x, y) as 0xRRGGBB.
    uint32_t At(int x, int y) const;
};

// The frame shown at seconds; invalid when there is none.
DecodedFrame DecodeFrameAt(const std::string& path, double seconds);
// Root mean square of the decoded samples (16-bit, all channels) between from and to seconds;
// -1 when the file has no sound there.
double SoundLevel(const std::string& path, double from, double to);
// The first video stream's buffers as the demuxer gives them, undecoded, and its caps.
std::vector<std::string> CompressedVideo(const std::string& path, std::string* caps);
