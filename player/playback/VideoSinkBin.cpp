#include "player/playback/VideoSinkBin.h"

#include <gst/video/videooverlay.h>

#include <vector>

#include "kalvorvt/GstKalvorVT.h"
#include "kalvorvt/KalvorVTControl.h"
#include "platform/ui/NativeWindow.h"

namespace {

// A renderer with a window of its own that can only draw its frames as they come: the
// picture must be scaled to the window in front of it.
bool DrawsUnscaled(GstElement* renderer) {
    return GST_IS_VIDEO_OVERLAY(renderer) &&
           GST_VIDEO_OVERLAY_GET_INTERFACE(renderer)->set_render_rectangle == nullptr;
}

void SetIfPresent(GstElement* element, const char* property, gboolean value) {
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(element), property))
        g_object_set(element, property, value, nullptr);
}

}  // namespace

void VideoSinkBin::Build(GstElement* renderer) {
    bin_ = media::ElementRef(gst_bin_new("video sink"));
    gst_element_add_pad(bin_.get(), gst_ghost_pad_new_no_target("sink", GST_PAD_SINK));

    renderer_ = media::ElementRef(renderer);
    if (renderer_) gst_object_set_name(GST_OBJECT(renderer_.get()), "Video Renderer");
    boundWindow_ = 0;
    ConfigureRenderer();
    colourConverter_ =
        media::ElementRef(gst_element_factory_make("videoconvert", "KRColour Space"));
    outConverter_ =
        media::ElementRef(gst_element_factory_make("videoconvert", "Renderer Converter"));
    pictureScale_.Reset();
    pictureSize_.Reset();
    renderRect_ = QRect();  // the new renderer has not been told where to draw
    if (renderer_ && DrawsUnscaled(renderer_.get())) {
        pictureScale_ = media::ElementRef(gst_element_factory_make("videoscale", "Picture Scale"));
        pictureSize_ = media::ElementRef(gst_element_factory_make("capsfilter", "Picture Size"));
        if (!pictureScale_ || !pictureSize_) {
            pictureScale_.Reset();
            pictureSize_.Reset();
        } else {
            // The geometry has given the picture its shape: it fills what it is given.
            g_object_set(pictureScale_.get(), "add-borders", FALSE, nullptr);
            // A frame scaled to the old size may be on its way when the size changes.
            gst_util_set_object_arg(G_OBJECT(pictureSize_.get()), "caps-change-mode", "delayed");
        }
    }
    AddRendererChain();

    effectsFilter_ = media::ElementRef(gst_element_factory_make(kKalvorVTFactory, "KalvorVT"));
    effectsControl_ = CKalvorVTControl::ForElement(effectsFilter_.get());
    AddEffects();
}

void VideoSinkBin::AddRendererChain() {
    if (!renderer_ || !colourConverter_ || !outConverter_) return;
    GstBin* bin = GST_BIN(bin_.get());
    gst_bin_add_many(bin, renderer_.get(), colourConverter_.get(), outConverter_.get(), nullptr);
    if (pictureScale_ && pictureSize_)
        gst_bin_add_many(bin, pictureScale_.get(), pictureSize_.get(), nullptr);
}

void VideoSinkBin::AddEffects() {
    if (HasEffects()) gst_bin_add(GST_BIN(bin_.get()), effectsFilter_.get());
}

void VideoSinkBin::RemoveEffects() { gst_bin_remove(GST_BIN(bin_.get()), effectsFilter_.get()); }

void VideoSinkBin::Empty() {
    Unlink();
    GstBin* bin = GST_BIN(bin_.get());
    while (bin->children) gst_bin_remove(bin, GST_ELEMENT(bin->children->data));
}

bool VideoSinkBin::Holds(GstElement* element) const {
    return element && GST_OBJECT_PARENT(element) == GST_OBJECT(bin_.get());
}

bool VideoSinkBin::Link(bool withEffects) {
    Unlink();
    GstPad* ghost = gst_element_get_static_pad(bin_.get(), "sink");
    media::PadRef target(gst_element_get_static_pad(colourConverter_.get(), "sink"));
    const bool targeted = gst_ghost_pad_set_target(GST_GHOST_PAD(ghost), target.get());
    gst_object_unref(ghost);
    std::vector<GstElement*> chain{colourConverter_.get()};
    if (withEffects) chain.push_back(effectsFilter_.get());
    chain.push_back(outConverter_.get());
    if (pictureScale_) chain.insert(chain.end(), {pictureScale_.get(), pictureSize_.get()});
    chain.push_back(renderer_.get());
    bool linked = true;
    for (size_t i = 1; i < chain.size() && linked; ++i)
        linked = gst_element_link(chain[i - 1], chain[i]);
    if (targeted && linked) return true;
    Unlink();
    return false;
}

