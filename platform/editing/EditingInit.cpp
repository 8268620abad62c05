#include "platform/editing/EditingInit.h"

#include <dlfcn.h>
#include <ges/ges.h>

#include <cstdio>
#include <cstdlib>

#include "platform/media/GstInit.h"

// The editing library, and what it loads in turn (a language runtime among them), costs a
// program that links it a good part of its start, whatever its job. It is opened here when
// the first timeline is made instead; the functions used from it below forward to it.

namespace {

void* Library() {
    static void* const library = dlopen("libges-1.0.so.0", RTLD_NOW | RTLD_GLOBAL);
    return library;
}

// Only reached after InitEditing found the library, so a missing function is a broken
// install: said, and the end.
void* Function(const char* name) {
    void* function = Library() ? dlsym(Library(), name) : nullptr;
    if (!function) {
        std::fprintf(stderr, "The editing library has no %s: %s\n", name, dlerror());
        std::abort();
    }
    return function;
}

// The library starts the language runtime it links, for a project format whose module this
// system never installs nor uses. Most of that start is the runtime's scan of its installed
// packages; without it, the format is simply not offered. Left alone when something in this
// process already runs the runtime.
void SkipRuntimePackageScan() {
    auto* running = reinterpret_cast<int (*)()>(dlsym(Library(), "Py_IsInitialized"));
    auto* noScan = static_cast<int*>(dlsym(Library(), "Py_NoSiteFlag"));
    if (running && noScan && !running()) *noScan = 1;
}

}  // namespace

#define KALVOR_FORWARD(result, name, parameters, arguments)                          \
    result name parameters {                                                         \
        static const auto real = reinterpret_cast<decltype(&name)>(Function(#name)); \
        return real arguments;                                                       \
    }

extern "C" {
KALVOR_FORWARD(gboolean, ges_init, (void), ())
KALVOR_FORWARD(GType, ges_asset_get_type, (void), ())
KALVOR_FORWARD(GType, ges_clip_get_type, (void), ())
KALVOR_FORWARD(GType, ges_container_get_type, (void), ())
KALVOR_FORWARD(GType, ges_test_clip_get_type, (void), ())
KALVOR_FORWARD(GType, ges_timeline_element_get_type, (void), ())
KALVOR_FORWARD(GType, ges_timeline_get_type, (void), ())
KALVOR_FORWARD(GType, ges_track_get_type, (void), ())
KALVOR_FORWARD(GType, ges_video_source_get_type, (void), ())
KALVOR_FORWARD(GESAsset*, ges_asset_request,
               (GType type, const gchar* id, GError** error), (type, id, error))
KALVOR_FORWARD(GESAudioTrack*, ges_audio_track_new, (void), ())
KALVOR_FORWARD(GESVideoTrack*, ges_video_track_new, (void), ())
KALVOR_FORWARD(void, ges_clip_set_supported_formats, (GESClip * clip, GESTrackType formats),
               (clip, formats))
KALVOR_FORWARD(GList*, ges_container_get_children, (GESContainer * container, gboolean recursive),
               (container, recursive))
KALVOR_FORWARD(GESClip*, ges_layer_add_asset_full,
               (GESLayer * layer, GESAsset* asset, GstClockTime start, GstClockTime inpoint,
                GstClockTime duration, GESTrackType types, GError** error),
               (layer, asset, start, inpoint, duration, types, error))
KALVOR_FORWARD(gboolean, ges_layer_add_clip, (GESLayer * layer, GESClip* clip), (layer, clip))
KALVOR_FORWARD(GESTestClip*, ges_test_clip_new, (void), ())
KALVOR_FORWARD(void, ges_test_clip_set_vpattern, (GESTestClip * clip, GESVideoTestPattern pattern),
               (clip, pattern))
KALVOR_FORWARD(GESTimeline*, ges_timeline_new, (void), ())
KALVOR_FORWARD(gboolean, ges_timeline_add_track, (GESTimeline * timeline, GESTrack* track),
               (timeline, track))
KALVOR_FORWARD(GESLayer*, ges_timeline_append_layer, (GESTimeline * timeline), (timeline))
KALVOR_FORWARD(gboolean, ges_timeline_commit_sync, (GESTimeline * timeline), (timeline))
KALVOR_FORWARD(GstClockTime, ges_timeline_get_duration, (GESTimeline * timeline), (timeline))
KALVOR_FORWARD(GESLayer*, ges_timeline_get_layer, (GESTimeline * timeline, guint priority),
               (timeline, priority))
KALVOR_FORWARD(GstPad*, ges_timeline_get_pad_for_track, (GESTimeline * timeline, GESTrack* track),
               (timeline, track))
KALVOR_FORWARD(gboolean, ges_timeline_element_lookup_child,
               (GESTimelineElement * self, const gchar* name, GObject** child, GParamSpec** spec),
               (self, name, child, spec))
KALVOR_FORWARD(gboolean, ges_timeline_element_set_child_property,
               (GESTimelineElement * self, const gchar* name, const GValue* value),
               (self, name, value))
KALVOR_FORWARD(gboolean, ges_timeline_element_set_duration,
               (GESTimelineElement * self, GstClockTime duration), (self, duration))
KALVOR_FORWARD(gboolean, ges_timeline_element_set_start,
               (GESTimelineElement * self, GstClockTime start), (self, start))
KALVOR_FORWARD(void, ges_track_set_restriction_caps, (GESTrack * track, const GstCaps* caps),
               (track, caps))
KALVOR_FORWARD(GESUriClipAsset*, ges_uri_clip_asset_request_sync,
               (const gchar* uri, GError** error), (uri, error))
}

#undef KALVOR_FORWARD

namespace editing {

bool InitEditing() {
    static const bool started = [] {
        media::InitGStreamer();
        if (!Library()) {
            std::fprintf(stderr, "The editing library cannot be opened: %s\n", dlerror());
            return false;
        }
        SkipRuntimePackageScan();
        return ges_init() != FALSE;
    }();
    return started;
}

}  // namespace editing
