#include "engine/EncoderTuning.h"

#include "platform/media/EncoderProperties.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

struct QualityRule {
    const char* property;
    bool higherIsBetter;
    double best;   // NaN: the property's own bound
    double worst;
    const char* passMode;  // the "pass" value a quantizer needs to be used, or nullptr
};

constexpr double kOwnBound = std::numeric_limits<double>::quiet_NaN();

// Quantizers count down and 0 means "lossless" or "default" to some encoders: best is 1.
const QualityRule kQualityRules[] = {
    {"quality", true, kOwnBound, kOwnBound, nullptr},
    {"quantizer", false, 1.0, kOwnBound, "quant"},
    {"quantisation", false, 1.0, 31.0, nullptr},
};

const char* const kKeyFrameProperties[] = {"gop-size", "key-int-max", "keyframe-max-dist",
                                           "max-gop-size"};

bool IsNumeric(const GParamSpec* spec) {
    const GType type = G_PARAM_SPEC_VALUE_TYPE(spec);
    return type == G_TYPE_INT || type == G_TYPE_UINT || type == G_TYPE_INT64 ||
           type == G_TYPE_UINT64 || type == G_TYPE_FLOAT || type == G_TYPE_DOUBLE;
}

bool IsWritable(const GParamSpec* spec) {
    return (spec->flags & G_PARAM_WRITABLE) && !(spec->flags & G_PARAM_CONSTRUCT_ONLY);
}

void Bounds(const GParamSpec* spec, double& low, double& high) {
    const GType type = G_PARAM_SPEC_VALUE_TYPE(spec);
    if (type == G_TYPE_INT) {
        low = G_PARAM_SPEC_INT(spec)->minimum, high = G_PARAM_SPEC_INT(spec)->maximum;
    } else if (type == G_TYPE_UINT) {
        low = G_PARAM_SPEC_UINT(spec)->minimum, high = G_PARAM_SPEC_UINT(spec)->maximum;
    } else if (type == G_TYPE_INT64) {
        low = static_cast<double>(G_PARAM_SPEC_INT64(spec)->minimum);
        high = static_cast<double>(G_PARAM_SPEC_INT64(spec)->maximum);
    } else if (type == G_TYPE_UINT64) {
        low = static_cast<double>(G_PARAM_SPEC_UINT64(spec)->minimum);
        high = static_cast<double>(G_PARAM_SPEC_UINT64(spec)->maximum);
    } else if (type == G_TYPE_FLOAT) {
        low = G_PARAM_SPEC_FLOAT(spec)->minimum, high = G_PARAM_SPEC_FLOAT(spec)->maximum;
    } else {
        low = G_PARAM_SPEC_DOUBLE(spec)->minimum, high = G_PARAM_SPEC_DOUBLE(spec)->maximum;
    }
}

bool IsIntegral(const GParamSpec* spec) {
    const GType type = G_PARAM_SPEC_VALUE_TYPE(spec);
    return type != G_TYPE_FLOAT && type != G_TYPE_DOUBLE;
}

// Writes a number already within the property's range.
void SetNumber(GObject* object, const GParamSpec* spec, double value) {
    GValue v = G_VALUE_INIT;
    g_value_init(&v, G_PARAM_SPEC_VALUE_TYPE(spec));
    const GType type = G_PARAM_SPEC_VALUE_TYPE(spec);
    if (type == G_TYPE_INT) g_value_set_int(&v, static_cast<gint>(std::lround(value)));
    else if (type == G_TYPE_UINT) g_value_set_uint(&v, static_cast<guint>(std::lround(value)));
    else if (type == G_TYPE_INT64) g_value_set_int64(&v, std::llround(value));
    else if (type == G_TYPE_UINT64) g_value_set_uint64(&v, static_cast<guint64>(std::llround(value)));
    else if (type == G_TYPE_FLOAT) g_value_set_float(&v, static_cast<float>(value));
    else g_value_set_double(&v, value);
    g_object_set_property(object, spec->name, &v);
    g_value_unset(&v);
}

