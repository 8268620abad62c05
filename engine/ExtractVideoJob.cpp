#include "engine/ExtractVideoJob.h"

#include <cmath>
#include <cstring>
#include <mutex>

#include "engine/BypassFilter.h"
#include "engine/EncoderSetup.h"
#include "engine/FragmentPlan.h"
#include "engine/GraphError.h"
#include "engine/InputProbe.h"
#include "engine/JobObject.h"
#include "engine/LogoOverlay.h"
#include "engine/SecondPhase.h"
#include "engine/SpanRender.h"
#include "platform/editing/RenderEngine.h"
#include "platform/editing/MediaDet.h"
#include "platform/media/StateWait.h"
#include "platform/system/Paths.h"

namespace {

constexpr char kAudioStepSlow[] = "Kalvor Wizard - Extract Video Fragment (Step 2 of 3)";
constexpr char kLastOfTwo[] = "Kalvor Wizard - Extract Video Fragment (Step 2 of 2)";
constexpr char kVideoStepWithAudio[] = "Kalvor Wizard - Extract Video Fragment (Step 3 of 3)";
constexpr char kFirstPhaseCaption[] = "Kalvor Wizard - Media Processing PHASE 1 of 2";
// The first phase's video, in the private temporary folder under a name of this run's own.
constexpr char kFirstPhaseName[] = "owavitmp.avi";

}  // namespace

int32_t OutputFrameRate(double probedRate) {
    if (!std::isfinite(probedRate) || probedRate < 1.0 || probedRate > 1000.0) return 25;
    return static_cast<int32_t>(probedRate);
}

// The fast graph's one dynamic link: the demuxer's first video output goes to the muxer as
// it is. It is made on the demuxer's streaming thread.
struct CExtractVideoJob::CopyLinks {
    AviBackEnd* backEnd = nullptr;
    std::mutex mutex;  // guards the flag and the report against the streaming thread
    bool videoLinked = false;
    std::string error;
    GstClockTime stop = GST_CLOCK_TIME_NONE;  // in the input's time
    media::ElementRef demuxer;
    gulong demuxerHandler = 0;

    ~CopyLinks() {
        if (demuxerHandler) g_signal_handler_disconnect(demuxer.get(), demuxerHandler);
    }

    // The demuxer goes on to the next key frame after the end; the copy ends at the end.
    static GstPadProbeReturn DropPastStop(GstPad*, GstPadProbeInfo* info, gpointer self) {
        const GstClockTime stop = static_cast<CopyLinks*>(self)->stop;
        // Only key frames carry a presentation time; every frame has its decoding time.
        const GstClockTime time = GST_BUFFER_DTS_OR_PTS(GST_PAD_PROBE_INFO_BUFFER(info));
        return GST_CLOCK_TIME_IS_VALID(time) && time >= stop ? GST_PAD_PROBE_DROP
                                                             : GST_PAD_PROBE_OK;
    }

    static void OnDemuxerPad(GstElement*, GstPad* pad, gpointer self) {
        auto* links = static_cast<CopyLinks*>(self);
        if (!g_str_has_prefix(GST_PAD_NAME(pad), "video_")) return;
        std::lock_guard lock(links->mutex);
        if (links->videoLinked) return;
        gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, DropPastStop, links, nullptr);
        const LinkOutcome link = links->backEnd->LinkCopy(pad);
        links->videoLinked = link.ok;
        if (!link.ok && links->error.empty()) links->error = link.error;
    }
};

CExtractVideoJob::CExtractVideoJob(const JobObject& job, WizardState& state, IPageDriver& pages,
                                   const CodecCatalogue& catalogue)
    : job_(job), state_(state), pages_(pages), catalogue_(catalogue) {}

CExtractVideoJob::~CExtractVideoJob() {
    if (copyGraph_) media::ForceNull(copyGraph_.get());
}

JobEnd CExtractVideoJob::Run() {
    if (JobEnd probed = Probe(); probed != JobEnd::Done) return probed;
    do {
        if (JobEnd paged = ShowPages(); paged != JobEnd::Done) return paged;
    } while (!MayReplaceOutput(job_, state_, state_.outputPath));
    if (!CheckOutput()) return JobEnd::Failed;
    if (!(Fast() ? BuildCopy() : BuildTimeline())) return JobEnd::Failed;
    const JobEnd first = RunGraph();
    if (!TwoPhases() || first != JobEnd::Done) return first;
    return RunSecondPhase();
}

