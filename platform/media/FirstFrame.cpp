#include "platform/media/FirstFrame.h"

#include <gst/app/gstappsink.h>
#include <gst/base/gsttypefindhelper.h>
#include <gst/video/video.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>

#include "platform/media/GstInit.h"
#include "platform/media/GstRef.h"
#include "platform/media/StateWait.h"
#include "platform/system/RegularFile.h"

namespace media {
namespace {

constexpr int kPollMs = 20;
// Picture decoders without a parser (BMP) want the whole file in one buffer, pushed;
// pictures larger than this are not shown.
constexpr uint64_t kLargestPicture = 64 << 20;
constexpr size_t kTypeFindBytes = 4096;

// What the streaming threads tell the waiting thread.
struct GrabState {
    GstElement* convert = nullptr;  // owned by the pipeline
    std::atomic<bool> linked{false};
    std::atomic<bool> noVideo{false};
};

bool StartsWith(const char* text, const char* prefix) {
    return text && std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// Audio and text streams are left undecoded: the preview needs only a picture.
gboolean OnAutoplugContinue(GstElement*, GstPad*, GstCaps* caps, gpointer) {
    const GstStructure* s = gst_caps_get_size(caps) > 0 ? gst_caps_get_structure(caps, 0) : nullptr;
    const char* name = s ? gst_structure_get_name(s) : nullptr;
    return !(StartsWith(name, "audio/") || StartsWith(name, "text/") ||
             StartsWith(name, "subpicture/"));
}

// The first decoded video pad wins, as korc takes the first video stream for the size.
void OnPadAdded(GstElement*, GstPad* pad, gpointer data) {
    auto* state = static_cast<GrabState*>(data);
    CapsRef caps(gst_pad_get_current_caps(pad));
    if (!caps) caps = CapsRef(gst_pad_query_caps(pad, nullptr));
    const GstStructure* s =
        caps && gst_caps_get_size(caps.get()) > 0 ? gst_caps_get_structure(caps.get(), 0) : nullptr;
    if (!s || !gst_structure_has_name(s, "video/x-raw") || state->linked.exchange(true)) {
        // Other streams drain into a sink of their own: an unlinked pad would stop the
        // demuxer before the picture arrives.
        GstElement* drain = gst_element_factory_make("fakesink", nullptr);
        if (!drain) return;
        g_object_set(drain, "sync", FALSE, "async", FALSE, nullptr);
        GstObject* bin = gst_element_get_parent(state->convert);
        gst_bin_add(GST_BIN(bin), drain);
        gst_object_unref(bin);
        gst_element_sync_state_with_parent(drain);
        PadRef drainPad(gst_element_get_static_pad(drain, "sink"));
        gst_pad_link(pad, drainPad.get());
        return;
    }
    PadRef sink(gst_element_get_static_pad(state->convert, "sink"));
    if (gst_pad_link(pad, sink.get()) != GST_PAD_LINK_OK) state->noVideo = true;
}

void OnNoMorePads(GstElement*, gpointer data) {
    auto* state = static_cast<GrabState*>(data);
    if (!state->linked) state->noVideo = true;
}

FirstFrameResult Fail(FirstFrameResult result, std::string* error, const std::string& text) {
    if (error) *error = text;
    return result;
}

// Containers are read the usual way; a picture goes to its decoder in one piece.
bool IsPicture(int fd) {
    guint8 head[kTypeFindBytes];
    const ssize_t got = ::pread(fd, head, sizeof head, 0);
    if (got <= 0) return false;
    CapsRef caps(gst_type_find_helper_for_data(nullptr, head, static_cast<gsize>(got), nullptr));
    const GstStructure* s =
        caps && gst_caps_get_size(caps.get()) > 0 ? gst_caps_get_structure(caps.get(), 0) : nullptr;
    return s && StartsWith(gst_structure_get_name(s), "image/");
}

bool CopyFrame(GstSample* sample, FirstFrame& frame) {
    GstVideoInfo info;
    if (!gst_video_info_from_caps(&info, gst_sample_get_caps(sample))) return false;
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstVideoFrame video;
    if (!buffer || !gst_video_frame_map(&video, &info, buffer, GST_MAP_READ)) return false;
    const int width = GST_VIDEO_FRAME_WIDTH(&video);
    const int height = GST_VIDEO_FRAME_HEIGHT(&video);
    const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&video, 0);
    const auto* data = static_cast<const uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&video, 0));
    frame.width = width;
    frame.height = height;
    frame.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        // BGRx in memory is 0xxxRRGGBB as a little-endian word.
        std::memcpy(&frame.pixels[static_cast<size_t>(y) * width],
                    data + static_cast<ptrdiff_t>(y) * stride, static_cast<size_t>(width) * 4);
        for (int x = 0; x < width; ++x)
            frame.pixels[static_cast<size_t>(y) * width + x] |= 0xff000000u;
    }
    gst_video_frame_unmap(&video);
    return width > 0 && height > 0;
}

