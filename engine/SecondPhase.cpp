#include "engine/SecondPhase.h"

#include <algorithm>
#include <atomic>
#include <memory>

#include "engine/AviBackEnd.h"
#include "engine/EncoderSetup.h"
#include "engine/GraphError.h"
#include "engine/GraphHelpers.h"
#include "engine/OutputFile.h"
#include "engine/SpanRender.h"
#include "platform/editing/MediaDet.h"
#include "platform/editing/RenderEngine.h"
#include "platform/editing/Timeline.h"
#include "platform/media/StateWait.h"

namespace {

// The demuxer's video output joins the muxer's video input, requested before the run: a
// muxer does not take new inputs once it has written its header.
void LinkDemuxedVideo(GstElement*, GstPad* pad, gpointer muxInput) {
    auto* input = static_cast<GstPad*>(muxInput);
    media::CapsRef caps(gst_pad_query_caps(pad, nullptr));
    if (gst_caps_is_empty(caps.get())) return;
    const char* name = gst_structure_get_name(gst_caps_get_structure(caps.get(), 0));
    if (g_str_has_prefix(name, "video/") || g_str_has_prefix(name, "image/"))
        if (!gst_pad_is_linked(input)) gst_pad_link(pad, input);
}

// A user's stop ends the timeline's audio (and only that: the copied video is not on the
// timeline). An audio end well before the span's length is such a stop, and the video input
// is ended with it, so that the muxer finishes and writes its index.
struct StopFollower {
    GstElement* mux = nullptr;     // held by the phase
    GstPad* videoInput = nullptr;  // held by the phase
    GstClockTime length = 0;
    std::atomic<GstClockTime> reached{0};
};

constexpr GstClockTime kStopSlack = GST_SECOND / 2;

void EndVideo(GstElement*, gpointer data) {
    gst_pad_send_event(static_cast<StopFollower*>(data)->videoInput, gst_event_new_eos());
}

GstPadProbeReturn FollowAudio(GstPad*, GstPadProbeInfo* info, gpointer data) {
    auto* follower = static_cast<StopFollower*>(data);
    if (info->type & GST_PAD_PROBE_TYPE_BUFFER) {
        GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
        if (GST_BUFFER_PTS_IS_VALID(buffer)) {
            GstClockTime end = GST_BUFFER_PTS(buffer);
            if (GST_BUFFER_DURATION_IS_VALID(buffer)) end += GST_BUFFER_DURATION(buffer);
            if (end > follower->reached) follower->reached = end;
        }
    } else if (GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
               event && GST_EVENT_TYPE(event) == GST_EVENT_EOS &&
               follower->reached + kStopSlack < follower->length) {
        // From another thread: this one must first take its own end into the muxer, which
        // the video's thread may be waiting on.
        gst_element_call_async(follower->mux, EndVideo, follower, nullptr);
    }
    return GST_PAD_PROBE_OK;
}

class SecondPhase {
public:
    SecondPhase(const SecondPhaseRequest& request, WizardState& state, IPageDriver& pages,
                const CodecCatalogue& catalogue)
        : request_(request), state_(state), pages_(pages), catalogue_(catalogue) {}
    ~SecondPhase() {
        if (engine_) media::ForceNull(engine_->Graph());
    }

    JobEnd Run() {
        if (!Measure() || !BuildTimeline() || !BuildBackEnd()) return JobEnd::Failed;
        state_.progressBase = 0;
        state_.autoClose = 0;
        state_.stepCaption = kSecondPhaseCaption;
        state_.destination = request_.outputPath;
        std::string error;
        if (!engine_->Ready(&error)) return Fail(error), JobEnd::Failed;
        const ProgressOutcome outcome = pages_.RunProgress(state_, {engine_->Graph(), backEnd_.Mux()});
        media::ForceNull(engine_->Graph());
        if (outcome == ProgressOutcome::Failed || state_.jobFailed == 1) {
            output_.Discard();
            state_.jobFailed = 1;
            return JobEnd::Failed;
        }
        if (!output_.Commit(&error)) return Fail(error), JobEnd::Failed;
        return outcome == ProgressOutcome::Stopped ? JobEnd::Stopped : JobEnd::Done;
    }

private:
    // The video's length sets the span; the input's own format is the audio's fallback.
    bool Measure() {
        if (IsSameFile(request_.outputPath, request_.inputPath) ||
            IsSameFile(request_.outputPath, request_.phaseOnePath))
            return Fail(kSameFileText + request_.outputPath);
        phaseOne_ = RegularFile(request_.phaseOnePath);
        if (!request_.input) ownInput_ = RegularFile(request_.inputPath);
        editing::MediaDet det;
        editing::MediaDetFacts video, probed;
        std::string error;
        if (!det.Probe(phaseOne_, request_.phaseOnePath, video, &error) ||
            (!request_.inputFacts && !det.Probe(Input(), request_.inputPath, probed, &error)))
            return Fail(error);
        const editing::MediaDetFacts& input = request_.inputFacts ? *request_.inputFacts : probed;
        if (!video.hasVideo || !(video.length > 0.0))
            return Fail("The first phase wrote no video: " + request_.phaseOnePath);
        if (!input.hasAudio) return Fail("The input has no audio: " + request_.inputPath);
        length_ = video.length;
        state_.endSeconds = request_.end;
        state_.startSeconds = std::max(0.0, request_.end - length_);
        inputFormat_ = {input.sampleRate, input.channels};
        inputAudioStreams_ = input.audioStreams;
        return true;
    }

