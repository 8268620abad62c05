#pragma once

// The settings an encoder offers for its configuration dialog: its writable properties of
// plain types, read and written as text in GStreamer's own serialisation, so one editor
// kind fits numbers, strings and flags, and enumerations list their choices.

#include <gst/gst.h>

#include <string>
#include <vector>

struct EncoderProperty {
    enum class Kind { Boolean, Enumeration, Text };
    std::string name;
    std::string blurb;
    Kind kind = Kind::Text;
    std::vector<std::string> choices;  // the nicks of an enumeration
};

// Whether the configuration dialog shows the property: readable and writable after
// construction, of a plain type, and not "name" or "parent".
bool IsEditableProperty(const GParamSpec* spec);

// The properties IsEditableProperty takes, in the class's order.
std::vector<EncoderProperty> EditableProperties(GObject* encoder);

// The property's current value as text ("true"/"false" for booleans, the nick of an enum).
std::string PropertyText(GObject* encoder, const std::string& name);

// Sets the property from text; false, with the property unchanged, when the text is not a
// value of its type or is out of its range.
bool SetPropertyText(GObject* encoder, const std::string& name, const std::string& text);
