#include "player/playlist/DurationProber.h"

#include <algorithm>

#include "player/playlist/MediaEntryLists.h"

DurationProber::DurationProber(MediaEntryLists& entries, int timeoutMs, QObject* parent)
    : QObject(parent), entries_(entries), worker_(LengthWorker::MediaFiles(timeoutMs)) {}

DurationProber::DurationProber(MediaEntryLists& entries, LengthWorker::LengthFunction length,
                               int threads, QObject* parent)
    : QObject(parent), entries_(entries), worker_(std::move(length), threads) {}

DurationProber::~DurationProber() {
    for (const auto& [id, ticket] : tickets_) entries_.UnmarkPending(id, -1);
}

void DurationProber::ProbeDuration(int row) {
    if (!entries_.MarkPending(row)) return;
    const uint64_t id = entries_.IdOf(row);
    tickets_[id] = worker_.Ask(entries_.Entry(row).path,
                               [this, id, row](double seconds) { Answer(id, row, seconds); });
}

void DurationProber::ProbeRows(int top, int count) {
    top = std::max(top, 0);
    const int last = std::min(entries_.Count(), top + std::max(count, 0));
    for (int row = top; row < last; ++row) ProbeDuration(row);
}

void DurationProber::Cancel(const std::vector<uint64_t>& ids) {
    for (uint64_t id : ids) {
        const auto found = tickets_.find(id);
        if (found == tickets_.end()) continue;
        worker_.Cancel(found->second);
        tickets_.erase(found);
        entries_.UnmarkPending(id, -1);
    }
}

void DurationProber::Answer(uint64_t id, int row, double seconds) {
    tickets_.erase(id);
    entries_.SettlePending(id, row, seconds);
    emit Answered(id);
}