JobEnd CExtractVideoJob::Probe() {
    const std::string& input = job_.paths[0];
    input_ = RegularFile(input);
    editing::MediaDet det;
    editing::MediaDetFacts facts;
    std::string error;
    if (!det.Probe(input_, input, facts, &error)) return Fail(error);
    facts_ = facts;
    state_.fragmentHasAudio.assign(1, facts.hasAudio);
    state_.fragmentHasVideo.assign(1, facts.hasVideo);
    if (!facts.hasVideo) {
        ShowOwnedWarning(state_.ownerWindow, kNoStreamCaption, kNoVideoText);
        return JobEnd::NoStream;
    }
    inputHasAudio_ = facts.hasAudio;
    state_.sourceSampleRate = facts.sampleRate;
    state_.sourceChannels = facts.channels;
    state_.sourceBitrate = facts.kbps;
    probedFrameRate_ = facts.frameRate;
    state_.frameRate = OutputFrameRate(facts.frameRate);
    state_.width = facts.width;
    state_.height = facts.height;
    ResetVideoEncoderChoice(state_);
    // Fragments past the input's end are cut to it.
    const FragmentPlan plan =
        PlanFragments({InputFragment{input, job_.start, job_.end}}, {facts.length}, {1});
    if (!plan.error.empty()) return Fail(plan.error);
    if (plan.placed.empty()) return Fail("The fragment lies past the end of " + input + ".");
    inPoint_ = plan.placed.front().inPoint;
    length_ = plan.placed.front().duration;

    state_.fastAllowed =
        ProbeSourceContainer(input_, input, state_.ownerWindow) == ContainerCode::Avi;
    state_.fastMode = 0;
    if (!inputHasAudio_) state_.withAudio = 0;
    return JobEnd::Done;
}

JobEnd CExtractVideoJob::ShowPages() {
    return ShowJobPages(pages_, state_, WizardPageId::ExtractVideo, [this] {
        // A page that leaves the fast mode on for an input it cannot copy is not obeyed.
        if (state_.fastAllowed != 1) state_.fastMode = 0;
        CodecSteps steps;
        steps.audio = WithAudio();
        steps.mp3 = true;
        steps.audioCaption = Fast() ? kLastOfTwo : kAudioStepSlow;
        steps.audioButton = Fast() ? "Extract" : "Next ->";
        steps.video = !Fast();
        steps.videoCaption = WithAudio() ? kVideoStepWithAudio : kLastOfTwo;
        return steps;
    });
}

bool CExtractVideoJob::CheckOutput() {
    finalPath_ = state_.outputPath;
    for (const std::string& input : {job_.paths[0], job_.logoPath, job_.subtitlesPath}) {
        if (IsSameFile(finalPath_, input)) {
            Fail(kSameFileText + finalPath_);
            return false;
        }
    }
    // The first of two phases writes a file of its own; the second writes the output.
    std::string written = finalPath_;
    if (TwoPhases()) {
        const std::string folder = paths::TempFolder();
        if (folder.empty()) {
            Fail("There is no temporary folder for the first phase's video.");
            return false;
        }
        written = paths::Join(folder, kFirstPhaseName);
    }
    std::string error;
    if (!output_.Create(written, &error)) {
        Fail(error);
        return false;
    }
    state_.startSeconds = inPoint_;
    state_.endSeconds = inPoint_ + length_;
    return true;
}

bool CExtractVideoJob::BuildTimeline() {
    std::string error;
    auto fail = [&](const std::string& text) {
        Fail(text);
        return false;
    };
    std::vector<editing::GroupFormat> groups = {{.kind = editing::GroupKind::Video,
                                                 .width = state_.width,
                                                 .height = state_.height,
                                                 .framesPerSecond = state_.frameRate}};
    media::ElementRef audioEncoder;
    if (WithAudio()) {
        audioEncoder = CreateSelectedAudioCompressor(state_, catalogue_);
        ApplyAudioFormat(state_, catalogue_, audioEncoder.get());
        const AudioFormat pcm = AudioGroupFormat(state_);
        groups.push_back(
            {.kind = editing::GroupKind::Audio, .sampleRate = pcm.sampleRate, .channels = pcm.channels});
    }
    if (PlainSpanWillDo(job_, state_, facts_, true, WithAudio())) {
        auto span = std::make_unique<SpanRender>();
        if (!span->Build(input_.Location(), inPoint_, length_, groups, &error)) return fail(error);
        engine_ = std::move(span);
    } else {
        for (const editing::GroupFormat& group : groups)
            if (timeline_.AddGroup(group, &error) < 0) return fail(error);
        // The logo's track lies above the video's; a logo that cannot be used was reported
        // or is skipped, and the job goes on without it.
        AddLogoOverlay(timeline_,
                       {job_.logoPath, job_.logoX, job_.logoY, state_.width, state_.height, length_},
                       state_.ownerWindow);
        // One track feeds both groups: a group takes the source's stream of its own kind.
        const int track = timeline_.AddTrack(&error);
        if (track < 0 ||
            !timeline_.AddSource(track, {input_.Location(), 0.0, inPoint_, length_, !facts_.turned},
                                 &error))
            return fail(error);
        auto engine = std::make_unique<editing::RenderEngine>();
        if (!engine->ConnectFrontEnd(timeline_, &error)) return fail(error);
        engine_ = std::move(engine);
    }

    if (!backEnd_.Attach(GST_BIN(engine_->Graph()), output_.Fd(), &error)) return fail(error);
    // The effects' subtitles count the input's own frames and time.
    if (LinkOutcome link =
            backEnd_.LinkGroups(*engine_, job_, state_, catalogue_, pages_, probedFrameRate_,
                                inPoint_, WithAudio(), std::move(audioEncoder));
        !link)
        return fail(link.error);
    return true;
}

