#pragma once

// Lengths of playlist entries, learnt lazily: only rows about to be seen, played or used are
// probed, once each. An entry waits as "pending" while its probe runs on a worker thread
// (its end stays -1, so a playlist saved meanwhile says "not probed"); the answer comes back
// on the user-interface thread and is written to the entry wherever it stands by then
// (moved by a sort, hidden by the filter): its length, or -2 when the probe found none. An
// entry removed meanwhile takes its answer with it.

#include <QObject>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "player/playlist/LengthWorker.h"

class MediaEntryLists;

class DurationProber : public QObject {
    Q_OBJECT
public:
    // entries must outlive the prober (answers write to them). Probes through the platform's
    // media probe with this timeout per file.
    explicit DurationProber(MediaEntryLists& entries, int timeoutMs = 5000,
                            QObject* parent = nullptr);
    // Lengths from a function of the caller's, which must be safe on several threads at once.
    DurationProber(MediaEntryLists& entries, LengthWorker::LengthFunction length,
                   int threads = LengthWorker::kThreads, QObject* parent = nullptr);
    // Entries still waiting are "not probed" again.
    ~DurationProber() override;

    // The row's length when its end is -1 and no probe runs for it yet; nothing otherwise.
    void ProbeDuration(int row);
    // Every row of top..top + count - 1 that exists and has end -1.
    void ProbeRows(int top, int count);
    // Drops the probes of these entries not answered yet: they are "not probed" again.
    void Cancel(const std::vector<uint64_t>& ids);
    // Probes asked for and not answered yet.
    int Pending() const { return static_cast<int>(tickets_.size()); }
    // Questions about files rather than entries, on the same threads.
    LengthWorker& Worker() { return worker_; }

signals:
    // The probe of the entry with this id was answered; also when the entry is gone.
    void Answered(quint64 id);

private:
    void Answer(uint64_t id, int row, double seconds);

    MediaEntryLists& entries_;
    LengthWorker worker_;
    std::unordered_map<uint64_t, uint64_t> tickets_;  // entry id -> the worker's ticket
};
