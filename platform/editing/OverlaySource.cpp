#include "platform/editing/OverlaySource.h"

#include <ges/ges.h>

#include <cmath>
#include <utility>

#include "platform/media/ErrorText.h"

namespace editing {
namespace {

GstClockTime ToClock(double seconds) {
    if (!std::isfinite(seconds) || seconds <= 0.0) return 0;
    return static_cast<GstClockTime>(std::llround(seconds * GST_SECOND));
}

bool Fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return false;
}

}  // namespace

bool AddOverlaySource(Timeline& timeline, int track, const SourceSpan& span,
                      const OverlayRect& rect, std::string* error) {
    if (!timeline.Get()) return Fail(error, "The editing library cannot be started.");
    if (!(span.duration > 0.0)) return Fail(error, "A source of no length cannot be placed.");
    if (rect.width <= 0 || rect.height <= 0) return Fail(error, "The overlay has no size.");
    // Layers are numbered from the top, in the order the tracks were added.
    GESLayer* layer = track >= 0 ? ges_timeline_get_layer(timeline.Get(), guint(track)) : nullptr;
    if (!layer) return Fail(error, "No such track.");

    std::string text;
    GESUriClipAsset* asset = timeline.SourceAsset(span.path, &text);
    GError* failure = nullptr;
    GESClip* clip = nullptr;
    if (asset) {
        // Video only: an overlay's sound would be mixed into the job's audio group.
        clip = ges_layer_add_asset_full(layer, GES_ASSET(asset), ToClock(span.start),
                                        ToClock(span.inPoint), ToClock(span.duration),
                                        GES_TRACK_TYPE_VIDEO, &failure);
        gst_object_unref(asset);
    }
    gst_object_unref(layer);
    if (!clip) {
        if (failure) text = media::ErrorText(failure);
        if (failure) g_error_free(failure);
        return Fail(error, text.empty() ? "The overlay cannot be placed on the timeline." : text);
    }
    // Without a size the source would be scaled to the frame.
    const std::pair<const char*, int32_t> place[] = {
        {"posx", rect.x}, {"posy", rect.y}, {"width", rect.width}, {"height", rect.height}};
    bool placed = true;
    for (const auto& [name, value] : place) {
        GValue held = G_VALUE_INIT;
        g_value_init(&held, G_TYPE_INT);
        g_value_set_int(&held, value);
        placed = placed &&
                 ges_timeline_element_set_child_property(GES_TIMELINE_ELEMENT(clip), name, &held);
        g_value_unset(&held);
    }
    GValue opaque = G_VALUE_INIT;
    g_value_init(&opaque, G_TYPE_DOUBLE);
    g_value_set_double(&opaque, 1.0);
    placed = placed &&
             ges_timeline_element_set_child_property(GES_TIMELINE_ELEMENT(clip), "alpha", &opaque);
    g_value_unset(&opaque);
    if (!placed) return Fail(error, "The overlay's rectangle cannot be set.");
    return true;
}

bool AddBackdrop(Timeline& timeline, int track, double length, std::string* error) {
    if (!timeline.Get()) return Fail(error, "The editing library cannot be started.");
    if (!(length > 0.0)) return Fail(error, "A source of no length cannot be placed.");
    GESLayer* layer = track >= 0 ? ges_timeline_get_layer(timeline.Get(), guint(track)) : nullptr;
    if (!layer) return Fail(error, "No such track.");
    GError* failure = nullptr;
    GESAsset* asset = ges_asset_request(GES_TYPE_TEST_CLIP, nullptr, &failure);
    GESClip* clip = nullptr;
    if (asset) {
        clip = ges_layer_add_asset_full(layer, asset, 0, 0, ToClock(length), GES_TRACK_TYPE_VIDEO,
                                        &failure);
        gst_object_unref(asset);
    }
    gst_object_unref(layer);
    if (!clip) {
        std::string text = failure ? media::ErrorText(failure) : std::string();
        if (failure) g_error_free(failure);
        return Fail(error, text.empty() ? "The backdrop cannot be placed on the timeline." : text);
    }
    ges_test_clip_set_vpattern(GES_TEST_CLIP(clip), GES_VIDEO_TEST_PATTERN_BLACK);
    return true;
}

}  // namespace editing
