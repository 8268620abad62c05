#include "engine/MergeVideoJob.h"

#include <algorithm>
#include <cmath>

#include "engine/EncoderSetup.h"
#include "engine/FragmentProbe.h"
#include "engine/GraphError.h"
#include "engine/GraphHelpers.h"
#include "engine/JobObject.h"
#include "engine/LogoOverlay.h"
#include "engine/SpanRender.h"
#include "platform/editing/RenderEngine.h"
#include "platform/editing/OverlaySource.h"
#include "platform/media/StateWait.h"

namespace {

constexpr char kAudioStepCaption[] = "Kalvor Wizard - Merge Video Fragments (Step 2 of 3)";
constexpr char kVideoStepWithAudio[] = "Kalvor Wizard - Merge Video Fragments (Step 3 of 3)";
constexpr char kVideoStepAlone[] = "Kalvor Wizard - Merge Video Fragments (Step 2 of 2)";
constexpr char kNextText[] = "Next ->";

}  // namespace

MergeProbe CombineMergeFacts(const std::vector<editing::MediaDetFacts>& facts, WizardState& state) {
    MergeProbe probe;
    state.fragmentHasAudio.assign(facts.size(), 0);
    state.fragmentHasVideo.assign(facts.size(), 0);
    state.sourceSampleRate = state.sourceChannels = state.sourceBitrate = 0;
    for (size_t i = 0; i < facts.size(); ++i) {
        const editing::MediaDetFacts& f = facts[i];
        if (f.hasAudio) {
            state.fragmentHasAudio[i] = 1;
            probe.audioFound = true;
            if (f.sampleRate > state.sourceSampleRate) {
                state.sourceSampleRate = f.sampleRate;
                state.sourceChannels = f.channels;
            }
            state.sourceBitrate = std::max(state.sourceBitrate, f.kbps);
        }
        if (f.hasVideo) {
            state.fragmentHasVideo[i] = 1;
            probe.videoFound = true;
            if (f.frameRate > 0.0) probe.rateFound = true;
            if (f.frameRate > probe.frameRate) probe.frameRate = f.frameRate;
            // Only a frame at least as large both ways replaces the size.
            if (f.width >= probe.width && f.height >= probe.height) {
                probe.width = std::abs(f.width);
                probe.height = std::abs(f.height);
            }
        }
    }
    return probe;
}

int32_t OutputFrameRate(const MergeProbe& probe) {
    if (!probe.rateFound || !std::isfinite(probe.frameRate)) return kFallbackFrameRate;
    return probe.frameRate >= 1e6 ? 1000000 : static_cast<int32_t>(probe.frameRate);
}

CMergeVideoJob::CMergeVideoJob(const JobObject& job, WizardState& state, IPageDriver& pages,
                               const CodecCatalogue& catalogue)
    : job_(job), state_(state), pages_(pages), catalogue_(catalogue) {}

CMergeVideoJob::~CMergeVideoJob() = default;

bool CMergeVideoJob::WithAudio() const { return state_.mergeWithAudio == 1 && anyAudio_; }

JobEnd CMergeVideoJob::Run() {
    if (JobEnd probed = Probe(); probed != JobEnd::Done) return probed;
    do {
        if (JobEnd paged = ShowPages(); paged != JobEnd::Done) return paged;
    } while (!MayReplaceOutput(job_, state_, state_.outputPath));
    if (!CheckOutput() || !BuildTimeline() || !BuildBackEnd()) return JobEnd::Failed;
    return RunGraph();
}

JobEnd CMergeVideoJob::Probe() {
    const FragmentFacts read = ProbeFragments(pages_, state_, state_.inputFragments);
    if (read.stopped) return JobEnd::Cancelled;
    if (!read.error.empty()) return Fail(read.error);
    facts_ = read.facts;
    files_ = read.files;
    lengths_.clear();
    for (const editing::MediaDetFacts& facts : read.facts) lengths_.push_back(facts.length);
    const MergeProbe probe = CombineMergeFacts(read.facts, state_);
    if (!probe.videoFound) {
        ShowOwnedWarning(state_.ownerWindow, kNoStreamCaption, kNoVideoText);
        return JobEnd::NoStream;
    }
    anyAudio_ = probe.audioFound;
    ResetVideoEncoderChoice(state_);
    state_.frameRate = OutputFrameRate(probe);
    state_.width = probe.width;
    state_.height = probe.height;
    state_.mergeWithAudio = 1;
    return JobEnd::Done;
}

JobEnd CMergeVideoJob::ShowPages() {
    return ShowJobPages(pages_, state_, WizardPageId::MergeVideo, [this] {
        CodecSteps steps;
        steps.audio = state_.mergeWithAudio == 1;
        steps.mp3 = true;
        steps.audioCaption = kAudioStepCaption;
        steps.audioButton = kNextText;
        steps.video = true;
        steps.videoCaption = steps.audio ? kVideoStepWithAudio : kVideoStepAlone;
        return steps;
    });
}