// Owns the pipeline and the file for one grab; NULL and close on every way out.
class Grab {
public:
    ~Grab() {
        if (pipeline_) ForceNull(pipeline_.get());
        pipeline_.Reset();
    }

    FirstFrameResult Run(const std::string& path, FirstFrame& frame, std::string* error,
                         int timeoutMs) {
        file_ = RegularFile(path);
        if (!file_.IsOpen())
            return Fail(FirstFrameResult::NotAFile, error, "not a regular file: " + path);

        InitGStreamer();
        pipeline_ = ElementRef(gst_pipeline_new("logo-preview"));
        GstElement* source = gst_element_factory_make("filesrc", nullptr);
        GstElement* decode = gst_element_factory_make("decodebin", nullptr);
        GstElement* convert = gst_element_factory_make("videoconvert", nullptr);
        GstElement* sink = gst_element_factory_make("appsink", nullptr);
        if (!source || !decode || !convert || !sink) {
            for (GstElement* e : {source, decode, convert, sink})
                if (e) gst_object_unref(gst_object_ref_sink(e));
            return Fail(FirstFrameResult::Failed, error, "missing GStreamer elements");
        }
        // The file checked above, not whatever the name may point to by now.
        g_object_set(source, "location", file_.Location().c_str(), nullptr);
        const bool picture = IsPicture(file_.Descriptor());
        if (picture && file_.Size() > kLargestPicture) {
            for (GstElement* e : {source, decode, convert, sink})
                gst_object_unref(gst_object_ref_sink(e));
            return Fail(FirstFrameResult::Failed, error, "the picture is too large: " + path);
        }
        if (picture)
            g_object_set(source, "blocksize", static_cast<guint>(std::max<uint64_t>(file_.Size(), 1)),
                         nullptr);
        CapsRef rgb(gst_caps_from_string("video/x-raw,format=BGRx"));
        g_object_set(sink, "caps", rgb.get(), "sync", FALSE, "max-buffers", 1, "emit-signals",
                     FALSE, nullptr);
        gst_bin_add_many(GST_BIN(pipeline_.get()), source, decode, convert, sink, nullptr);
        // A queue keeps the picture's decoder from pulling it in small pieces.
        GstElement* queue = picture ? gst_element_factory_make("queue", nullptr) : nullptr;
        if (queue) gst_bin_add(GST_BIN(pipeline_.get()), queue);
        const bool sourceLinked = queue ? gst_element_link_many(source, queue, decode, nullptr)
                                        : gst_element_link(source, decode);
        if (!sourceLinked || !gst_element_link(convert, sink))
            return Fail(FirstFrameResult::Failed, error, "cannot link the preview pipeline");
        state_.convert = convert;
        g_signal_connect(decode, "autoplug-continue", G_CALLBACK(OnAutoplugContinue), &state_);
        g_signal_connect(decode, "pad-added", G_CALLBACK(OnPadAdded), &state_);
        g_signal_connect(decode, "no-more-pads", G_CALLBACK(OnNoMorePads), &state_);

        if (gst_element_set_state(pipeline_.get(), GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE)
            return Fail(FirstFrameResult::Failed, error, "the file cannot be played: " + path);
        return Wait(GST_APP_SINK(sink), frame, error, timeoutMs);
    }

private:
    FirstFrameResult Wait(GstAppSink* sink, FirstFrame& frame, std::string* error, int timeoutMs) {
        BusRef bus(gst_element_get_bus(pipeline_.get()));
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < deadline) {
            GstSample* sample = gst_app_sink_try_pull_preroll(sink, kPollMs * GST_MSECOND);
            if (sample) {
                const bool copied = CopyFrame(sample, frame);
                gst_sample_unref(sample);
                if (!copied)
                    return Fail(FirstFrameResult::Failed, error,
                                "the first picture cannot be read");
                return FirstFrameResult::Ok;
            }
            if (state_.noVideo) return Fail(FirstFrameResult::NoVideo, error, "no video stream");
            MessageRef message(gst_bus_pop_filtered(bus.get(), GST_MESSAGE_ERROR));
            if (message) {
                GError* gerror = nullptr;
                gst_message_parse_error(message.get(), &gerror, nullptr);
                const std::string text = gerror ? gerror->message : "error";
                if (gerror) g_error_free(gerror);
                return Fail(FirstFrameResult::Failed, error, text);
            }
            if (gst_app_sink_is_eos(sink))
                return Fail(FirstFrameResult::NoVideo, error, "no picture before the end");
        }
        return Fail(FirstFrameResult::TimedOut, error, "the first picture did not come in time");
    }

    RegularFile file_;  // declared first: closed after the pipeline has let go of it
    ElementRef pipeline_;
    GrabState state_;
};

}  // namespace

FirstFrameResult GrabFirstFrame(const std::string& path, FirstFrame& frame, std::string* error,
                                int timeoutMs) {
    frame = FirstFrame{};
    Grab grab;
    const FirstFrameResult result = grab.Run(path, frame, error, timeoutMs);
    if (result != FirstFrameResult::Ok) frame = FirstFrame{};
    return result;
}

}  // namespace media
