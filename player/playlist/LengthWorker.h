#pragma once

// Media lengths asked on worker threads and answered on the user-interface thread, so the
// window's thread never waits on a stream. Every question and answer is counted on the
// user-interface thread; a cancelled question is never probed if it has not started and its
// answer never runs.

#include <QObject>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

class LengthWorker : public QObject {
    Q_OBJECT
public:
    // Seconds, or 0 or less for none. Runs on a worker thread; each thread makes its own with
    // the maker, so a function that keeps a probe keeps one per thread.
    using LengthFunction = std::function<double(const std::string&)>;
    using LengthMaker = std::function<LengthFunction()>;
    using Answer = std::function<void(double seconds)>;

    static constexpr int kThreads = 4;

    explicit LengthWorker(LengthMaker maker, int threads = kThreads, QObject* parent = nullptr);
    // One function for every thread: it must be safe to call from several at once.
    explicit LengthWorker(LengthFunction length, int threads = kThreads, QObject* parent = nullptr);
    // Waits for the probes under way (each bounded by its own timeout); answers never run.
    ~LengthWorker() override;

    // The player's lengths: regular media files only, each probe bounded by timeoutMs.
    static LengthMaker MediaFiles(int timeoutMs);

    // Queues path; answer runs later on this object's thread. Returns the question's ticket.
    uint64_t Ask(std::string path, Answer answer);
    // The question's answer will not run; not probed when no thread took it yet.
    void Cancel(uint64_t ticket);
    // Asked and neither answered nor cancelled.
    int Pending() const { return static_cast<int>(answers_.size()); }

private:
    struct Job {
        uint64_t ticket = 0;
        std::string path;
    };
    void Run();
    void Deliver(uint64_t ticket, double seconds);

    LengthMaker maker_;
    int threadCount_;
    uint64_t lastTicket_ = 0;
    std::unordered_map<uint64_t, Answer> answers_;  // user-interface thread only

    // Shared with the threads: the questions not taken yet, and whether to end.
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    bool stopping_ = false;
    int idle_ = 0;                      // threads waiting for a question
    std::vector<std::thread> threads_;  // started as questions come
};
