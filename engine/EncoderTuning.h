#pragma once

// The few encoder properties korc sets by meaning rather than by name: quality, key-frame
// interval, and whether there is anything for a configuration dialog to edit. Encoders name
// these differently and count quality in either direction; one table knows them.

#include <gst/gst.h>

#include <cstdint>
#include <string>

// Capability mask bits of a codec row.
inline constexpr int32_t kCodecCanQuality = 1;
inline constexpr int32_t kCodecCanKeyFrame = 2;
inline constexpr int32_t kCodecCanConfigure = 4;

// The mask an encoder class earns from its properties.
int32_t EncoderCapabilities(GObjectClass* encoderClass);

// The quality property's value for a page quality (1 worst .. 100 best; 0 counts as 1),
// mapped monotonically into the property's own range; NaN when the class has none.
double QualityValue(GObjectClass* encoderClass, int32_t quality);
// The name of the quality property, or nullptr.
const char* QualityProperty(GObjectClass* encoderClass);

// Sets quality (and the constant-quantizer mode its quantizer needs); false when the
// encoder has no quality property.
bool SetEncoderQuality(GstElement* encoder, int32_t quality);
// Sets the distance between key frames, kept within the property's range; false when the
// encoder has no such property.
bool SetEncoderKeyFrameRate(GstElement* encoder, int32_t keyFrameRate);
