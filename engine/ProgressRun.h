#pragma once

// Runs a job's graph to its end, to the user's stop or to a failure, on the user-interface
// thread without ever blocking it: bus messages arrive as posted events, the display is
// refreshed by a 100 ms timer, and every wait is bounded. The progress dialog shows what it
// reports; a test may drive it without a window.
//
// A failure (the graph does not start, or posts an error) is reported once, in a box
// captioned "Kalvor", and leaves the state's jobFailed at 1. A user's stop sends
// end-of-stream and waits for it, so the muxer finishes the partial file; a graph that does
// not end within the wait fails, as its file was never finished.

#include <gst/gst.h>

#include <QBasicTimer>
#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine/PageDriver.h"
#include "engine/ProgressMeter.h"
#include "engine/WizardState.h"
#include "platform/media/GstRef.h"

namespace media {
class BusBridge;
}

// What the dialog shows.
struct ProgressView {
    int32_t range = 0;  // the bar runs 0..range
    int32_t value = 0;
    std::string saved;    // "Saved: x of n seconds"
    std::string percent;  // "x% complete"
};

class CProgressRun : public QObject {
public:
    enum class Phase { Idle, Running, Stopping, Ended };

    static constexpr int kTickMs = 100;
    static constexpr int kStopWaitMs = 5000;  // for the end-of-stream after a stop

    CProgressRun(WizardState& state, const ProgressGraph& graph, QObject* parent = nullptr);
    ~CProgressRun() override;

    // Starts the graph; false when it cannot start, and the run then ends as Failed once
    // the reason has been reported.
    bool Start();
    // The user's stop: end-of-stream, then the graph is stopped when it has come through
    // or after kStopWaitMs. Does nothing unless running.
    void Stop();

    Phase CurrentPhase() const { return phase_; }
    // Set once the run has ended.
    std::optional<ProgressOutcome> Outcome() const { return outcome_; }
    const ProgressView& View() const { return view_; }

    std::function<void(const ProgressView&)> onDisplay;
    std::function<void(ProgressOutcome)> onEnded;

protected:
    bool event(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void Tick();
    void OnMessage(GstMessage* message);
    void Fail(const std::string& text);
    void End(ProgressOutcome outcome);
    void Show();

    WizardState& state_;
    media::ElementRef pipeline_;
    media::ElementRef positionSource_;
    ProgressMeter meter_;
    std::unique_ptr<media::BusBridge> bridge_;
    uint64_t generation_ = 0;
    QBasicTimer tick_;
    QBasicTimer stopWait_;
    Phase phase_ = Phase::Idle;
    std::optional<ProgressOutcome> outcome_;
    bool reported_ = false;  // the one failure box has been shown
    ProgressView view_;
};
