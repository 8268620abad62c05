#pragma once

// How the job runner shows its pages and runs its graph: through a driver, so that a test
// can answer the pages and run the graph without a screen. The dialog driver shows the real
// dialogs, modally, owned by the player's window.

#include <gst/gst.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

struct WizardState;

// The pages, by their template numbers.
enum class WizardPageId : int32_t {
    ExtractImage = 204,
    ExtractAudio = 212,
    ExtractVideo = 213,
    MergeVideo = 215,
    MergeAudio = 216,
    Mix = 217,
    VideoCodec = 218,
    AudioCodec = 219,
};

enum class PageResult { Accepted, Back, Cancelled };

enum class ProgressOutcome {
    Finished,  // the graph reached its end: the output is whole
    Stopped,   // the user stopped it: the output ends where the graph was
    Failed,    // it could not start or failed while running (reported once)
};

// The running graph and the element whose position measures the written output (the muxer
// of an AVI, else the pipeline itself when positionSource is null).
struct ProgressGraph {
    GstElement* pipeline = nullptr;
    GstElement* positionSource = nullptr;
};

// Work for a thread of its own, such as reading the inputs of a job of thousands of
// fragments: it counts the items it has done in done, of total, and ends early once stop
// turns true.
struct BackgroundWork {
    std::string caption;  // the wait window's title
    std::string item;     // what an item is: "file" gives "Reading file 3 of 10..."
    int total = 0;
    std::function<void(const std::atomic<bool>& stop, std::atomic<int>& done)> run;
};

// Before each page the runner fills the state's stepCaption, defaultButtonText and the two
// preferred codec names; before the first showing of the codec pages it sets
// chosenVideoCodec, chosenAudioCodec and chosenAudioFormat to -1, so that only then do they
// choose their defaults. It never resets a choice on the way back.
class IPageDriver {
public:
    virtual ~IPageDriver() = default;
    // Shows the page over the state: the page reads its earlier choices from it and leaves
    // its new ones, accepted and back there. The result says the same as the two flags.
    virtual PageResult ShowPage(WizardPageId page, WizardState& state) = 0;
    // Runs the graph to its end or to the user's stop; the state's accepted, jobFailed,
    // autoClose, caption and destination are read and written as the progress dialog does.
    virtual ProgressOutcome RunProgress(WizardState& state, const ProgressGraph& graph) = 0;
    // Runs the work on a thread of its own while this one goes on answering the window
    // system, showing how far it got when that takes a while. False when the user stopped it.
    virtual bool RunInBackground(WizardState& state, const BackgroundWork& work) = 0;
    // Shows the chosen video encoder's own settings before the run, for an encoder that has
    // any. A driver without a person at the screen (a page script) leaves them as they are,
    // so that an unattended run stays unattended.
    virtual void ConfigureEncoder(WizardState& state, GstElement* encoder) {
        (void)state;
        (void)encoder;
    }
};

// What the flags a page left say.
inline PageResult PageResultOf(int32_t accepted, int32_t back) {
    if (accepted == 1) return PageResult::Accepted;
    return back == 1 ? PageResult::Back : PageResult::Cancelled;
}
