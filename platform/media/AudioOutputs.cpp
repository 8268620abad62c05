#include "platform/media/AudioOutputs.h"

#include "platform/media/GstInit.h"

namespace media {
namespace {

template <typename Visit>
void ForEachAudioSink(Visit visit) {
    InitGStreamer();
    GstDeviceMonitor* monitor = gst_device_monitor_new();
    gst_device_monitor_add_filter(monitor, "Audio/Sink", nullptr);
    GList* devices = gst_device_monitor_get_devices(monitor);
    for (GList* item = devices; item; item = item->next) {
        auto* device = GST_DEVICE(item->data);
        gchar* name = gst_device_get_display_name(device);
        const bool more = visit(device, std::string(name ? name : ""));
        g_free(name);
        if (!more) break;
    }
    g_list_free_full(devices, gst_object_unref);
    gst_object_unref(monitor);
}

}  // namespace

std::vector<std::string> AudioOutputs::Names() {
    std::vector<std::string> names;
    ForEachAudioSink([&](GstDevice*, const std::string& name) {
        names.push_back(name);
        return true;
    });
    return names;
}

GstElement* AudioOutputs::CreateSink(const std::string& name) {
    if (name == kAutodetectDevice) return nullptr;
    GstElement* sink = nullptr;
    ForEachAudioSink([&](GstDevice* device, const std::string& deviceName) {
        if (deviceName != name) return true;
        sink = gst_device_create_element(device, nullptr);
        return sink == nullptr;
    });
    return sink;
}

}  // namespace media
