#include "engine/FrameGrab.h"

#include <gst/app/gstappsink.h>
#include <gst/video/video.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "engine/GraphHelpers.h"
#include "engine/HeldOutputs.h"
#include "engine/JobObject.h"
#include "engine/SubtitleFilter.h"
#include "engine/WizardState.h"
#include "platform/media/ErrorText.h"
#include "platform/media/GstInit.h"
#include "platform/media/StateWait.h"
#include "platform/system/RegularFile.h"

namespace {

constexpr char kNoVideoMessage[] = "kalvor-no-video";
constexpr char kUnlinkedMessage[] = "kalvor-video-unlinked";
constexpr char kReaderReadyMessage[] = "kalvor-reader-ready";

constexpr int64_t kFewThreadsArea = 720 * 576;
constexpr int kFewThreads = 2;

GstSample* RefSample(GstSample* sample) { return gst_sample_ref(sample); }
void UnrefSample(GstSample* sample) { gst_sample_unref(sample); }
using SampleRef = media::Ref<GstSample, RefSample, UnrefSample>;

// The grab's graph: file ! decodebin, its first video stream through the effects into an
// app sink that takes their own BGRx (no second conversion for one picture), every other
// stream into a sink that does not hold the preroll. Sound is left undecoded. The demuxer
// inside the decoding bin, when there is one, holds its buffers back until it has been
// sought, so that nothing before the chosen time is decoded.
class GrabGraph {
public:
    // seekFirst: hold the demuxer for SeekReader; otherwise the graph starts at the start.
    GrabGraph(const JobObject& job, const WizardState& state, bool seekFirst)
        : job_(job), state_(state), holding_(seekFirst) {}
    ~GrabGraph() {
        // Down to NULL first: no streaming thread calls in here any more.
        if (pipeline_) media::ForceNull(pipeline_.get());
        for (auto& [object, handler] : handlers_)
            g_signal_handler_disconnect(object.get(), handler);
    }
    GrabGraph(const GrabGraph&) = delete;
    GrabGraph& operator=(const GrabGraph&) = delete;

    bool Build(const std::string& inputPath, std::string* error) {
        pipeline_ = media::ElementRef(gst_pipeline_new("KRGrabber Graph"));
        GstBin* bin = GST_BIN(pipeline_.get());
        media::ElementRef source = AddFilter(bin, "filesrc", "KRSource", error);
        decoder_ = AddFilter(bin, "decodebin", "KRDecoder", error);
        sink_ = AddFilter(bin, "appsink", "KRGrabber Filter", error);
        if (!source || !decoder_ || !sink_) return false;
        g_object_set(source.get(), "location", inputPath.c_str(), nullptr);
        media::CapsRef caps(gst_caps_from_string("video/x-raw,format=BGRx"));
        // No clock: the pipeline runs as fast as it can decode.
        g_object_set(sink_.get(), "caps", caps.get(), "sync", FALSE, "max-buffers", 1u,
                     "enable-last-sample", FALSE, nullptr);
        if (!gst_element_link(source.get(), decoder_.get())) {
            *error = "Cannot link the file source to the decoder.";
            return false;
        }
        Connect(decoder_.get(), "pad-added", G_CALLBACK(OnPadAdded));
        Connect(decoder_.get(), "no-more-pads", G_CALLBACK(OnNoMorePads));
        Connect(decoder_.get(), "autoplug-select", G_CALLBACK(OnAutoplugSelect));
        Connect(decoder_.get(), "element-added", G_CALLBACK(OnElementAdded));
        return true;
    }

    GstElement* Pipeline() const { return pipeline_.get(); }
    GstElement* Sink() const { return sink_.get(); }

