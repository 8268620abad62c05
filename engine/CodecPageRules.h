#pragma once

// The rules of the two codec pages apart from their widgets: which row a page starts on,
// how the size edits read what is typed, which PCM formats an audio encoder is offered and
// which of them suits the source, and the MP3 controls' starting values.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/CodecCatalogue.h"
#include "engine/WizardState.h"

inline constexpr char kUncompressedRow[] = "UNCOMPRESSED";
inline constexpr int32_t kMaxCodecRows = 1000;  // the rows a codec list holds, row 0 included
inline constexpr int32_t kMaxWidth = 2048;
inline constexpr int32_t kMaxHeight = 1536;

// The video row a first showing starts on: the first encoder, unless a later one goes by
// one of the preferred names (the last such row); a name holding "YV12" is never preferred.
int32_t DefaultVideoRow(const CodecCatalogue& catalogue, const std::string& preferred1,
                        const std::string& preferred2);
// The audio row a first showing starts on: the row of preferred name 1, else that of
// preferred name 2, else 0 (no encoder).
int32_t DefaultAudioRow(const CodecCatalogue& catalogue, AudioWriter writer,
                        const std::string& preferred1, const std::string& preferred2);
// The writer a job's sound goes into: the WAV writer for audio jobs and for a mix without
// video, the AVI muxer otherwise.
AudioWriter AudioWriterOf(const WizardState& state);

// A width or height edit after a change: what it shows and the value it stands for.
struct SizeEdit {
    std::string text;
    int32_t value;
};
// Digits only, read with saturation and kept within 1..maximum; any other character gives
// back the last accepted value; an empty text stays empty and keeps it.
SizeEdit ParseSizeEdit(const std::string& text, int32_t lastAccepted, int32_t maximum);
int32_t ClampSize(int32_t value, int32_t maximum);

// The PCM formats (rate, channels) the audio encoder made by the factory takes, from 48 kHz
// down, stereo before mono; empty when there is no such factory.
std::vector<AudioFormat> ListAudioFormats(const std::string& factoryName);
int32_t AudioFormatKbps(const AudioFormat& format);  // 16-bit PCM
// "Stereo - 44 kHz - 1411 kbps"
std::string AudioFormatText(const AudioFormat& format);
// The listed format nearest the source rate; of those, one with the source's channel count
// (a stereo source is not made mono, nor a mono one stereo; 0 channels: unknown), then the
// one nearest the source bitrate; the first of equals. -1 for an empty list.
int32_t NearestAudioFormat(const std::vector<AudioFormat>& formats, int32_t sourceRate,
                           int32_t sourceChannels, int32_t sourceKbps);

// The bitrate text that goes with the rate combo's entry at position.
std::string LameBitrateForRatePosition(int position);
struct LameDefaults {
    const char* rate;
    const char* bitrate;
};
// The MP3 controls' starting texts for a source sample rate.
LameDefaults LameDefaultsFor(int32_t sourceRate);
