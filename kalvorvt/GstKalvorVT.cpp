/**
 * kalvorvt: the player's video effects and subtitles on packed 32-bit RGB.
 *
 *   gst-launch-1.0 videotestsrc ! videoconvert ! kalvorvt hue=40 invert=1 ! videoconvert !
 * autovideosink
 *
 * Properties are written from any thread under the object lock; a write that changes the
 * picture rebuilds the effect tables there and then. Every frame takes a snapshot under
 * the lock before it is processed, so a value holds from the next frame on and no lock is
 * held while pixels are worked on. With every effect neutral and no subtitle cue on the
 * frame, buffers pass through untouched. The font face, size, bold, italic and underline
 * settings come into use at "apply" (and when streaming starts, so that values given on a
 * command line hold). Subtitles need a Qt GUI application in the process; elsewhere (as in
 * gst-launch-1.0) they are skipped with one warning.
 */

#include "kalvorvt/GstKalvorVT.h"

#include <gst/video/video.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>

#include "common/EffectParams.h"
#include "kalvorvt/EffectProcessor.h"
#include "kalvorvt/SubtitleClock.h"
#include "kalvorvt/SubtitleRenderer.h"
#include "kalvorvt/SubtitleTrack.h"

GST_DEBUG_CATEGORY_STATIC(kalvorvt_debug);
#define GST_CAT_DEFAULT kalvorvt_debug

namespace {

// Everything a frame is drawn from; guarded by the object lock.
struct Values {
    EffectParams params = DefaultEffectParams();
    SubtitleStyle applied;  // face, size, bold, italic, underline as of the last apply
    double position = 0.0;
    double frameRate = 0.0;
    std::string subtitleFile;
    int32_t subtitleMode = 2;
    std::shared_ptr<const SubtitleTrack> track;
    SubtitleClock clock;
    int width = 0;
    int height = 0;
    std::shared_ptr<const EffectProcessor> processor = EffectProcessor::Build(params, 1, 0, 0);
};

// The streaming thread's copy for the frame in hand, and its working memory.
struct Frame {
    std::shared_ptr<const EffectProcessor> processor;
    std::shared_ptr<const SubtitleTrack> track;
    int cue = -1;
    SubtitleStyle style;
    EffectProcessor::Scratch scratch;
    SubtitleRenderer renderer;
    bool warnedNoGui = false;
};

// Property ids: the table's rows first (id = row + 1), then the element's own.
enum ExtraProperty : guint {
    kPropPosition = 1000,
    kPropFrameRate,
    kPropSubtitleFile,
    kPropSubtitleMode,
};

void TakeStyle(Values& values) {
    const EffectParams& p = values.params;
    values.applied.face.assign(p.fontFace, strnlen(p.fontFace, sizeof p.fontFace));
    values.applied.size = p.fontSize;
    values.applied.bold = p.bold;
    values.applied.italic = p.italic;
    values.applied.underline = p.underline;
}

SubtitleStyle CurrentStyle(const Values& values) {
    const EffectParams& p = values.params;
    SubtitleStyle style = values.applied;
    style.bordering = p.bordering;
    style.antialiasing = p.antialiasing;
    style.red = p.textRed;
    style.green = p.textGreen;
    style.blue = p.textBlue;
    style.textTransparency = p.textTransparency;
    style.barOpacity = p.barOpacity;
    style.leftBound = p.leftBound;
    style.rightBound = p.rightBound;
    style.vertical = p.textVertical;
    style.alignment = p.alignment;
    return style;
}

// Tables and kernels are rebuilt here, on the writer's thread, never per frame.
void Rebuild(Values& values) {
    values.processor = EffectProcessor::Build(values.params, values.params.filterMode, values.width,
                                              values.height);
}

// Picture groups (1..13) and the filter mode change the effect tables; subtitle ones do not.
bool ChangesPicture(const EffectField& field) {
    return field.type == EffectFieldType::Int32 &&
           (field.code == 0 || field.code <= static_cast<int32_t>(EffectCode::HueSaturation));
}

// A face name that does not fit is cut on a UTF-8 character boundary.
void SetFontFace(EffectParams& params, const char* text) {
    size_t length = text ? std::strlen(text) : 0;
    if (length >= sizeof params.fontFace) {
        length = sizeof params.fontFace - 1;
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    }
    std::memset(params.fontFace, 0, sizeof params.fontFace);
    if (length > 0) std::memcpy(params.fontFace, text, length);
}

const EffectField* FieldOfProperty(guint id) {
    const auto fields = EffectFields();
    if (id == 0 || id > fields.size()) return nullptr;
    return &fields[id - 1];
}

}  // namespace

