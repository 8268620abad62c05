// The element as a loadable plugin, for gst-launch-1.0 and gst-inspect-1.0.

// GST_PLUGIN_DEFINE names the source module after PACKAGE.
#define PACKAGE "kalvorvt"

#include "kalvorvt/GstKalvorVT.h"

extern "C" {

static gboolean plugin_init(GstPlugin* plugin) { return RegisterKalvorVT(plugin); }

GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, kalvorvt,
                  "Video effects and subtitles of the Kalvor player", plugin_init, "0.1.0",
                  "unknown", "kalvorvt", "Kalvor")
}
