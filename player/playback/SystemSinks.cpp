#include "player/playback/SystemSinks.h"

#include "platform/media/AudioOutputs.h"
#include "platform/media/GstRef.h"

namespace {

// xvimagesink reaches READY only when it finds an XVideo port; the answer does not change
// while the program runs.
bool HasXVideo() {
    static const bool has = [] {
        media::ElementRef probe(gst_element_factory_make("xvimagesink", nullptr));
        if (!probe) return false;
        const bool ready =
            gst_element_set_state(probe.get(), GST_STATE_READY) == GST_STATE_CHANGE_SUCCESS;
        gst_element_set_state(probe.get(), GST_STATE_NULL);
        return ready;
    }();
    return has;
}

}  // namespace

GstElement* CSystemSinks::CreateVideoRenderer() {
    return gst_element_factory_make(HasXVideo() ? "xvimagesink" : "ximagesink", nullptr);
}

GstElement* CSystemSinks::CreateAudioSink(const std::string& device) {
    return media::AudioOutputs::CreateSink(device);
}
