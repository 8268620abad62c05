#pragma once

// Makes and sets up the encoders the codec pages chose. Each failure is reported to the user
// (ReportGraphError) where it happens; the job then goes on with what is left, as it would
// without an encoder.

#include <gst/gst.h>

#include <cstdint>
#include <string>

#include "engine/CodecCatalogue.h"
#include "engine/GraphHelpers.h"
#include "engine/WizardState.h"

// The encoder of the chosen video row; empty for row 0 and after a reported failure.
media::ElementRef CreateSelectedVideoCompressor(const WizardState& state,
                                                const CodecCatalogue& catalogue);
// The encoder of the chosen audio row (n + 1 the MP3 encoder); empty for row 0, for rows
// past the list and after a reported failure.
media::ElementRef CreateSelectedAudioCompressor(const WizardState& state,
                                                const CodecCatalogue& catalogue);

// Quality and key-frame rate, each only when the row's mask has its bit.
void ApplyVideoCompression(const WizardState& state, const CodecCatalogue& catalogue,
                           GstElement* compressor);

// Decides the PCM format the audio encoder is fed and keeps it in state.audioFormat (zero
// when there is none): the listed format chosen for a system encoder, or the MP3 settings,
// which are also written to the MP3 encoder (bitrate, constant bitrate, mono).
void ApplyAudioFormat(WizardState& state, const CodecCatalogue& catalogue, GstElement* compressor);

// Links upstream into the encoder through "audioconvert ! audioresample ! capsfilter" with
// the format's rate and channels; without a format, an intelligent link.
LinkOutcome ConnectThroughAudioFormat(GstBin* graph, const AudioFormat& format, GstPad* upstream,
                                      GstElement* compressor);

// The MP3 row after the system audio rows: remembers row as their count and, when
// preferredName is "LAME", chooses the MP3 row. True when the MP3 encoder is installed.
bool AddLameEncoderItem(WizardState& state, const CodecCatalogue& catalogue, int32_t row,
                        const std::string& preferredName);

// The bitrate the MP3 encoder can keep at a sample rate: MPEG-2 rates stop at 160 kbit/s,
// MPEG-2.5 rates at 64.
int32_t Mp3BitrateForRate(int32_t sampleRate, int32_t bitrate);