    // Seeks the held demuxer to the time, then lets its buffers go; false when it could not
    // be sought (it then goes on from where it was).
    bool SeekReader(gint64 at) {
        media::ElementRef reader;
        HeldOutputs* held = nullptr;
        {
            std::lock_guard lock(mutex_);
            reader = reader_;
            held = held_.get();
            holding_ = false;
        }
        const bool sought =
            reader && gst_element_seek(
                          reader.get(), 1.0, GST_FORMAT_TIME,
                          kExactSeek,
                          GST_SEEK_TYPE_SET, at, GST_SEEK_TYPE_NONE, -1);
        if (held) held->Release();
        return sought;
    }

private:
    void Connect(GstElement* object, const char* signal, GCallback callback) {
        std::lock_guard lock(mutex_);
        handlers_.emplace_back(media::ElementRef::Share(object),
                               g_signal_connect(object, signal, callback, this));
    }

    static int OnAutoplugSelect(GstElement*, GstPad*, GstCaps* caps, GstElementFactory* factory,
                                gpointer data) {
        const char* klass = FactoryKlass(factory);
        const bool decoder = std::strstr(klass, "Decoder") != nullptr;
        // A still never needs its sound.
        if ((decoder || std::strstr(klass, "Parser")) && std::strstr(klass, "Audio"))
            return kAutoplugExpose;
        int width = 0, height = 0;
        if (decoder && std::strstr(klass, "Video") && caps && gst_caps_get_size(caps) > 0) {
            const GstStructure* format = gst_caps_get_structure(caps, 0);
            if (gst_structure_get_int(format, "width", &width) &&
                gst_structure_get_int(format, "height", &height))
                static_cast<GrabGraph*>(data)->pictureArea_ = int64_t{width} * height;
        }
        return kAutoplugTry;
    }

    // Runs on a streaming thread; the first demuxer is the one sought.
    static void OnElementAdded(GstBin*, GstElement* element, gpointer data) {
        auto* self = static_cast<GrabGraph*>(data);
        const char* klass = FactoryKlass(gst_element_get_factory(element));
        // Each decoding thread costs its start-up, and each thread decoding ahead holds the
        // picture back by a frame: for one picture no larger than standard definition two
        // threads are done first, even a hundred frames past a key frame. Larger pictures
        // keep the decoder's own count.
        const int64_t area = self->pictureArea_;
        if (std::strstr(klass, "Decoder") && std::strstr(klass, "Video") && area > 0 &&
            area <= kFewThreadsArea &&
            g_object_class_find_property(G_OBJECT_GET_CLASS(element), "max-threads"))
            g_object_set(element, "max-threads", kFewThreads, nullptr);
        if (!std::strstr(klass, "Demux")) return;
        std::lock_guard lock(self->mutex_);
        if (self->reader_ || !self->holding_) return;
        self->reader_ = media::ElementRef::Share(element);
        // The demuxer has read its headers and holds its first buffer: the waiting thread
        // seeks it.
        self->held_ = std::make_unique<HeldOutputs>(element, [pipeline = self->pipeline_.get()] {
            gst_element_post_message(
                pipeline, gst_message_new_application(
                              GST_OBJECT(pipeline), gst_structure_new_empty(kReaderReadyMessage)));
        });
    }

    static void OnPadAdded(GstElement*, GstPad* pad, gpointer data) {
        static_cast<GrabGraph*>(data)->Link(pad);
    }
    static void OnNoMorePads(GstElement*, gpointer data) {
        auto* self = static_cast<GrabGraph*>(data);
        std::lock_guard lock(self->mutex_);
        if (self->video_ == VideoPath::Linked) return;
        // The app sink would wait for a picture forever: tell the waiting thread.
        const char* name = self->video_ == VideoPath::None ? kNoVideoMessage : kUnlinkedMessage;
        gst_element_post_message(self->pipeline_.get(),
                                 gst_message_new_application(GST_OBJECT(self->pipeline_.get()),
                                                             gst_structure_new_empty(name)));
    }

