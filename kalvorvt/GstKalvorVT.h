#pragma once

// The "kalvorvt" element: a video filter on packed 32-bit RGB (BGRx) that draws the
// player's video effects and subtitles. Its values are GObject properties named after the
// EffectParams fields, plus position, frame-rate, subtitle-file and subtitle-mode; the
// action signal "apply" puts the font settings into use.

#include <gst/gst.h>
#include <gst/video/gstvideofilter.h>

G_BEGIN_DECLS

#define GST_TYPE_KALVORVT (gst_kalvorvt_get_type())
G_DECLARE_FINAL_TYPE(GstKalvorVT, gst_kalvorvt, GST, KALVORVT, GstVideoFilter)

G_END_DECLS

inline constexpr char kKalvorVTFactory[] = "kalvorvt";

// Adds the element to a plugin (the loadable plugin's init).
gboolean RegisterKalvorVT(GstPlugin* plugin);
// Registers the element inside this program, once; false when the factory is not available.
bool RegisterKalvorVTStatic();
