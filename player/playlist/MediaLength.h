#pragma once

// A media file's length asked and answered at once, for the operations that need it before
// they go on (the duration sort, the wizard hand-over and trimming, the play-range dialog).
// The probe gives up after its timeout, so the wait is bounded.

#include <functional>
#include <memory>
#include <string>

class MediaEntryLists;
namespace media {
class MediaProbe;
}

// Seconds, or a value <= 0 when no length can be found.
using LengthQuery = std::function<double(const std::string& path)>;

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
    // A query for the seams that take one; this object must outlive it.
    LengthQuery Query() {
        return [this](const std::string& path) { return Length(path); };
    }

private:
    int timeoutMs_;
    std::unique_ptr<media::MediaProbe> probe_;  // made at the first query
};

// A row whose end is -1 (never probed) gets its length now, or -2 when none is found, so a
// failing file is not asked twice. Other rows are left alone.
void FillUnprobedEnd(MediaEntryLists& entries, int row, const LengthQuery& length);