const QualityRule* FindQualityRule(GObjectClass* klass, GParamSpec** found) {
    for (const QualityRule& rule : kQualityRules) {
        GParamSpec* spec = g_object_class_find_property(klass, rule.property);
        if (spec && IsNumeric(spec) && IsWritable(spec)) {
            *found = spec;
            return &rule;
        }
    }
    return nullptr;
}

GParamSpec* FindKeyFrameSpec(GObjectClass* klass) {
    for (const char* name : kKeyFrameProperties) {
        GParamSpec* spec = g_object_class_find_property(klass, name);
        if (spec && IsNumeric(spec) && IsWritable(spec)) return spec;
    }
    return nullptr;
}

// The configuration dialog's own test, so that the bit promises a dialog with rows.
bool HasEditableProperty(GObjectClass* klass) {
    guint count = 0;
    GParamSpec** specs = g_object_class_list_properties(klass, &count);
    bool editable = false;
    for (guint i = 0; i < count && !editable; ++i) editable = IsEditableProperty(specs[i]);
    g_free(specs);
    return editable;
}

}  // namespace

int32_t EncoderCapabilities(GObjectClass* klass) {
    GParamSpec* spec = nullptr;
    int32_t mask = 0;
    if (FindQualityRule(klass, &spec)) mask |= kCodecCanQuality;
    if (FindKeyFrameSpec(klass)) mask |= kCodecCanKeyFrame;
    if (HasEditableProperty(klass)) mask |= kCodecCanConfigure;
    return mask;
}

const char* QualityProperty(GObjectClass* klass) {
    GParamSpec* spec = nullptr;
    return FindQualityRule(klass, &spec) ? spec->name : nullptr;
}

double QualityValue(GObjectClass* klass, int32_t quality) {
    GParamSpec* spec = nullptr;
    const QualityRule* rule = FindQualityRule(klass, &spec);
    if (!rule) return std::numeric_limits<double>::quiet_NaN();
    double low = 0, high = 0;
    Bounds(spec, low, high);
    double best = std::isnan(rule->best) ? (rule->higherIsBetter ? high : low) : rule->best;
    double worst = std::isnan(rule->worst) ? (rule->higherIsBetter ? low : high) : rule->worst;
    best = std::clamp(best, low, high);
    worst = std::clamp(worst, low, high);
    const double t = (std::clamp(quality, 1, 100) - 1) / 99.0;
    double value = worst + t * (best - worst);
    if (IsIntegral(spec)) value = std::round(value);
    return std::clamp(value, low, high);
}

bool SetEncoderQuality(GstElement* encoder, int32_t quality) {
    GObjectClass* klass = G_OBJECT_GET_CLASS(encoder);
    GParamSpec* spec = nullptr;
    const QualityRule* rule = FindQualityRule(klass, &spec);
    if (!rule) return false;
    if (rule->passMode) {
        GParamSpec* pass = g_object_class_find_property(klass, "pass");
        if (pass && G_IS_PARAM_SPEC_ENUM(pass) &&
            g_enum_get_value_by_nick(G_PARAM_SPEC_ENUM(pass)->enum_class, rule->passMode))
            gst_util_set_object_arg(G_OBJECT(encoder), "pass", rule->passMode);
    }
    SetNumber(G_OBJECT(encoder), spec, QualityValue(klass, quality));
    return true;
}

bool SetEncoderKeyFrameRate(GstElement* encoder, int32_t keyFrameRate) {
    GParamSpec* spec = FindKeyFrameSpec(G_OBJECT_GET_CLASS(encoder));
    if (!spec) return false;
    double low = 0, high = 0;
    Bounds(spec, low, high);
    SetNumber(G_OBJECT(encoder), spec, std::clamp<double>(keyFrameRate, std::max(low, 1.0), high));
    return true;
}
