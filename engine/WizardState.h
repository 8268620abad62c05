#pragma once

// The state of one korc run, shared by the job loader, the runner, the wizard pages, the
// progress dialog and the graph helpers. One object, passed by reference.

#include <cstdint>
#include <string>
#include <vector>

#include "common/JobFile.h"

// One input fragment of the job, in file order.
struct InputFragment {
    std::string path;
    double start = 0.0;
    double end = 0.0;
};

// A PCM format an audio encoder is fed: what the caps in front of it hold.
struct AudioFormat {
    int32_t sampleRate = 0;
    int32_t channels = 0;
};

struct WizardState {
    JobHeader header{};
    EffectParams effects{};
    std::vector<JobFragmentRecord> fragmentRecords;
    int32_t jobKind = 0;
    uint32_t ownerWindow = 0;  // the player's window (X11 id), owner of every dialog; 0 for none
    std::vector<InputFragment> inputFragments;  // the InputFragmentTable

    // The codec pages' choices; rows index the CodecCatalogue (0 = no encoder, -1 = none yet).
    int32_t chosenVideoCodec = -1;
    int32_t chosenAudioCodec = -1;     // 1..n catalogue audio rows, n + 1 the MP3 encoder
    int32_t systemAudioCodecCount = 0; // n, set when the MP3 row is added
    int32_t quality = 100;             // 0..100; 0 counts as 1
    int32_t keyFrameRate = 60;         // frames between key frames
    // The formats the audio page listed for the chosen encoder, and the chosen row (-1 none).
    std::vector<AudioFormat> audioFormats;
    int32_t chosenAudioFormat = -1;
    // What ApplyAudioFormat put in front of the encoder; the audio group takes its PCM from it.
    AudioFormat audioFormat;

    // The MP3 encoder's settings from the audio page, and its texts for going back to it.
    int32_t mp3SampleRate = 0;
    int32_t mp3Bitrate = 0;  // kilobits per second
    int32_t mp3Stereo = 1;
    std::string mp3RateText;
    std::string mp3BitrateText;
};
