#pragma once

// The WAV writer of the audio jobs: writes the stream connected to it as a RIFF WAVE file,
// 16-bit PCM or a compressed format the container can name (MPEG Layer-3 as format tag
// 0x0055, IMA ADPCM, A-law, mu-law). The file's sizes, and for compressed formats the
// sample count, are written once the graph has stopped.

#include <gst/gst.h>

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/WriteBack.h"
#include "platform/media/GstRef.h"

typedef struct _GstAppSink GstAppSink;

// The WAVEFORMATEX a stream is described by, with the bytes that follow it.
struct WaveFormat {
    uint16_t tag = 0;
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint32_t avgBytesPerSec = 0;  // compressed formats: measured at the end
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint16_t samplesPerBlock = 0;  // IMA ADPCM only
};

inline constexpr uint16_t kWaveTagPcm = 0x0001;
inline constexpr uint16_t kWaveTagFloat = 0x0003;
inline constexpr uint16_t kWaveTagALaw = 0x0006;
inline constexpr uint16_t kWaveTagMuLaw = 0x0007;
inline constexpr uint16_t kWaveTagImaAdpcm = 0x0011;
inline constexpr uint16_t kWaveTagMp3 = 0x0055;

// The format of a stream with these caps; nothing for a stream a WAV file cannot hold.
std::optional<WaveFormat> WaveFormatFromCaps(const GstCaps* caps);
// The file's header for the format, dataBytes of data and, for formats other than integer
// PCM, sampleCount samples per channel (the "fact" chunk). Sizes past 4 GiB are cut to the
// largest the fields hold. Its length depends on the format only.
std::string WaveHeader(const WaveFormat& format, uint64_t dataBytes, uint32_t sampleCount);

class WavDest {
public:
    WavDest() = default;
    ~WavDest();
    WavDest(const WavDest&) = delete;
    WavDest& operator=(const WavDest&) = delete;

    // Adds the writer to the graph under the name; it writes to fd, which stays the
    // caller's and must stay open until Finish. A failed write names shownPath, the output
    // as the user knows it.
    bool Attach(GstBin* graph, const char* name, int fd, const std::string& shownPath,
                std::string* error);
    media::PadRef InputPin() const;

    // Once the graph has stopped: writes the header with the final sizes. False (with the
    // reason) when a write failed or no stream reached the writer.
    bool Finish(std::string* error);
    uint64_t DataBytes() const;

private:
    static GstFlowReturn OnSample(GstAppSink* sink, gpointer self);
    GstFlowReturn Write(GstSample* sample);
    // Writes what is pending after the header and what was written before it.
    bool Flush();
    bool WriteAll(uint64_t offset, const char* data, size_t size);
    // "Cannot write the MP3 file <path>: <cause>"
    std::string WriteFailure(int cause) const;

    media::ElementRef sink_;
    int fd_ = -1;
    std::string shownPath_;
    mutable std::mutex mutex_;  // the streaming thread writes, the job's thread finishes
    std::optional<WaveFormat> format_;
    uint64_t headerBytes_ = 0;
    uint64_t dataBytes_ = 0;     // taken, written or pending
    std::vector<char> pending_;  // the sound's bytes not yet written, a few buffers' worth
    uint64_t writtenBytes_ = 0;  // of the data
    WriteBack writeBack_{-1};
    GstClockTime firstTime_ = GST_CLOCK_TIME_NONE;
    GstClockTime endTime_ = 0;  // of the latest buffer
    std::string error_;
};
