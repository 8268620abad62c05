#pragma once

// The graph's sound: the chosen device as its audio sink, and the volume kept in hundredths
// of a dB as the settings and the volume slider know it.

#include <gst/gst.h>

#include <cstdint>
#include <string>

#include "platform/media/GstRef.h"
#include "player/playback/SinkFactory.h"

class AudioOutput {
public:
    static constexpr int32_t kSilence = -10000;  // hundredths of a dB

    static int32_t VolumeValue(double volume);     // 0..1 -> hundredths of a dB
    static double VolumeGain(int32_t hundredths);  // hundredths of a dB -> linear gain

    // Gives graph the device's sink; without one the graph keeps its default output.
    void Attach(GstElement* graph, ISinkFactory& sinks, const std::string& device);
    // The graph's default output again.
    void Detach(GstElement* graph);
    // The graph is going: its sink goes with it.
    void Release() { sink_.Reset(); }
    void SetVolume(GstElement* graph, double volume);
    int32_t LastVolumeValue() const { return volumeValue_; }
    // True the first time a graph drops its sound for want of a device; playback without
    // sound is said once per run.
    bool FirstSilence(GstElement* graph, GstElement* videoBin);

private:
    // Without a device the automatic output takes a sink that drops the sound; the video
    // sink bin's own elements do not count.
    static bool PlaysSilently(GstElement* graph, GstElement* videoBin);

    media::ElementRef sink_;
    int32_t volumeValue_ = 0;
    bool silenceSaid_ = false;
};
