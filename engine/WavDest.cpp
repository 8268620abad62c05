#include "engine/WavDest.h"

#include <gst/app/gstappsink.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>

#include "engine/CodecCatalogue.h"

namespace {

// Sound is written in pieces of this size rather than a call for each buffer. The bytes are
// copied, not the buffers kept: a producer that draws from a pool of a few buffers would
// wait for the ones held here.
constexpr size_t kWriteBytes = 64 * 1024;
constexpr uint16_t kMp3CodecDelay = 1393;  // the encoder's usual delay, in samples

void Put16(std::string& out, uint32_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string& out, uint64_t value) {
    const uint32_t v = static_cast<uint32_t>(std::min<uint64_t>(value, 0xFFFFFFFFu));
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

uint16_t RawBits(const char* format) {
    const std::pair<const char*, uint16_t> kBits[] = {{"U8", 8},     {"S16LE", 16}, {"S24LE", 24},
                                                      {"S32LE", 32}, {"F32LE", 32}, {"F64LE", 64}};
    for (const auto& [name, bits] : kBits)
        if (format && std::strcmp(format, name) == 0) return bits;
    return 0;
}

}  // namespace

std::optional<WaveFormat> WaveFormatFromCaps(const GstCaps* caps) {
    if (!caps || gst_caps_get_size(caps) == 0 || !gst_caps_is_fixed(caps)) return std::nullopt;
    const GstStructure* s = gst_caps_get_structure(caps, 0);
    int rate = 0, channels = 0;
    if (!gst_structure_get_int(s, "rate", &rate) ||
        !gst_structure_get_int(s, "channels", &channels) || rate <= 0 || channels <= 0 ||
        channels > 0xFFFF)
        return std::nullopt;
    WaveFormat format;
    format.channels = static_cast<uint16_t>(channels);
    format.sampleRate = static_cast<uint32_t>(rate);
    const char* name = gst_structure_get_name(s);
    if (std::strcmp(name, "audio/x-raw") == 0) {
        const char* raw = gst_structure_get_string(s, "format");
        const uint16_t bits = RawBits(raw);
        if (bits == 0) return std::nullopt;
        format.tag = raw[0] == 'F' ? kWaveTagFloat : kWaveTagPcm;
        format.bitsPerSample = bits;
        format.blockAlign = static_cast<uint16_t>(channels * bits / 8);
    } else if (std::strcmp(name, "audio/mpeg") == 0) {
        int version = 0, layer = 0;
        gst_structure_get_int(s, "mpegversion", &version);
        gst_structure_get_int(s, "layer", &layer);
        if (version != 1 || layer != 3) return std::nullopt;
        format.tag = kWaveTagMp3;
        format.blockAlign = 1;
    } else if (std::strcmp(name, "audio/x-adpcm") == 0) {
        int blockAlign = 0;
        const char* layout = gst_structure_get_string(s, "layout");
        if (!layout || std::strcmp(layout, "dvi") != 0 ||
            !gst_structure_get_int(s, "block_align", &blockAlign) || blockAlign <= 4 * channels ||
            blockAlign > 0xFFFF)
            return std::nullopt;
        format.tag = kWaveTagImaAdpcm;
        format.bitsPerSample = 4;
        format.blockAlign = static_cast<uint16_t>(blockAlign);
        // Each channel's block opens with a 4-byte header holding one sample.
        format.samplesPerBlock =
            static_cast<uint16_t>((blockAlign - 4 * channels) * 2 / channels + 1);
    } else if (std::strcmp(name, "audio/x-alaw") == 0 || std::strcmp(name, "audio/x-mulaw") == 0) {
        format.tag = name[8] == 'a' ? kWaveTagALaw : kWaveTagMuLaw;
        format.bitsPerSample = 8;
        format.blockAlign = static_cast<uint16_t>(channels);
    } else {
        return std::nullopt;
    }
    if (format.tag == kWaveTagImaAdpcm)
        format.avgBytesPerSec = static_cast<uint32_t>(uint64_t{format.sampleRate} *
                                                      format.blockAlign / format.samplesPerBlock);
    else if (format.tag != kWaveTagMp3)
        format.avgBytesPerSec = format.sampleRate * format.blockAlign;
    return format;
}

std::string WaveHeader(const WaveFormat& format, uint64_t dataBytes, uint32_t sampleCount) {
    std::string fmt;
    Put16(fmt, format.tag);
    Put16(fmt, format.channels);
    Put32(fmt, format.sampleRate);
    Put32(fmt, format.avgBytesPerSec);
    Put16(fmt, format.blockAlign);
    Put16(fmt, format.bitsPerSample);
    const bool plainPcm = format.tag == kWaveTagPcm;
    if (format.tag == kWaveTagMp3) {
        // MPEGLAYER3WAVEFORMAT: id MPEG, ISO padding, the frame size at the measured rate.
        Put16(fmt, 12);
        Put16(fmt, 1);
        Put32(fmt, 0);
        const uint32_t frameBytes = format.sampleRate
                                        ? static_cast<uint32_t>(uint64_t{format.avgBytesPerSec} *
                                                                8 * 144 / format.sampleRate)
                                        : 0;
        Put16(fmt, std::min<uint32_t>(frameBytes, 0xFFFF));
        Put16(fmt, 1);
        Put16(fmt, kMp3CodecDelay);
    } else if (format.tag == kWaveTagImaAdpcm) {
        Put16(fmt, 2);
        Put16(fmt, format.samplesPerBlock);
    } else if (!plainPcm) {
        Put16(fmt, 0);
    }

    std::string chunks = "WAVE";
    chunks += "fmt ";
    Put32(chunks, fmt.size());
    chunks += fmt;
    if (!plainPcm) {
        chunks += "fact";
        Put32(chunks, 4);
        Put32(chunks, sampleCount);
    }
    chunks += "data";
    Put32(chunks, dataBytes);

    std::string header = "RIFF";
    // No pad byte follows an odd data chunk: GStreamer's own WAV reader stops at one.
    Put32(header, chunks.size() + dataBytes);
    return header + chunks;
}

WavDest::~WavDest() {
    if (!sink_) return;
    // The sink may outlive this writer in a graph that still holds it.
    GstAppSinkCallbacks none{};
    gst_app_sink_set_callbacks(GST_APP_SINK(sink_.get()), &none, nullptr, nullptr);
}

bool WavDest::Attach(GstBin* graph, const char* name, int fd, const std::string& shownPath,
                     std::string* error) {
    auto fail = [&](const char* text) {
        if (error) *error = text;
        return false;
    };
    if (sink_) return fail("The WAV writer is already in a graph.");
    if (fd < 0) return fail("The WAV writer has no file to write.");
    media::ElementRef sink(gst_element_factory_make("appsink", name));
    if (!sink) return fail("The GStreamer element \"appsink\" is not installed.");
    // What WaveFormatFromCaps can describe.
    media::CapsRef accepted(gst_caps_from_string(kWavWriterCaps));
    // Not synchronised to a clock: the file is written as fast as the graph delivers.
    g_object_set(sink.get(), "caps", accepted.get(), "sync", FALSE, "max-buffers", 64, nullptr);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = &WavDest::OnSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink.get()), &callbacks, this, nullptr);
    if (!gst_bin_add(graph, sink.get())) return fail("Cannot add the WAV writer to the graph.");
    fd_ = fd;
    writeBack_ = WriteBack(fd);
    shownPath_ = shownPath;
    sink_ = std::move(sink);
    return true;
}

