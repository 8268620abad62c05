#include "player/playback/AudioOutput.h"

#include <algorithm>
#include <cmath>

#include "platform/media/AudioOutputs.h"

namespace {

bool Inside(GstElement* element, GstElement* bin) {
    for (GstObject* at = GST_OBJECT_PARENT(element); at; at = GST_OBJECT_PARENT(at))
        if (at == GST_OBJECT(bin)) return true;
    return false;
}

}  // namespace

int32_t AudioOutput::VolumeValue(double volume) {
    if (!std::isfinite(volume)) volume = 0.0;
    volume = std::clamp(volume, 0.0, 1.0);
    if (volume == 0.0) return kSilence;
    const double value = (std::log10(volume * 256.0) - 2.41) * 4152.41;
    return std::max(kSilence, static_cast<int32_t>(std::trunc(value)));
}

double AudioOutput::VolumeGain(int32_t hundredths) {
    if (hundredths <= kSilence) return 0.0;
    return std::min(1.0, std::pow(10.0, hundredths / 2000.0));
}

void AudioOutput::Attach(GstElement* graph, ISinkFactory& sinks, const std::string& device) {
    sink_ = media::ElementRef(sinks.CreateAudioSink(device));
    if (!sink_) return;  // the graph's default output
    if (device != media::kAutodetectDevice && !device.empty())
        gst_object_set_name(GST_OBJECT(sink_.get()), device.c_str());
    g_object_set(graph, "audio-sink", sink_.get(), nullptr);
}

void AudioOutput::Detach(GstElement* graph) {
    sink_.Reset();
    g_object_set(graph, "audio-sink", nullptr, nullptr);
}

void AudioOutput::SetVolume(GstElement* graph, double volume) {
    volumeValue_ = VolumeValue(volume);
    g_object_set(graph, "volume", VolumeGain(volumeValue_), nullptr);
}

bool AudioOutput::FirstSilence(GstElement* graph, GstElement* videoBin) {
    if (silenceSaid_ || !PlaysSilently(graph, videoBin)) return false;
    silenceSaid_ = true;
    return true;
}

bool AudioOutput::PlaysSilently(GstElement* graph, GstElement* videoBin) {
    bool silent = false;
    GstIterator* elements = gst_bin_iterate_recurse(GST_BIN(graph));
    GValue item = G_VALUE_INIT;
    for (bool more = true; more;) {
        switch (gst_iterator_next(elements, &item)) {
            case GST_ITERATOR_OK: {
                auto* element = GST_ELEMENT(g_value_get_object(&item));
                GstElementFactory* factory = gst_element_get_factory(element);
                if (!GST_IS_BIN(element) &&
                    GST_OBJECT_FLAG_IS_SET(element, GST_ELEMENT_FLAG_SINK) && factory &&
                    g_str_equal(GST_OBJECT_NAME(factory), "fakesink") && !Inside(element, videoBin))
                    silent = true;
                g_value_reset(&item);
                break;
            }
            case GST_ITERATOR_RESYNC:
                gst_iterator_resync(elements);
                silent = false;
                break;
            default:
                more = false;
        }
    }
    g_value_unset(&item);
    gst_iterator_free(elements);
    return silent;
}
