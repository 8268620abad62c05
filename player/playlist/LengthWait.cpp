#include "player/playlist/LengthWait.h"

#include "player/playlist/DurationProber.h"
#include "player/playlist/LengthWorker.h"
#include "player/playlist/MediaEntryLists.h"

LengthWait::LengthWait(DurationProber* prober, MediaEntryLists* entries, LengthWorker* worker,
                       BusyWait::Status status, QObject* parent)
    : QObject(parent),
      prober_(prober),
      entries_(entries),
      worker_(worker),
      status_(std::move(status)) {
    if (prober_) {
        connect(prober_, &DurationProber::Answered, this, [this](quint64 id) {
            if (busy_ && waiting_.erase(id)) Step();
        });
    }
}

LengthWait::~LengthWait() { Cancel(); }

bool LengthWait::ForEntries(const std::vector<int>& rows, std::function<void()> done) {
    if (Busy()) return false;
    std::unordered_set<uint64_t> waiting;
    std::vector<uint64_t> asked;
    if (prober_ && entries_) {
        for (int row : rows) {
            if (row < 0 || row >= entries_->Count()) continue;
            if (entries_->Entry(row).end != MediaEntry::kEndUnprobed) continue;
            const uint64_t id = entries_->IdOf(row);
            if (!entries_->Pending(row)) {
                prober_->ProbeDuration(row);
                asked.push_back(id);
            }
            if (entries_->Pending(row)) waiting.insert(id);
        }
    }
    if (waiting.empty()) {
        if (done) done();
        return true;
    }
    waiting_ = std::move(waiting);
    asked_ = std::move(asked);
    done_ = std::move(done);
    Begin(static_cast<int>(waiting_.size()));
    return true;
}

bool LengthWait::ForFiles(const std::vector<std::string>& paths,
                          std::function<void(std::vector<double>)> done) {
    if (Busy()) return false;
    auto lengths = std::make_shared<std::vector<double>>(paths.size(), -1.0);
    if (!worker_ || paths.empty()) {
        if (done) done(*lengths);
        return true;
    }
    done_ = [lengths, done = std::move(done)] {
        if (done) done(*lengths);
    };
    Begin(static_cast<int>(paths.size()));
    for (size_t i = 0; i < paths.size(); ++i) {
        tickets_.push_back(worker_->Ask(paths[i], [this, lengths, i](double seconds) {
            (*lengths)[i] = seconds;
            Step();
        }));
    }
    return true;
}

void LengthWait::Begin(int total) {
    total_ = total;
    answered_ = 0;
    busy_ = std::make_unique<BusyWait>(
        status_, [this] { Cancel(); }, this);
    busy_->SetStatus("Finding lengths: 0 of " + std::to_string(total_));
}

void LengthWait::Step() {
    ++answered_;
    if (answered_ < total_) {
        busy_->SetStatus("Finding lengths: " + std::to_string(answered_) + " of " +
                         std::to_string(total_));
        return;
    }
    Finish();
}

void LengthWait::Finish() {
    std::function<void()> done = std::move(done_);
    waiting_.clear();
    asked_.clear();
    tickets_.clear();
    BusyWait::Finish(busy_);
    if (done) done();
}

void LengthWait::Cancel() {
    if (!busy_) return;
    if (prober_) prober_->Cancel(asked_);
    if (worker_)
        for (uint64_t ticket : tickets_) worker_->Cancel(ticket);
    waiting_.clear();
    asked_.clear();
    tickets_.clear();
    done_ = nullptr;
    BusyWait::Finish(busy_);
}
