#include "engine/AudioJob.h"

#include <algorithm>

#include "engine/EncoderSetup.h"
#include "engine/FragmentProbe.h"
#include "engine/GraphError.h"
#include "engine/GraphHelpers.h"
#include "engine/JobObject.h"
#include "engine/SpanRender.h"
#include "engine/SpanSequence.h"
#include "platform/editing/RenderEngine.h"
#include "platform/media/StateWait.h"

namespace {

constexpr char kExtractCaption[] = "Kalvor Wizard - Extract Audio Fragment (Step 2 of 2)";
constexpr char kMergeCaption[] = "Kalvor Wizard - Merge Audio Fragments (Step 2 of 2)";

}  // namespace

AudioFormat AudioGroupFormat(const WizardState& state) {
    if (state.audioFormat.sampleRate > 0 && state.audioFormat.channels > 0)
        return state.audioFormat;
    if (state.sourceSampleRate > 0 && state.sourceChannels > 0)
        return {state.sourceSampleRate, state.sourceChannels};
    return {44100, 2};
}

CAudioJob::CAudioJob(const JobObject& job, WizardState& state, IPageDriver& pages,
                     const CodecCatalogue& catalogue)
    : job_(job), state_(state), pages_(pages), catalogue_(catalogue) {}

CAudioJob::~CAudioJob() = default;

bool CAudioJob::Merge() const {
    return state_.jobKind == static_cast<int32_t>(JobKind::MergeAudio);
}

JobEnd CAudioJob::Run() {
    if (JobEnd probed = Probe(); probed != JobEnd::Done) return probed;
    // The encoder chosen names the file; one that exists is replaced only when the user
    // agrees, else the pages come again.
    do {
        if (JobEnd paged = ShowPages(); paged != JobEnd::Done) return paged;
        finalPath_ = state_.destination + AudioOutputExtension(state_, catalogue_);
    } while (!MayReplaceOutput(job_, state_, finalPath_));
    if (!CheckOutput() || !BuildTimeline() || !BuildBackEnd()) return JobEnd::Failed;
    return RunGraph();
}

JobEnd CAudioJob::Probe() {
    if (Merge())
        inputs_ = state_.inputFragments;
    else
        inputs_ = {InputFragment{job_.paths[0], job_.start, job_.end}};
    state_.fragmentHasAudio.assign(inputs_.size(), 0);
    state_.fragmentHasVideo.assign(inputs_.size(), 0);
    lengths_.assign(inputs_.size(), 0.0);
    state_.sourceSampleRate = state_.sourceChannels = state_.sourceBitrate = 0;

    const FragmentFacts read = ProbeFragments(pages_, state_, inputs_);
    if (read.stopped) return JobEnd::Cancelled;
    if (!read.error.empty()) return Fail(read.error);
    facts_ = read.facts;
    files_ = read.files;
    for (size_t i = 0; i < inputs_.size(); ++i) {
        const editing::MediaDetFacts& facts = read.facts[i];
        lengths_[i] = facts.length;
        state_.fragmentHasVideo[i] = facts.hasVideo;
        state_.fragmentHasAudio[i] = facts.hasAudio;
        if (!facts.hasAudio) continue;
        // The highest rate with its own channel count; the highest bitrate on its own.
        if (facts.sampleRate > state_.sourceSampleRate) {
            state_.sourceSampleRate = facts.sampleRate;
            state_.sourceChannels = facts.channels;
        }
        state_.sourceBitrate = std::max(state_.sourceBitrate, facts.kbps);
    }
    const bool anyAudio = std::find(state_.fragmentHasAudio.begin(), state_.fragmentHasAudio.end(),
                                    1) != state_.fragmentHasAudio.end();
    if (!anyAudio) {
        ShowOwnedWarning(state_.ownerWindow, kNoStreamCaption, kNoAudioText);
        return JobEnd::NoStream;
    }
    state_.chosenAudioCodec = -1;
    state_.chosenAudioFormat = -1;
    (Merge() ? state_.mp3MergeAudio : state_.mp3ExtractAudio) = 0;  // going back keeps it
    return JobEnd::Done;
}

JobEnd CAudioJob::ShowPages() {
    const int32_t& mp3 = Merge() ? state_.mp3MergeAudio : state_.mp3ExtractAudio;
    const WizardPageId first = Merge() ? WizardPageId::MergeAudio : WizardPageId::ExtractAudio;
    for (;;) {
        if (pages_.ShowPage(first, state_) != PageResult::Accepted) return JobEnd::Cancelled;
        switch (ShowAudioCodecPage(pages_, state_, mp3 == 1,
                                   Merge() ? kMergeCaption : kExtractCaption, "Extract")) {
            case PageResult::Accepted:
                return JobEnd::Done;
            case PageResult::Back:
                continue;
            case PageResult::Cancelled:
                return JobEnd::Cancelled;
        }
    }
}

