#include "player/playlist/MediaLength.h"

#include <sys/stat.h>

#include "platform/media/MediaProbe.h"
#include "player/playlist/MediaEntryLists.h"

MediaLength::MediaLength(int timeoutMs) : timeoutMs_(timeoutMs) {}

MediaLength::~MediaLength() = default;

double MediaLength::operator()(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return 0.0;
    if (!probe_) probe_ = std::make_unique<media::MediaProbe>(timeoutMs_);
    media::MediaFacts facts;
    if (!probe_->Probe(path, facts) || facts.streams.empty()) return 0.0;
    return facts.duration;
}

void FillUnprobedEnd(MediaEntryLists& entries, int row, const LengthQuery& length) {
    if (row < 0 || row >= entries.Count() || entries.Entry(row).end != MediaEntry::kEndUnprobed)
        return;
    entries.SetEnd(row, MediaEntry::kEndUnknown);
    const double seconds = length ? length(entries.Entry(row).path) : 0.0;
    if (seconds > 0.0) entries.SetEnd(row, seconds);
}
