#include "engine/MixJob.h"

#include <ges/ges.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/EncoderSetup.h"
#include "engine/ExtractVideoJob.h"
#include "engine/FragmentProbe.h"
#include "engine/GraphError.h"
#include "engine/JobObject.h"
#include "engine/LogoOverlay.h"
#include "engine/SpanRender.h"
#include "platform/editing/RenderEngine.h"
#include "platform/media/StateWait.h"

namespace {

constexpr char kAudioStepWithVideo[] = "Kalvor Wizard - Mix Video and Audio (Step 2 of 3)";
constexpr char kAudioStepAlone[] = "Kalvor Wizard - Mix Video and Audio (Step 2 of 2)";
constexpr char kVideoStep[] = "Kalvor Wizard - Mix Video and Audio (Step 3 of 3)";

GstClockTime ToClock(double seconds) {
    return static_cast<GstClockTime>(std::llround(seconds * GST_SECOND));
}

// Places only one kind of the source's streams: the video input's picture must not bring its
// sound in a second time, beside its own audio track.
bool AddSourceOfKind(editing::Timeline& timeline, int track, const editing::SourceSpan& span,
                     const std::string& name, GESTrackType kind, std::string* error) {
    GESLayer* layer = timeline.Track(track);
    GESClip* clip = nullptr;
    GError* failure = nullptr;
    std::string text = "The source cannot be placed on the timeline.";
    if (GESUriClipAsset* asset = layer ? timeline.SourceAsset(span.path, &text) : nullptr) {
        clip =
            ges_layer_add_asset_full(layer, GES_ASSET(asset), ToClock(span.start),
                                     ToClock(span.inPoint), ToClock(span.duration), kind, &failure);
        gst_object_unref(asset);
    }
    if (clip && span.upright) editing::PassTurnThrough(clip);
    if (clip) return true;
    if (failure) text = failure->message;
    if (error) *error = text + " (" + name + ")";
    if (failure) g_error_free(failure);
    return false;
}

// A black picture under the video input for the whole output: once the input's picture has
// ended the frame is black, not its last picture held.
bool AddBlackBackground(editing::Timeline& timeline, int track, double length, std::string* error) {
    GESLayer* layer = timeline.Track(track);
    bool added = false;
    if (layer) {
        GESTestClip* clip = ges_test_clip_new();
        ges_test_clip_set_vpattern(clip, GES_VIDEO_TEST_PATTERN_BLACK);
        ges_clip_set_supported_formats(GES_CLIP(clip), GES_TRACK_TYPE_VIDEO);
        ges_timeline_element_set_start(GES_TIMELINE_ELEMENT(clip), 0);
        ges_timeline_element_set_duration(GES_TIMELINE_ELEMENT(clip), ToClock(length));
        added = ges_layer_add_clip(layer, GES_CLIP(clip));
    }
    if (!added && error) *error = "Cannot lay the black background on the timeline.";
    return added;
}

}  // namespace

CMixJob::CMixJob(const JobObject& job, WizardState& state, IPageDriver& pages,
                 const CodecCatalogue& catalogue)
    : job_(job), state_(state), pages_(pages), catalogue_(catalogue) {}

CMixJob::~CMixJob() = default;

JobEnd CMixJob::Run() {
    if (JobEnd probed = Probe(); probed != JobEnd::Done) return probed;
    do {
        if (JobEnd paged = ShowPages(); paged != JobEnd::Done) return paged;
        // Audio alone: the page leaves the output's path without its extension; the encoder
        // chosen names the file.
        finalPath_ = WithVideo() ? state_.outputPath
                                 : state_.destination + AudioOutputExtension(state_, catalogue_);
    } while (!MayReplaceOutput(job_, state_, finalPath_));
    if (!CheckOutput() || !BuildTimeline()) return JobEnd::Failed;
    if (!(WithVideo() ? BuildAviBackEnd() : BuildAudioBackEnd())) return JobEnd::Failed;
    return RunGraph();
}