bool CMergeVideoJob::CheckOutput() {
    finalPath_ = state_.outputPath;
    std::vector<std::string> inputs = {job_.logoPath, job_.subtitlesPath};
    for (const InputFragment& fragment : state_.inputFragments) inputs.push_back(fragment.path);
    for (const std::string& input : inputs) {
        if (IsSameFile(finalPath_, input)) {
            Fail(kSameFileText + finalPath_);
            return false;
        }
    }
    // A fragment with neither stream takes no time; one with either keeps its stretch.
    std::vector<uint8_t> used(state_.inputFragments.size(), 0);
    for (size_t i = 0; i < used.size(); ++i)
        used[i] = state_.fragmentHasVideo[i] || state_.fragmentHasAudio[i];
    plan_ = PlanFragments(state_.inputFragments, lengths_, used);
    if (!plan_.error.empty()) {
        Fail(plan_.error);
        return false;
    }
    const bool anyVideo = std::any_of(plan_.placed.begin(), plan_.placed.end(), [&](auto& p) {
        return state_.fragmentHasVideo[p.index] == 1;
    });
    if (!anyVideo) {
        Fail("The fragments hold no video to write.");
        return false;
    }
    state_.startSeconds = 0.0;
    state_.endSeconds = plan_.length;
    return true;
}

bool CMergeVideoJob::BuildTimeline() {
    std::string error;
    auto fail = [&] {
        Fail(error);
        return false;
    };
    const int32_t width = std::max(state_.width, 1), height = std::max(state_.height, 1);
    const int32_t rate = std::max(state_.frameRate, 1);
    std::vector<editing::GroupFormat> groups = {{.kind = editing::GroupKind::Video,
                                                 .width = width,
                                                 .height = height,
                                                 .framesPerSecond = rate}};
    if (WithAudio()) {
        audioCompressor_ = CreateSelectedAudioCompressor(state_, catalogue_);
        ApplyAudioFormat(state_, catalogue_, audioCompressor_.get());
        const AudioFormat pcm = AudioGroupFormat(state_);
        groups.push_back(
            {.kind = editing::GroupKind::Audio, .sampleRate = pcm.sampleRate, .channels = pcm.channels});
    }
    // One fragment whose file has the streams the output takes needs no timeline.
    if (const PlacedFragment& first = plan_.placed.front();
        plan_.placed.size() == 1 && state_.fragmentHasVideo[first.index] &&
        (!WithAudio() || state_.fragmentHasAudio[first.index]) &&
        PlainSpanWillDo(job_, state_, facts_[first.index], true, WithAudio())) {
        auto span = std::make_unique<SpanRender>();
        if (!span->Build(files_[first.index]->Location(), first.inPoint, first.duration, groups,
                         &error))
            return fail();
        engine_ = std::move(span);
        return true;
    }
    for (const editing::GroupFormat& group : groups)
        if (timeline_.AddGroup(group, &error) < 0) return fail();
    // The logo's track goes first, so that it lies above the fragments' track.
    AddLogoOverlay(timeline_, {job_.logoPath, job_.logoX, job_.logoY, width, height, plan_.length},
                   state_.ownerWindow);
    const int track = timeline_.AddTrack(&error);
    if (track < 0) return fail();
    for (const PlacedFragment& placed : plan_.placed) {
        // Without an audio group a sound-only fragment is just its empty stretch.
        if (!state_.fragmentHasVideo[placed.index] && !WithAudio()) continue;
        if (!timeline_.AddSource(track,
                                 {files_[placed.index]->Location(), placed.start, placed.inPoint,
                                  placed.duration, !facts_[placed.index].turned},
                                 &error))
            return fail();
    }
    // Gaps and borders are black, as the output's frames have no transparency.
    if (NeedsBackdrop()) {
        const int backdrop = timeline_.AddTrack(&error);
        if (backdrop < 0 || !editing::AddBackdrop(timeline_, backdrop, plan_.length, &error))
            return fail();
    }
    auto engine = std::make_unique<editing::RenderEngine>();
    if (!engine->ConnectFrontEnd(timeline_, &error)) return fail();
    engine_ = std::move(engine);
    return true;
}

bool CMergeVideoJob::NeedsBackdrop() const {
    // A picture of each fragment fills every frame of its stretch, unless the fragment has no
    // video (a gap) or one of another size or turned by a tag (borders). Where each does, a
    // backdrop under it would only be painted over, every frame.
    return std::any_of(plan_.placed.begin(), plan_.placed.end(), [this](const PlacedFragment& p) {
        const editing::MediaDetFacts& file = facts_[p.index];
        return !state_.fragmentHasVideo[p.index] || file.turned || file.width != state_.width ||
               file.height != state_.height;
    });
}

bool CMergeVideoJob::BuildBackEnd() {
    std::string error;
    if (!output_.Create(finalPath_, &error) ||
        !backEnd_.Attach(GST_BIN(engine_->Graph()), output_.Fd(), &error))
        return Fail(error), false;
    if (LinkOutcome link = backEnd_.LinkGroups(*engine_, job_, state_, catalogue_, pages_,
                                               double(state_.frameRate), 0.0, WithAudio(),
                                               std::move(audioCompressor_));
        !link)
        return Fail(link.error), false;
    return true;
}

JobEnd CMergeVideoJob::RunGraph() {
    // The writer's thread is done once the graph is down; only then is the file whole.
    const ProgressOutcome outcome =
        RunJobGraph(pages_, state_, {engine_->Graph(), backEnd_.Mux()}, finalPath_, 0, output_,
                    kRunCaption, false, engine_.get());
    if (outcome == ProgressOutcome::Failed) return JobEnd::Failed;
    std::string error;
    if (!output_.Commit(&error)) return Fail(error);
    if (outcome != ProgressOutcome::Stopped) return JobEnd::Done;
    ReportStop(state_, finalPath_);
    return JobEnd::Stopped;
}

JobEnd CMergeVideoJob::Fail(const std::string& text) { return FailJob(state_, output_, text); }
