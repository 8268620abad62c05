#pragma once

// The extract-video job (kind 3): the job's fragment of one input into an AVI file. The
// normal mode decodes the fragment on a timeline and encodes it with the chosen encoders,
// effects and logo. The fast mode, for AVI inputs, copies the compressed video as it is from
// the key frame at or before the start (demux, mux, no decoding). With audio it runs in two
// phases: the copy goes to a temporary file first, then the second phase joins it with the
// input's sound for the same span, re-encoded, into the output.

#include <memory>
#include <string>

#include "engine/AudioJob.h"
#include "engine/AviBackEnd.h"
#include "engine/CodecCatalogue.h"
#include "engine/OutputFile.h"
#include "engine/PageDriver.h"
#include "engine/StillImage.h"  // kNoVideoText
#include "engine/WizardState.h"
#include "platform/editing/GroupRender.h"
#include "platform/editing/MediaDet.h"
#include "platform/editing/Timeline.h"
#include "platform/system/RegularFile.h"

class JobObject;

// Whole frames per second of an input's rate: cut to a whole number, 25 when that gives 0.
int32_t OutputFrameRate(double probedRate);

class CExtractVideoJob {
public:
    CExtractVideoJob(const JobObject& job, WizardState& state, IPageDriver& pages,
                     const CodecCatalogue& catalogue);
    ~CExtractVideoJob();

    JobEnd Run();

private:
    struct CopyLinks;

    bool Fast() const { return state_.fastMode == 1; }
    bool WithAudio() const { return state_.withAudio == 1 && inputHasAudio_; }
    bool TwoPhases() const { return Fast() && WithAudio(); }
    JobEnd Probe();
    JobEnd ShowPages();
    bool CheckOutput();
    bool BuildTimeline();
    bool BuildCopy();
    JobEnd RunGraph();
    JobEnd RunSecondPhase();
    JobEnd Fail(const std::string& text);

    const JobObject& job_;
    WizardState& state_;
    IPageDriver& pages_;
    const CodecCatalogue& catalogue_;

    // The input as checked before the pages; every graph reads it by its Location().
    RegularFile input_;
    editing::MediaDetFacts facts_;
    bool inputHasAudio_ = false;
    double probedFrameRate_ = 0.0;
    double inPoint_ = 0.0;
    double length_ = 0.0;
    std::string finalPath_;
    // Declared so that the graphs go first: the file and the links outlive their threads.
    // The output, or the first phase's file when there are two.
    OutputFile output_;
    std::unique_ptr<CopyLinks> links_;
    editing::Timeline timeline_;
    media::ElementRef copyGraph_;
    std::unique_ptr<editing::GroupRender> engine_;
    AviBackEnd backEnd_;
};
