#include "engine/ScriptedPageDriver.h"

#include <QAbstractButton>
#include <QMetaObject>
#include <QLineEdit>
#include <QTimer>
#include <QTreeWidget>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <utility>
#include <vector>

#include "engine/AudioCodecPage.h"
#include "engine/FirstStepPage.h"
#include "engine/FirstStepRules.h"
#include "engine/FolderPicker.h"
#include "engine/ProgressDialog.h"
#include "engine/VideoCodecPage.h"
#include "engine/WaitDialog.h"
#include "platform/system/RegularFile.h"

namespace {

constexpr size_t kMaxScriptBytes = 64 * 1024;
constexpr int kPollMs = 20;
constexpr auto kHoldPerBuffer = std::chrono::milliseconds(5);

const char* const kEndings[] = {"forward", "back", "cancel"};
const char* const kWithArgument[] = {"name", "folder", "click", "row"};

// Until a scripted stop has been pressed, each buffer that reaches one of the graph's sinks
// waits a moment for it. A person stops a job while it runs; the script's stop, polled by
// an event loop that a busy machine holds up, could otherwise come after a short job ended.
// Only a moment: the stop's end-of-stream waits for the sources' threads, which it may hold.
class StopHold {
public:
    explicit StopHold(GstElement* pipeline) {
        if (!pipeline || !GST_IS_BIN(pipeline)) return;
        GstIterator* elements = gst_bin_iterate_recurse(GST_BIN(pipeline));
        GValue item = G_VALUE_INIT;
        while (gst_iterator_next(elements, &item) == GST_ITERATOR_OK) {
            auto* element = GST_ELEMENT(g_value_get_object(&item));
            if (GST_OBJECT_FLAG_IS_SET(element, GST_ELEMENT_FLAG_SINK) && !GST_IS_BIN(element))
                gst_element_foreach_sink_pad(element, &StopHold::AddProbe, this);
            g_value_reset(&item);
        }
        g_value_unset(&item);
        gst_iterator_free(elements);
    }
    // By now the run has put the graph to NULL; released first all the same.
    ~StopHold() {
        Release();
        for (auto& [pad, id] : probes_) {
            gst_pad_remove_probe(pad, id);
            gst_object_unref(pad);
        }
    }
    StopHold(const StopHold&) = delete;
    StopHold& operator=(const StopHold&) = delete;

    void Release() {
        {
            std::lock_guard lock(mutex_);
            released_ = true;
        }
        changed_.notify_all();
    }

private:
    static gboolean AddProbe(GstElement*, GstPad* pad, gpointer self) {
        auto* hold = static_cast<StopHold*>(self);
        const auto buffers =
            static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST);
        const gulong id = gst_pad_add_probe(pad, buffers, &StopHold::Wait, hold, nullptr);
        if (id != 0) hold->probes_.emplace_back(GST_PAD(gst_object_ref(pad)), id);
        return TRUE;
    }
    static GstPadProbeReturn Wait(GstPad*, GstPadProbeInfo*, gpointer self) {
        auto* hold = static_cast<StopHold*>(self);
        std::unique_lock lock(hold->mutex_);
        hold->changed_.wait_for(lock, kHoldPerBuffer, [hold] { return hold->released_; });
        return GST_PAD_PROBE_OK;
    }

    std::mutex mutex_;  // guards released_
    std::condition_variable changed_;
    bool released_ = false;
    std::vector<std::pair<GstPad*, gulong>> probes_;
};

bool IsEnding(const std::string& verb) {
    for (const char* ending : kEndings)
        if (verb == ending) return true;
    return false;
}

std::pair<std::string, std::string> Split(const std::string& step) {
    const size_t blank = step.find(' ');
    if (blank == std::string::npos) return {step, {}};
    return {step.substr(0, blank), step.substr(blank + 1)};
}

bool IsKnownStep(const std::string& step) {
    const auto [verb, argument] = Split(step);
    if (IsEnding(verb) || verb == "stop") return argument.empty();
    for (const char* known : kWithArgument)
        if (verb == known) return !argument.empty();
    return false;
}

}  // namespace

// The folder the script picked, handed to the page's own Browse.
class CScriptedPageDriver::Picker : public IFolderPicker {
public:
    std::optional<std::string> PickFolder(QWidget*, const std::string&,
                                          const std::string&) override {
        return folder;
    }
    std::optional<std::string> folder;
};

CScriptedPageDriver::CScriptedPageDriver(const CodecCatalogue& catalogue,
                                         std::vector<std::string> steps)
    : catalogue_(catalogue), steps_(std::move(steps)), picker_(std::make_unique<Picker>()) {}

CScriptedPageDriver::~CScriptedPageDriver() = default;