struct _GstKalvorVT {
    GstVideoFilter parent;
    Values* values;  // guarded by the object lock
    Frame* frame;    // the streaming thread's alone
};

G_DEFINE_TYPE(GstKalvorVT, gst_kalvorvt, GST_TYPE_VIDEO_FILTER)

// The element's virtual methods, defined below in the order of a GStreamer element.
static void gst_kalvorvt_finalize(GObject* object);
static void gst_kalvorvt_set_property(GObject* object, guint id, const GValue* value,
                                      GParamSpec* spec);
static void gst_kalvorvt_get_property(GObject* object, guint id, GValue* value, GParamSpec* spec);
static void gst_kalvorvt_apply(GstKalvorVT* self);
static gboolean gst_kalvorvt_start(GstBaseTransform* transform);
static gboolean gst_kalvorvt_set_info(GstVideoFilter* filter, GstCaps*, GstVideoInfo* in_info,
                                      GstCaps*, GstVideoInfo*);
static gboolean gst_kalvorvt_sink_event(GstBaseTransform* transform, GstEvent* event);
static void gst_kalvorvt_before_transform(GstBaseTransform* transform, GstBuffer* buffer);
static GstFlowReturn gst_kalvorvt_transform_frame_ip(GstVideoFilter* filter, GstVideoFrame* video);

