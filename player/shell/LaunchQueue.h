#pragma once

// The launch requests of later instances, applied in arrival order once the player is not
// busy. The player is busy while it starts and while it applies a request: applying can run
// the event loop (a file that takes its time to open), which may bring the next request, and
// that one waits here for the loop below to take it.

#include <cstddef>
#include <deque>
#include <functional>

#include "player/shell/LaunchRequest.h"

class LaunchQueue {
public:
    // Requests held while the player is busy; more are refused.
    static constexpr size_t kMaxPending = 64;

    explicit LaunchQueue(std::function<void(const LaunchRequest&)> apply) : apply_(std::move(apply)) {}

    // Refused, and said on standard error, once closed or while kMaxPending wait.
    void Offer(const LaunchRequest& request);
    // Applies what waits, in order, unless busy; stops when the queue is closed meanwhile.
    void ApplyPending();
    // While busy, requests wait; the caller applies them when the busy time ends.
    void SetBusy(bool busy) { busy_ = busy; }
    bool Busy() const { return busy_; }
    size_t Pending() const { return pending_.size(); }
    // The player is ending: what waits is dropped (and said), nothing more is taken.
    void Close();

private:
    std::function<void(const LaunchRequest&)> apply_;
    std::deque<LaunchRequest> pending_;
    bool busy_ = true;  // the player starts busy
    bool closed_ = false;
};
