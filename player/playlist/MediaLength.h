#pragma once

// A media file's length asked and answered at once, on the thread that asks: a worker of
// LengthWorker, never the window's. The probe gives up after its timeout, so the wait is
// bounded.

#include <memory>
#include <string>

namespace media {
class MediaProbe;
}

// The lookup as an object, so tests count or replace it.
class IMediaLength {
public:
    virtual ~IMediaLength() = default;
    // Seconds; -1 when the file gives no length.
    virtual double Length(const std::string& path) = 0;
};

class MediaLength : public IMediaLength {
public:
    explicit MediaLength(int timeoutMs = 3000);
    ~MediaLength() override;
    // Only regular files are opened: a FIFO or a device would never end.
    double Length(const std::string& path) override;

private:
    int timeoutMs_;
    std::unique_ptr<media::MediaProbe> probe_;  // made at the first query
};