media::PadRef WavDest::InputPin() const {
    if (!sink_) return {};
    return media::PadRef(gst_element_get_static_pad(sink_.get(), "sink"));
}

uint64_t WavDest::DataBytes() const {
    std::lock_guard lock(mutex_);
    return dataBytes_;
}

GstFlowReturn WavDest::OnSample(GstAppSink* sink, gpointer self) {
    GstSample* sample = gst_app_sink_pull_sample(sink);
    if (!sample) return GST_FLOW_EOS;
    const GstFlowReturn result = static_cast<WavDest*>(self)->Write(sample);
    gst_sample_unref(sample);
    return result;
}

GstFlowReturn WavDest::Write(GstSample* sample) {
    std::lock_guard lock(mutex_);
    if (!error_.empty()) return GST_FLOW_ERROR;
    auto fail = [&](const std::string& text) {
        error_ = text;
        GST_ELEMENT_ERROR(sink_.get(), RESOURCE, WRITE, ("%s", text.c_str()), (nullptr));
        return GST_FLOW_ERROR;
    };
    if (!format_) {
        format_ = WaveFormatFromCaps(gst_sample_get_caps(sample));
        if (!format_) return fail("The WAV writer cannot store this audio format.");
        const std::string header = WaveHeader(*format_, 0, 0);
        if (!WriteAll(0, header.data(), header.size())) return fail(WriteFailure(errno));
        headerBytes_ = header.size();
    }
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    if (!buffer || !gst_buffer_map(buffer, &map, GST_MAP_READ)) return GST_FLOW_OK;
    pending_.insert(pending_.end(), map.data, map.data + map.size);
    gst_buffer_unmap(buffer, &map);
    dataBytes_ += map.size;
    if (pending_.size() >= kWriteBytes && !Flush()) return fail(WriteFailure(errno));
    const GstClockTime pts = GST_BUFFER_PTS(buffer);
    if (GST_CLOCK_TIME_IS_VALID(pts)) {
        if (!GST_CLOCK_TIME_IS_VALID(firstTime_)) firstTime_ = pts;
        const GstClockTime duration = GST_BUFFER_DURATION(buffer);
        endTime_ = std::max(endTime_, pts + (GST_CLOCK_TIME_IS_VALID(duration) ? duration : 0));
    }
    return GST_FLOW_OK;
}

