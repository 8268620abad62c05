#pragma once

// The merge-video job (kind 4): the fragments one after the other into one AVI at the output
// size and frame rate, with their audio when asked, the effects element in front of the video
// encoder and the job's logo over the picture. Steps: probe, pages, output check, timeline,
// back end, run, end.

#include <memory>
#include <string>
#include <vector>

#include "engine/AudioJob.h"
#include "engine/AviBackEnd.h"
#include "engine/CodecCatalogue.h"
#include "engine/FragmentPlan.h"
#include "engine/OutputFile.h"
#include "engine/PageDriver.h"
#include "engine/StillImage.h"  // kNoVideoText
#include "engine/WizardState.h"
#include "platform/editing/MediaDet.h"
#include "platform/editing/GroupRender.h"
#include "platform/editing/Timeline.h"

class JobObject;

// When no fragment says how many frames it has per second.
inline constexpr int32_t kFallbackFrameRate = 25;

// What the probe of the fragments gives the pages: the output size (a stream replaces it only
// when it is at least as wide and as high), the highest frame rate and the highest sample
// rate with its channel count. Fills the state's per-fragment marks and source values.
struct MergeProbe {
    double frameRate = 1.0;
    int32_t width = 1;
    int32_t height = 1;
    bool rateFound = false;  // some video stream said its frame rate
    bool videoFound = false;
    bool audioFound = false;
};
MergeProbe CombineMergeFacts(const std::vector<editing::MediaDetFacts>& facts, WizardState& state);
// The output's whole frames per second: the highest probed rate cut to a whole number, or
// kFallbackFrameRate when no fragment said its rate.
int32_t OutputFrameRate(const MergeProbe& probe);

class CMergeVideoJob {
public:
    CMergeVideoJob(const JobObject& job, WizardState& state, IPageDriver& pages,
                   const CodecCatalogue& catalogue);
    ~CMergeVideoJob();

    JobEnd Run();

private:
    bool WithAudio() const;
    JobEnd Probe();
    JobEnd ShowPages();
    bool CheckOutput();
    bool BuildTimeline();
    bool BuildBackEnd();
    JobEnd RunGraph();
    JobEnd Fail(const std::string& text);

    const JobObject& job_;
    WizardState& state_;
    IPageDriver& pages_;
    const CodecCatalogue& catalogue_;

    bool NeedsBackdrop() const;

    std::vector<editing::MediaDetFacts> facts_;
    // The checked file of each fragment, open until the graph is gone.
    std::vector<std::shared_ptr<const RegularFile>> files_;
    std::vector<double> lengths_;
    FragmentPlan plan_;
    bool anyAudio_ = false;
    std::string finalPath_;
    // Declared so that the graph goes first: the file outlives its threads.
    OutputFile output_;
    editing::Timeline timeline_;
    media::ElementRef audioCompressor_;
    std::unique_ptr<editing::GroupRender> engine_;
    AviBackEnd backEnd_;
};
