#pragma once

// Lengths of playlist entries, learnt lazily: only rows about to be seen or played are
// probed, once each. The end is set to -2 ("no length") at once, so a file that fails is
// not tried again, and the probe runs on a worker thread with a timeout; the length comes
// back as a queued call on the user-interface thread and is written to the entry wherever
// it stands by then (moved by a sort, hidden by the filter). An entry removed meanwhile
// takes its answer with it.

#include <QObject>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class MediaEntryLists;

class DurationProber : public QObject {
    Q_OBJECT
public:
    // A path's length in seconds, or 0 or less for none; called on the worker thread.
    using LengthFunction = std::function<double(const std::string&)>;

    // entries must outlive the prober (queued answers write to them). Probes through the
    // platform's media probe with this timeout per file.
    explicit DurationProber(MediaEntryLists& entries, int timeoutMs = 5000,
                            QObject* parent = nullptr);
    DurationProber(MediaEntryLists& entries, LengthFunction length, QObject* parent = nullptr);
    ~DurationProber() override;  // waits for the probe under way, at most its timeout

    // The row's length when its end is -1 (not probed); nothing otherwise.
    void ProbeDuration(int row);
    // Every row of top..top + count - 1 that exists and has end -1.
    void ProbeRows(int top, int count);
    // Probes asked for and not answered yet.
    int Pending() const { return pending_; }

private:
    struct Job {
        uint64_t id = 0;
        std::string path;
    };
    void Queue(int row);
    void Run();
    void Answer(uint64_t id, double length);

    MediaEntryLists& entries_;
    LengthFunction length_;
    int pending_ = 0;  // user-interface thread only

    // Shared with the worker: the jobs, and whether it is to end.
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    bool stopping_ = false;
    std::thread worker_;  // started at the first job
};
