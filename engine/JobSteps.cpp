#include "engine/JobSteps.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/AviBackEnd.h"
#include "engine/CodecPageRules.h"
#include "engine/EncoderSetup.h"
#include "engine/FirstStepRules.h"
#include "engine/GraphError.h"
#include "engine/GraphHelpers.h"
#include "engine/JobObject.h"
#include "engine/SubtitleFilter.h"
#include "engine/WrittenSpan.h"
#include "platform/editing/MediaDet.h"
#include "platform/media/StateWait.h"
#include "platform/ui/MessageSink.h"
#include "platform/ui/OwnerWindow.h"

namespace {

constexpr char kWriterName[] = "KRWavDest2 Filter";
// What an audio output may fall short by: its last encoder frames.
constexpr double kAudioShortfall = 0.1;

// A graph that reached its end may still have written less than its span: an input cut
// short while it was read ends its stream early. The text says so; empty when all is there.
std::string Shortfall(const WizardState& state, const ProgressGraph& graph, double written) {
    const double planned = state.endSeconds - state.startSeconds;
    // A frame or two of a video output, its encoders' last frames of an audio one.
    const double allowed =
        graph.positionSource ? 2.0 / std::clamp(state.frameRate, 1, 1000) : kAudioShortfall;
    if (!(planned > 0.0) || written + allowed >= planned) return {};
    return "The output holds " + std::to_string(static_cast<long long>(written)) + " of the " +
           std::to_string(std::llround(planned)) +
           " seconds asked for: an input ended before its fragment did.";
}

}  // namespace

void ResetVideoEncoderChoice(WizardState& state) {
    state.quality = 100;
    state.keyFrameRate = 60;
    state.chosenVideoCodec = state.chosenAudioCodec = state.chosenAudioFormat = -1;
}

PageResult ShowAudioCodecPage(IPageDriver& pages, WizardState& state, bool mp3, const char* caption,
                              const char* buttonText) {
    state.preferredCodec1 = mp3 ? "LAME" : "IMA ";
    state.preferredCodec2 = mp3 ? "Layer-3" : "PCM";
    state.stepCaption = caption;
    state.defaultButtonText = buttonText;
    return pages.ShowPage(WizardPageId::AudioCodec, state);
}

PageResult ShowVideoCodecPage(IPageDriver& pages, WizardState& state, const char* caption) {
    state.preferredCodec1 = "XviD";
    state.preferredCodec2 = "ffdshow video codec";
    state.stepCaption = caption;
    state.defaultButtonText = "Next ->";
    return pages.ShowPage(WizardPageId::VideoCodec, state);
}

JobEnd ShowJobPages(IPageDriver& pages, WizardState& state, WizardPageId first,
                    const std::function<CodecSteps()>& steps) {
    enum class Step { First, Audio, Video };
    Step step = Step::First;
    CodecSteps plan;
    for (;;) {
        PageResult result = PageResult::Cancelled;
        switch (step) {
            case Step::First:
                if (pages.ShowPage(first, state) != PageResult::Accepted) return JobEnd::Cancelled;
                plan = steps();
                if (plan.audio)
                    step = Step::Audio;
                else if (plan.video)
                    step = Step::Video;
                else
                    return JobEnd::Done;
                continue;
            case Step::Audio:
                result =
                    ShowAudioCodecPage(pages, state, plan.mp3, plan.audioCaption, plan.audioButton);
                if (result == PageResult::Accepted && !plan.video) return JobEnd::Done;
                if (result == PageResult::Accepted) step = Step::Video;
                if (result == PageResult::Back) step = Step::First;
                break;
            case Step::Video:
                result = ShowVideoCodecPage(pages, state, plan.videoCaption);
                if (result == PageResult::Accepted) return JobEnd::Done;
                if (result == PageResult::Back) step = plan.audio ? Step::Audio : Step::First;
                break;
        }
        if (result == PageResult::Cancelled) return JobEnd::Cancelled;
    }
}