// What each property does, as gst-inspect-1.0 shows it to someone writing a pipeline.
constexpr std::pair<std::string_view, const char*> kBlurbs[] = {
    {"hue",
     "Turns every colour around the colour wheel by this many degrees (-180 to 180; 0 "
     "leaves colours alone)"},
    {"saturation",
     "Colourfulness change in percent (-100 gives grey, 0 leaves it, 200 makes it "
     "three times as strong)"},
    {"intensity",
     "Overall level change in percent (-100 gives black, 0 leaves it, 150 makes the "
     "picture 2.5 times as bright)"},
    {"zoom-left",
     "Left edge of the zoomed area, in pixels of the picture it was chosen on, whose "
     "last column is zoom-extra1 (0 to 65535)"},
    {"zoom-top",
     "Top edge of the zoomed area, in pixels of the picture it was chosen on, whose "
     "last row is zoom-extra2 (0 to 65535)"},
    {"zoom-width",
     "Width of the zoomed area in those pixels (-1 to 65535); 1 by 1, or the whole "
     "picture, means no zoom"},
    {"zoom-height",
     "Height of the zoomed area in those pixels (-1 to 65535); 1 by 1, or the whole "
     "picture, means no zoom"},
    {"zoom-active", "1 scales the zoomed area up to the whole frame, 0 shows the whole picture"},
    {"zoom-extra1",
     "Last column (width - 1) of the picture the zoomed area was chosen on; the "
     "area is rescaled to frames of another size (-1 to 65535)"},
    {"zoom-extra2",
     "Last row (height - 1) of the picture the zoomed area was chosen on; the area "
     "is rescaled to frames of another size (-1 to 65535)"},
    {"grayscale", "1 shows the picture in shades of grey, 0 in colour"},
    {"invert", "1 shows the negative of the picture, after every other colour change; 0 leaves it"},
    {"flip-vertical", "1 turns the picture upside down, 0 leaves it"},
    {"flip-horizontal", "1 mirrors the picture left to right, 0 leaves it"},
    {"balance-red", "Pulls the red of every pixel toward full (0 leaves it, 255 makes it full)"},
    {"balance-green",
     "Pulls the green of every pixel toward full (0 leaves it, 255 makes it full)"},
    {"balance-blue", "Pulls the blue of every pixel toward full (0 leaves it, 255 makes it full)"},
    {"correction1",
     "Local contrast: side in pixels of the square each pixel's surroundings are "
     "averaged over (3 to 11, an even side grows by one; 0 and 1 turn it off)"},
    {"correction2",
     "Local contrast: percent by which each pixel is pushed away from the average "
     "of its surroundings (0 off to 200)"},
    {"contrast",
     "Contrast in sixteenths around mid-grey (0 gives flat grey, 16 leaves the "
     "picture, 32 doubles every difference)"},
    {"brightness",
     "Added to every colour value (-256 gives black, 0 leaves the picture, 256 "
     "white)"},
    {"sharpen",
     "Sharpens edges by adding sharpen/16 times the detail a small blur takes away "
     "(0 off to 64)"},
    {"blur", "0 no blur, 1 a soft 3x3 blur, 2 a stronger 5x5 blur"},
    {"emboss",
     "1 shows the picture as grey relief, in place of blur, sharpen, smooth and local "
     "contrast; 0 off"},
    {"smooth",
     "Smooths away small differences between neighbouring pixels and keeps edges; "
     "higher values smooth larger differences (0 off to 4000)"},
    {"filter-mode",
     "0 turns every picture effect off (subtitles still show); any other value "
     "leaves them on"},
    {"time-shift", "Seconds added to every subtitle time, after the multiplier (-6000 to 6000)"},
    {"time-multiplier",
     "Every subtitle time is multiplied by this before the shift (0.01 to 10; "
     "1 leaves the times alone)"},
    {"text-transparency", "Transparency of the subtitle text in percent (0 opaque, 100 invisible)"},
    {"font-face", "Font family of the subtitles; comes into use at the apply signal"},
    {"font-size",
     "Subtitle size in points on a 360-line picture, scaled with the frame height "
     "(1 to 100); comes into use at the apply signal"},
    {"bold", "1 draws the subtitles bold, 0 regular; comes into use at the apply signal"},
    {"italic", "1 draws the subtitles italic, 0 upright; comes into use at the apply signal"},
    {"underline", "1 underlines the subtitles, 0 not; comes into use at the apply signal"},
    {"bordering", "1 outlines the subtitle letters in black, 0 draws them without an outline"},
    {"antialiasing", "1 draws subtitle letters with smoothed edges, 0 with hard ones"},
    {"left-bound",
     "Room kept free left of the subtitles, in thousandths of the frame width (0 to "
     "1000)"},
    {"right-bound",
     "Room kept free right of the subtitles, in thousandths of the frame width (0 "
     "to 1000)"},
    {"text-vertical",
     "Height of the subtitles' bottom above the frame's bottom edge, in "
     "thousandths of the frame height (0 to 1000)"},
    {"text-red", "Red of the subtitle text colour (0 to 255)"},
    {"text-green", "Green of the subtitle text colour (0 to 255)"},
    {"text-blue", "Blue of the subtitle text colour (0 to 255)"},
    {"alignment", "Subtitle alignment between the bounds: 0 left, 1 centre, 2 right"},
    {"bar-opacity",
     "Opacity of the dark bar behind the subtitles in percent (0 none, 100 solid "
     "black)"},
};

static const char* Blurb(std::string_view property) {
    for (const auto& [name, blurb] : kBlurbs)
        if (name == property) return blurb;
    return nullptr;
}

static GParamSpec* FieldSpec(const EffectField& field) {
    constexpr auto flags = static_cast<GParamFlags>(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS |
                                                    GST_PARAM_MUTABLE_PLAYING);
    const char* name = field.property.data();  // table literals are zero-terminated
    const char* nick = field.name.data();
    const char* blurb = Blurb(field.property);
    if (!blurb) return nullptr;  // every property says what it does
    switch (field.type) {
        case EffectFieldType::Int32:
            return g_param_spec_int(name, nick, blurb, static_cast<gint>(field.minimum),
                                    static_cast<gint>(field.maximum),
                                    static_cast<gint>(field.startValue), flags);
        case EffectFieldType::Double:
            return g_param_spec_double(name, nick, blurb, field.minimum, field.maximum,
                                       field.startValue, flags);
        case EffectFieldType::Text:
            return g_param_spec_string(name, nick, blurb, "Arial", flags);
        case EffectFieldType::Handle:
            break;
    }
    return nullptr;
}

