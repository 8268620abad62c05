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
    int32_t chosenAudioCodec = -1;      // 1..n catalogue audio rows, n + 1 the MP3 encoder
    int32_t systemAudioCodecCount = 0;  // n, set when the MP3 row is added
    int32_t quality = 100;              // 0..100; 0 counts as 1
    int32_t keyFrameRate = 60;          // frames between key frames
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

    // What the probe found: per fragment of inputFragments, and the values the pages start from.
    std::vector<uint8_t> fragmentHasAudio;
    std::vector<uint8_t> fragmentHasVideo;
    int32_t sourceSampleRate = 0;  // Hz
    int32_t sourceChannels = 0;
    int32_t sourceBitrate = 0;  // kilobits per second

    // The job's span in source seconds (the runner's copy of the job's start and end).
    double startSeconds = 0.0;
    double endSeconds = 0.0;

    // The last page's result: accepted 1 when it ended forward, back 1 when it ended with
    // "<- Back". The progress dialog keeps accepted at 1 while the graph runs.
    int32_t accepted = 0;
    int32_t back = 0;
    // Set by the runner before a page: the caption and button 1 text of the codec pages,
    // and two names by which the codec pages preselect a row.
    std::string stepCaption;
    std::string defaultButtonText;
    std::string preferredCodec1;
    std::string preferredCodec2;

    // The first-step pages' choices, kept for a page opened again after "<- Back".
    std::string fileName;      // as typed, at most 256 bytes
    std::string outputFolder;  // the runner's default is the input's folder
    std::string destination;   // the output path the progress dialog shows
    std::string outputPath;    // the path the job writes (an MP3 goes to the ".wav" name first)
    std::string imageOutputPath;
    int32_t jpegFlag = 0;
    int32_t imageQuality = 95;
    int32_t withAudio = 1;
    int32_t fastMode = 0;
    int32_t fastAllowed = 0;
    int32_t mergeWithAudio = 1;
    int32_t mp3ExtractAudio = 0;  // 1 MP3, 0 WAV, per job kind 2, 5 and 6
    int32_t mp3MergeAudio = 0;
    int32_t mp3Mix = 0;
    int32_t mixVideo = 1;

    // The video codec page's values (the runner's defaults: the probed ones).
    int32_t frameRate = 25;  // whole frames per second, 1..30
    int32_t width = 0;       // 1..2048
    int32_t height = 0;      // 1..1536
    int32_t mp3ControlsFilled = 0;

    // The progress dialog's inputs: the position (nanoseconds) that counts as 0 s of output,
    // and whether the dialog closes itself at the end.
    int64_t progressBase = 0;
    int32_t autoClose = 0;
    // 1 once a graph failed to start or failed while running (the failure was reported):
    // the job writes nothing more, renames nothing and ends with a failure.
    int32_t jobFailed = 0;
};