    // Runs on a streaming thread.
    void Link(GstPad* pad) {
        media::CapsRef caps(gst_pad_get_current_caps(pad));
        if (!caps) caps = media::CapsRef(gst_pad_query_caps(pad, nullptr));
        const bool video =
            caps && gst_caps_get_size(caps.get()) > 0 &&
            g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(caps.get(), 0)),
                             "video/");
        GstBin* bin = GST_BIN(pipeline_.get());
        std::lock_guard lock(mutex_);
        if (video && video_ == VideoPath::None) {
            media::PadRef input = GetPin(sink_.get(), PadDirection::Input);
            // A failed splice has been reported by the splice itself.
            const bool linked = InsertSubtitleFilter(job_, state_, bin, pad, input.get(), 0.0) !=
                                SubtitleInsert::Failed;
            video_ = linked ? VideoPath::Linked : VideoPath::Unlinked;
            if (linked) return;
        }
        std::string error;
        media::ElementRef discard = AddFilter(bin, "fakesink", nullptr, &error);
        if (!discard) return;
        g_object_set(discard.get(), "sync", FALSE, "async", FALSE, nullptr);
        media::PadRef input = GetPin(discard.get(), PadDirection::Input);
        ConnectDirect(pad, input.get());
    }

    const JobObject& job_;
    const WizardState& state_;
    media::ElementRef pipeline_, decoder_, sink_;
    enum class VideoPath { None, Linked, Unlinked };
    // Guards video_, the bin's changes, the handlers and the held reader against streaming
    // threads.
    std::mutex mutex_;
    VideoPath video_ = VideoPath::None;
    std::vector<std::pair<media::ElementRef, gulong>> handlers_;
    media::ElementRef reader_;
    std::unique_ptr<HeldOutputs> held_;
    bool holding_;
    std::atomic<int64_t> pictureArea_{0};  // of the video the decoding bin last chose a decoder for
};

enum class Settled { Prerolled, ReaderReady, NoVideo, Reported, Failed };

// Waits up to waitMs for the pipeline to hold a picture (or its end) after a state change
// or a flushing seek, or for its demuxer to wait to be sought.
Settled WaitForPreroll(GstElement* pipeline, int waitMs, std::string* error) {
    media::BusRef bus(gst_element_get_bus(pipeline));
    const GstMessageType wanted = static_cast<GstMessageType>(
        GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_ERROR | GST_MESSAGE_APPLICATION);
    media::MessageRef message(
        gst_bus_timed_pop_filtered(bus.get(), GstClockTime(waitMs) * GST_MSECOND, wanted));
    if (!message) {
        *error = "The video did not deliver a picture in time.";
        return Settled::Failed;
    }
    switch (GST_MESSAGE_TYPE(message.get())) {
        case GST_MESSAGE_ASYNC_DONE:
            return Settled::Prerolled;
        case GST_MESSAGE_APPLICATION:
            if (gst_message_has_name(message.get(), kReaderReadyMessage))
                return Settled::ReaderReady;
            return gst_message_has_name(message.get(), kNoVideoMessage) ? Settled::NoVideo
                                                                        : Settled::Reported;
        default:
            *error = media::ErrorText(message.get());
            return Settled::Failed;
    }
}

bool ToFrameBlock(GstSample* sample, FrameBlock* frame, std::string* error) {
    GstVideoInfo info;
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    if (!buffer || !gst_video_info_from_caps(&info, gst_sample_get_caps(sample))) {
        *error = "The grabbed picture has no usable format.";
        return false;
    }
    GstVideoFrame video;
    if (!gst_video_frame_map(&video, &info, buffer, GST_MAP_READ)) {
        *error = "The grabbed picture cannot be read.";
        return false;
    }
    const uint32_t width = GST_VIDEO_FRAME_WIDTH(&video);
    const uint32_t height = GST_VIDEO_FRAME_HEIGHT(&video);
    const uint64_t rowBytes = BmpRowBytes(width, 24);
    const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&video, 0);
    const auto* rows = static_cast<const uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&video, 0));
    frame->header = BitmapInfoHeader{};
    frame->header.biWidth = static_cast<int32_t>(width);
    frame->header.biHeight = static_cast<int32_t>(height);
    frame->header.biSizeImage = static_cast<uint32_t>(rowBytes * height);
    frame->pixels.assign(rowBytes * height, 0);
    // A bitmap keeps its bottom row first, and three bytes a pixel.
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* out = &frame->pixels[(height - 1 - y) * rowBytes];
        const uint8_t* in = rows + int64_t{y} * stride;
        for (uint32_t x = 0; x < width; ++x, out += 3, in += 4) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
        }
    }
    gst_video_frame_unmap(&video);
    return true;
}