JobEnd CMixJob::Probe() {
    inputs_ = state_.inputFragments;
    state_.fragmentHasAudio.assign(inputs_.size(), 0);
    state_.fragmentHasVideo.assign(inputs_.size(), 0);
    lengths_.assign(inputs_.size(), 0.0);
    int32_t lowestRate = std::numeric_limits<int32_t>::max(), channels = 2;
    int32_t lowestBitrate = std::numeric_limits<int32_t>::max();
    const FragmentFacts read = ProbeFragments(pages_, state_, inputs_);
    if (read.stopped) return JobEnd::Cancelled;
    if (!read.error.empty()) return Fail(read.error);
    facts_ = read.facts;
    files_ = read.files;
    for (size_t i = 0; i < inputs_.size(); ++i) {
        const editing::MediaDetFacts& facts = read.facts[i];
        lengths_[i] = facts.length;
        if (facts.hasAudio) {
            state_.fragmentHasAudio[i] = 1;
            // The lowest rate with its own channel count; the lowest bitrate on its own.
            if (facts.sampleRate > 0 && facts.sampleRate < lowestRate) {
                lowestRate = facts.sampleRate;
                channels = facts.channels;
            }
            if (facts.kbps > 0) lowestBitrate = std::min(lowestBitrate, facts.kbps);
        }
        // Only the first video input is marked: its picture, rate and size are the output's.
        if (facts.hasVideo && videoInput_ < 0) {
            videoInput_ = static_cast<int>(i);
            state_.fragmentHasVideo[i] = 1;
            videoFrameRate_ = facts.frameRate;
            state_.width = facts.width;
            state_.height = facts.height;
        }
    }
    if (std::find(state_.fragmentHasAudio.begin(), state_.fragmentHasAudio.end(), 1) ==
        state_.fragmentHasAudio.end()) {
        ShowOwnedWarning(state_.ownerWindow, kNoStreamCaption, kNoAudioText);
        return JobEnd::NoStream;
    }
    state_.sourceSampleRate = lowestRate == std::numeric_limits<int32_t>::max() ? 0 : lowestRate;
    state_.sourceChannels = state_.sourceSampleRate > 0 ? channels : 0;
    state_.sourceBitrate = lowestBitrate == std::numeric_limits<int32_t>::max() ? 0 : lowestBitrate;
    state_.frameRate = OutputFrameRate(videoFrameRate_);
    ResetVideoEncoderChoice(state_);
    state_.mixVideo = videoInput_ >= 0 ? 1 : 0;
    state_.mp3Mix = 0;
    return JobEnd::Done;
}

JobEnd CMixJob::ShowPages() {
    return ShowJobPages(pages_, state_, WizardPageId::Mix, [this] {
        CodecSteps steps;
        steps.audio = true;
        steps.mp3 = WithVideo() || state_.mp3Mix == 1;
        steps.audioCaption = WithVideo() ? kAudioStepWithVideo : kAudioStepAlone;
        steps.audioButton = WithVideo() ? "Next ->" : "Extract";
        steps.video = WithVideo();
        steps.videoCaption = kVideoStep;
        return steps;
    });
}

bool CMixJob::CheckOutput() {
    std::vector<std::string> inputs = {job_.logoPath, job_.subtitlesPath};
    for (const InputFragment& fragment : inputs_) inputs.push_back(fragment.path);
    for (const std::string& input : inputs) {
        if (IsSameFile(finalPath_, input)) {
            Fail(kSameFileText + finalPath_);
            return false;
        }
    }
    std::vector<uint8_t> used = state_.fragmentHasAudio;
    if (WithVideo()) used[static_cast<size_t>(videoInput_)] = 1;
    plan_ = PlanFragments(inputs_, lengths_, used);
    if (!plan_.error.empty()) {
        Fail(plan_.error);
        return false;
    }
    // Every fragment starts at 0: the output is as long as the longest of them.
    double length = 0.0;
    bool anyAudio = false;
    for (const PlacedFragment& placed : plan_.placed) {
        length = std::max(length, placed.duration);
        anyAudio = anyAudio || state_.fragmentHasAudio[placed.index];
    }
    if (!anyAudio) {
        Fail("The fragments hold no audio to write.");
        return false;
    }
    state_.startSeconds = 0.0;
    state_.endSeconds = length;
    std::string error;
    if (!output_.Create(finalPath_, &error)) {
        Fail(error);
        return false;
    }
    return true;
}

