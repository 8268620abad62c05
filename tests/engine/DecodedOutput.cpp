#include "DecodedOutput.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
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

namespace {

// Every buffer that reaches the app sink "sink" of the description, to the end of the stream.
std::vector<Packet> Pull(const std::string& description, std::string* caps = nullptr) {
    std::vector<Packet> packets;
    GstElement* pipeline = Launch(description);
    if (!pipeline) return packets;
    GstAppSink* sink = Sink(pipeline);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    // Waits for the next buffer, at most 30 s without one: a busy machine can be slow.
    for (int idle = 0; idle < 120 && !gst_app_sink_is_eos(sink);) {
        GstSample* sample = gst_app_sink_try_pull_sample(sink, GST_SECOND / 4);
        if (!sample) {
            // A file without the stream fails at once; do not wait for it.
            if (GstMessage* failed = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR)) {
                gst_message_unref(failed);
                break;
            }
            ++idle;
            continue;
        }
        if (caps && caps->empty()) {
            gchar* text = gst_caps_to_string(gst_sample_get_caps(sample));
            *caps = text;
            g_free(text);
        }
        GstBuffer* buffer = gst_sample_get_buffer(sample);
        Packet packet;
        if (GST_BUFFER_PTS_IS_VALID(buffer))
            packet.seconds = double(GST_BUFFER_PTS(buffer)) / GST_SECOND;
        packet.key = !GST_BUFFER_FLAG_IS_SET(buffer, GST_BUFFER_FLAG_DELTA_UNIT);
        GstMapInfo map;
        if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
            packet.bytes.assign(reinterpret_cast<const char*>(map.data), map.size);
            gst_buffer_unmap(buffer, &map);
        }
        packets.push_back(std::move(packet));
        gst_sample_unref(sample);
    }
    gst_object_unref(bus);
    Stop(pipeline);
    return packets;
}

}  // namespace

std::vector<Packet> DemuxedVideo(const std::string& path, std::string* caps) {
    return Pull("filesrc location=\"" + path +
                    "\" ! avidemux name=d d.video_0 ! appsink name=sink sync=false",
                caps);
}

std::vector<Packet> DecodedPictures(const std::string& path, int width, int height) {
    return Pull("filesrc location=\"" + path +
                "\" ! decodebin ! videoconvert ! videoscale ! video/x-raw,format=GRAY8,width=" +
                std::to_string(width) + ",height=" + std::to_string(height) +
                " ! appsink name=sink sync=false");
}

std::vector<float> DecodedAudio(const std::string& path) {
    const std::vector<Packet> pulled =
        Pull("filesrc location=\"" + path +
             "\" ! decodebin ! audioconvert ! audioresample ! audio/x-raw,format=F32LE,channels=1,"
             "rate=" +
             std::to_string(kDecodedAudioRate) + " ! appsink name=sink sync=false");
    std::vector<float> samples;
    for (const Packet& packet : pulled) {
        const size_t count = packet.bytes.size() / sizeof(float);
        const size_t at = samples.size();
        samples.resize(at + count);
        std::memcpy(samples.data() + at, packet.bytes.data(), count * sizeof(float));
    }
    return samples;
}

double Amplitude(const std::vector<float>& samples, double from, double to, double frequency) {
    const size_t first = size_t(std::max(from, 0.0) * kDecodedAudioRate);
    const size_t last = std::min(samples.size(), size_t(std::max(to, 0.0) * kDecodedAudioRate));
    if (last <= first) return 0.0;
    // Goertzel's filter at the one frequency.
    const double w = 2 * M_PI * frequency / kDecodedAudioRate, coefficient = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (size_t i = first; i < last; ++i) {
        const double s0 = samples[i] + coefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
    return 2 * std::sqrt(std::max(power, 0.0)) / double(last - first);
}

double PictureDistance(const Packet& a, const Packet& b) {
    if (a.bytes.size() != b.bytes.size() || a.bytes.empty()) return 255.0;
    double sum = 0;
    for (size_t i = 0; i < a.bytes.size(); ++i)
        sum += std::abs(int(uint8_t(a.bytes[i])) - int(uint8_t(b.bytes[i])));
    return sum / double(a.bytes.size());
}

long PictureOffset(const std::vector<Packet>& written, double at, const std::vector<Packet>& source,
                   double from, int framesPerSecond) {
    // The picture shown at that time: the last one that starts by then.
    size_t index = written.size();
    for (size_t i = 0; i < written.size(); ++i)
        if (written[i].seconds >= 0 && written[i].seconds <= at + 0.5 / framesPerSecond) index = i;
    if (index == written.size()) return kNoPicture;
    const size_t expected = size_t(std::lround(from * framesPerSecond));
    const size_t found = NearestPicture(written[index], source, expected, size_t(framesPerSecond));
    return long(found) - long(expected);
}

size_t NearestPicture(const Packet& picture, const std::vector<Packet>& source, size_t expected,
                      size_t window) {
    size_t nearest = expected;
    double best = 1e9;
    const size_t first = expected > window ? expected - window : 0;
    for (size_t i = first; i < source.size() && i <= expected + window; ++i) {
        const double distance = PictureDistance(picture, source[i]);
        if (distance < best) best = distance, nearest = i;
    }
    return nearest;
}
