/**
 * kalvorvt: the player's video effects and subtitles on packed 32-bit RGB.
 *
 *   gst-launch-1.0 videotestsrc ! videoconvert ! kalvorvt hue=40 invert=1 ! videoconvert !
 * autovideosink
 *
 * Properties are written from any thread under the object lock; every frame works on a
 * copy taken under the lock at its start, so a value holds from the next frame on. The
 * font face, size, bold, italic and underline settings come into use at "apply" (and when
 * streaming starts, so that values given on a command line hold).
 */

#include "kalvorvt/GstKalvorVT.h"

#include <gst/video/video.h>

#include <cmath>
#include <cstring>
#include <mutex>
#include <string>

#include "common/EffectParams.h"

GST_DEBUG_CATEGORY_STATIC(kalvorvt_debug);
#define GST_CAT_DEFAULT kalvorvt_debug

namespace {

// The font settings that "apply" puts into use.
struct TextStyle {
    std::string fontFace;
    int32_t fontSize = 0;
    int32_t bold = 0;
    int32_t italic = 0;
    int32_t underline = 0;
};

// Everything a frame is drawn from.
struct Values {
    EffectParams params = DefaultEffectParams();
    TextStyle style;
    double position = 0.0;
    double frameRate = 0.0;
    std::string subtitleFile;
    int32_t subtitleMode = 2;
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
    values.style.fontFace.assign(p.fontFace, strnlen(p.fontFace, sizeof p.fontFace));
    values.style.fontSize = p.fontSize;
    values.style.bold = p.bold;
    values.style.italic = p.italic;
    values.style.underline = p.underline;
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
    Values* frame;   // the streaming thread's copy for the frame in hand
};

G_DEFINE_TYPE(GstKalvorVT, gst_kalvorvt, GST_TYPE_VIDEO_FILTER)

static void gst_kalvorvt_set_property(GObject* object, guint id, const GValue* value,
                                      GParamSpec* spec) {
    GstKalvorVT* self = GST_KALVORVT(object);
    GST_OBJECT_LOCK(self);
    Values& values = *self->values;
    if (const EffectField* field = FieldOfProperty(id)) {
        switch (field->type) {
            case EffectFieldType::Int32:
                SetEffectInt(values.params, *field, g_value_get_int(value));
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
                break;
            case kPropFrameRate:
                values.frameRate = g_value_get_double(value);
                break;
            case kPropSubtitleFile: {
                const char* path = g_value_get_string(value);
                values.subtitleFile = path ? path : "";
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

static gboolean gst_kalvorvt_set_info(GstVideoFilter*, GstCaps*, GstVideoInfo*, GstCaps*,
                                      GstVideoInfo*) {
    return TRUE;
}

static GstFlowReturn gst_kalvorvt_transform_frame_ip(GstVideoFilter* filter, GstVideoFrame*) {
    GstKalvorVT* self = GST_KALVORVT(filter);
    GST_OBJECT_LOCK(self);
    *self->frame = *self->values;
    GST_OBJECT_UNLOCK(self);
    // The frame passes unchanged until the pixel effects and subtitles are drawn from
    // self->frame.
    return GST_FLOW_OK;
}

static void gst_kalvorvt_finalize(GObject* object) {
    GstKalvorVT* self = GST_KALVORVT(object);
    delete self->values;
    delete self->frame;
    G_OBJECT_CLASS(gst_kalvorvt_parent_class)->finalize(object);
}

static GParamSpec* FieldSpec(const EffectField& field) {
    constexpr auto flags = static_cast<GParamFlags>(G_PARAM_READWRITE | G_PARAM_STATIC_NAME |
                                                    GST_PARAM_MUTABLE_PLAYING);
    const char* name = field.property.data();  // table literals are zero-terminated
    const std::string blurb = std::string(field.name) + " of the effect block" +
                              (field.code ? ", group " + std::to_string(field.code) : "");
    switch (field.type) {
        case EffectFieldType::Int32:
            return g_param_spec_int(
                name, field.name.data(), blurb.c_str(), static_cast<gint>(field.minimum),
                static_cast<gint>(field.maximum), static_cast<gint>(field.startValue), flags);
        case EffectFieldType::Double:
            return g_param_spec_double(name, field.name.data(), blurb.c_str(), field.minimum,
                                       field.maximum, field.startValue, flags);
        case EffectFieldType::Text:
            return g_param_spec_string(name, field.name.data(), blurb.c_str(), "Arial", flags);
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
        g_param_spec_double("position", "Position", "Media clock for subtitle times, seconds",
                            -G_MAXDOUBLE, G_MAXDOUBLE, 0.0, flags));
    g_object_class_install_property(
        object_class, kPropFrameRate,
        g_param_spec_double("frame-rate", "Frame rate", "Frames per second of the source", 0.0,
                            G_MAXDOUBLE, 0.0, flags));
    g_object_class_install_property(
        object_class, kPropSubtitleFile,
        g_param_spec_string("subtitle-file", "Subtitle file", "Path of the subtitle file", nullptr,
                            flags));
    g_object_class_install_property(object_class, kPropSubtitleMode,
                                    g_param_spec_int("subtitle-mode", "Subtitle mode",
                                                     "0 subtitles shown, 2 none", 0, 2, 2, flags));

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
    filter_class->set_info = gst_kalvorvt_set_info;
    filter_class->transform_frame_ip = gst_kalvorvt_transform_frame_ip;
}

static void gst_kalvorvt_init(GstKalvorVT* self) {
    self->values = new Values;
    self->frame = new Values;
    TakeStyle(*self->values);
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
