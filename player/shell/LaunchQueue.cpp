#include "player/shell/LaunchQueue.h"

#include <cstdio>

void LaunchQueue::Offer(const LaunchRequest& request) {
    if (closed_) {
        std::fprintf(stderr, "Kalvor: the player is ending; a launch request was refused\n");
        return;
    }
    if (pending_.size() >= kMaxPending) {
        std::fprintf(stderr, "Kalvor: too many launch requests at once, one was refused\n");
        return;
    }
    pending_.push_back(request);
    ApplyPending();
}

void LaunchQueue::ApplyPending() {
    if (busy_) return;
    while (!pending_.empty() && !closed_) {
        const LaunchRequest request = pending_.front();
        pending_.pop_front();
        busy_ = true;
        apply_(request);
        busy_ = false;
    }
}

void LaunchQueue::Close() {
    closed_ = true;
    if (!pending_.empty())
        std::fprintf(stderr, "Kalvor: the player is ending; %zu waiting launch requests were dropped\n",
                     pending_.size());
    pending_.clear();
}