void VideoSinkBin::Unlink() {
    GstElement* chain[] = {colourConverter_.get(), effectsFilter_.get(), outConverter_.get(),
                           pictureScale_.get(),    pictureSize_.get(),   renderer_.get()};
    for (GstElement* from : chain) {
        for (GstElement* to : chain) {
            if (from && to && from != to) gst_element_unlink(from, to);
        }
    }
}

void VideoSinkBin::ReleaseEffects() {
    effectsControl_.reset();
    effectsFilter_.Reset();
}

void VideoSinkBin::ReleaseElements() {
    renderer_.Reset();
    colourConverter_.Reset();
    outConverter_.Reset();
    pictureScale_.Reset();
    pictureSize_.Reset();
}

// An expose is answered by the player, so no thread of the renderer watches the window
// while paused. The picture fills the rectangle the geometry gives it, whatever the
// source's shape.
void VideoSinkBin::ConfigureRenderer() {
    if (!renderer_) return;
    if (GST_IS_VIDEO_OVERLAY(renderer_.get()))
        gst_video_overlay_handle_events(GST_VIDEO_OVERLAY(renderer_.get()), FALSE);
    SetIfPresent(renderer_.get(), "handle-expose", FALSE);
    SetIfPresent(renderer_.get(), "force-aspect-ratio", FALSE);
}

bool VideoSinkBin::DrawsInWindow() const {
    return renderer_ && GST_IS_VIDEO_OVERLAY(renderer_.get()) && Holds(renderer_.get());
}

void VideoSinkBin::BindWindow(WId window) {
    gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(renderer_.get()), window);
    boundWindow_ = window;
}

void VideoSinkBin::Expose() {
    if (boundWindow_ == 0 || !Holds(renderer_.get())) return;
    nativewindow::SyncWithServer();
    gst_video_overlay_expose(GST_VIDEO_OVERLAY(renderer_.get()));
}

VideoSinkBin::Placement VideoSinkBin::Place(const QRect& rect) {
    if (!renderer_ || rect.width() < 1 || rect.height() < 1) return Placement::None;
    Placement placement = Placement::Placed;
    if (GST_IS_VIDEO_OVERLAY(renderer_.get()) && !DrawsUnscaled(renderer_.get())) {
        GstVideoOverlay* overlay = GST_VIDEO_OVERLAY(renderer_.get());
        gst_video_overlay_set_render_rectangle(overlay, rect.x(), rect.y(), rect.width(),
                                               rect.height());
        gst_video_overlay_expose(overlay);
    } else if (pictureSize_) {
        // The renderer centres what it gets, which is where the letterbox puts it too.
        if (rect.size() != renderRect_.size()) {
            GstCaps* caps = gst_caps_new_simple(
                "video/x-raw", "width", G_TYPE_INT, rect.width(), "height", G_TYPE_INT,
                rect.height(), "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr);
            g_object_set(pictureSize_.get(), "caps", caps, nullptr);
            gst_caps_unref(caps);
            placement = Placement::Rescaled;
        }
    } else {
        return Placement::None;
    }
    renderRect_ = rect;
    return placement;
}

// At the end the position lies past the last frame, where a seek finds none: the frame the
// renderer holds says where it is.
std::optional<double> VideoSinkBin::ShownFrameTime() const {
    GstSample* sample = nullptr;
    if (renderer_ &&
        g_object_class_find_property(G_OBJECT_GET_CLASS(renderer_.get()), "last-sample"))
        g_object_get(renderer_.get(), "last-sample", &sample, nullptr);
    if (!sample) return std::nullopt;
    const GstBuffer* buffer = gst_sample_get_buffer(sample);
    const GstSegment* segment = gst_sample_get_segment(sample);
    guint64 at = GST_CLOCK_TIME_NONE;
    if (buffer && segment && GST_BUFFER_PTS_IS_VALID(buffer))
        at = gst_segment_to_stream_time(segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer));
    gst_sample_unref(sample);
    if (!GST_CLOCK_TIME_IS_VALID(at)) return std::nullopt;
    return double(at) / GST_SECOND;
}
