#include "engine/SpanRender.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "engine/GraphHelpers.h"
#include "platform/media/StateWait.h"

namespace {

GstClockTime ToClock(double seconds) {
    return static_cast<GstClockTime>(std::llround(std::max(0.0, seconds) * GST_SECOND));
}

// The media type a reader's new output carries ("audio/x-raw", "video/mpeg", ...); empty
// when it does not say one.
std::string MediaTypeOf(GstPad* pad) {
    media::CapsRef caps(gst_pad_get_current_caps(pad));
    if (!caps) caps = media::CapsRef(gst_pad_query_caps(pad, nullptr));
    if (!caps || gst_caps_is_empty(caps.get()) || gst_caps_is_any(caps.get())) return {};
    return gst_structure_get_name(gst_caps_get_structure(caps.get(), 0));
}

bool IsKindOf(const char* klass, editing::GroupKind kind) {
    return kind == editing::GroupKind::Audio
               ? std::strstr(klass, "Audio") != nullptr
               : std::strstr(klass, "Video") != nullptr || std::strstr(klass, "Image") != nullptr;
}

}  // namespace

SpanRender::SpanRender()
    : pipeline_(gst_pipeline_new("korc-graph")), graph_(GST_BIN(pipeline_.get())) {}

SpanRender::SpanRender(GstBin* graph) : graph_(graph) {}

SpanRender::~SpanRender() {
    // The graph is never left running: its threads call into this object.
    if (pipeline_) media::ForceNull(pipeline_.get());
}

bool SpanRender::Build(const std::string& path, double inPoint, double duration,
                       const std::vector<editing::GroupFormat>& groups, std::string* error) {
    GstBin* graph = graph_;
    inPoint_ = std::max(0.0, inPoint);
    length_ = ToClock(duration);
    media::ElementRef source = AddFilter(graph, "filesrc", nullptr, error);
    reader_ = source ? AddFilter(graph, demuxer_ ? demuxer_ : "decodebin", nullptr, error)
                     : media::ElementRef();
    if (!reader_) return false;
    g_object_set(source.get(), "location", path.c_str(), nullptr);
    if (!gst_element_link(source.get(), reader_.get())) {
        if (error) *error = "Cannot read " + path + ".";
        return false;
    }
    // The probes hold pointers into the groups: no growing once one is there.
    groups_.reserve(groups.size());
    for (const editing::GroupFormat& format : groups)
        if (!AddGroup(format, error)) return false;
    if (demuxer_) {
        g_signal_connect(reader_.get(), "pad-added", G_CALLBACK(OnDemuxedPad), this);
        return true;
    }
    g_signal_connect(reader_.get(), "pad-added", G_CALLBACK(OnPadAdded), this);
    g_signal_connect(reader_.get(), "autoplug-select", G_CALLBACK(OnAutoplugSelect), this);
    return true;
}

bool SpanRender::AddGroup(const editing::GroupFormat& format, std::string* error) {
    media::CapsRef caps = editing::RestrictionCaps(format);
    if (!caps) {
        if (error) *error = "The output format is not complete.";
        return false;
    }
    // A timeline's sound comes interleaved, as every writer here takes it.
    if (format.kind == editing::GroupKind::Audio) {
        GstCaps* interleaved = gst_caps_copy(caps.get());
        gst_caps_set_simple(interleaved, "layout", G_TYPE_STRING, "interleaved", nullptr);
        caps = media::CapsRef(interleaved);
    }
    GstBin* graph = graph_;
    const bool video = format.kind == editing::GroupKind::Video;
    // What a timeline's source does to reach its group: convert, scale or resample, and keep
    // the group's frame rate.
    const char* chain[] = {video ? "videoconvert" : "audioconvert",
                           video ? "videoscale" : "audioresample", video ? "videorate" : nullptr};
    Group group;
    group.owner = this;
    group.kind = format.kind;
    GstElement* last = nullptr;
    for (const char* factory : chain) {
        if (!factory) continue;
        media::ElementRef element = AddFilter(graph, factory, nullptr, error);
        if (!element) return false;
        if (!group.head) group.head = element;
        if (last && !gst_element_link(last, element.get())) {
            if (error) *error = "Cannot build the converter of an output group.";
            return false;
        }
        last = element.get();
    }
    group.tail = AddFilter(graph, "capsfilter", nullptr, error);
    if (!group.tail) return false;
    g_object_set(group.tail.get(), "caps", caps.get(), nullptr);
    if (!gst_element_link(last, group.tail.get())) {
        if (error) *error = "Cannot build the converter of an output group.";
        return false;
    }
    groups_.push_back(std::move(group));
    media::PadRef out = GetPin(groups_.back().tail.get(), PadDirection::Output);
    gst_pad_add_probe(out.get(),
                      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER |
                                                   GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                      OnGroupOutput, &groups_.back(), nullptr);
    gst_pad_add_probe(out.get(), GST_PAD_PROBE_TYPE_QUERY_UPSTREAM, OnPositionQuery, this,
                      nullptr);
    return true;
}

bool SpanRender::Wants(editing::GroupKind kind) const {
    return std::any_of(groups_.begin(), groups_.end(),
                       [kind](const Group& g) { return g.kind == kind; });
}

media::PadRef SpanRender::GroupOutputPin(int group) const {
    if (group < 0 || group >= static_cast<int>(groups_.size())) return {};
    return GetPin(groups_[static_cast<size_t>(group)].tail.get(), PadDirection::Output);
}

HeldSpan SpanRender::Seek() const {
    return {reader_.get(), inPoint_, inPoint_ + double(length_) / GST_SECOND};
}