std::optional<std::vector<std::string>> CScriptedPageDriver::ReadScript(const std::string& path,
                                                                        std::string* error) {
    auto fail = [&](const std::string& text) {
        if (error) *error = text;
        return std::nullopt;
    };
    RegularFile file(path, kMaxScriptBytes);
    std::string text;
    switch (file.IsOpen() ? file.ReadAll(text) : file.Result()) {
        case RegularFile::Status::Ok:
            break;
        case RegularFile::Status::Refused:
            return fail("the page script " + path + " is not a small regular file");
        case RegularFile::Status::Absent:
        case RegularFile::Status::Failed:
            return fail("cannot open the page script " + path);
    }
    std::vector<std::string> steps;
    size_t from = 0;
    while (from < text.size()) {
        size_t end = text.find('\n', from);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(from, end - from);
        from = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (!IsKnownStep(line)) return fail("the page script holds an unknown step: " + line);
        steps.push_back(line);
    }
    return steps;
}

PageResult CScriptedPageDriver::ShowPage(WizardPageId page, WizardState& state) {
    // The encoders are looked for only once a page lists them, away from the window.
    const bool codecPage = page == WizardPageId::VideoCodec || page == WizardPageId::AudioCodec;
    if (codecPage && !catalogue_.IsComplete() &&
        !RunInBackground(state, catalogue_.CompletionWork())) {
        state.accepted = state.back = 0;
        return PageResult::Cancelled;
    }
    std::unique_ptr<CWizardPage> dialog;
    if (page == WizardPageId::VideoCodec)
        dialog = std::make_unique<CVideoCodecPage>(state, catalogue_);
    else if (page == WizardPageId::AudioCodec)
        dialog = std::make_unique<CAudioCodecPage>(state, catalogue_);
    else
        dialog = std::make_unique<CFirstStepPage>(state, page, *picker_);

    CWizardPage* shown = dialog.get();
    QTimer::singleShot(0, shown, [this, shown] {
        while (next_ < steps_.size()) {
            const auto [verb, argument] = Split(steps_[next_++]);
            if (verb == "name") {
                if (auto* edit = shown->Control<QLineEdit>(kNameEdit))
                    edit->setText(QString::fromStdString(argument));
            } else if (verb == "folder") {
                picker_->folder = argument;
                if (auto* browse = shown->Control<QAbstractButton>(kBrowseButton)) browse->click();
            } else if (verb == "click") {
                if (auto* button = shown->Control<QAbstractButton>(std::atoi(argument.c_str())))
                    button->click();
            } else if (verb == "row") {
                auto* list = shown->Control<QTreeWidget>(kCodecList);
                if (list) list->setCurrentItem(list->topLevelItem(std::atoi(argument.c_str())));
            } else if (IsEnding(verb)) {
                const int id = verb == "forward" ? kButtonForward
                               : verb == "back"  ? kButtonBack
                                                 : kButtonCancel;
                if (auto* button = shown->Control<QAbstractButton>(id)) button->click();
                break;
            }
        }
        // A page the script did not end (a refused name, steps run out) would wait forever.
        if (shown->isVisible()) {
            std::fprintf(stderr, "korc: the page script left page %d open; it is cancelled\n",
                         static_cast<int>(shown->Page()));
            shown->reject();
        }
    });
    dialog->exec();
    return PageResultOf(state.accepted, state.back);
}

ProgressOutcome CScriptedPageDriver::RunProgress(WizardState& state, const ProgressGraph& graph) {
    bool stop = next_ < steps_.size() && steps_[next_] == "stop";
    if (stop) ++next_;
    std::optional<StopHold> hold;  // outlives the dialog, whose run puts the graph to NULL
    if (stop) hold.emplace(graph.pipeline);
    CProgressDialog dialog(state, graph);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &dialog, [&dialog, &stop, &hold] {
        CProgressRun& run = dialog.Run();
        // A scripted stop comes once something has been written, as a user's would: a
        // stop in the first milliseconds races the first buffer.
        if (stop && run.CurrentPhase() == CProgressRun::Phase::Running && run.View().value > 0) {
            stop = false;
            dialog.Press(kButtonForward);
            hold->Release();
        }
    });
    poll.start(kPollMs);
    // "Done" as soon as there is one to press, as a script does not wait to read the result.
    CProgressRun& run = dialog.Run();
    run.onEnded = [&dialog, ended = std::move(run.onEnded)](ProgressOutcome outcome) {
        ended(outcome);
        QMetaObject::invokeMethod(
            &dialog,
            [&dialog] {
                if (dialog.isVisible() && dialog.Run().Outcome()) dialog.Press(kButtonForward);
            },
            Qt::QueuedConnection);
    };
    dialog.exec();
    return dialog.Run().Outcome().value_or(ProgressOutcome::Stopped);
}

bool CScriptedPageDriver::RunInBackground(WizardState& state, const BackgroundWork& work) {
    return RunWithWaitDialog(work, state.ownerWindow);
}