static void gst_kalvorvt_class_init(GstKalvorVTClass* klass) {
    auto* object_class = G_OBJECT_CLASS(klass);
    auto* element_class = GST_ELEMENT_CLASS(klass);
    auto* transform_class = GST_BASE_TRANSFORM_CLASS(klass);
    auto* filter_class = GST_VIDEO_FILTER_CLASS(klass);

    object_class->set_property = gst_kalvorvt_set_property;
    object_class->get_property = gst_kalvorvt_get_property;
    object_class->finalize = gst_kalvorvt_finalize;

    const auto fields = EffectFields();
    for (size_t row = 0; row < fields.size(); ++row) {
        if (fields[row].property.empty()) continue;
        if (GParamSpec* spec = FieldSpec(fields[row]))
            g_object_class_install_property(object_class, guint(row + 1), spec);
    }
    constexpr auto flags = static_cast<GParamFlags>(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS |
                                                    GST_PARAM_MUTABLE_PLAYING);
    g_object_class_install_property(
        object_class, kPropPosition,
        g_param_spec_double("position", "Position",
                            "The player's media clock in seconds, for subtitle times; frames keep "
                            "their own times, a jump re-anchors the two clocks",
                            -G_MAXDOUBLE, G_MAXDOUBLE, 0.0, flags));
    g_object_class_install_property(
        object_class, kPropFrameRate,
        g_param_spec_double("frame-rate", "Frame rate",
                            "Frames per second of the source, for subtitles timed in frames "
                            "(MicroDVD); 0 counts 25 frames a second",
                            0.0, G_MAXDOUBLE, 0.0, flags));
    g_object_class_install_property(
        object_class, kPropSubtitleFile,
        g_param_spec_string("subtitle-file", "Subtitle file",
                            "SRT or MicroDVD subtitle file to show; one that holds cues sets "
                            "subtitle-mode to 0",
                            nullptr, flags));
    g_object_class_install_property(
        object_class, kPropSubtitleMode,
        g_param_spec_int("subtitle-mode", "Subtitle mode", "0 shows the subtitles, 2 hides them", 0,
                         2, 2, flags));

    g_signal_new_class_handler("apply", G_TYPE_FROM_CLASS(klass),
                               static_cast<GSignalFlags>(G_SIGNAL_RUN_LAST | G_SIGNAL_ACTION),
                               G_CALLBACK(gst_kalvorvt_apply), nullptr, nullptr, nullptr,
                               G_TYPE_NONE, 0);

    static GstStaticPadTemplate sink_template = GST_STATIC_PAD_TEMPLATE(
        "sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS(GST_VIDEO_CAPS_MAKE("BGRx")));
    static GstStaticPadTemplate src_template = GST_STATIC_PAD_TEMPLATE(
        "src", GST_PAD_SRC, GST_PAD_ALWAYS, GST_STATIC_CAPS(GST_VIDEO_CAPS_MAKE("BGRx")));
    gst_element_class_add_static_pad_template(element_class, &sink_template);
    gst_element_class_add_static_pad_template(element_class, &src_template);
    gst_element_class_set_static_metadata(element_class, "KalvorVT", "Filter/Effect/Video",
                                          "Video effects, zoom and subtitles of the Kalvor player",
                                          "Kalvor");

    transform_class->start = gst_kalvorvt_start;
    transform_class->sink_event = gst_kalvorvt_sink_event;
    transform_class->before_transform = gst_kalvorvt_before_transform;
    // Passthrough buffers are not looked at: nothing would be drawn on them.
    transform_class->transform_ip_on_passthrough = FALSE;
    filter_class->set_info = gst_kalvorvt_set_info;
    filter_class->transform_frame_ip = gst_kalvorvt_transform_frame_ip;
}

static void gst_kalvorvt_init(GstKalvorVT* self) {
    self->values = new Values;
    self->frame = new Frame;
    TakeStyle(*self->values);
    gst_base_transform_set_passthrough(GST_BASE_TRANSFORM(self), TRUE);
}

static void gst_kalvorvt_finalize(GObject* object) {
    GstKalvorVT* self = GST_KALVORVT(object);
    delete self->values;
    delete self->frame;
    G_OBJECT_CLASS(gst_kalvorvt_parent_class)->finalize(object);
}

static void gst_kalvorvt_set_property(GObject* object, guint id, const GValue* value,
                                      GParamSpec* spec) {
    GstKalvorVT* self = GST_KALVORVT(object);
    // Read and parsed before the lock is taken: frames keep flowing meanwhile.
    std::shared_ptr<const SubtitleTrack> track;
    if (id == kPropSubtitleFile) {
        const char* path = g_value_get_string(value);
        if (path && *path) track = SubtitleTrack::Load(path);
        if (path && *path && !track) GST_WARNING_OBJECT(self, "no subtitles in \"%s\"", path);
    }
    GST_OBJECT_LOCK(self);
    Values& values = *self->values;
    if (const EffectField* field = FieldOfProperty(id)) {
        switch (field->type) {
            case EffectFieldType::Int32:
                SetEffectInt(values.params, *field, g_value_get_int(value));
                if (ChangesPicture(*field)) Rebuild(values);
                break;
            case EffectFieldType::Double:
                SetEffectDouble(values.params, *field, g_value_get_double(value));
                break;
            case EffectFieldType::Text:
                SetFontFace(values.params, g_value_get_string(value));
                break;
            case EffectFieldType::Handle:
                break;
        }
    } else {
        switch (id) {
            case kPropPosition:
                values.position = g_value_get_double(value);
                values.clock.SetPosition(values.position);
                break;
            case kPropFrameRate:
                values.frameRate = g_value_get_double(value);
                break;
            case kPropSubtitleFile: {
                const char* path = g_value_get_string(value);
                values.subtitleFile = path ? path : "";
                values.track = std::move(track);
                if (values.track) values.subtitleMode = 0;
                break;
            }
            case kPropSubtitleMode:
                values.subtitleMode = g_value_get_int(value);
                break;
            default:
                G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, spec);
                break;
        }
    }
    GST_OBJECT_UNLOCK(self);
}