bool SpanRender::Ready(std::string* error) {
    const HeldSpan span = Seek();
    if (SeekHeld(graph_, span.reader, kSeekFlags, span.start, span.end)) return true;
    media::ForceNull(GST_ELEMENT(graph_));
    if (error) *error = "The input cannot be read from the fragment's start.";
    return false;
}

void SpanRender::OnPadAdded(GstElement*, GstPad* pad, gpointer data) {
    auto* self = static_cast<SpanRender*>(data);
    const std::string name = MediaTypeOf(pad);
    // Streams left undecoded, and a second stream of a kind, stay unlinked: the reader goes
    // on with the linked ones.
    if (!name.starts_with("audio/x-raw") && !name.starts_with("video/x-raw")) return;
    const editing::GroupKind kind =
        name.starts_with("audio/") ? editing::GroupKind::Audio : editing::GroupKind::Video;
    std::lock_guard lock(self->mutex_);
    for (Group& group : self->groups_) {
        if (group.kind != kind || group.linked) continue;
        media::PadRef head = GetPin(group.head.get(), PadDirection::Input);
        group.linked = gst_pad_link(pad, head.get()) == GST_PAD_LINK_OK;
        return;
    }
}

void SpanRender::OnDemuxedPad(GstElement*, GstPad* pad, gpointer data) {
    auto* self = static_cast<SpanRender*>(data);
    const std::string name = MediaTypeOf(pad);
    const bool audio = name.starts_with("audio/");
    if (!audio && !name.starts_with("video/") && !name.starts_with("image/")) return;
    const editing::GroupKind kind = audio ? editing::GroupKind::Audio : editing::GroupKind::Video;
    std::lock_guard lock(self->mutex_);
    // The first stream of a kind feeds its group; the others stay unlinked, and the demuxer
    // goes on with the linked ones.
    for (Group& group : self->groups_) {
        if (group.kind != kind || group.claimed) continue;
        media::ElementRef decoder(gst_element_factory_make("decodebin", nullptr));
        if (!decoder || !gst_bin_add(self->graph_, decoder.get())) return;
        g_signal_connect(decoder.get(), "pad-added", G_CALLBACK(OnPadAdded), self);
        media::PadRef input(gst_element_get_static_pad(decoder.get(), "sink"));
        if (gst_pad_link(pad, input.get()) != GST_PAD_LINK_OK) return;
        gst_element_sync_state_with_parent(decoder.get());
        group.claimed = true;
        return;
    }
}

int SpanRender::OnAutoplugSelect(GstElement*, GstPad*, GstCaps*, GstElementFactory* factory,
                                 gpointer data) {
    const auto* self = static_cast<const SpanRender*>(data);
    const char* klass = FactoryKlass(factory);
    if (!std::strstr(klass, "Decoder") && !std::strstr(klass, "Parser"))
        return kAutoplugTry;
    // A parser or decoder of a kind no group takes would only cost time.
    for (const editing::GroupKind kind : {editing::GroupKind::Audio, editing::GroupKind::Video})
        if (IsKindOf(klass, kind) && !self->Wants(kind)) return kAutoplugExpose;
    return kAutoplugTry;
}

// The group's stream as the timeline gives it: each segment made to start at 0, and the
// buffers' times moved with it (the buffers themselves are passed on).
GstPadProbeReturn SpanRender::OnGroupOutput(GstPad*, GstPadProbeInfo* info, gpointer data) {
    auto* group = static_cast<Group*>(data);
    const SpanRender* self = group->owner;
    const GstClockTime shift = ToClock(self->inPoint_);
    if (info->type & GST_PAD_PROBE_TYPE_BUFFER) {
        GstBuffer* buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
        GST_PAD_PROBE_INFO_DATA(info) = buffer;
        for (GstClockTime* time : {&GST_BUFFER_PTS(buffer), &GST_BUFFER_DTS(buffer)})
            if (GST_CLOCK_TIME_IS_VALID(*time)) *time = *time > shift ? *time - shift : 0;
        return GST_PAD_PROBE_OK;
    }
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) {
        const GstSegment* segment = nullptr;
        gst_event_parse_segment(event, &segment);
        if (segment->format != GST_FORMAT_TIME) return GST_PAD_PROBE_OK;
        GstSegment moved = *segment;
        moved.start = segment->start > shift ? segment->start - shift : 0;
        if (GST_CLOCK_TIME_IS_VALID(segment->stop))
            moved.stop = segment->stop > shift ? segment->stop - shift : 0;
        moved.time = moved.start;
        moved.position = moved.start;
        GstEvent* replacement = gst_event_new_segment(&moved);
        gst_event_set_seqnum(replacement, gst_event_get_seqnum(event));
        gst_event_unref(event);
        GST_PAD_PROBE_INFO_DATA(info) = replacement;
    }
    return GST_PAD_PROBE_OK;
}

// Positions asked of the reader come back in the input's time; the span's time starts at 0.
GstPadProbeReturn SpanRender::OnPositionQuery(GstPad*, GstPadProbeInfo* info, gpointer data) {
    if (!(info->type & GST_PAD_PROBE_TYPE_PULL)) return GST_PAD_PROBE_OK;
    GstQuery* query = GST_PAD_PROBE_INFO_QUERY(info);
    if (GST_QUERY_TYPE(query) != GST_QUERY_POSITION) return GST_PAD_PROBE_OK;
    GstFormat format = GST_FORMAT_UNDEFINED;
    gint64 position = 0;
    gst_query_parse_position(query, &format, &position);
    if (format != GST_FORMAT_TIME || position < 0) return GST_PAD_PROBE_OK;
    const auto shift = static_cast<gint64>(ToClock(static_cast<SpanRender*>(data)->inPoint_));
    gst_query_set_position(query, format, std::max<gint64>(0, position - shift));
    return GST_PAD_PROBE_OK;
}
