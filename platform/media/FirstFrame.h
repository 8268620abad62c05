#pragma once

// The first picture of a video or image file, for the logo preview: a bounded preroll of
// the file's first video stream into an app sink. Audio streams are not decoded; the
// pipeline goes to NULL on every path before GrabFirstFrame returns.

#include <cstdint>
#include <string>
#include <vector>

namespace media {

struct FirstFrame {
    int32_t width = 0;
    int32_t height = 0;
    // width x height pixels, rows packed, each pixel 0xffRRGGBB (QImage::Format_RGB32).
    std::vector<uint32_t> pixels;
};

enum class FirstFrameResult { Ok, NotAFile, NoVideo, Failed, TimedOut };

// Refuses what is not a regular file. A file without a video stream gives NoVideo.
FirstFrameResult GrabFirstFrame(const std::string& path, FirstFrame& frame,
                                std::string* error = nullptr, int timeoutMs = 5000);

}  // namespace media