bool CAudioJob::CheckOutput() {
    std::vector<std::string> inputs = {job_.logoPath, job_.subtitlesPath};
    for (const InputFragment& fragment : inputs_) inputs.push_back(fragment.path);
    for (const std::string& input : inputs) {
        if (IsSameFile(finalPath_, input)) {
            Fail(kSameFileText + finalPath_);
            return false;
        }
    }
    plan_ = PlanFragments(inputs_, lengths_, state_.fragmentHasAudio);
    if (!plan_.error.empty()) {
        Fail(plan_.error);
        return false;
    }
    if (plan_.placed.empty()) {
        Fail("The fragments hold no audio to write.");
        return false;
    }
    // The progress display counts the written span.
    state_.startSeconds = Merge() ? 0.0 : plan_.placed.front().inPoint;
    state_.endSeconds = state_.startSeconds + plan_.length;
    return true;
}

bool CAudioJob::BuildTimeline() {
    compressor_ = CreateSelectedAudioCompressor(state_, catalogue_);
    ApplyAudioFormat(state_, catalogue_, compressor_.get());
    const AudioFormat pcm = AudioGroupFormat(state_);
    const editing::GroupFormat group{
        .kind = editing::GroupKind::Audio, .sampleRate = pcm.sampleRate, .channels = pcm.channels};
    std::string error;
    const bool plain =
        plan_.placed.size() <= SpanSequence::kMostSpans &&
        std::all_of(plan_.placed.begin(), plan_.placed.end(), [&](const PlacedFragment& placed) {
            return PlainSpanWillDo(job_, state_, facts_[placed.index], false, true);
        });
    if (plain && plan_.placed.size() > 1) {
        std::vector<SpanSequence::Span> spans;
        for (const PlacedFragment& placed : plan_.placed)
            spans.push_back({files_[placed.index]->Location(), placed.inPoint, placed.duration});
        auto sequence = std::make_unique<SpanSequence>();
        if (!sequence->Build(spans, group, &error)) {
            Fail(error);
            return false;
        }
        engine_ = std::move(sequence);
        return true;
    }
    if (plain) {
        const PlacedFragment& placed = plan_.placed.front();
        auto span = std::make_unique<SpanRender>();
        if (!span->Build(files_[placed.index]->Location(), placed.inPoint, placed.duration, {group},
                         &error)) {
            Fail(error);
            return false;
        }
        engine_ = std::move(span);
        return true;
    }
    if (timeline_.AddGroup(group, &error) < 0 || timeline_.AddTrack(&error) < 0) {
        Fail(error);
        return false;
    }
    for (const PlacedFragment& placed : plan_.placed) {
        const std::string input = files_[placed.index]->Location();
        if (!timeline_.AddSource(0, {input, placed.start, placed.inPoint, placed.duration},
                                 &error)) {
            Fail(error);
            return false;
        }
    }
    auto engine = std::make_unique<editing::RenderEngine>();
    if (!engine->ConnectFrontEnd(timeline_, &error)) {
        Fail(error);
        return false;
    }
    engine_ = std::move(engine);
    return true;
}

bool CAudioJob::BuildBackEnd() {
    GstBin* graph = GST_BIN(engine_->Graph());
    std::string error;
    if (!output_.Create(finalPath_, &error) ||
        !AttachAudioWriter(graph, engine_->GroupOutputPin(0), state_.audioFormat, compressor_.get(),
                           writer_, output_.Fd(), finalPath_, &error)) {
        Fail(error);
        return false;
    }
    return true;
}

JobEnd CAudioJob::RunGraph() {
    // The writer's thread is done once the graph is down; only then is the header final.
    const ProgressOutcome outcome =
        RunJobGraph(pages_, state_, {engine_->Graph(), nullptr}, finalPath_, 0, output_,
                    kRunCaption, false, engine_.get());
    if (outcome == ProgressOutcome::Failed) return JobEnd::Failed;
    std::string error;
    if (!writer_.Finish(&error) || !output_.Commit(&error)) return Fail(error);
    if (outcome != ProgressOutcome::Stopped) return JobEnd::Done;
    ReportStop(state_, finalPath_);
    return JobEnd::Stopped;
}

JobEnd CAudioJob::Fail(const std::string& text) { return FailJob(state_, output_, text); }
