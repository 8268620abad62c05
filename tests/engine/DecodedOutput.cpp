#include "DecodedOutput.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <cmath>
#include <cstring>

namespace {

GstElement* Launch(const std::string& description) {
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
    if (error) g_error_free(error);
    return pipeline;
}

void Stop(GstElement* pipeline) {
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
}

GstAppSink* Sink(GstElement* pipeline) {
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink");
    gst_object_unref(sink);  // the pipeline holds it
    return GST_APP_SINK(sink);
}

}  // namespace

uint32_t DecodedFrame::At(int x, int y) const {
    const size_t at = (size_t(y) * size_t(width) + size_t(x)) * 3;
    return uint32_t(rgb[at]) << 16 | uint32_t(rgb[at + 1]) << 8 | rgb[at + 2];
}

DecodedFrame DecodeFrameAt(const std::string& path, double seconds) {
    DecodedFrame frame;
    GstElement* pipeline = Launch("filesrc location=\"" + path +
                                  "\" ! decodebin ! videoconvert ! video/x-raw,format=RGB ! "
                                  "appsink name=sink sync=false");
    if (!pipeline) return frame;
    gst_element_set_state(pipeline, GST_STATE_PAUSED);
    if (gst_element_get_state(pipeline, nullptr, nullptr, 10 * GST_SECOND) ==
            GST_STATE_CHANGE_SUCCESS &&
        gst_element_seek_simple(pipeline, GST_FORMAT_TIME,
                                GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                gint64(seconds * GST_SECOND))) {
        if (GstSample* sample = gst_app_sink_try_pull_preroll(Sink(pipeline), 10 * GST_SECOND)) {
            GstStructure* s = gst_caps_get_structure(gst_sample_get_caps(sample), 0);
            gst_structure_get_int(s, "width", &frame.width);
            gst_structure_get_int(s, "height", &frame.height);
            GstMapInfo map;
            GstBuffer* buffer = gst_sample_get_buffer(sample);
            if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
                const size_t stride = (size_t(frame.width) * 3 + 3) & ~size_t(3);
                for (int y = 0; y < frame.height && (y + 1) * stride <= map.size; ++y)
                    frame.rgb.insert(frame.rgb.end(), map.data + y * stride,
                                     map.data + y * stride + frame.width * 3);
                gst_buffer_unmap(buffer, &map);
            }
            if (frame.rgb.size() != size_t(frame.width) * frame.height * 3) frame = {};
            gst_sample_unref(sample);
        }
    }
    Stop(pipeline);
    return frame;
}

double SoundLevel(const std::string& path, double from, double to) {
    GstElement* pipeline = Launch("filesrc location=\"" + path +
                                  "\" ! decodebin ! audioconvert ! audio/x-raw,format=S16LE ! "
                                  "appsink name=sink sync=false");
    if (!pipeline) return -1;
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    double sum = 0;
    size_t count = 0;
    while (GstSample* sample = gst_app_sink_try_pull_sample(Sink(pipeline), 10 * GST_SECOND)) {
        GstBuffer* buffer = gst_sample_get_buffer(sample);
        GstStructure* s = gst_caps_get_structure(gst_sample_get_caps(sample), 0);
        int rate = 0, channels = 0;
        gst_structure_get_int(s, "rate", &rate);
        gst_structure_get_int(s, "channels", &channels);
        GstMapInfo map;
        if (rate > 0 && channels > 0 && GST_BUFFER_PTS_IS_VALID(buffer) &&
            gst_buffer_map(buffer, &map, GST_MAP_READ)) {
            const double start = double(GST_BUFFER_PTS(buffer)) / GST_SECOND;
            const size_t frames = map.size / (2 * size_t(channels));
            for (size_t i = 0; i < frames; ++i) {
                const double at = start + double(i) / rate;
                if (at < from || at >= to) continue;
                for (int c = 0; c < channels; ++c) {
                    int16_t value;
                    std::memcpy(&value, map.data + (i * channels + c) * 2, 2);
                    sum += double(value) * value;
                    ++count;
                }
            }
            gst_buffer_unmap(buffer, &map);
        }
        gst_sample_unref(sample);
    }
    Stop(pipeline);
    return count ? std::sqrt(sum / double(count)) : -1;
}

std::vector<std::string> CompressedVideo(const std::string& path, std::string* caps) {
    std::vector<std::string> buffers;
    GstElement* pipeline = Launch("filesrc location=\"" + path +
                                  "\" ! avidemux name=d d.video_0 ! appsink name=sink "
                                  "sync=false");
    if (!pipeline) return buffers;
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    while (GstSample* sample = gst_app_sink_try_pull_sample(Sink(pipeline), 10 * GST_SECOND)) {
        if (caps && caps->empty()) {
            gchar* text = gst_caps_to_string(gst_sample_get_caps(sample));
            *caps = text;
            g_free(text);
        }
        GstMapInfo map;
        GstBuffer* buffer = gst_sample_get_buffer(sample);
        if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
            buffers.emplace_back(reinterpret_cast<const char*>(map.data), map.size);
            gst_buffer_unmap(buffer, &map);
        }
        gst_sample_unref(sample);
    }
    Stop(pipeline);
    return buffers;
}
