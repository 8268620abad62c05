#pragma once

// A media file opened for playback or probing. Only a regular file is taken: a FIFO or a
// device under the name would keep whoever opens it (a probe, a graph's file source)
// waiting with no end. The file stays open while readers open it again through Location(),
// so they read the very file that was checked, whatever the name stands for by then.

#include <string>

namespace media {

class MediaFile {
public:
    MediaFile() = default;
    // Opens path without waiting on it; Refusal() says why when it is not taken.
    explicit MediaFile(const std::string& path);
    ~MediaFile();
    MediaFile(MediaFile&& other) noexcept;
    MediaFile& operator=(MediaFile&& other) noexcept;

    bool IsOpen() const { return fd_ >= 0; }
    const std::string& Refusal() const { return refusal_; }
    // A name of the checked file for readers in this process, and the same as a URI.
    std::string Location() const;
    std::string Uri() const;

private:
    int fd_ = -1;
    std::string refusal_;
};

}  // namespace media
