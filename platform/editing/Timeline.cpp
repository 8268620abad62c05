#include "platform/editing/Timeline.h"

#include <ges/ges.h>
#include <gst/base/gstbasetransform.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <mutex>
#include <string_view>

#include "platform/editing/EditingInit.h"
#include "platform/media/ErrorText.h"

namespace editing {
namespace {

GstClockTime ToClock(double seconds) {
    if (!std::isfinite(seconds) || seconds <= 0.0) return 0;
    return static_cast<GstClockTime>(std::llround(seconds * GST_SECOND));
}

// The editing library keeps what it read of a file, by its URI, as long as the process runs.
// A checked file's name is its descriptor's, and a later file of this process may get the
// same number: each file gets a spelling of the URI of its own, letters of the name
// percent-escaped by the bits of a number, which the file source reads back as the same name.
struct FileIdentity {
    dev_t device;
    ino_t inode;
    off_t size;
    int64_t changed;  // nanoseconds
    bool operator==(const FileIdentity&) const = default;
};

std::string DescriptorUri(const std::string& path) {
    static std::mutex mutex;
    static std::map<std::string, FileIdentity> spelled;  // every URI given out, and its file
    constexpr std::string_view kPrefix = "/proc/self/fd/";
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return {};
    const FileIdentity file{info.st_dev, info.st_ino, info.st_size,
                            int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
    const std::string_view number = std::string_view(path).substr(kPrefix.size());
    std::lock_guard lock(mutex);
    for (unsigned spelling = 0; spelling < 1024; ++spelling) {
        std::string uri = "file://";
        unsigned bit = 0;
        for (const char c : kPrefix) {
            const bool letter = c >= 'a' && c <= 'z';
            if (letter && (spelling >> bit++) & 1) {
                char escaped[4];
                std::snprintf(escaped, sizeof escaped, "%%%02X", unsigned(c));
                uri += escaped;
            } else {
                uri += c;
            }
        }
        uri += number;
        const auto [at, added] = spelled.try_emplace(uri, file);
        if (added || at->second == file) return uri;
    }
    return {};
}

std::string TakeError(GError* error, const char* fallback) {
    std::string text = error ? media::ErrorText(error) : std::string();
    if (error) g_error_free(error);
    return text.empty() ? fallback : text;
}

}  // namespace

media::CapsRef RestrictionCaps(const GroupFormat& format) {
    if (format.kind == GroupKind::Video) {
        if (format.width <= 0 || format.height <= 0 || format.framesPerSecond <= 0) return {};
        return media::CapsRef(gst_caps_new_simple(
            "video/x-raw", "width", G_TYPE_INT, format.width, "height", G_TYPE_INT, format.height,
            "framerate", GST_TYPE_FRACTION, format.framesPerSecond, 1, nullptr));
    }
    if (format.sampleRate <= 0 || format.channels <= 0) return {};
    return media::CapsRef(gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, "S16LE",
                                              "rate", G_TYPE_INT, format.sampleRate, "channels",
                                              G_TYPE_INT, format.channels, nullptr));
}

Timeline::Timeline() = default;

bool Timeline::Make() {
    // The editing library starts with the first group or track: a job that places nothing
    // on a timeline never starts it.
    if (!timeline_ && InitEditing()) {
        timeline_ = ges_timeline_new();
        if (timeline_) gst_object_ref_sink(timeline_);
    }
    return timeline_ != nullptr;
}

Timeline::~Timeline() {
    if (timeline_) gst_object_unref(timeline_);
}

int Timeline::AddGroup(const GroupFormat& format, std::string* error) {
    auto fail = [&](const std::string& text) {
        if (error) *error = text;
        return -1;
    };
    if (!Make()) return fail("The editing library cannot be started.");
    media::CapsRef caps = RestrictionCaps(format);
    if (!caps) return fail("The output format of the timeline is not complete.");
    GESTrack* track = format.kind == GroupKind::Video ? GES_TRACK(ges_video_track_new())
                                                      : GES_TRACK(ges_audio_track_new());
    // The job's format replaces the new track's default one (1280x720 at 30/1 for video).
    ges_track_set_restriction_caps(track, caps.get());
    if (!ges_timeline_add_track(timeline_, track))
        return fail("Cannot add a group to the timeline.");
    groups_.push_back(track);
    return GroupCount() - 1;
}

int Timeline::AddTrack(std::string* error) {
    if (!Make()) {
        if (error) *error = "The editing library cannot be started.";
        return -1;
    }
    GESLayer* layer = ges_timeline_append_layer(timeline_);
    if (!layer) {
        if (error) *error = "Cannot add a track to the timeline.";
        return -1;
    }
    tracks_.push_back(layer);
    return static_cast<int>(tracks_.size()) - 1;
}

bool Timeline::AddSource(int track, const SourceSpan& span, std::string* error) {
    auto fail = [&](const std::string& text) {
        if (error) *error = text;
        return false;
    };
    GESLayer* layer = Track(track);
    if (!layer) return fail("No such track.");
    if (!(span.duration > 0.0)) return fail("A source of no length cannot be placed.");
    GESUriClipAsset* asset = SourceAsset(span.path, error);
    if (!asset) return false;
    GError* failure = nullptr;
    GESClip* clip = ges_layer_add_asset_full(layer, GES_ASSET(asset), ToClock(span.start),
                                             ToClock(span.inPoint), ToClock(span.duration),
                                             GES_TRACK_TYPE_UNKNOWN, &failure);
    gst_object_unref(asset);
    if (!clip) return fail(TakeError(failure, "The source cannot be placed on the timeline."));
    if (span.upright) PassTurnThrough(clip);
    return true;
}

GESUriClipAsset* Timeline::SourceAsset(const std::string& path, std::string* error) {
    GError* failure = nullptr;
    GESUriClipAsset* asset = nullptr;
    const char* fallback = "The source's path is not valid.";
    std::string uri;
    if (path.starts_with("/proc/self/fd/")) {
        uri = DescriptorUri(path);
    } else if (gchar* plain = gst_filename_to_uri(path.c_str(), &failure)) {
        uri = plain;
        g_free(plain);
    }
    if (!uri.empty()) {
        asset = ges_uri_clip_asset_request_sync(uri.c_str(), &failure);
        fallback = "The source cannot be read.";
    }
    std::string text = asset && !failure ? std::string() : TakeError(failure, fallback);
    if (!asset && error) *error = text;
    return asset;
}

void PassTurnThrough(GESClip* clip) {
    GList* children = ges_container_get_children(GES_CONTAINER(clip), FALSE);
    for (GList* item = children; item; item = item->next) {
        if (!GES_IS_VIDEO_SOURCE(item->data)) continue;
        GObject* stage = nullptr;
        GParamSpec* spec = nullptr;
        // The stage is the child that "video-direction" belongs to.
        if (!ges_timeline_element_lookup_child(GES_TIMELINE_ELEMENT(item->data),
                                               "video-direction", &stage, &spec))
            continue;
        if (GST_IS_BASE_TRANSFORM(stage))
            gst_base_transform_set_passthrough(GST_BASE_TRANSFORM(stage), TRUE);
        g_object_unref(stage);
        g_param_spec_unref(spec);
    }
    g_list_free_full(children, gst_object_unref);
}

GESTrack* Timeline::Group(int index) const {
    if (index < 0 || index >= GroupCount()) return nullptr;
    return groups_[static_cast<size_t>(index)];
}

GESLayer* Timeline::Track(int index) const {
    if (index < 0 || index >= static_cast<int>(tracks_.size())) return nullptr;
    return tracks_[static_cast<size_t>(index)];
}

double Timeline::Length() const {
    return timeline_ ? double(ges_timeline_get_duration(timeline_)) / GST_SECOND : 0.0;
}

GstElement* Timeline::Element() const { return timeline_ ? GST_ELEMENT(timeline_) : nullptr; }

}  // namespace editing
