#include "support/MediaGenerator.h"

#include <gst/gst.h>

#include <QImage>

#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <mutex>

namespace media {
namespace {

void EnsureGst() {
    static std::once_flag once;
    std::call_once(once, [] {
        gst_init(nullptr, nullptr);
        // Streaming threads still winding down at exit trip the leak checker's scan.
        std::atexit(gst_deinit);
    });
}

bool Fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return false;
}

// Samples per buffer that divide the total exactly, so files hold exactly that many.
int SamplesPerBuffer(long total) {
    for (int size = 4096; size > 1; --size) {
        if (total % size == 0) return size;
    }
    return 1;
}

std::string AudioSource(const AudioSpec& spec) {
    const long total = std::lround(spec.seconds * spec.rate);
    const int perBuffer = SamplesPerBuffer(total);
    char text[512];
    std::snprintf(text, sizeof text,
                  "audiotestsrc wave=sine freq=%g samplesperbuffer=%d num-buffers=%ld ! "
                  "audio/x-raw,format=S16LE,rate=%d,channels=%d,layout=interleaved",
                  spec.frequency, perBuffer, total / perBuffer, spec.rate, spec.channels);
    return text;
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

std::string Mp3Encoder(Mp3Mode mode) {
    switch (mode) {
        case Mp3Mode::Cbr:
            return " ! lamemp3enc target=bitrate bitrate=128 cbr=true";
        case Mp3Mode::Vbr:
            return " ! lamemp3enc target=quality quality=4";
        case Mp3Mode::VbrXing:
            return " ! lamemp3enc target=quality quality=4 ! xingmux";
    }
    return {};
}

}  // namespace

bool RunPipeline(const std::string& description, std::string* error, int timeoutSeconds) {
    EnsureGst();
    GError* parseError = nullptr;
    GstElement* pipeline = gst_parse_launch(description.c_str(), &parseError);
    if (parseError) {
        const std::string text = parseError->message;
        g_error_free(parseError);
        if (pipeline) gst_object_unref(pipeline);
        return Fail(error, "cannot build \"" + description + "\": " + text);
    }
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, GstClockTime(timeoutSeconds) * GST_SECOND,
        static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    bool ok = false;
    if (!message) {
        Fail(error, "timed out: " + description);
    } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
        GError* runError = nullptr;
        gst_message_parse_error(message, &runError, nullptr);
        Fail(error, std::string(runError ? runError->message : "error") + ": " + description);
        if (runError) g_error_free(runError);
    } else {
        ok = true;
    }
    if (message) gst_message_unref(message);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok;
}

bool MakeAvi(const std::string& path, const AviSpec& spec, std::string* error) {
    const long frames = std::lround(spec.seconds * spec.framesPerSecond);
    char video[512];
    // A moving pattern, so that consecutive frames differ.
    std::snprintf(video, sizeof video,
                  "videotestsrc pattern=%s horizontal-speed=4 num-buffers=%ld ! "
                  "video/x-raw,format=I420,width=%d,height=%d,framerate=%d/1 ! ",
                  spec.pattern.c_str(), frames, spec.width, spec.height, spec.framesPerSecond);
    std::string description = video;
    if (spec.video == VideoCodec::Jpeg) {
        description += "jpegenc ! mux. ";
    } else {
        description += "avenc_mpeg4";
        if (spec.keyFrameInterval > 0)
            description += " gop-size=" + std::to_string(spec.keyFrameInterval);
        if (spec.bFrames > 0) description += " max-bframes=" + std::to_string(spec.bFrames);
        description += " ! mpeg4videoparse ! mux. ";
    }
    if (spec.audio != AudioCodec::None) {
        AudioSpec audio;
        audio.seconds = spec.audioSeconds > 0.0 ? spec.audioSeconds : spec.seconds;
        audio.rate = spec.audioRate;
        audio.channels = spec.audioChannels;
        audio.frequency = spec.audioFrequency;
        description += AudioSource(audio);
        if (spec.audio == AudioCodec::Mp3)
            description += Mp3Encoder(spec.mp3) + " ! mpegaudioparse";
        description += " ! mux. ";
    }
    description += "avimux name=mux ! filesink location=" + Quoted(path);
    return RunPipeline(description, error);
}

bool MakeWav(const std::string& path, const AudioSpec& spec, std::string* error) {
    return RunPipeline(AudioSource(spec) + " ! wavenc ! filesink location=" + Quoted(path), error);
}

bool MakeMp3(const std::string& path, const AudioSpec& spec, std::string* error) {
    return RunPipeline(
        AudioSource(spec) + Mp3Encoder(spec.mp3) + " ! filesink location=" + Quoted(path), error);
}

bool MakePicture(const std::string& path, int width, int height, PictureFormat format,
                 std::string* error) {
    const std::string png = format == PictureFormat::Png ? path : path + ".png";
    char description[512];
    std::snprintf(description, sizeof description,
                  "videotestsrc num-buffers=1 ! video/x-raw,width=%d,height=%d ! videoconvert ! "
                  "pngenc ! filesink location=%s",
                  width, height, Quoted(png).c_str());
    if (!RunPipeline(description, error)) return false;
    if (format == PictureFormat::Png) return true;
    // GStreamer has no BMP encoder; the picture is converted after.
    const QImage image(QString::fromStdString(png));
    const bool saved = !image.isNull() && image.save(QString::fromStdString(path), "BMP");
    std::remove(png.c_str());
    return saved || Fail(error, "cannot write " + path);
}

}  // namespace media
