#include "platform/media/EncoderProperties.h"

#include <cstring>

bool IsEditableProperty(const GParamSpec* spec) {
    if (!(spec->flags & G_PARAM_READABLE) || !(spec->flags & G_PARAM_WRITABLE) ||
        (spec->flags & G_PARAM_CONSTRUCT_ONLY))
        return false;
    if (std::strcmp(spec->name, "name") == 0 || std::strcmp(spec->name, "parent") == 0) return false;
    const GType type = G_PARAM_SPEC_VALUE_TYPE(spec);
    const GType fundamental = G_TYPE_FUNDAMENTAL(type);
    return fundamental == G_TYPE_BOOLEAN || fundamental == G_TYPE_INT || fundamental == G_TYPE_UINT ||
           fundamental == G_TYPE_LONG || fundamental == G_TYPE_ULONG || fundamental == G_TYPE_INT64 ||
           fundamental == G_TYPE_UINT64 || fundamental == G_TYPE_FLOAT ||
           fundamental == G_TYPE_DOUBLE || fundamental == G_TYPE_ENUM ||
           fundamental == G_TYPE_FLAGS || fundamental == G_TYPE_STRING;
}

namespace {

GParamSpec* Find(GObject* encoder, const std::string& name) {
    GParamSpec* spec = g_object_class_find_property(G_OBJECT_GET_CLASS(encoder), name.c_str());
    return spec && IsEditableProperty(spec) ? spec : nullptr;
}

}  // namespace

std::vector<EncoderProperty> EditableProperties(GObject* encoder) {
    std::vector<EncoderProperty> properties;
    guint count = 0;
    GParamSpec** specs = g_object_class_list_properties(G_OBJECT_GET_CLASS(encoder), &count);
    for (guint i = 0; i < count; ++i) {
        GParamSpec* spec = specs[i];
        if (!IsEditableProperty(spec)) continue;
        EncoderProperty property;
        property.name = spec->name;
        const char* blurb = g_param_spec_get_blurb(spec);
        property.blurb = blurb ? blurb : "";
        if (G_IS_PARAM_SPEC_BOOLEAN(spec)) {
            property.kind = EncoderProperty::Kind::Boolean;
        } else if (G_IS_PARAM_SPEC_ENUM(spec)) {
            property.kind = EncoderProperty::Kind::Enumeration;
            const GEnumClass* values = G_PARAM_SPEC_ENUM(spec)->enum_class;
            for (guint v = 0; v < values->n_values; ++v)
                property.choices.emplace_back(values->values[v].value_nick);
        }
        properties.push_back(std::move(property));
    }
    g_free(specs);
    return properties;
}

std::string PropertyText(GObject* encoder, const std::string& name) {
    GParamSpec* spec = Find(encoder, name);
    if (!spec) return {};
    GValue value = G_VALUE_INIT;
    g_value_init(&value, G_PARAM_SPEC_VALUE_TYPE(spec));
    g_object_get_property(encoder, spec->name, &value);
    std::string text;
    if (G_IS_PARAM_SPEC_ENUM(spec)) {
        const GEnumValue* item =
            g_enum_get_value(G_PARAM_SPEC_ENUM(spec)->enum_class, g_value_get_enum(&value));
        text = item ? item->value_nick : "";
    } else if (G_VALUE_HOLDS_STRING(&value)) {
        const char* s = g_value_get_string(&value);
        text = s ? s : "";
    } else if (gchar* serialised = gst_value_serialize(&value)) {
        text = serialised;
        g_free(serialised);
    }
    g_value_unset(&value);
    return text;
}

bool SetPropertyText(GObject* encoder, const std::string& name, const std::string& text) {
    GParamSpec* spec = Find(encoder, name);
    if (!spec) return false;
    GValue value = G_VALUE_INIT;
    g_value_init(&value, G_PARAM_SPEC_VALUE_TYPE(spec));
    bool ok = true;
    if (G_VALUE_HOLDS_STRING(&value)) g_value_set_string(&value, text.c_str());
    else ok = gst_value_deserialize(&value, text.c_str());
    // Validation changes a value it had to bring into range: such a text is refused.
    ok = ok && !g_param_value_validate(spec, &value);
    if (ok) g_object_set_property(encoder, spec->name, &value);
    g_value_unset(&value);
    return ok;
}
