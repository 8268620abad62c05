#pragma once

// Operations that need lengths before they act (Sort by Duration, Add to Wizard, the
// play-range dialog, the wizard's trim) ask them of the background prober and act when the
// last answer is in, so the window's thread never waits on a stream. Meanwhile the player
// shows a busy cursor and "Finding lengths: k of n"; Escape cancels, and the operation then
// does nothing. One at a time: another asked meanwhile is refused.

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "player/playlist/BusyWait.h"

class DurationProber;
class LengthWorker;
class MediaEntryLists;

class LengthWait : public QObject {
    Q_OBJECT
public:
    // prober (with the entries it writes to) answers ForEntries, worker ForFiles; either may
    // be null, and then no length is ever found. All must outlive the object.
    LengthWait(DurationProber* prober, MediaEntryLists* entries, LengthWorker* worker,
               BusyWait::Status status, QObject* parent = nullptr);
    ~LengthWait() override;

    bool Busy() const { return busy_ != nullptr; }
    // Every row whose end is -1 gets its length or -2 (probing those never asked), then done
    // runs; at once when none waits. False, and nothing runs, while another wait is under way.
    bool ForEntries(const std::vector<int>& rows, std::function<void()> done);
    // The files' own lengths in seconds (0 or less for none), in the order asked.
    bool ForFiles(const std::vector<std::string>& paths,
                  std::function<void(std::vector<double>)> done);
    // Drops the wait: its probes not yet started are dropped too, done never runs.
    void Cancel();

private:
    void Begin(int total);
    void Step();
    void Finish();

    DurationProber* prober_;
    MediaEntryLists* entries_;
    LengthWorker* worker_;
    BusyWait::Status status_;

    // The wait under way.
    std::unique_ptr<BusyWait> busy_;
    int total_ = 0;
    int answered_ = 0;
    std::function<void()> done_;
    std::unordered_set<uint64_t> waiting_;  // entry ids still without an answer
    std::vector<uint64_t> asked_;           // entries whose probe this wait asked for
    std::vector<uint64_t> tickets_;         // the worker's tickets of ForFiles
};