bool AttachAudioWriter(GstBin* graph, media::PadRef pin, const AudioFormat& format,
                       GstElement* encoder, WavDest& writer, int fd, const std::string& shownPath,
                       std::string* error) {
    if (!writer.Attach(graph, kWriterName, fd, shownPath, error)) return false;
    if (encoder) {
        gst_object_set_name(GST_OBJECT(encoder), kAudioCompressorName);
        if (!gst_bin_add(graph, encoder)) {
            *error = "Cannot add the audio encoder to the graph.";
            return false;
        }
        if (LinkOutcome joined = ConnectThroughAudioFormat(graph, format, pin.get(), encoder);
            !joined) {
            *error = joined.error;
            return false;
        }
        pin = GetPin(encoder, PadDirection::Output);
    }
    media::PadRef input = writer.InputPin();
    if (LinkOutcome linked = ConnectDirect(pin.get(), input.get()); !linked) {
        *error = linked.error;
        return false;
    }
    return true;
}

bool MayReplaceOutput(const JobObject& job, const WizardState& state, const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return true;
    for (const std::string& input : {job.paths[0], job.logoPath, job.subtitlesPath})
        if (IsSameFile(path, input)) return true;
    for (const InputFragment& fragment : state.inputFragments)
        if (IsSameFile(path, fragment.path)) return true;
    MessageAnswer answer = MessageAnswer::No;
    ownerwindow::ShowOwned(state.ownerWindow, [&] {
        answer = Messages().Show(nullptr, kWizardCaption,
                                 path + " already exists.\nDo you want to replace it?",
                                 MessageIcon::Question, MessageButtons::YesNo);
    });
    return answer == MessageAnswer::Yes;
}

void ReportStop(const WizardState& state, const std::string& path) {
    std::string text = "The job was stopped before its output was written; nothing was kept.";
    if (!path.empty()) {
        editing::MediaDet det;
        editing::MediaDetFacts facts;
        const int seconds = det.Probe(path, facts) ? static_cast<int>(facts.length) : 0;
        text = "The job was stopped. " + path + " holds " + std::to_string(seconds) +
               (seconds == 1 ? " second." : " seconds.");
    }
    ownerwindow::ShowOwned(state.ownerWindow, [&] {
        ShowMessage(nullptr, kWizardCaption, text, MessageIcon::Information);
    });
}

std::string AudioOutputExtension(const WizardState& state, const CodecCatalogue& catalogue) {
    return catalogue.IsMp3Row(state.chosenAudioCodec, AudioWriterOf(state)) ? ".mp3" : ".wav";
}

bool PlainSpanWillDo(const JobObject& job, const WizardState& state,
                     const editing::MediaDetFacts& file, bool video, bool audio) {
    if (const char* timeline = std::getenv(kTimelineVariable); timeline && *timeline)
        return false;
    if (audio && file.audioStreams != 1) return false;
    if (!video) return true;
    return job.logoPath.empty() && file.videoStreams == 1 && !file.turned &&
           !JobChangesPictures(job, state) &&
           state.width == file.width && state.height == file.height &&
           double(state.frameRate) == file.frameRate;
}

JobEnd FailJob(WizardState& state, OutputFile& output, const std::string& text) {
    ReportGraphError(state.ownerWindow, text);
    state.jobFailed = 1;
    output.Discard();
    return JobEnd::Failed;
}

ProgressOutcome RunJobGraph(IPageDriver& pages, WizardState& state, const ProgressGraph& graph,
                            const std::string& destination, int64_t progressBase,
                            OutputFile& output, const char* caption, bool autoClose,
                            editing::GroupRender* render) {
    state.progressBase = progressBase;
    state.autoClose = autoClose ? 1 : 0;
    state.stepCaption = caption;
    state.destination = destination;
    WrittenSpan written;
    written.Watch(graph);
    // Readied once watched: what it lets through on its way counts as written.
    if (std::string error; render && !render->Ready(&error)) {
        FailJob(state, output, error);
        return ProgressOutcome::Failed;
    }
    const ProgressOutcome outcome = pages.RunProgress(state, graph);
    media::ForceNull(graph.pipeline);
    if (outcome == ProgressOutcome::Failed || state.jobFailed == 1) {
        output.Discard();
        state.jobFailed = 1;
        return ProgressOutcome::Failed;
    }
    if (outcome == ProgressOutcome::Finished) {
        if (const std::string shortfall = Shortfall(state, graph, written.Seconds());
            !shortfall.empty()) {
            FailJob(state, output, shortfall);
            return ProgressOutcome::Failed;
        }
    }
    return outcome;
}