bool WavDest::Flush() {
    if (pending_.empty()) return true;
    if (!WriteAll(headerBytes_ + writtenBytes_, pending_.data(), pending_.size())) return false;
    writtenBytes_ += pending_.size();
    writeBack_.Written(pending_.size());
    pending_.clear();
    return true;
}

bool WavDest::WriteAll(uint64_t offset, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t done = ::pwrite(fd_, data, size, static_cast<off_t>(offset));
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) {
            if (done == 0) errno = ENOSPC;
            return false;
        }
        data += done;
        size -= static_cast<size_t>(done);
        offset += static_cast<uint64_t>(done);
    }
    return true;
}

std::string WavDest::WriteFailure(int cause) const {
    const char* kind = format_ && format_->tag == kWaveTagMp3 ? "MP3" : "WAV";
    return std::string("Cannot write the ") + kind + " file " + shownPath_ + ": " +
           std::strerror(cause);
}

bool WavDest::Finish(std::string* error) {
    std::lock_guard lock(mutex_);
    auto fail = [&](const std::string& text) {
        if (error) *error = text;
        return false;
    };
    if (!error_.empty()) return fail(error_);
    if (!format_) return fail("No audio reached the WAV writer.");
    if (!Flush()) return fail(error_ = WriteFailure(errno));
    WaveFormat format = *format_;
    const double seconds = GST_CLOCK_TIME_IS_VALID(firstTime_) && endTime_ > firstTime_
                               ? double(endTime_ - firstTime_) / GST_SECOND
                               : 0.0;
    if (format.tag == kWaveTagMp3 && seconds > 0)
        format.avgBytesPerSec = static_cast<uint32_t>(std::llround(double(dataBytes_) / seconds));
    const double samples =
        format.blockAlign && format.tag != kWaveTagMp3 && format.tag != kWaveTagImaAdpcm
            ? double(dataBytes_ / format.blockAlign)
            : std::round(seconds * format.sampleRate);
    const auto sampleCount =
        static_cast<uint32_t>(std::min<double>(samples, std::numeric_limits<uint32_t>::max()));
    std::string header = WaveHeader(format, dataBytes_, sampleCount);
    if (!WriteAll(0, header.data(), header.size())) return fail(WriteFailure(errno));
    return true;
}
