#include "player/playlist/LengthWorker.h"

#include <algorithm>
#include <memory>

#include "player/playlist/MediaLength.h"

LengthWorker::LengthWorker(LengthMaker maker, int threads, QObject* parent)
    : QObject(parent), maker_(std::move(maker)), threadCount_(std::max(1, threads)) {}

LengthWorker::LengthWorker(LengthFunction length, int threads, QObject* parent)
    : LengthWorker([length = std::move(length)] { return length; }, threads, parent) {}

LengthWorker::~LengthWorker() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        jobs_.clear();
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

LengthWorker::LengthMaker LengthWorker::MediaFiles(int timeoutMs) {
    return [timeoutMs]() -> LengthFunction {
        // Made on the thread that uses it: a discoverer is costly and belongs to one thread.
        auto probe = std::make_shared<MediaLength>(timeoutMs);
        return [probe](const std::string& path) { return probe->Length(path); };
    };
}

uint64_t LengthWorker::Ask(std::string path, Answer answer) {
    const uint64_t ticket = ++lastTicket_;
    answers_.emplace(ticket, std::move(answer));
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(Job{ticket, std::move(path)});
        // One more thread while no thread is free, up to the bound.
        if (idle_ == 0 && static_cast<int>(threads_.size()) < threadCount_)
            threads_.emplace_back([this] { Run(); });
    }
    wake_.notify_one();
    return ticket;
}

void LengthWorker::Cancel(uint64_t ticket) {
    if (answers_.erase(ticket) == 0) return;
    std::lock_guard lock(mutex_);
    const auto queued = std::find_if(jobs_.begin(), jobs_.end(),
                                     [ticket](const Job& job) { return job.ticket == ticket; });
    if (queued != jobs_.end()) jobs_.erase(queued);
}

void LengthWorker::Run() {
    LengthFunction length = maker_();
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            ++idle_;
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            --idle_;
            if (stopping_) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        const double seconds = length ? length(job.path) : 0.0;
        QMetaObject::invokeMethod(
            this, [this, ticket = job.ticket, seconds] { Deliver(ticket, seconds); },
            Qt::QueuedConnection);
    }
}

void LengthWorker::Deliver(uint64_t ticket, double seconds) {
    const auto found = answers_.find(ticket);
    if (found == answers_.end()) return;  // cancelled
    Answer answer = std::move(found->second);
    answers_.erase(found);
    if (answer) answer(seconds);
}