    bool BuildTimeline() {
        compressor_ = CreateSelectedAudioCompressor(state_, catalogue_);
        ApplyAudioFormat(state_, catalogue_, compressor_.get());
        AudioFormat pcm = state_.audioFormat;
        if (pcm.sampleRate <= 0 || pcm.channels <= 0) pcm = inputFormat_;
        if (pcm.sampleRate <= 0 || pcm.channels <= 0) pcm = {44100, 2};
        std::string error;
        const double span = state_.endSeconds - state_.startSeconds;
        const editing::GroupFormat group{
            .kind = editing::GroupKind::Audio, .sampleRate = pcm.sampleRate, .channels = pcm.channels};
        // One span of one sound: no timeline needed.
        if (inputAudioStreams_ == 1) {
            auto plain = std::make_unique<SpanRender>();
            if (request_.demuxer) plain->DemuxWith(request_.demuxer);
            if (!plain->Build(Input().Location(), state_.startSeconds, span, {group}, &error))
                return Fail(error);
            engine_ = std::move(plain);
            return true;
        }
        if (timeline_.AddGroup(group, &error) < 0 || timeline_.AddTrack(&error) < 0 ||
            !timeline_.AddSource(0, {Input().Location(), 0.0, state_.startSeconds, span}, &error))
            return Fail(error);
        auto engine = std::make_unique<editing::RenderEngine>();
        if (!engine->ConnectFrontEnd(timeline_, &error)) return Fail(error);
        engine_ = std::move(engine);
        return true;
    }

    bool BuildBackEnd() {
        GstBin* graph = GST_BIN(engine_->Graph());
        std::string error;
        if (!output_.Create(request_.outputPath, &error)) return Fail(error);
        if (!backEnd_.Attach(graph, output_.Fd(), &error)) return Fail(error);
        GstElement* mux = backEnd_.Mux();
        media::ElementRef source = AddFilter(graph, "filesrc", nullptr, &error);
        media::ElementRef demuxer =
            source ? AddFilter(graph, "avidemux", nullptr, &error) : media::ElementRef();
        if (!demuxer) return Fail(error);
        g_object_set(source.get(), "location", phaseOne_.Location().c_str(), nullptr);
        if (!gst_element_link(source.get(), demuxer.get()))
            return Fail("Cannot read the first phase's file: " + request_.phaseOnePath);

        // The video as the first phase wrote it, never decoded.
        videoInput_ = media::PadRef(gst_element_request_pad_simple(mux, "video_%u"));
        if (!videoInput_) return Fail("The AVI muxer takes no video.");
        g_signal_connect(demuxer.get(), "pad-added", G_CALLBACK(LinkDemuxedVideo),
                         videoInput_.get());

        media::PadRef pin = engine_->GroupOutputPin(0);
        if (compressor_) {
            gst_object_set_name(GST_OBJECT(compressor_.get()), kAudioCompressorName);
            if (!gst_bin_add(graph, compressor_.get()))
                return Fail("Cannot add the audio encoder to the graph.");
            if (LinkOutcome joined = ConnectThroughAudioFormat(graph, state_.audioFormat, pin.get(),
                                                               compressor_.get());
                !joined)
                return Fail(joined.error);
            pin = GetPin(compressor_.get(), PadDirection::Output);
        } else if (!(pin = ChunkedPcm(graph, pin.get(), &error))) {
            return Fail(error);
        }
        media::PadRef muxAudio = GetFreePin(mux, PadDirection::Input, pin.get());
        if (LinkOutcome linked = ConnectIntelligent(graph, pin.get(), muxAudio.get()); !linked)
            return Fail(linked.error);
        follower_.mux = mux;
        follower_.videoInput = videoInput_.get();
        follower_.length = GstClockTime((state_.endSeconds - state_.startSeconds) * GST_SECOND);
        gst_pad_add_probe(
            muxAudio.get(),
            GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
            FollowAudio, &follower_, nullptr);
        return true;
    }

    const RegularFile& Input() const { return request_.input ? *request_.input : ownInput_; }

    bool Fail(const std::string& text) {
        ReportGraphError(state_.ownerWindow, text);
        state_.jobFailed = 1;
        output_.Discard();
        return false;
    }

    const SecondPhaseRequest& request_;
    WizardState& state_;
    IPageDriver& pages_;
    const CodecCatalogue& catalogue_;
    double length_ = 0.0;
    AudioFormat inputFormat_;
    int32_t inputAudioStreams_ = 0;
    // The files as checked by Measure(), open while the graph reads them.
    RegularFile phaseOne_;
    RegularFile ownInput_;
    OutputFile output_;
    editing::Timeline timeline_;
    media::ElementRef compressor_;
    AviBackEnd backEnd_;
    media::PadRef videoInput_;
    StopFollower follower_;  // read by the graph's threads: goes after the graph
    std::unique_ptr<editing::GroupRender> engine_;
};

}  // namespace

JobEnd RenderTimelineToAvi(const SecondPhaseRequest& request, WizardState& state,
                           IPageDriver& pages, const CodecCatalogue& catalogue) {
    return SecondPhase(request, state, pages, catalogue).Run();
}