static void gst_kalvorvt_get_property(GObject* object, guint id, GValue* value, GParamSpec* spec) {
    GstKalvorVT* self = GST_KALVORVT(object);
    GST_OBJECT_LOCK(self);
    const Values& values = *self->values;
    if (const EffectField* field = FieldOfProperty(id)) {
        switch (field->type) {
            case EffectFieldType::Int32:
                g_value_set_int(value, EffectInt(values.params, *field));
                break;
            case EffectFieldType::Double:
                g_value_set_double(value, EffectDouble(values.params, *field));
                break;
            case EffectFieldType::Text:
                g_value_set_string(value, values.params.fontFace);
                break;
            case EffectFieldType::Handle:
                break;
        }
    } else {
        switch (id) {
            case kPropPosition:
                g_value_set_double(value, values.position);
                break;
            case kPropFrameRate:
                g_value_set_double(value, values.frameRate);
                break;
            case kPropSubtitleFile:
                g_value_set_string(value, values.subtitleFile.c_str());
                break;
            case kPropSubtitleMode:
                g_value_set_int(value, values.subtitleMode);
                break;
            default:
                G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, spec);
                break;
        }
    }
    GST_OBJECT_UNLOCK(self);
}

static void gst_kalvorvt_apply(GstKalvorVT* self) {
    GST_OBJECT_LOCK(self);
    TakeStyle(*self->values);
    GST_OBJECT_UNLOCK(self);
}

static gboolean gst_kalvorvt_start(GstBaseTransform* transform) {
    gst_kalvorvt_apply(GST_KALVORVT(transform));
    return TRUE;
}

static gboolean gst_kalvorvt_set_info(GstVideoFilter* filter, GstCaps*, GstVideoInfo* in_info,
                                      GstCaps*, GstVideoInfo*) {
    GstKalvorVT* self = GST_KALVORVT(filter);
    GST_OBJECT_LOCK(self);
    self->values->width = GST_VIDEO_INFO_WIDTH(in_info);
    self->values->height = GST_VIDEO_INFO_HEIGHT(in_info);
    Rebuild(*self->values);
    GST_OBJECT_UNLOCK(self);
    return TRUE;
}