// One attempt; sought tells whether the demuxer was sought before any picture. A stream that
// shows itself only with its pictures (MPEG program and transport streams) shows nothing
// when sought past its end, where an attempt from the start finds the video and its end.
GrabResult GrabOnce(const JobObject& job, const WizardState& state, const std::string& location,
                    gint64 at, bool seekFirst, int waitMs, FrameBlock* frame, std::string* reason,
                    bool* sought) {
    GrabGraph graph(job, state, seekFirst);
    if (!graph.Build(location, reason)) return GrabResult::Failed;

    if (gst_element_set_state(graph.Pipeline(), GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
        WaitForPreroll(graph.Pipeline(), 0, reason);
        if (reason->empty()) *reason = "The video cannot be opened.";
        return GrabResult::Failed;
    }
    Settled settled = WaitForPreroll(graph.Pipeline(), waitMs, reason);
    if (settled == Settled::ReaderReady) {
        *sought = graph.SeekReader(at);
        settled = WaitForPreroll(graph.Pipeline(), waitMs, reason);
    }
    if (settled == Settled::NoVideo) return GrabResult::NoVideo;
    if (settled == Settled::Reported) return GrabResult::Reported;
    if (settled != Settled::Prerolled) return GrabResult::Failed;

    // Without a demuxer that could be sought first, the picture at the start is passed over.
    if (!*sought) {
        if (!gst_element_seek_simple(
                graph.Pipeline(), GST_FORMAT_TIME,
                kExactSeek, at)) {
            *reason = "The video cannot be positioned at the chosen time.";
            return GrabResult::Failed;
        }
        settled = WaitForPreroll(graph.Pipeline(), waitMs, reason);
        if (settled != Settled::Prerolled) return GrabResult::Failed;
    }

    // The settling seen may be one left on the bus from before the seek (a branch linked
    // late prerolls again), so the picture itself is waited for too.
    SampleRef sample(gst_app_sink_try_pull_preroll(GST_APP_SINK(graph.Sink()),
                                                   GstClockTime(waitMs) * GST_MSECOND));
    if (!sample) {
        *reason = "The video has no frame at the chosen time.";
        return GrabResult::Failed;
    }
    return ToFrameBlock(sample.get(), frame, reason) ? GrabResult::Grabbed : GrabResult::Failed;
}

}  // namespace

GrabResult GrabFrame(const JobObject& job, const WizardState& state, const std::string& inputPath,
                     double seconds, FrameBlock* frame, std::string* error, int waitMs) {
    std::string reason;
    const auto fail = [&](const std::string& text) {
        if (error) *error = text;
        return GrabResult::Failed;
    };
    // The file source would wait forever on a FIFO with no writer: it reads the checked file.
    const RegularFile input(inputPath);
    if (!input.IsOpen()) return fail("Cannot open " + inputPath + ": " + input.Refusal());
    if (!std::isfinite(seconds) || seconds < 0.0) return fail("The frame time is not valid.");

    media::InitGStreamer();
    const auto at = static_cast<gint64>(std::llround(seconds * GST_SECOND));
    bool sought = false;
    GrabResult result =
        GrabOnce(job, state, input.Location(), at, true, waitMs, frame, &reason, &sought);
    // What went wrong after a seek before any picture is told as the way from the start
    // tells it; a failure already reported is not repeated.
    if (sought && result != GrabResult::Grabbed && result != GrabResult::Reported) {
        reason.clear();
        sought = false;
        result = GrabOnce(job, state, input.Location(), at, false, waitMs, frame, &reason, &sought);
    }
    return result == GrabResult::Failed ? fail(reason) : result;
}
