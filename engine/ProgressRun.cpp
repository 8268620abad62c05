#include "engine/ProgressRun.h"

#include <QMetaObject>
#include <QTimerEvent>
#include <cstring>

#include "engine/GraphError.h"
#include "engine/GraphHelpers.h"
#include "platform/media/BusBridge.h"
#include "platform/media/BusEvent.h"
#include "platform/media/ErrorText.h"
#include "platform/media/StateWait.h"

namespace {

constexpr char kStartFailure[] = "The media graph cannot be started.";
constexpr char kUnfinishedText[] =
    "The job did not come to its end after it was stopped; its unfinished file is not kept.";

}  // namespace

CProgressRun::CProgressRun(WizardState& state, const ProgressGraph& graph, QObject* parent)
    : QObject(parent),
      state_(state),
      pipeline_(media::ElementRef::Share(graph.pipeline)),
      positionSource_(
          media::ElementRef::Share(graph.positionSource ? graph.positionSource : graph.pipeline)),
      meter_(state.startSeconds, state.endSeconds, state.progressBase) {
    view_.range = meter_.Total();
    view_.saved = meter_.SavedText(0);
    view_.percent = meter_.PercentText(0);
}

CProgressRun::~CProgressRun() {
    bridge_.reset();
    tick_.stop();
    stopWait_.stop();
    if (pipeline_ && phase_ != Phase::Ended) media::ForceNull(pipeline_.get());
}

bool CProgressRun::Start() {
    if (phase_ != Phase::Idle) return phase_ == Phase::Running;
    if (!pipeline_) {
        // Ended from the event loop, as every end is: a modal dialog closed before its loop
        // runs would never leave it.
        phase_ = Phase::Running;
        QMetaObject::invokeMethod(
            this, [this] { Fail(kStartFailure); }, Qt::QueuedConnection);
        return false;
    }
    generation_ = media::BusBridge::NextGeneration();
    bridge_ = std::make_unique<media::BusBridge>(
        pipeline_.get(), this, generation_,
        static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    tick_.start(kTickMs, this);
    phase_ = Phase::Running;
    state_.accepted = 1;
    if (gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        // The element that refused posted its reason on the bus just now; that event is
        // queued ahead of this call, so the general text is shown only when it said nothing.
        // The run ends with that report, not before: a dialog closed now would drop it.
        tick_.stop();
        media::ForceNull(pipeline_.get());
        QMetaObject::invokeMethod(
            this, [this] { Fail(kStartFailure); }, Qt::QueuedConnection);
        return false;
    }
    Show();
    return true;
}

void CProgressRun::Stop() {
    if (phase_ != Phase::Running) return;
    phase_ = Phase::Stopping;
    tick_.stop();
    // Sources push end-of-stream from their own threads; the muxer then writes its index.
    gst_element_send_event(pipeline_.get(), gst_event_new_eos());
    stopWait_.start(kStopWaitMs, this);
}

bool CProgressRun::event(QEvent* event) {
    if (event->type() != media::BusEvent::EventType()) return QObject::event(event);
    auto* bus = static_cast<media::BusEvent*>(event);
    if (bus->Generation() == generation_) OnMessage(bus->Message());
    return true;
}

void CProgressRun::timerEvent(QTimerEvent* event) {
    if (event->timerId() == tick_.timerId()) {
        Tick();
    } else if (event->timerId() == stopWait_.timerId()) {
        // The graph did not drain in time: the muxer never finished the file, which would
        // look whole and not play; the run fails and the job drops it.
        Fail(kUnfinishedText);
    } else {
        QObject::timerEvent(event);
    }
}

void CProgressRun::Tick() {
    if (phase_ != Phase::Running) return;
    gint64 position = 0;
    if (!gst_element_query_position(positionSource_.get(), GST_FORMAT_TIME, &position)) return;
    const int32_t elapsed = meter_.Elapsed(position);
    view_.value = elapsed;
    view_.saved = meter_.SavedText(elapsed);
    view_.percent = meter_.PercentText(elapsed);
    Show();
}

void CProgressRun::OnMessage(GstMessage* message) {
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
        std::string text = media::ErrorText(message);
        // "Internal data stream error" says only that a stream stopped; when it stopped on a
        // format two elements could not agree on, the one that refused it is the cause.
        gchar* debug = nullptr;
        gst_message_parse_error(message, nullptr, &debug);
        if (debug && std::strstr(debug, "not-negotiated") && GST_IS_BIN(pipeline_.get()))
            if (const std::string refused = RefusedFormat(GST_BIN(pipeline_.get()));
                !refused.empty())
                text += " " + refused;
        g_free(debug);
        Fail(text);
        return;
    }
    if (GST_MESSAGE_TYPE(message) != GST_MESSAGE_EOS) return;
    if (phase_ == Phase::Running) {
        const int32_t total = meter_.Total();
        view_.value = total;
        view_.saved = meter_.SavedText(total);
        view_.percent = ProgressMeter::DoneText();
        End(ProgressOutcome::Finished);
    } else if (phase_ == Phase::Stopping) {
        End(ProgressOutcome::Stopped);
    }
}

void CProgressRun::Fail(const std::string& text) {
    // A run that ended well is not turned into a failure by a late message.
    if (outcome_ && *outcome_ != ProgressOutcome::Failed) return;
    if (!reported_) {
        reported_ = true;
        // Stopped before the box, which runs its own event loop.
        tick_.stop();
        if (pipeline_) media::ForceNull(pipeline_.get());
        ReportGraphError(state_.ownerWindow, text.empty() ? kStartFailure : text);
    }
    End(ProgressOutcome::Failed);
}

void CProgressRun::End(ProgressOutcome outcome) {
    if (phase_ == Phase::Ended) return;
    phase_ = Phase::Ended;
    outcome_ = outcome;
    tick_.stop();
    stopWait_.stop();
    if (pipeline_) media::ForceNull(pipeline_.get());
    // accepted: 0 after the end was reached, 1 after the user's stop.
    if (outcome == ProgressOutcome::Finished) state_.accepted = 0;
    if (outcome == ProgressOutcome::Failed) {
        state_.accepted = 0;
        state_.jobFailed = 1;
    }
    Show();
    if (onEnded) onEnded(outcome);
}

void CProgressRun::Show() {
    if (onDisplay) onDisplay(view_);
}