static gboolean gst_kalvorvt_sink_event(GstBaseTransform* transform, GstEvent* event) {
    if (GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP) {
        GST_OBJECT_LOCK(transform);
        GST_KALVORVT(transform)->values->clock.Flush();
        GST_OBJECT_UNLOCK(transform);
    }
    return GST_BASE_TRANSFORM_CLASS(gst_kalvorvt_parent_class)->sink_event(transform, event);
}

// Takes the frame's snapshot and decides whether the buffer may pass untouched.
static void gst_kalvorvt_before_transform(GstBaseTransform* transform, GstBuffer* buffer) {
    GstKalvorVT* self = GST_KALVORVT(transform);
    Frame& frame = *self->frame;
    double stream = NAN;
    const GstClockTime pts = GST_BUFFER_PTS(buffer);
    if (GST_CLOCK_TIME_IS_VALID(pts) && transform->segment.format == GST_FORMAT_TIME) {
        const guint64 time = gst_segment_to_stream_time(&transform->segment, GST_FORMAT_TIME, pts);
        if (GST_CLOCK_TIME_IS_VALID(time)) stream = double(time) / GST_SECOND;
    }

    GST_OBJECT_LOCK(self);
    Values& values = *self->values;
    const double media = values.clock.Frame(stream);
    frame.processor = values.processor;
    frame.track = values.subtitleMode == 0 ? values.track : nullptr;
    frame.cue = frame.track ? frame.track->CueAt(media, values.params.timeShift,
                                                 values.params.timeMultiplier, values.frameRate)
                            : -1;
    if (frame.cue >= 0) frame.style = CurrentStyle(values);
    GST_OBJECT_UNLOCK(self);

    if (frame.cue >= 0 && !SubtitleRenderer::Available()) {
        if (!frame.warnedNoGui)
            GST_ELEMENT_WARNING(self, LIBRARY, INIT,
                                ("Subtitles are not drawn: this program has no Qt application."),
                                (nullptr));
        frame.warnedNoGui = true;
        frame.cue = -1;
    }
    gst_base_transform_set_passthrough(transform, frame.processor->Neutral() && frame.cue < 0);
}

static GstFlowReturn gst_kalvorvt_transform_frame_ip(GstVideoFilter* filter, GstVideoFrame* video) {
    Frame& frame = *GST_KALVORVT(filter)->frame;
    auto* data = static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(video, 0));
    const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(video, 0);
    const int width = GST_VIDEO_FRAME_WIDTH(video);
    const int height = GST_VIDEO_FRAME_HEIGHT(video);
    frame.processor->Process(data, width, height, stride, frame.scratch);
    if (frame.cue >= 0 && size_t(frame.cue) < frame.track->Cues().size())
        frame.renderer.Draw(data, width, height, stride, frame.track->Cues()[frame.cue].text,
                            frame.style);
    return GST_FLOW_OK;
}

gboolean RegisterKalvorVT(GstPlugin* plugin) {
    GST_DEBUG_CATEGORY_INIT(kalvorvt_debug, "kalvorvt", 0, "Kalvor video effects");
    return gst_element_register(plugin, kKalvorVTFactory, GST_RANK_NONE, GST_TYPE_KALVORVT);
}

bool RegisterKalvorVTStatic() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (gst_registry_check_feature_version(gst_registry_get(), kKalvorVTFactory,
                                               GST_VERSION_MAJOR, GST_VERSION_MINOR, 0))
            return;  // the loadable plugin is on the plugin path already
        gst_plugin_register_static(GST_VERSION_MAJOR, GST_VERSION_MINOR, "kalvorvt",
                                   "Video effects and subtitles of the Kalvor player",
                                   RegisterKalvorVT, "0.1.0", "unknown", "kalvorvt", "Kalvor",
                                   "Kalvor");
    });
    GstElementFactory* factory = gst_element_factory_find(kKalvorVTFactory);
    if (!factory) return false;
    gst_object_unref(factory);
    return true;
}