bool CExtractVideoJob::BuildCopy() {
    std::string error;
    auto fail = [&](const std::string& text) {
        Fail(text);
        return false;
    };
    copyGraph_ = media::ElementRef(gst_pipeline_new("korc-graph"));
    GstBin* graph = GST_BIN(copyGraph_.get());
    media::ElementRef source = AddFilter(graph, "filesrc", nullptr, &error);
    media::ElementRef demuxer =
        source ? AddFilter(graph, "avidemux", nullptr, &error) : media::ElementRef();
    if (!demuxer) return fail(error);
    g_object_set(source.get(), "location", input_.Location().c_str(), nullptr);
    if (!gst_element_link(source.get(), demuxer.get()))
        return fail("Cannot connect the AVI demuxer to the input.");
    if (!backEnd_.Attach(graph, output_.Fd(), &error, !TwoPhases())) return fail(error);

    links_ = std::make_unique<CopyLinks>();
    links_->backEnd = &backEnd_;
    links_->stop = static_cast<GstClockTime>(std::llround((inPoint_ + length_) * GST_SECOND));
    links_->demuxer = demuxer;
    links_->demuxerHandler = g_signal_connect(demuxer.get(), "pad-added",
                                              G_CALLBACK(CopyLinks::OnDemuxerPad), links_.get());
    // Preroll held at the key frame at or before the start, stopping at the end. A refusal
    // was reported there.
    if (BypassFilterClass(graph, true, inPoint_, inPoint_ + length_, state_.ownerWindow) !=
        FastCut::Sought) {
        state_.jobFailed = 1;
        output_.Discard();
        return false;
    }
    std::lock_guard lock(links_->mutex);
    if (!links_->error.empty()) return fail(links_->error);
    if (!links_->videoLinked) return fail(kNoVideoText);
    return true;
}

JobEnd CExtractVideoJob::RunGraph() {
    GstElement* graph = Fast() ? copyGraph_.get() : engine_->Graph();
    // The copy runs in the input's own time; the display counts from the fragment's start.
    const int64_t base = Fast() ? static_cast<int64_t>(inPoint_ * GST_SECOND) : 0;
    // The writer is done once the graph is down; only then is the file whole.
    const ProgressOutcome outcome =
        TwoPhases()
            ? RunJobGraph(pages_, state_, {graph, backEnd_.Mux()}, finalPath_, base, output_,
                          kFirstPhaseCaption, true)
            : RunJobGraph(pages_, state_, {graph, backEnd_.Mux()}, finalPath_, base, output_,
                          kRunCaption, false, Fast() ? nullptr : engine_.get());
    if (outcome == ProgressOutcome::Failed) return JobEnd::Failed;
    const bool stopped = outcome == ProgressOutcome::Stopped;
    // A stop in the first phase leaves nothing: the output is only written by the second.
    if (TwoPhases()) {
        if (stopped) ReportStop(state_, {});
        return stopped ? JobEnd::Stopped : JobEnd::Done;
    }
    std::string error;
    if (!output_.Commit(&error)) return Fail(error);
    if (stopped) ReportStop(state_, finalPath_);
    return stopped ? JobEnd::Stopped : JobEnd::Done;
}

JobEnd CExtractVideoJob::RunSecondPhase() {
    // The copied video, joined with the input's sound up to the fragment's end. Only an AVI
    // input is copied, so its demuxer is known.
    const JobEnd end = RenderTimelineToAvi(
        {output_.TemporaryPath(), job_.paths[0], inPoint_ + length_, finalPath_, &input_, &facts_,
         "avidemux"},
        state_, pages_, catalogue_);
    output_.Discard();
    if (end == JobEnd::Stopped) ReportStop(state_, finalPath_);
    return end;
}

JobEnd CExtractVideoJob::Fail(const std::string& text) { return FailJob(state_, output_, text); }
