#pragma once

// The second phase of a fast video extraction with audio: the video the first phase copied
// into a file, copied again as it is, joined with the input's audio for the same span (the
// span's end kept, its start moved so that both streams are as long as that video) in one AVI.

#include <string>

#include "engine/AudioJob.h"
#include "engine/CodecCatalogue.h"
#include "engine/PageDriver.h"
#include "engine/WizardState.h"
#include "platform/editing/MediaDet.h"
#include "platform/system/RegularFile.h"

inline constexpr char kSecondPhaseCaption[] = "Kalvor Wizard - Media Processing PHASE 2 of 2";

struct SecondPhaseRequest {
    std::string phaseOnePath;  // the first phase's AVI: its first video stream is copied
    std::string inputPath;     // the audio comes from here
    double end = 0.0;          // seconds of the input where the span ends
    std::string outputPath;    // written through a temporary name, renamed when whole
    // The input as the caller checked it, read instead of opening inputPath again.
    const RegularFile* input = nullptr;
    // What the caller's probe of that same open file found, instead of probing it again.
    const editing::MediaDetFacts* inputFacts = nullptr;
    // The input's demuxer, when the caller knows its container.
    const char* demuxer = nullptr;
};

// Builds and runs the graph with the progress dialog (caption kSecondPhaseCaption). The audio
// goes through the chosen audio encoder and format; with none chosen it keeps the input's own
// rate and channels. state.startSeconds and endSeconds become the span taken. Failures are
// reported once.
JobEnd RenderTimelineToAvi(const SecondPhaseRequest& request, WizardState& state,
                           IPageDriver& pages, const CodecCatalogue& catalogue);
