#pragma once

// The media information box's texts and place, as plain functions of the probed facts, so
// the formats are testable without a window.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <string>

// What the video window knows of the open file.
struct MediaInfoFacts {
    bool hasVideo = false;
    double duration = 0.0;  // seconds
    double frameRate = 0.0;
    int32_t width = 0;
    int32_t height = 0;
    uint32_t fourCC = 0;  // lowest byte first
    int32_t bitCount = 0;
    int32_t sampleRate = 0;
    int32_t channels = 0;
    int32_t bitRate = 0;  // bits per second
};

struct MediaInfoTexts {
    std::string streamLength;  // 1186
    std::string resolution;    // 1187
    std::string frameRate;     // 1188
    std::string fourCC;        // 1189
    std::string depth;         // 1190
    std::string sampleRate;    // 1192
    std::string channels;      // 1193
    std::string bitRate;       // 1195
};

namespace mediainfo {

inline constexpr char kNotAvailable[] = "Not available";

MediaInfoTexts Format(const MediaInfoFacts& facts);

// Where the box of size box goes: centred on anchor (the video window, or the main window
// without a video), inside the desktop's left and right edges, and 40 pixels clear of its
// bottom.
QPoint Place(const QRect& anchor, const QSize& box, const QRect& desktop);

}  // namespace mediainfo
