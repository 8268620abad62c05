#include "player/playlist/DurationProber.h"

#include <sys/stat.h>

#include <algorithm>
#include <memory>

#include "platform/media/MediaProbe.h"
#include "player/playlist/MediaEntryLists.h"

namespace {

// The length of a regular file with at least one stream, else 0. A FIFO or a device would
// hold the probe's source open with no end, so only regular files are opened.
double LengthOf(media::MediaProbe& probe, const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return 0.0;
    media::MediaFacts facts;
    if (!probe.Probe(path, facts) || facts.streams.empty()) return 0.0;
    return facts.duration;
}

}  // namespace

DurationProber::DurationProber(MediaEntryLists& entries, int timeoutMs, QObject* parent)
    : DurationProber(
          entries,
          // One probe for the worker's whole life, made there: a discoverer is costly.
          [timeoutMs,
           probe = std::shared_ptr<media::MediaProbe>()](const std::string& path) mutable {
              if (!probe) probe = std::make_shared<media::MediaProbe>(timeoutMs);
              return LengthOf(*probe, path);
          },
          parent) {}

DurationProber::DurationProber(MediaEntryLists& entries, LengthFunction length, QObject* parent)
    : QObject(parent), entries_(entries), length_(std::move(length)) {}

DurationProber::~DurationProber() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        jobs_.clear();
    }
    wake_.notify_all();
    if (worker_.joinable()) worker_.join();
}

void DurationProber::ProbeDuration(int row) {
    if (row < 0 || row >= entries_.Count()) return;
    Queue(row);
}

void DurationProber::ProbeRows(int top, int count) {
    if (top < 0) top = 0;
    const int last = std::min(entries_.Count(), top + std::max(count, 0));
    for (int row = top; row < last; ++row) Queue(row);
}

void DurationProber::Queue(int row) {
    if (entries_.Entry(row).end != MediaEntry::kEndUnprobed) return;
    entries_.SetEnd(row, MediaEntry::kEndUnknown);
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(Job{entries_.IdOf(row), entries_.Entry(row).path});
        if (!worker_.joinable()) worker_ = std::thread([this] { Run(); });
    }
    ++pending_;
    wake_.notify_one();
}

void DurationProber::Run() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (stopping_) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        const double length = length_(job.path);
        QMetaObject::invokeMethod(
            this, [this, id = job.id, length] { Answer(id, length); }, Qt::QueuedConnection);
    }
}

void DurationProber::Answer(uint64_t id, double length) {
    --pending_;
    // A length the file does not have stays "no length"; a range set meanwhile stays too.
    if (length > 0.0) entries_.ReplaceEnd(id, MediaEntry::kEndUnknown, length);
}
