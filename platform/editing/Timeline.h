#pragma once

// A job's timeline on GStreamer Editing Services. A group is one output stream of a fixed
// format (a GESTrack whose restriction caps hold the size and frame rate, or the sample rate
// and channels); a track is a layer, stacked by priority; a source is a span of a media
// file placed on a layer. Every group receives the sources' streams of its kind.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/media/GstRef.h"
#include "platform/system/RegularFile.h"

typedef struct _GESTimeline GESTimeline;
typedef struct _GESUriClipAsset GESUriClipAsset;
typedef struct _GESTrack GESTrack;
typedef struct _GESLayer GESLayer;
typedef struct _GESClip GESClip;

namespace editing {

enum class GroupKind { Video, Audio };

struct GroupFormat {
    GroupKind kind = GroupKind::Audio;
    // Video groups: raw frames of this size and rate.
    int32_t width = 0;
    int32_t height = 0;
    int32_t framesPerSecond = 0;
    // Audio groups: 16-bit PCM at this rate and channel count.
    int32_t sampleRate = 0;
    int32_t channels = 0;
};

// Times in seconds: start on the timeline, inPoint in the media, duration on both.
struct SourceSpan {
    std::string path;  // a checked file's Location(), held open while the timeline lives
    double start = 0.0;
    double inPoint = 0.0;
    double duration = 0.0;
    // The file's pictures carry no tag that turns them: the source's turning stage, which
    // copies every frame even when it turns nothing, passes the frames on instead.
    bool upright = false;
};

// Lets the frames of the clip's video sources through their turning stage as they are.
void PassTurnThrough(GESClip* clip);

class Timeline {
public:
    Timeline();
    ~Timeline();
    Timeline(const Timeline&) = delete;
    Timeline& operator=(const Timeline&) = delete;

    // Each returns -1 (and error) on failure: a format that is not complete, or one the
    // editing library refuses.
    int AddGroup(const GroupFormat& format, std::string* error);
    // A new layer below the existing ones; its index.
    int AddTrack(std::string* error);
    // Places the source on the track. The file is read now to learn its streams.
    bool AddSource(int track, const SourceSpan& span, std::string* error);
    // The clip asset of a source's file (a reference the caller drops); nullptr and error
    // when the file cannot be read.
    GESUriClipAsset* SourceAsset(const std::string& path, std::string* error);
    // Keeps a checked file open as long as the timeline, for a source placed by its Location().
    void Hold(RegularFile file) { held_.push_back(std::move(file)); }

    int GroupCount() const { return static_cast<int>(groups_.size()); }
    GESTrack* Group(int index) const;
    // The layer of a track from AddTrack, kept: the timeline's own list is rebuilt and sorted
    // on every look, which a job of thousands of tracks cannot afford per source.
    GESLayer* Track(int index) const;
    // The timeline's length in seconds: the end of its last source.
    double Length() const;
    // The timeline as an element, once a group or track was added; it gets one output pad per
    // group.
    GstElement* Element() const;
    GESTimeline* Get() const { return timeline_; }

private:
    bool Make();

    GESTimeline* timeline_ = nullptr;  // owned: the reference sunk at creation
    std::vector<GESTrack*> groups_;    // owned by the timeline
    std::vector<GESLayer*> tracks_;    // owned by the timeline
    std::vector<RegularFile> held_;
};

// The caps a group's stream is restricted to; nullptr for a format that is not complete.
media::CapsRef RestrictionCaps(const GroupFormat& format);

}  // namespace editing