bool CMixJob::BuildTimeline() {
    std::string error;
    auto fail = [&](const std::string& text) {
        Fail(text);
        return false;
    };
    const editing::GroupFormat video{.kind = editing::GroupKind::Video,
                                     .width = state_.width,
                                     .height = state_.height,
                                     .framesPerSecond = state_.frameRate};
    audioEncoder_ = CreateSelectedAudioCompressor(state_, catalogue_);
    ApplyAudioFormat(state_, catalogue_, audioEncoder_.get());
    const AudioFormat pcm = AudioGroupFormat(state_);
    const editing::GroupFormat audio{
        .kind = editing::GroupKind::Audio, .sampleRate = pcm.sampleRate, .channels = pcm.channels};
    // One fragment mixed with nothing else needs no timeline.
    if (const PlacedFragment& only = plan_.placed.front();
        plan_.placed.size() == 1 && state_.fragmentHasAudio[only.index] &&
        PlainSpanWillDo(job_, state_, facts_[only.index], WithVideo(), true)) {
        auto span = std::make_unique<SpanRender>();
        if (!span->Build(files_[only.index]->Location(), only.inPoint, only.duration,
                         WithVideo() ? std::vector{video, audio} : std::vector{audio}, &error))
            return fail(error);
        engine_ = std::move(span);
        return true;
    }
    if (WithVideo()) {
        if (timeline_.AddGroup(video, &error) < 0) return fail(error);
        AddLogoOverlay(
            timeline_,
            {job_.logoPath, job_.logoX, job_.logoY, state_.width, state_.height, state_.endSeconds},
            state_.ownerWindow);
    }
    if (timeline_.AddGroup(audio, &error) < 0) return fail(error);
    for (const PlacedFragment& placed : plan_.placed) {
        if (!WithVideo() || static_cast<int>(placed.index) != videoInput_) continue;
        const int track = timeline_.AddTrack(&error);
        if (track < 0 || !AddSourceOfKind(timeline_, track,
                                          {files_[placed.index]->Location(), 0.0, placed.inPoint,
                                           placed.duration, !facts_[placed.index].turned},
                                          inputs_[placed.index].path, GES_TRACK_TYPE_VIDEO, &error))
            return fail(error);
    }
    // Each audio on its own track from 0: the audio group mixes the tracks.
    for (const PlacedFragment& placed : plan_.placed) {
        if (!state_.fragmentHasAudio[placed.index]) continue;
        const int track = timeline_.AddTrack(&error);
        if (track < 0 || !AddSourceOfKind(timeline_, track,
                                          {files_[placed.index]->Location(), 0.0, placed.inPoint,
                                           placed.duration},
                                          inputs_[placed.index].path, GES_TRACK_TYPE_AUDIO, &error))
            return fail(error);
    }
    if (WithVideo() && NeedsBackground()) {
        const int track = timeline_.AddTrack(&error);
        if (track < 0 || !AddBlackBackground(timeline_, track, state_.endSeconds, &error))
            return fail(error);
    }
    auto engine = std::make_unique<editing::RenderEngine>();
    if (!engine->ConnectFrontEnd(timeline_, &error)) return fail(error);
    engine_ = std::move(engine);
    return true;
}

bool CMixJob::NeedsBackground() const {
    // Only where the video input's picture does not fill a frame: after its end, or beside a
    // picture of another size or one turned by a tag.
    for (const PlacedFragment& placed : plan_.placed) {
        if (static_cast<int>(placed.index) != videoInput_) continue;
        const editing::MediaDetFacts& file = facts_[placed.index];
        return placed.duration < state_.endSeconds || file.turned || file.width != state_.width ||
               file.height != state_.height;
    }
    return true;
}

bool CMixJob::BuildAviBackEnd() {
    std::string error;
    if (!backEnd_.Attach(GST_BIN(engine_->Graph()), output_.Fd(), &error))
        return Fail(error), false;
    if (LinkOutcome link =
            backEnd_.LinkGroups(*engine_, job_, state_, catalogue_, pages_,
                                double(state_.frameRate), 0.0, true, std::move(audioEncoder_));
        !link)
        return Fail(link.error), false;
    return true;
}

bool CMixJob::BuildAudioBackEnd() {
    GstBin* graph = GST_BIN(engine_->Graph());
    std::string error;
    if (!AttachAudioWriter(graph, engine_->GroupOutputPin(0), state_.audioFormat,
                           audioEncoder_.get(), writer_, output_.Fd(), finalPath_, &error)) {
        Fail(error);
        return false;
    }
    return true;
}

JobEnd CMixJob::RunGraph() {
    // The writers' threads are done once the graph is down; only then is the file final.
    const ProgressOutcome outcome =
        RunJobGraph(pages_, state_, {engine_->Graph(), WithVideo() ? backEnd_.Mux() : nullptr},
                    finalPath_, 0, output_, kRunCaption, false, engine_.get());
    if (outcome == ProgressOutcome::Failed) return JobEnd::Failed;
    std::string error;
    if ((!WithVideo() && !writer_.Finish(&error)) || !output_.Commit(&error)) return Fail(error);
    if (outcome != ProgressOutcome::Stopped) return JobEnd::Done;
    ReportStop(state_, finalPath_);
    return JobEnd::Stopped;
}

JobEnd CMixJob::Fail(const std::string& text) { return FailJob(state_, output_, text); }
