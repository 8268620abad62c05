#pragma once

// One span of one file as the groups a timeline holding only that source would give, without
// the editing library: the file decoded in a plain graph from the span's start, each group's
// stream converted to the group's format (raw video at its size and rate, 16-bit PCM at its
// rate and channels), running from 0 for the span's length; a stream that ends sooner ends
// there, as on a timeline, and the job says so. A job that needs no timeline feature (no
// logo, one span) renders through this; effects and subtitles sit in the back end either way.

#include <gst/gst.h>

#include <mutex>
#include <string>
#include <vector>

#include "engine/GraphHelpers.h"
#include "engine/HeldSeek.h"
#include "platform/editing/GroupRender.h"
#include "platform/editing/Timeline.h"
#include "platform/media/GstRef.h"

class SpanRender : public editing::GroupRender {
public:
    // A graph of its own.
    SpanRender();
    // Built into a graph that another owns (and brings down before this goes).
    explicit SpanRender(GstBin* graph);
    ~SpanRender() override;
    SpanRender(const SpanRender&) = delete;
    SpanRender& operator=(const SpanRender&) = delete;

    // The input's container is known: its demuxer reads it, and each stream a group takes gets
    // a decoding bin of its own on the demuxer's thread. One bin around the whole file would
    // hand every buffer of every stream to its queue's thread. Call before Build().
    void DemuxWith(const char* factory) { demuxer_ = factory; }

    // The span starts at inPoint seconds of the file and lasts duration seconds; one group
    // per format, in order. Streams of a kind no group wants are not decoded.
    bool Build(const std::string& path, double inPoint, double duration,
               const std::vector<editing::GroupFormat>& groups, std::string* error);

    GstElement* Graph() const override { return GST_ELEMENT(graph_); }
    media::PadRef GroupOutputPin(int group) const override;
    // Brings the graph to PAUSED at the span's start; nothing from before it reaches the
    // back end.
    bool Ready(std::string* error) override;
    // How a span is sought: to the exact time, not the key frame before it.
    static constexpr GstSeekFlags kSeekFlags = kExactSeek;
    // The reader to seek and where, for a graph that readies several spans at once.
    HeldSpan Seek() const;

private:
    struct Group {
        SpanRender* owner = nullptr;
        editing::GroupKind kind = editing::GroupKind::Audio;
        media::ElementRef head;
        media::ElementRef tail;
        bool linked = false;   // guarded by mutex_
        bool claimed = false;  // a demuxed stream's decoding bin feeds it; guarded by mutex_
    };

    bool AddGroup(const editing::GroupFormat& format, std::string* error);
    bool Wants(editing::GroupKind kind) const;
    static void OnPadAdded(GstElement*, GstPad* pad, gpointer self);
    static void OnDemuxedPad(GstElement*, GstPad* pad, gpointer self);
    static int OnAutoplugSelect(GstElement*, GstPad*, GstCaps* caps, GstElementFactory* factory,
                                gpointer self);
    static GstPadProbeReturn OnGroupOutput(GstPad* pad, GstPadProbeInfo* info, gpointer group);
    static GstPadProbeReturn OnPositionQuery(GstPad*, GstPadProbeInfo* info, gpointer self);

    media::ElementRef pipeline_;  // when the graph is its own
    GstBin* graph_ = nullptr;
    const char* demuxer_ = nullptr;
    media::ElementRef reader_;  // the decoding bin, or the demuxer
    std::vector<Group> groups_;
    double inPoint_ = 0.0;
    GstClockTime length_ = 0;
    std::mutex mutex_;  // the reader's streaming thread links the groups
};
